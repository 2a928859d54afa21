// game/render/frames: the three frame renderers. Every enabled light draws the
// scene once more, loaded into GL light 0: with shadows, a shadow pass into the
// shadow map, a depth pre-pass and an additive shader-lit pass; without, a
// plain textured pass that overwrites the previous one.
//
// GL state left at the end of every frame: blending off, depth and colour masks
// on, no program, model-view current, culling on.
#include <GL/glew.h>
#include <GL/freeglut.h>

#include "game/playfield/playfield.h"
#include "game/render/engine.h"
#include "game/render/lights.h"
#include "game/render/render.h"
#include "game/shell/config.h"
#include "game/shell/gamestate.h"

#include <cstring>

namespace {

// The view camera's near plane. The design's 0.0001 (0.001 after a shadow
// pass) against a far plane of 40000 leaves a 24-bit depth buffer about five
// units of resolution at the camera's distance, so bricks sank into the back
// wall; 0.5 keeps the picture and nothing else depends on it.
constexpr float VIEW_NEAR_AFTER_SHADOW = VIEW_NEAR;

enum class Scene { Splash, Menu, Play };

void setViewCamera(float nearPlane)
{
    const double* p = engine.cameraPosition;
    const double* d = engine.cameraDirection;
    setCamera(static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2]),
              static_cast<float>(p[0] + d[0]), static_cast<float>(p[1] + d[1]), static_cast<float>(p[2] + d[2]),
              nearPlane, 45);
}

void loadLight(const Light& light, bool splash)
{
    glLightfv(GL_LIGHT0, GL_POSITION, light.position);
    const float colour[4] = {light.colour[0], light.colour[1], light.colour[2], light.radius};
    static const float black[4] = {0, 0, 0, 0};
    glLightfv(GL_LIGHT0, GL_DIFFUSE, colour);
    glLightfv(GL_LIGHT0, GL_SPECULAR, splash ? black : colour);
    if (!splash) {
        glLightf(GL_LIGHT0, GL_CONSTANT_ATTENUATION, light.constantAttenuation);
        glLightf(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, light.quadraticAttenuation);
        glLightf(GL_LIGHT0, GL_LINEAR_ATTENUATION, light.linearAttenuation);
    }
    if (light.spot) {
        glLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, light.direction);
        glLightf(GL_LIGHT0, GL_SPOT_EXPONENT, light.spotExponent);
        glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, light.spotCutoff);
    } else {
        glLightf(GL_LIGHT0, GL_SPOT_EXPONENT, 0);
        glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 180);
    }
}

void drawScene(Scene scene, bool shadowPass)
{
    switch (scene) {
    case Scene::Splash:
        drawSplashScene(shadowPass);
        break;
    case Scene::Menu:
        drawMenuScene(shadowPass);
        break;
    case Scene::Play:
        drawPlayScene(shadowPass);
        break;
    }
}

void shadowPass(const Light& light, Scene scene)
{
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_CULL_FACE);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, renderer.shadowFramebuffer);
    glViewport(0, 0, 2 * config.screenWidth, 2 * config.screenHeight);
    glClear(GL_DEPTH_BUFFER_BIT);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    setCamera(light.position[0], light.position[1], light.position[2], light.position[0] + light.direction[0],
              light.position[1] + light.direction[1], light.position[2] + light.direction[2], 1.0f,
              3 * light.spotCutoff);
    drawScene(scene, true);
    loadShadowMatrix();
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
}

void litPass(Scene scene)
{
    glUseProgram(renderer.shaderProgram);
    static const char* const names[5] = {"texture", "normalMap", "specularMap", "heightMap", "ShadowMap"};
    for (int i = 0; i < 5; ++i) {
        renderer.samplerLocations[i] = glGetUniformLocation(renderer.shaderProgram, names[i]);
    }
    glActiveTexture(GL_TEXTURE0 + SHADOW_UNIT);
    glBindTexture(GL_TEXTURE_2D, renderer.shadowTexture);
    // The samplers always name their own units; setting them once per pass
    // gives the same result as once per material bind.
    for (int i = 0; i < 5; ++i) {
        glUniform1i(renderer.samplerLocations[i], i);
    }
    glBlendFunc(GL_ONE, GL_ONE);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    drawScene(scene, false);
    glDepthMask(GL_TRUE);
    glUseProgram(0);
}

