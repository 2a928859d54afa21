// game/render/materials: materials (four texture maps each) and the geometry
// of the play, menu and splash scenes, drawn in immediate mode apart from the
// brick and sphere display lists.
#include <GL/glew.h>
#include <GL/freeglut.h>

#include "game/playfield/playfield.h"
#include "game/render/engine.h"
#include "game/render/render.h"
#include "game/shell/config.h"
#include "game/textures/textures.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char* const MAP_SUFFIXES[MAP_KINDS] = {"D.tga", "N.tga", "S.tga", "H.tga"};

// Material of each brick type 1..9 and capsule type 1..7.
const int BRICK_MATERIALS[10] = {-1, MAT_RED, MAT_BLUE, MAT_ORANGE, MAT_PINK, MAT_GREEN, MAT_LIGHTBLUE,
                                 MAT_WHITE, MAT_GREY, MAT_IRON};
const int CAPSULE_MATERIALS[8] = {-1, MAT_PRIZE_E, MAT_PRIZE_C, MAT_PRIZE_S, MAT_PRIZE_P, MAT_PRIZE_L, MAT_PRIZE_D,
                                  MAT_PRIZE_B};

void bind(int material) { bindMaterial(material, material, material, material); }

// A type outside the table binds nothing: the last material stays bound.
void bindBrickType(int32_t type)
{
    if (type >= 1 && type <= 9) {
        bind(BRICK_MATERIALS[type]);
    }
}

void bindCapsuleType(int32_t type)
{
    if (type >= 1 && type <= 7) {
        bind(CAPSULE_MATERIALS[type]);
    }
}

void beginScene(bool shadowPass)
{
    glCullFace(shadowPass ? GL_FRONT : GL_BACK);
    glMaterialf(GL_FRONT, GL_SHININESS, 100.0f);
}

struct QuadCorner {
    float s, t, x, y, z;
};

void drawQuad(const float normal[3], const QuadCorner (&corners)[4])
{
    glBegin(GL_QUADS);
    glNormal3fv(normal);
    for (const QuadCorner& c : corners) {
        glTexCoord2f(c.s, c.t);
        glVertex3f(c.x, c.y, c.z);
    }
    glEnd();
}

}   // namespace

void loadMaterial(const char* name)
{
    for (int kind = 0; kind < MAP_KINDS; ++kind) {
        if (engine.materialCounts[kind] >= MATERIAL_SLOTS) {
            continue;
        }
        const std::string path = std::string("Textures/") + name + MAP_SUFFIXES[kind];
        if (path.size() >= MATERIAL_PATH_SIZE) {
            printf("Material path too long, skipped: %.60s...\n", path.c_str());
            continue;
        }
        TextureManager::instance()->getTexture(path);
        char* slot = engine.materialPaths[kind][engine.materialCounts[kind]];
        memcpy(slot, path.c_str(), path.size() + 1);
        ++engine.materialCounts[kind];
    }
}

void bindMaterial(int diffuse, int normal, int specular, int height)
{
    const int indices[MAP_KINDS] = {diffuse, normal, specular, height};
    TextureManager* manager = TextureManager::instance();
    for (int unit = 0; unit < MAP_KINDS; ++unit) {
        const int index = indices[unit];
        glActiveTexture(GL_TEXTURE0 + unit);
        const Texture* texture = (index >= 0 && index < engine.materialCounts[unit])
                                     ? manager->findTexture(engine.materialPaths[unit][index])
                                     : manager->findTexture("default");
        const unsigned int name = texture ? texture->glName : 0;
        // Mesa does not skip redundant binds, and there are hundreds per pass.
        if (renderer.boundTextures[unit] != name) {
            glBindTexture(GL_TEXTURE_2D, name);
            renderer.boundTextures[unit] = name;
        }
    }
}

