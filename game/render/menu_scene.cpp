// game/render/menu_scene: the menu scene — the turning brick, the floor
// and the title quad. The menu's texts and markers are in texts.cpp.
#include <GL/glew.h>

#include "game/render/engine.h"
#include "game/render/render_internal.h"

void drawMenuScene(bool shadowPass)
{
    beginScene(shadowPass);
    glColor3f(0.5f, 0.5f, 0.5f);
    useMaterial(MAT_PINK);
    drawMenuCube(static_cast<float>(renderInputs.menuSpin));
    loadCameraMatrix();

    useMaterial(MAT_BACKGROUND1);
    static const float up[3] = {0, 1, 0}, towards[3] = {0, 0, 1};
    drawQuad(
        up,
        {{800, 0, -2000, 15, -2000}, {800, 800, -2000, 15, 2000}, {0, 800, 2000, 15, 2000}, {0, 0, 2000, 15, -2000}});
    useMaterial(MAT_MENU);
    drawQuad(towards, {{0, 0, 24, 45, -10}, {1, 0, 60, 45, -10}, {1, 1, 60, 55, -10}, {0, 1, 24, 55, -10}});
}
