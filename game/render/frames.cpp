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

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// The view camera's near plane. The design's 0.0001 (0.001 after a shadow
// pass) against a far plane of 40000 leaves a 24-bit depth buffer about five
// units of resolution at the camera's distance, so bricks sank into the back
// wall; 0.5 keeps the picture and nothing else depends on it.
constexpr float VIEW_NEAR_AFTER_SHADOW = VIEW_NEAR;

constexpr double CONE_MARGIN_DEGREES = 1; // spot cones are widened by this when bounded, for rounding
constexpr int SCISSOR_MARGIN = 2;         // pixels added around a bound

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

bool spotLightInScene(const Light& light);

void shadowPass(const Light& light, Scene scene)
{
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_CULL_FACE);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, renderer.shadowFramebuffer);
    const int mapWidth = 2 * config.screenWidth, mapHeight = 2 * config.screenHeight;
    glViewport(0, 0, mapWidth, mapHeight);
    // The shadow camera looks down the spot's axis with three times its
    // cut-off as field of view, so the cone fills only the middle of the
    // map; texels outside it are read only where the light adds nothing.
    const bool cut = scene == Scene::Play && spotLightInScene(light);
    if (cut) {
        const double pi = 3.14159265358979323846;
        const int height = config.screenHeight != 0 ? config.screenHeight : 1;
        const double aspect = std::max(1, config.screenWidth / height);
        const double reach = std::tan((light.spotCutoff + CONE_MARGIN_DEGREES) * pi / 180) /
                             std::tan(1.5 * light.spotCutoff * pi / 180);
        const int halfWidth = static_cast<int>(std::ceil(reach / aspect * mapWidth / 2)) + SCISSOR_MARGIN;
        const int halfHeight = static_cast<int>(std::ceil(reach * mapHeight / 2)) + SCISSOR_MARGIN;
        glScissor(mapWidth / 2 - halfWidth, mapHeight / 2 - halfHeight, 2 * halfWidth, 2 * halfHeight);
        glEnable(GL_SCISSOR_TEST);
    }
    glClear(GL_DEPTH_BUFFER_BIT);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    setCamera(light.position[0], light.position[1], light.position[2], light.position[0] + light.direction[0],
              light.position[1] + light.direction[1], light.position[2] + light.direction[2], 1.0f,
              3 * light.spotCutoff);
    drawScene(scene, true);
    if (cut) {
        glDisable(GL_SCISSOR_TEST);
    }
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

// ---------------------------------------------------------------------------
// Spot light scissor. Outside its cone a spot light adds exactly nothing (the
// shader's cone factor is 0), yet the lit pass shades every pixel of the
// scene. The play scene lies in a known box, so the part of the cone inside
// it bounds, in window pixels, everything the pass can change.
// ---------------------------------------------------------------------------
struct Vec3 {
    double x, y, z;
};
Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator*(Vec3 a, double k) { return {a.x * k, a.y * k, a.z * k}; }
double dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

// A half-space: dot(normal, p) <= offset.
struct Plane {
    Vec3 normal;
    double offset;
};

constexpr int CONE_SIDES = 16;            // sides of the pyramid standing in for the cone
constexpr int MAX_POLYGON = 64;           // corners a clipped face can have

struct Polygon {
    Vec3 corners[MAX_POLYGON];
    int count = 0;
};

// Sutherland-Hodgman: the part of polygon inside the half-space.
Polygon clipPolygon(const Polygon& polygon, const Plane& plane)
{
    Polygon out;
    for (int i = 0; i < polygon.count; ++i) {
        const Vec3 a = polygon.corners[i];
        const Vec3 b = polygon.corners[(i + 1) % polygon.count];
        const double da = dot(plane.normal, a) - plane.offset;
        const double db = dot(plane.normal, b) - plane.offset;
        if (da <= 0 && out.count < MAX_POLYGON) {
            out.corners[out.count++] = a;
        }
        if (((da < 0 && db > 0) || (da > 0 && db < 0)) && out.count < MAX_POLYGON) {
            out.corners[out.count++] = a + (b - a) * (da / (da - db));
        }
    }
    return out;
}

