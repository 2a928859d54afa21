// game/render/frames: the three frame renderers. With shadows, every light
// of the frame is summed in one lit pass (light_set.cpp) after its shadow map;
// where that pass cannot be built, and for the tests' reference, each enabled
// light draws the scene once more, loaded into GL light 0: a shadow pass into
// the shadow map, a depth pre-pass and an additive shader-lit pass. Without
// shadows, a plain textured pass that overwrites the previous one.
//
// Work that provably changes no pixel is left out (light_plans.cpp and
// spot_bounds.cpp hold the proofs): the lit pass of a light that adds
// nothing, the shadow pass of a map that no lookup can find a shadow in, the
// shader blocks a light leaves dead, and the scene order in the passes whose
// result does not depend on it.
//
// GL state left at the end of every frame: blending off, depth and colour masks
// on, no program, model-view current, culling on.
#include <GL/glew.h>
#include <GL/freeglut.h>

#include "game/playfield/playfield.h"
#include "game/render/engine.h"
#include "game/render/lights.h"
#include "game/render/render_internal.h"

#include <cstring>

namespace {

// The view camera's near plane. The design's 0.0001 (0.001 after a shadow
// pass) against a far plane of 40000 leaves a 24-bit depth buffer about five
// units of resolution at the camera's distance, so bricks sank into the back
// wall; 0.5 keeps the picture and nothing else depends on it.
constexpr float VIEW_NEAR_AFTER_SHADOW = VIEW_NEAR;

}   // namespace

void setViewCamera(float nearPlane)
{
    const double* p = engine.cameraPosition;
    const double* d = engine.cameraDirection;
    setCamera(static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2]),
              static_cast<float>(p[0] + d[0]), static_cast<float>(p[1] + d[1]), static_cast<float>(p[2] + d[2]),
              nearPlane, 45);
    renderer.viewCamera = renderer.camera;
    renderer.viewProjection = renderer.projection;
}

namespace {

void shadowPass(const Light& light, SceneKind scene)
{
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_CULL_FACE);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, renderer.shadowFramebuffer);
    glViewport(0, 0, 2 * renderer.view.width, 2 * renderer.view.height);
    // The whole map is cleared, so every texel holds this light's depth or
    // "unshadowed"; only the drawing is cut to the cone's window. (A clear
    // cut by the scissor costs llvmpipe twice the whole one: it draws a quad.)
    glClear(GL_DEPTH_BUFFER_BIT);
    int window[4];
    const bool cut = scene != SceneKind::Splash && shadowWindow(light, window);
    if (cut) {
        glScissor(window[0], window[1], window[2], window[3]);
        glEnable(GL_SCISSOR_TEST);
    }
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    setLightCamera(light);
    renderer.orderFree = renderer.skipDeadWork;
    drawScene(scene, true);
    renderer.orderFree = false;
    if (cut) {
        glDisable(GL_SCISSOR_TEST);
    }
    loadShadowMatrix();
    bindPicture();
}

void useTextureUnit(int unit)
{
    if (renderer.activeUnit != unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        renderer.activeUnit = unit;
    }
}

void litPass(SceneKind scene, int variant)
{
    const unsigned int program = renderer.litPrograms[variant] ? renderer.litPrograms[variant] : renderer.shaderProgram;
    glUseProgram(program);
    if (!(variant & LIT_NO_SHADOW)) {
        bindShadowTexture();
        loadMapTile(program);
    }
    glBlendFunc(GL_ONE, GL_ONE);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    renderer.orderFree = renderer.skipDeadWork;
    drawScene(scene, false);
    renderer.orderFree = false;
    glDepthMask(GL_TRUE);
    glUseProgram(0);
}

// The pass without shadows shows the diffuse maps on unit 0, also when the
// game started on the shadow path and the player switched shadows off
// (otherwise that path would draw flat grey shapes).
void drawPlainPass(SceneKind scene)
{
    useTextureUnit(0);
    glEnable(GL_TEXTURE_2D);
    drawScene(scene, false);
    if (!renderer.plainTexturing) {
        useTextureUnit(0);
        glDisable(GL_TEXTURE_2D);
    }
}

// The shadow key may be pressed where the shadow path cannot work; such frames
// take the path without shadows.
bool useShadows() { return engine.shadowsEnabled && shadowPathAvailable(); }

void beginFrame()
{
    beginPicture();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // Texture loads and shadow-map rebuilds bind behind the cache's back.
    memset(renderer.boundTextures, 0, sizeof renderer.boundTextures);
    renderer.activeUnit = -1;
    ++renderer.frameNumber;
    setViewCamera(VIEW_NEAR);
}

