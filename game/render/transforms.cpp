// game/render/transforms: the camera and object matrices, built on the CPU
// and loaded into GL in one call each; the renderer keeps the camera's
// matrices, so it never reads them back.
#include <GL/glew.h>

#include "game/render/render_internal.h"

void setCamera(float eyeX, float eyeY, float eyeZ, float centreX, float centreY, float centreZ, float nearPlane,
               float fieldOfView)
{
    // The picture's true ratio: a ball is round and the brick block keeps its proportions at every size.
    const double aspect =
        static_cast<double>(renderer.view.width) / (renderer.view.height > 0 ? renderer.view.height : 1);
    renderer.projection = perspectiveMatrix(fieldOfView, aspect, nearPlane, FAR_PLANE);
    const double eye[3] = {eyeX, eyeY, eyeZ}, centre[3] = {centreX, centreY, centreZ}, up[3] = {0, 1, 0};
    renderer.camera = lookAtMatrix(eye, centre, up);
    float m[16];
    toFloats(renderer.projection, m);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(m);
    glMatrixMode(GL_MODELVIEW);
    loadCameraMatrix();
}

void loadCameraMatrix()
{
    float values[16];
    toFloats(renderer.camera, values);
    glLoadMatrixf(values);
}

void loadObjectMatrix(const Matrix4& model)
{
    float values[16];
    toFloats(multiply(renderer.camera, model), values);
    glLoadMatrixf(values);
}