// The box every play object lies in: the room and each object's surroundings.
void playSceneBox(Vec3& low, Vec3& high)
{
    low = {20, -15, 13};     // the room, as drawRoom places it
    high = {60, 55, 83};
    auto grow = [&](double x, double y, double reach) {
        low = {std::min(low.x, x - reach), std::min(low.y, y - reach), std::min(low.z, PLAY_PLANE_Z - reach)};
        high = {std::max(high.x, x + reach), std::max(high.y, y + reach), std::max(high.z, PLAY_PLANE_Z + reach)};
    };
    grow(field.paddle.x, field.paddle.y, std::abs(field.paddle.halfWidth) + 3);
    for (int i = 0; i < 6; ++i) {
        grow(68 + 4 * (i % 3), 33, 4);   // the spare paddles
        grow(68 + 4 * (i % 3), 35, 4);
    }
    for (const Brick& brick : field.bricks) {
        if (brick.present) {
            grow(brick.x, brick.y, 3);
        }
        if (brick.capsuleFalling) {
            grow(brick.x, brick.capsuleY, 3);
        } else if (brick.brickFalling) {
            grow(brick.x, brick.fallY, 3);
        }
    }
}

// A spot light at a point with a cone narrow enough to bound (its shadow
// camera's field of view, three times the cut-off, stays below 180 degrees).
bool spotLightInScene(const Light& light)
{
    const double cutoff = light.spotCutoff + CONE_MARGIN_DEGREES;
    const double length = std::sqrt(dot({light.direction[0], light.direction[1], light.direction[2]},
                                        {light.direction[0], light.direction[1], light.direction[2]}));
    return renderer.spotScissor && light.spot && light.position[3] != 0 && cutoff < 59 && light.spotCutoff > 0 &&
           length >= 1e-6;
}

