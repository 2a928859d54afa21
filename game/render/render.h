// game/render/render: everything the game draws — the public face. The
// renderer's records, and what the shell and the tests call: loading the
// scene, rebuilding the shadow map, the camera and the three frame renderers.
// Renderers only read the play field, the Engine and what the shell put in
// renderInputs (engine.h); they include nothing of the shell. What the render
// files share among themselves is in render_internal.h.
//
// Index:
//   loading.cpp        runLoading, loadScene, display lists, resolutions; the Renderer instance
//   shader_source.cpp  readTextFile (shader sources, size-capped)
//   shadow.cpp         buildShaderProgram (the lit programs, one light or a light set), createShadowMap
//                      (the shadow texture), the shadow texture matrix
//   present.cpp        the picture's offscreen target and its scaled blit into the window
//   transforms.cpp     setCamera, the camera and object matrices loaded into GL
//   materials.cpp      loadMaterial, bindMaterial (with the texture-unit cache)
//   map_packing.cpp    packMaterial: two maps in one RGBA texture, and back
//   shapes.cpp         beginScene, drawQuad, the brick-box objects (paddle, spare life, falling brick, menu cube)
//   play_scene.cpp     prepareGrid, drawRoom, drawPlayObjects (bricks in order, capsules, falling bricks)
//   menu_scene.cpp     drawMenuScene
//   splash_scene.cpp   drawSplashScene
//   grid.cpp           the brick grid's vertex buffer, drawn by material or in brick order
//   texts.cpp          drawStrokeText, drawMenuText, drawHud
//   light_plans.cpp    planLight: the passes a light can leave out, from the scene boxes
//   light_regions.cpp  window-free: the scissored draws of the one lit pass (its own library, no GL)
//   light_set.cpp      drawLightSet: every light in one lit pass, their shadow maps as tiles of one texture
//   spot_bounds.cpp    window-free spot-light bounds (its own library, no GL)
//   matrix.cpp         4x4 matrices on the CPU
//   frames.cpp         renderSplash, renderMenu, renderPlay and their per-light passes
#pragma once

#include "game/render/engine.h"    // LIGHT_COUNT
#include "game/render/matrix.h"    // Matrix4
#include "game/render/picture.h"   // PictureRect
#include "levelpack/catalogue.h"   // the materials in load order, the resolutions

#include <cstdint>

// ---------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------
constexpr int SHADOW_UNIT = 4;      // texture unit of the shadow lookup
constexpr float VIEW_NEAR = 0.5f;   // near plane of the view camera (see frames.cpp)
constexpr float FAR_PLANE = 40000.0f;
constexpr int BRICK_COUNT_MAX = 242;   // bricks of a level (the play field's grid)

// Lit program variants: the bits name the blocks a light leaves dead, so the
// program without them computes exactly what the full one does for it.
constexpr int LIT_DIRECTIONAL = 1;   // position w 0: no attenuation
constexpr int LIT_NO_CONE = 2;       // not a spot (cut-off 180): no cone
constexpr int LIT_NO_SHADOW = 4;     // no lookup can find a shadow: no shadow test
constexpr int LIT_VARIANTS = 8;
constexpr int LIT_FULL = 0;   // the program of the design, every block in

constexpr int GRID_VERTICES_PER_BRICK = 24;   // the brick box as quads

constexpr int LIGHT_SET_PROGRAMS = 48;   // one-pass programs kept (each sums one set of lights)

// ---------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------

enum class SceneKind { Splash, Menu, Play };

// What one light's passes can leave out in this frame, each item proven to
// change no pixel (light_plans.cpp).
struct LightPlan {
    bool addsNothing = false;    // the lit pass adds exactly 0 everywhere
    bool shadowUnread = false;   // no lookup of the lit pass can find a shadow
    int variant = LIT_FULL;      // the lit program for it
    bool scissored = false;      // the lit pass is cut to rect (window pixels)
    int rect[4] = {};
};

// The brick box, 3.4 x 2 x 1, each face wound counter-clockwise from outside.
struct BrickCorner {
    float s, t, x, y, z;
};
struct BrickFace {
    float normal[3];
    BrickCorner corners[4];
};
extern const BrickFace BRICK_FACES[6];

// One vertex of the room's and the grid's buffers, in world coordinates.
struct GridVertex {
    float position[3];
    float normal[3];
    float texCoord[2];
};

// GL objects and per-frame values of the renderer; built by the first frame,
// kept for the run (the picture's target and the shadow map are rebuilt when
// the resolution changes).
struct Light;

// The program of the one lit pass for one set of lights: its key, the GL
// program and when its uniforms were last set. Built the first time a frame
// needs the set; the least recently used one makes room for a new one.
struct LightSetProgram {
    int count = -1;                     // lights in the set; -1: the slot is free
    int lights[LIGHT_COUNT] = {};       // light numbers (also their GL lights), ascending
    int variants[LIGHT_COUNT] = {};     // each one's LIT_ bits
    unsigned int program = 0;           // 0: failed to build
    int matricesLocation = -1;          // uniform shadowMatrices[], shadowTiles[]
    int tilesLocation = -1;
    unsigned int uniformsFrame = 0;     // the frame whose shadow matrices it holds (0: none)
    unsigned int usedFrame = 0;         // the last frame that drew with it
};