void drawRoom()
{
    const int background = field.background;
    int material = MAT_BACKGROUND1;
    if (background == 2) {
        material = MAT_BACKGROUND2;
    } else if (background == 3) {
        material = MAT_BACKGROUND3;
    } else if (background == 4) {
        material = MAT_BACKGROUND4;
    }
    bind(material);
    pushObjectTransform(40, -15, 23, 0, false, false, false);
    static const float back[3] = {0, 0, 1}, left[3] = {1, 0, 0}, right[3] = {-1, 0, 0}, ceiling[3] = {0, -1, 0},
                       floor[3] = {0, 1, 0};
    drawQuad(back, {{0, 0, -20, 0, -10}, {1, 0, 20, 0, -10}, {1, 1, 20, 70, -10}, {0, 1, -20, 70, -10}});
    drawQuad(left, {{8, 0, -20, 0, -10}, {8, 8, -20, 70, -10}, {0, 8, -20, 70, 60}, {0, 0, -20, 0, 60}});
    drawQuad(right, {{0, 0, 20, 0, -10}, {8, 0, 20, 0, 60}, {8, 8, 20, 70, 60}, {0, 8, 20, 70, -10}});
    drawQuad(ceiling, {{8, 0, -20, 70, -10}, {8, 8, 20, 70, -10}, {0, 8, 20, 70, 60}, {0, 0, -20, 70, 60}});
    drawQuad(floor, {{8, 0, -20, 0, -10}, {8, 8, -20, 0, 60}, {0, 8, 20, 0, 60}, {0, 0, 20, 0, -10}});
    popObjectTransform();
}

void drawBox(float offset, float base, float span, double x, double y, double z, bool cannons, float angle, int kind)
{
    const float fx = static_cast<float>(x), fy = static_cast<float>(y), fz = static_cast<float>(z);
    switch (kind) {
    case 1:
        pushObjectTransform(fx, fy, fz, angle, false, false, true);
        break;
    case 2:
        pushObjectTransform(fx, fy, fz, -angle, false, false, true);
        break;
    case 3:
        glPushMatrix();
        glTranslatef(fx, fy, fz);
        glScalef(static_cast<float>(field.paddle.halfWidth * 0.5), 1, 1);
        glMatrixMode(GL_TEXTURE);
        glActiveTexture(GL_TEXTURE0 + SHADOW_UNIT);
        glPushMatrix();
        glTranslatef(fx, fy, fz);
        break;
    default:
        pushObjectTransform(fx, fy, fz, 0, false, false, false);
        break;
    }
    glCallList(renderer.brickList);
    if (cannons) {
        const float o = offset, b = base, s = span;
        glBegin(GL_QUADS);
        glNormal3f(0, 1, 1);
        glTexCoord2f(0, 0), glVertex3f(1 - o, b, 1);
        glTexCoord2f(s, 0), glVertex3f(1 - o, b + 2, 0);
        glTexCoord2f(s, s), glVertex3f(-o, b + 2, 0);
        glTexCoord2f(0, s), glVertex3f(-o, b, 1);
        glTexCoord2f(0, 0), glVertex3f(o, b, 1);
        glTexCoord2f(s, 0), glVertex3f(o, b + 2, 0);
        glTexCoord2f(s, s), glVertex3f(o - 1, b + 2, 0);
        glTexCoord2f(0, s), glVertex3f(o - 1, b, 1);
        glEnd();
    }
    popObjectTransform();
}