// The pass without shadows shows the diffuse maps on unit 0, also when the
// game started on the shadow path and the player switched shadows off
// (otherwise that path would draw flat grey shapes).
void drawPlainPass(Scene scene)
{
    glActiveTexture(GL_TEXTURE0);
    glEnable(GL_TEXTURE_2D);
    drawScene(scene, false);
    if (!renderer.plainTexturing) {
        glActiveTexture(GL_TEXTURE0);
        glDisable(GL_TEXTURE_2D);
    }
}

// The shadow key may be pressed where the shadow path cannot work; such frames
// take the path without shadows.
bool useShadows() { return engine.shadowsEnabled && shadowPathAvailable(); }

void beginFrame()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // Texture loads and shadow-map rebuilds bind behind the cache's back.
    memset(renderer.boundTextures, 0, sizeof renderer.boundTextures);
    setViewCamera(VIEW_NEAR);
}

void renderLitScene(Scene scene)
{
    const bool shadows = useShadows();
    bool plainDrawn = false;
    for (int i = 0; i < LIGHT_COUNT; ++i) {
        const Light& light = engine.lights[i];
        if (!light.enabled) {
            continue;
        }
        loadLight(light, false);
        if (!shadows) {
            // The plain pass is unlit, so every light's pass paints the same
            // pixels (equal depths fail the depth test, or without it the
            // same colours overwrite themselves): one is enough.
            if (!plainDrawn) {
                drawPlainPass(scene);
                plainDrawn = true;
            }
            continue;
        }
        shadowPass(light, scene);
        setViewCamera(VIEW_NEAR_AFTER_SHADOW);
        glViewport(0, 0, config.screenWidth, config.screenHeight);
        if (scene == Scene::Play) {
            depthPrepass();   // the menu's pre-pass draws nothing
        }
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        litPass(scene);
    }
}

// The texts stand outside the room, behind its side walls as the depth buffer
// sees them. The shadow path's depth holds back faces only, and a game started
// without shadows has no depth test, so both show the texts; switching shadows
// off mid-game would hide them behind the walls.
void clearDepthForTexts()
{
    if (!useShadows()) {
        glClear(GL_DEPTH_BUFFER_BIT);
    }
}

void endFrame()
{
    glFinish();
    glutPostRedisplay();
    glFlush();
    glutSwapBuffers();
}

}   // namespace

void setCamera(float eyeX, float eyeY, float eyeZ, float centreX, float centreY, float centreZ, float nearPlane,
               float fieldOfView)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // Whole-number aspect ratio, as the window set-up uses (1.0 for every offered size).
    const int height = config.screenHeight != 0 ? config.screenHeight : 1;
    gluPerspective(fieldOfView, static_cast<double>(config.screenWidth / height), nearPlane, FAR_PLANE);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(eyeX, eyeY, eyeZ, centreX, centreY, centreZ, 0, 1, 0);
}

void depthPrepass()
{
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    drawRoom();
    drawPlayObjects();
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
}

void renderPlay()
{
    beginFrame();
    renderLitScene(Scene::Play);
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    clearDepthForTexts();
    drawHud();
    endFrame();
}

void renderMenu()
{
    beginFrame();
    renderer.menuSpin += 2 * frameClock.tick;
    renderLitScene(Scene::Menu);
    glDisable(GL_BLEND);
    clearDepthForTexts();
    drawMenuText();
    endFrame();
}

void renderSplash()
{
    beginFrame();
    setLightEnabled(SPLASH_LIGHT, true);
    if (frameClock.clockNow - game.splashStartTime > 2000 && renderer.splashFade < 1.0) {
        const float fade = static_cast<float>(renderer.splashFade);
        setLightColour(SPLASH_LIGHT, fade, fade, fade);
        renderer.splashFade += 0.005;
    }
    const bool shadows = useShadows();
    for (int i = 0; i < LIGHT_COUNT; ++i) {
        const Light& light = engine.lights[i];
        if (!light.enabled) {
            continue;
        }
        loadLight(light, true);
        if (!shadows) {
            drawPlainPass(Scene::Splash);
            continue;
        }
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        glEnable(GL_CULL_FACE);
        setViewCamera(VIEW_NEAR_AFTER_SHADOW);
        glViewport(0, 0, config.screenWidth, config.screenHeight);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        litPass(Scene::Splash);
    }
    glDisable(GL_BLEND);
    endFrame();
}
