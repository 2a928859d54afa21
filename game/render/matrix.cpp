// game/render/matrix: 4x4 matrices on the CPU (column-major, as GL loads
// them), so a frame loads each object's finished matrix in one call instead
// of pushing, translating and popping GL's stacks, and the renderer knows
// every camera's matrices without reading them back.
#include "game/render/matrix.h"

#include <cmath>

Matrix4 identityMatrix()
{
    Matrix4 m;
    for (int i = 0; i < 16; ++i) {
        m.m[i] = (i % 5 == 0) ? 1.0 : 0.0;
    }
    return m;
}

Matrix4 multiply(const Matrix4& a, const Matrix4& b)
{
    Matrix4 r;
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) {
                sum += a.m[k * 4 + row] * b.m[column * 4 + k];
            }
            r.m[column * 4 + row] = sum;
        }
    }
    return r;
}

Matrix4 translationMatrix(double x, double y, double z)
{
    Matrix4 m = identityMatrix();
    m.m[12] = x;
    m.m[13] = y;
    m.m[14] = z;
    return m;
}

Matrix4 scaleMatrix(double x, double y, double z)
{
    Matrix4 m = identityMatrix();
    m.m[0] = x;
    m.m[5] = y;
    m.m[10] = z;
    return m;
}

// As glRotate: degrees about an axis, which is normalised first.
Matrix4 rotationMatrix(double degrees, double x, double y, double z)
{
    const double length = std::sqrt(x * x + y * y + z * z);
    if (length == 0) {
        return identityMatrix();
    }
    x /= length;
    y /= length;
    z /= length;
    const double radians = degrees * 3.14159265358979323846 / 180;
    const double c = std::cos(radians), s = std::sin(radians), t = 1 - c;
    Matrix4 m = identityMatrix();
    m.m[0] = x * x * t + c;
    m.m[1] = y * x * t + z * s;
    m.m[2] = x * z * t - y * s;
    m.m[4] = x * y * t - z * s;
    m.m[5] = y * y * t + c;
    m.m[6] = y * z * t + x * s;
    m.m[8] = x * z * t + y * s;
    m.m[9] = y * z * t - x * s;
    m.m[10] = z * z * t + c;
    return m;
}

// As gluPerspective.
Matrix4 perspectiveMatrix(double fieldOfView, double aspect, double nearPlane, double farPlane)
{
    Matrix4 m = identityMatrix();
    const double radians = fieldOfView / 2 * 3.14159265358979323846 / 180;
    const double sine = std::sin(radians);
    const double depth = farPlane - nearPlane;
    if (depth == 0 || sine == 0 || aspect == 0) {
        return m;   // gluPerspective leaves the matrix alone here too
    }
    const double cotangent = std::cos(radians) / sine;
    m.m[0] = cotangent / aspect;
    m.m[5] = cotangent;
    m.m[10] = -(farPlane + nearPlane) / depth;
    m.m[11] = -1;
    m.m[14] = -2 * nearPlane * farPlane / depth;
    m.m[15] = 0;
    return m;
}

// As gluLookAt, degenerate cases included: when the view runs along the up
// vector the side vector is zero and stays so, and the matrix flattens the
// whole scene onto the view axis (nothing drawn with it covers a pixel).
Matrix4 lookAtMatrix(const double eye[3], const double centre[3], const double up[3])
{
    double f[3] = {centre[0] - eye[0], centre[1] - eye[1], centre[2] - eye[2]};
    auto normalise = [](double v[3]) {
        const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        if (length != 0) {
            v[0] /= length;
            v[1] /= length;
            v[2] /= length;
        }
    };
    auto cross = [](const double a[3], const double b[3], double out[3]) {
        out[0] = a[1] * b[2] - a[2] * b[1];
        out[1] = a[2] * b[0] - a[0] * b[2];
        out[2] = a[0] * b[1] - a[1] * b[0];
    };
    normalise(f);
    double s[3], u[3];
    cross(f, up, s);
    normalise(s);
    cross(s, f, u);
    Matrix4 m = identityMatrix();
    for (int i = 0; i < 3; ++i) {
        m.m[i * 4 + 0] = s[i];
        m.m[i * 4 + 1] = u[i];
        m.m[i * 4 + 2] = -f[i];
    }
    return multiply(m, translationMatrix(-eye[0], -eye[1], -eye[2]));
}

// The inverse of a rotation-and-translation (a look-at matrix).
Matrix4 rigidInverse(const Matrix4& a)
{
    Matrix4 r = identityMatrix();
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            r.m[column * 4 + row] = a.m[row * 4 + column];
        }
    }
    for (int row = 0; row < 3; ++row) {
        r.m[12 + row] = -(r.m[row] * a.m[12] + r.m[4 + row] * a.m[13] + r.m[8 + row] * a.m[14]);
    }
    return r;
}

void transformPoint(const Matrix4& a, const double p[3], double out[4])
{
    for (int row = 0; row < 4; ++row) {
        out[row] = a.m[row] * p[0] + a.m[4 + row] * p[1] + a.m[8 + row] * p[2] + a.m[12 + row];
    }
}

void toFloats(const Matrix4& a, float out[16])
{
    for (int i = 0; i < 16; ++i) {
        out[i] = static_cast<float>(a.m[i]);
    }
}
