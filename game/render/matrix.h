// game/render/matrix: 4x4 matrices on the CPU, column-major as GL loads them.
// No GL: the spot-light bounds and the tests use them without a window.
#pragma once

// A 4x4 matrix, column-major as GL loads it.
struct Matrix4 {
    double m[16];
};

// matrix.cpp
Matrix4 identityMatrix();
Matrix4 multiply(const Matrix4& a, const Matrix4& b);
Matrix4 translationMatrix(double x, double y, double z);
Matrix4 scaleMatrix(double x, double y, double z);
Matrix4 rotationMatrix(double degrees, double x, double y, double z);
Matrix4 perspectiveMatrix(double fieldOfView, double aspect, double nearPlane, double farPlane);
Matrix4 lookAtMatrix(const double eye[3], const double centre[3], const double up[3]);
Matrix4 rigidInverse(const Matrix4& a);
void transformPoint(const Matrix4& a, const double p[3], double out[4]);
void toFloats(const Matrix4& a, float out[16]);