struct Renderer {
    unsigned int sphereList = 1;                   // capsule sphere display list
    unsigned int brickList = 2;                    // one brick box display list
    int resolutions[RESOLUTION_COUNT][2] = {};     // width, height pairs for the options
    unsigned int shaderProgram = 0;                // 0 until built and linked (the full lit program)
    unsigned int litPrograms[LIT_VARIANTS] = {};   // by variant bits; [LIT_FULL] is shaderProgram
    unsigned int shadowTexture = 0;       // the shadow maps: one light's map, or tiles of several
    unsigned int shadowFramebuffer = 0;
    int shadowWidth = 0;                  // its size: at least a map of twice the picture's size, and
    int shadowHeight = 0;                 // room for six spot lights' tiles side by side
    int pictureWidth = 1024;   // the size the scene is drawn at (the chosen one, cut to 5:4..16:9)
    int pictureHeight = 768;
    bool offscreen = false;                // pictureFramebuffer exists (framebuffer objects work)
    bool drawnOffscreen = false;           // this frame is drawn into it and shown scaled; else into the window
    unsigned int pictureFramebuffer = 0;   // the offscreen target, with its colour and depth renderbuffers
    unsigned int pictureColour = 0;
    unsigned int pictureDepth = 0;
    PictureRect view;                                 // this frame's viewport: the whole target, or the window's middle
    bool shadowMapReady = false;                      // the framebuffer is complete
    bool plainTexturing = false;                      // unit 0 texturing was switched on at load (no shadow path)
    int samplerLocations[5] = {-1, -1, -1, -1, -1};   // texture, normalMap, specularMap, heightMap, ShadowMap
    unsigned int boundTextures[5] = {};               // what units 0..4 hold, to skip redundant binds
    int activeUnit = -1;                              // the active texture unit as the binds left it; -1 unknown
    bool mapsPacked = false;                          // every material's maps are packed in two textures (set at load)
    unsigned int packedMaps[MATERIAL_COUNT][2] = {};   // diffuse+specular, normal+height (RGBA)
    bool spotScissor = true;                           // a spot light's lit pass of the play scene is cut to its cone's
                                                       // window bound (same pixels; tests compare with it off)
    bool skipDeadWork = true;                          // leave out passes and blocks proven dead, draw the order-free
                                                       // passes by material (same pixels; tests compare with it off)
    bool onePass = true;          // all lights in one lit pass (within a level or two of the passes one by
                                  // one; tests compare with it off)
    bool onePassFailed = false;   // a light set's program did not build: one pass per light from then on
    unsigned int frameNumber = 0;                        // counts frames drawn, from 1
    LightSetProgram setPrograms[LIGHT_SET_PROGRAMS];   // the one-pass programs built so far
    Matrix4 camera = {};                               // the model-view of the camera setCamera set last
    Matrix4 projection = {};                           // and its projection
    Matrix4 viewCamera = {};                           // the view camera of this frame (the lit passes' eye space)
    Matrix4 viewProjection = {};                       // and its projection
    unsigned int roomBuffer = 0;                       // vertex buffer of the room's five faces (world coordinates)
    unsigned int gridBuffer = 0;                       // vertex buffer of the present bricks, in brick order
    int gridBricks = 0;                                // bricks in gridBuffer
    int gridSlot[BRICK_COUNT_MAX] = {};                // each brick's place in gridBuffer (-1: not present)
    int gridFirst[MATERIAL_COUNT][BRICK_COUNT_MAX] = {};   // per material: first vertex of each run
    int gridCount[MATERIAL_COUNT][BRICK_COUNT_MAX] = {};   // per material: vertices of each run
    int gridRuns[MATERIAL_COUNT] = {};                     // runs of neighbouring bricks listed per material
    GridVertex gridStaging[BRICK_COUNT_MAX * GRID_VERTICES_PER_BRICK] = {};   // what gridBuffer holds
    int brickMaterial[BRICK_COUNT_MAX] = {};     // this frame's material of each brick, capsule and
    int capsuleMaterial[BRICK_COUNT_MAX] = {};   // falling brick, as binding them in the scene's
    int fallingMaterial[BRICK_COUNT_MAX] = {};   // order leaves it (a bad type keeps the last one)
    bool orderFree = false;                      // the pass being drawn does not depend on draw order
};

extern Renderer renderer;

// ---------------------------------------------------------------------------
// Operations
// ---------------------------------------------------------------------------

// loading.cpp
void runLoading();   // the first frame: builds the scene, drawing a progress bar

// shadow.cpp
void createShadowMap();       // (re)built at twice the picture's size; may switch shadows off
bool shadowPathAvailable();   // the program and the framebuffer exist

// present.cpp
void resizeRender();     // the picture's target and the shadow map at renderInputs' size, at once
void presentPicture();   // the frame drawn so far into the window, scaled, then the buffer swap

// transforms.cpp
void setCamera(float eyeX, float eyeY, float eyeZ, float centreX, float centreY, float centreZ, float nearPlane,
               float fieldOfView);

// frames.cpp
void renderSplash();
void renderMenu();
void renderPlay();
