// game/render/splash_scene: the splash scene — the logo quad, narrower on a
// wide picture.
#include <GL/glew.h>

#include "game/render/render_internal.h"

void drawSplashScene(bool shadowPass)
{
    beginScene(shadowPass);
    useMaterial(MAT_MORVI);
    const double ratio = static_cast<double>(renderer.view.width) / renderer.view.height;
    const float left = ratio > 1.4 ? 25.0f : 20.0f;
    const float right = ratio > 1.4 ? 55.0f : 60.0f;
    static const float towards[3] = {0, 0, 1};
    drawQuad(towards, {{0, 0, left, -2, -10}, {1, 0, right, -2, -10}, {1, 1, right, 48, -10}, {0, 1, left, 48, -10}});
}