void renderLitScene(SceneKind scene)
{
    const bool shadows = useShadows();
    if (shadows && renderer.onePass && !renderer.onePassFailed && drawLightSet(scene)) {
        return;
    }
    bool plainDrawn = false;
    bool prepassDone = false;
    bool anyLight = false;
    for (int i = 0; i < LIGHT_COUNT; ++i) {
        const Light& light = engine.lights[i];
        if (!light.enabled) {
            continue;
        }
        anyLight = true;
        if (shadows) {
            drawLightPasses(light, scene, prepassDone);
            continue;
        }
        loadLight(light, GL_LIGHT0, scene == SceneKind::Splash);
        // The plain pass is unlit, so every light's pass paints the same
        // pixels (equal depths fail the depth test, or without it the same
        // colours overwrite themselves): one is enough.
        if (!plainDrawn) {
            drawPlainPass(scene);
            plainDrawn = true;
        }
    }
    // The HUD is drawn against the pre-pass's depth, also when every lit pass was left out.
    if (shadows && anyLight && scene == SceneKind::Play && !prepassDone) {
        glEnable(GL_CULL_FACE);
        glCullFace(GL_FRONT);
        depthPrepass();
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
    presentPicture();
}

}   // namespace

// With the view camera's model-view current, so GL keeps the light in eye space.
void loadLight(const Light& light, int glLight, bool splash)
{
    const GLenum to = static_cast<GLenum>(glLight);
    glLightfv(to, GL_POSITION, light.position);
    const float colour[4] = {light.colour[0], light.colour[1], light.colour[2], light.radius};
    static const float black[4] = {0, 0, 0, 0};
    glLightfv(to, GL_DIFFUSE, colour);
    glLightfv(to, GL_SPECULAR, splash ? black : colour);
    if (!splash) {
        glLightf(to, GL_CONSTANT_ATTENUATION, light.constantAttenuation);
        glLightf(to, GL_QUADRATIC_ATTENUATION, light.quadraticAttenuation);
        glLightf(to, GL_LINEAR_ATTENUATION, light.linearAttenuation);
    }
    if (light.spot) {
        glLightfv(to, GL_SPOT_DIRECTION, light.direction);
        glLightf(to, GL_SPOT_EXPONENT, light.spotExponent);
        glLightf(to, GL_SPOT_CUTOFF, light.spotCutoff);
    } else {
        glLightf(to, GL_SPOT_EXPONENT, 0);
        glLightf(to, GL_SPOT_CUTOFF, 180);
    }
}

void drawScene(SceneKind scene, bool shadowPass)
{
    switch (scene) {
        case SceneKind::Splash: drawSplashScene(shadowPass); break;
        case SceneKind::Menu: drawMenuScene(shadowPass); break;
        case SceneKind::Play: drawPlayScene(shadowPass); break;
    }
}

void setLightCamera(const Light& light)
{
    setCamera(light.position[0], light.position[1], light.position[2], light.position[0] + light.direction[0],
              light.position[1] + light.direction[1], light.position[2] + light.direction[2], 1.0f,
              3 * light.spotCutoff);
}

void bindShadowTexture()
{
    if (renderer.boundTextures[SHADOW_UNIT] != renderer.shadowTexture) {
        useTextureUnit(SHADOW_UNIT);
        glBindTexture(GL_TEXTURE_2D, renderer.shadowTexture);
        renderer.boundTextures[SHADOW_UNIT] = renderer.shadowTexture;
    }
}

void drawLightPasses(const Light& light, SceneKind scene, bool& prepassDone)
{
    const LightPlan plan = planLight(light, scene);
    if (plan.addsNothing) {
        return;
    }
    if (!plan.shadowUnread) {
        shadowPass(light, scene);
    }
    setViewCamera(VIEW_NEAR_AFTER_SHADOW);
    if (plan.shadowUnread) {
        loadWorldShadowMatrix();
    }
    // The lit passes leave the depth buffer alone, so the first light's
    // pre-pass serves them all (a second one would fail every test). It lays
    // down back faces, as the shadow pass's culling would leave it.
    if (scene == SceneKind::Play && !prepassDone) {
        glEnable(GL_CULL_FACE);
        glCullFace(GL_FRONT);
        depthPrepass();   // the menu's pre-pass draws nothing
        prepassDone = true;
    }
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    loadLight(light, GL_LIGHT0, scene == SceneKind::Splash);
    if (scene == SceneKind::Splash) {
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        glEnable(GL_CULL_FACE);
    }
    if (plan.scissored) {
        glScissor(renderer.view.x + plan.rect[0], renderer.view.y + plan.rect[1], plan.rect[2], plan.rect[3]);
        glEnable(GL_SCISSOR_TEST);
    }
    litPass(scene, plan.variant);
    if (plan.scissored) {
        glDisable(GL_SCISSOR_TEST);
    }
}

void depthPrepass()
{
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    renderer.orderFree = renderer.skipDeadWork;
    drawRoom();
    drawPlayObjects();
    releaseVertexBuffers();
    loadCameraMatrix();
    renderer.orderFree = false;
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
}

void renderPlay()
{
    beginFrame();
    prepareGrid();
    renderLitScene(SceneKind::Play);
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    clearDepthForTexts();
    drawHud();
    endFrame();
}

void renderMenu()
{
    beginFrame();
    renderLitScene(SceneKind::Menu);
    glDisable(GL_BLEND);
    clearDepthForTexts();
    drawMenuText();
    endFrame();
}

void renderSplash()
{
    beginFrame();
    setLightEnabled(SPLASH_LIGHT, true);
    renderLitScene(SceneKind::Splash);
    glDisable(GL_BLEND);
    endFrame();
}