// The window rectangle (x, y, width, height) outside which the spot light
// cannot change a pixel of the play scene; false when no useful bound exists.
bool spotLightRectangle(const Light& light, int rect[4])
{
    const double cutoff = light.spotCutoff + CONE_MARGIN_DEGREES;
    const Vec3 apex = {light.position[0], light.position[1], light.position[2]};
    Vec3 axis = {light.direction[0], light.direction[1], light.direction[2]};
    const double axisLength = std::sqrt(dot(axis, axis));
    if (!spotLightInScene(light) || axisLength < 1e-6) {
        return false;
    }
    axis = axis * (1 / axisLength);

    Vec3 low, high;
    playSceneBox(low, high);
    Vec3 boxCorners[8];
    double reach = 0;
    for (int i = 0; i < 8; ++i) {
        boxCorners[i] = {(i & 1) ? high.x : low.x, (i & 2) ? high.y : low.y, (i & 4) ? high.z : low.z};
        const Vec3 d = boxCorners[i] - apex;
        reach = std::max(reach, std::sqrt(dot(d, d)));
    }

    // The pyramid around the cone, reaching past the farthest corner of the box.
    const Vec3 helper = std::abs(axis.x) < 0.9 ? Vec3{1, 0, 0} : Vec3{0, 1, 0};
    Vec3 u = cross(axis, helper);
    u = u * (1 / std::sqrt(dot(u, u)));
    const Vec3 v = cross(axis, u);
    const double pi = 3.14159265358979323846;
    const double radius = reach * std::tan(cutoff * pi / 180) / std::cos(pi / CONE_SIDES);
    Vec3 base[CONE_SIDES];
    for (int i = 0; i < CONE_SIDES; ++i) {
        const double angle = 2 * pi * i / CONE_SIDES;
        base[i] = apex + axis * reach + u * (radius * std::cos(angle)) + v * (radius * std::sin(angle));
    }
    const Vec3 inside = apex + axis * (reach * 0.75);
    Plane pyramidPlanes[CONE_SIDES + 1];
    Polygon pyramidFaces[CONE_SIDES + 1];
    for (int i = 0; i < CONE_SIDES; ++i) {
        const Vec3 b0 = base[i], b1 = base[(i + 1) % CONE_SIDES];
        Vec3 normal = cross(b0 - apex, b1 - apex);
        if (dot(normal, inside - apex) > 0) {
            normal = normal * -1;
        }
        pyramidPlanes[i] = {normal, dot(normal, apex)};
        pyramidFaces[i].corners[0] = apex;
        pyramidFaces[i].corners[1] = b0;
        pyramidFaces[i].corners[2] = b1;
        pyramidFaces[i].count = 3;
    }
    pyramidPlanes[CONE_SIDES] = {axis, dot(axis, apex + axis * reach)};
    for (int i = 0; i < CONE_SIDES; ++i) {
        pyramidFaces[CONE_SIDES].corners[i] = base[i];
    }
    pyramidFaces[CONE_SIDES].count = CONE_SIDES;

    const Plane boxPlanes[6] = {{{-1, 0, 0}, -low.x}, {{1, 0, 0}, high.x}, {{0, -1, 0}, -low.y},
                                {{0, 1, 0}, high.y},  {{0, 0, -1}, -low.z}, {{0, 0, 1}, high.z}};
    static const int BOX_FACES[6][4] = {{0, 2, 6, 4}, {1, 3, 7, 5}, {0, 1, 5, 4},
                                        {2, 3, 7, 6}, {0, 1, 3, 2}, {4, 5, 7, 6}};

    // The corners of pyramid-and-box: the pyramid's faces inside the box and
    // the box's faces inside the pyramid. Their window bound is the answer.
    GLdouble model[16], projection[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    const double width = config.screenWidth, height = config.screenHeight;
    double minX = 1e30, minY = 1e30, maxX = -1e30, maxY = -1e30;
    bool behindEye = false;
    int corners = 0;
    auto take = [&](const Polygon& polygon) {
        for (int i = 0; i < polygon.count; ++i) {
            const Vec3 p = polygon.corners[i];
            double eye[4], clip[4];
            for (int r = 0; r < 4; ++r) {
                eye[r] = model[r] * p.x + model[4 + r] * p.y + model[8 + r] * p.z + model[12 + r];
            }
            for (int r = 0; r < 4; ++r) {
                clip[r] = projection[r] * eye[0] + projection[4 + r] * eye[1] + projection[8 + r] * eye[2] +
                          projection[12 + r] * eye[3];
            }
            if (clip[3] < VIEW_NEAR * 0.5) {
                behindEye = true;
                return;
            }
            const double x = (clip[0] / clip[3] + 1) * 0.5 * width;
            const double y = (clip[1] / clip[3] + 1) * 0.5 * height;
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
            ++corners;
        }
    };
    for (const Polygon& face : pyramidFaces) {
        Polygon clipped = face;
        for (const Plane& plane : boxPlanes) {
            clipped = clipPolygon(clipped, plane);
        }
        take(clipped);
    }
    for (const auto& indices : BOX_FACES) {
        Polygon clipped;
        for (int index : indices) {
            clipped.corners[clipped.count++] = boxCorners[index];
        }
        for (const Plane& plane : pyramidPlanes) {
            clipped = clipPolygon(clipped, plane);
        }
        take(clipped);
    }
    if (behindEye) {
        return false;
    }
    if (corners == 0) {   // the cone misses the scene
        rect[0] = rect[1] = rect[2] = rect[3] = 0;
        return true;
    }
    const int x0 = std::max(0, static_cast<int>(std::floor(minX)) - SCISSOR_MARGIN);
    const int y0 = std::max(0, static_cast<int>(std::floor(minY)) - SCISSOR_MARGIN);
    const int x1 = std::min(config.screenWidth, static_cast<int>(std::ceil(maxX)) + SCISSOR_MARGIN);
    const int y1 = std::min(config.screenHeight, static_cast<int>(std::ceil(maxY)) + SCISSOR_MARGIN);
    rect[0] = x0;
    rect[1] = y0;
    rect[2] = std::max(0, x1 - x0);
    rect[3] = std::max(0, y1 - y0);
    return true;
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
    bool prepassDone = false;
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
        // The lit passes leave the depth buffer alone, so the first light's
        // pre-pass serves them all (a second one would fail every test).
        if (scene == Scene::Play && !prepassDone) {
            depthPrepass();   // the menu's pre-pass draws nothing
            prepassDone = true;
        }
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        int rect[4];
        const bool scissored = renderer.spotScissor && scene == Scene::Play && spotLightRectangle(light, rect);
        if (scissored) {
            glScissor(rect[0], rect[1], rect[2], rect[3]);
            glEnable(GL_SCISSOR_TEST);
        }
        litPass(scene);
        if (scissored) {
            glDisable(GL_SCISSOR_TEST);
        }
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