void drawPlayObjects()
{
    const Paddle& paddle = field.paddle;
    if (field.lives > 0 && !field.lifeLostPause) {
        if (field.laserArmed) {
            bind(MAT_PLAYERLASER);
            glColor3f(1, 0, 0);
            drawBox(static_cast<float>(paddle.halfWidth - 2), static_cast<float>(paddle.halfHeight), 1.0f, paddle.x,
                    paddle.y, PLAY_PLANE_Z, true, 0, 3);
        } else {
            bind(MAT_PLAYER);
            drawBox(static_cast<float>(paddle.halfWidth), static_cast<float>(paddle.halfHeight), 1.0f, paddle.x,
                    paddle.y, PLAY_PLANE_Z, false, 0, 3);
        }
    }
    for (int i = 0; i < field.lives - 1 && i < 6; ++i) {
        bind(MAT_PLAYER);
        glColor3f(0.9f, 0.9f, 0.9f);
        const double x = (i < 3) ? 68 + 4 * i : 68 + 4 * (i - 3);
        const double y = (i < 3) ? 35 : 33;
        drawBox(1.5f, 0.5f, 1.0f, x, y, PLAY_PLANE_Z, false, 0, 0);
    }
    for (const Brick& brick : field.bricks) {
        if (brick.present) {
            bindBrickType(brick.type);
            drawBox(static_cast<float>(brick.halfWidth), static_cast<float>(brick.halfHeight), 1.0f, brick.x,
                    brick.y, PLAY_PLANE_Z, false, 0, 0);
        }
        if (brick.capsuleFalling) {
            bindCapsuleType(brick.capsuleType);
            glPushMatrix();
            glTranslatef(static_cast<float>(brick.x), static_cast<float>(brick.capsuleY), PLAY_PLANE_Z);
            glRotatef(90, 0, 1, 0);
            glPushMatrix();
            glRotatef(static_cast<float>(brick.spin), 0, 0, 1);
            glScalef(1.5f, 0.8f, 0.8f);
            glMatrixMode(GL_TEXTURE);
            glActiveTexture(GL_TEXTURE0 + SHADOW_UNIT);
            glPushMatrix();
            glCallList(renderer.sphereList);
            popObjectTransform();
            glPopMatrix();
        } else if (field.fallMode && brick.brickFalling && (brick.tumble == 0 || brick.tumble == 1)) {
            bindBrickType(brick.type);
            drawBox(static_cast<float>(brick.halfWidth), static_cast<float>(brick.halfHeight), 1.0f, brick.x,
                    brick.fallY, PLAY_PLANE_Z, false, static_cast<float>(brick.spin), brick.tumble == 0 ? 1 : 2);
        }
    }
}

void drawPlayScene(bool shadowPass)
{
    beginScene(shadowPass);
    glColor3f(0.5f, 0.5f, 0.5f);
    drawRoom();
    drawPlayObjects();
}

void drawMenuScene(bool shadowPass)
{
    beginScene(shadowPass);
    glColor3f(0.5f, 0.5f, 0.5f);
    bind(MAT_PINK);
    drawBox(2.0f, 1.0f, 2.0f, 33.5, 40.0, 0.0, false, static_cast<float>(renderer.menuSpin), 1);

    bind(MAT_BACKGROUND1);
    static const float up[3] = {0, 1, 0}, towards[3] = {0, 0, 1};
    drawQuad(up, {{800, 0, -2000, 15, -2000}, {800, 800, -2000, 15, 2000}, {0, 800, 2000, 15, 2000},
                   {0, 0, 2000, 15, -2000}});
    bind(MAT_MENU);
    drawQuad(towards, {{0, 0, 24, 45, -10}, {1, 0, 60, 45, -10}, {1, 1, 60, 55, -10}, {0, 1, 24, 55, -10}});
}

void drawSplashScene(bool shadowPass)
{
    beginScene(shadowPass);
    bind(MAT_MORVI);
    const double ratio = static_cast<double>(config.screenWidth) / config.screenHeight;
    printf("%d/%d\n", config.screenWidth, config.screenHeight);
    printf("%f\n", ratio);
    const float left = ratio > 1.4 ? 25.0f : 20.0f;
    const float right = ratio > 1.4 ? 55.0f : 60.0f;
    static const float towards[3] = {0, 0, 1};
    drawQuad(towards, {{0, 0, left, -2, -10}, {1, 0, right, -2, -10}, {1, 1, right, 48, -10}, {0, 1, left, 48, -10}});
}
