// game/render/render: everything the game draws. Scene set-up and the loading
// screen, the shader program and shadow map, materials and geometry, texts
// and the HUD, and the three frame renderers with their per-light passes.
// Renderers only read the play field, the game state and the Engine.
//
// Index:
//   scene.cpp     runLoading, loadScene, display lists, resolutions
//   shadow.cpp    readTextFile, buildShaderProgram, createShadowMap, loadShadowMatrix, object transforms
//   materials.cpp loadMaterial, bindMaterial, packMaterial, the scenes of splash, menu and play, drawRoom, drawBox
//   text.cpp      drawStrokeText, drawMenuText, drawHud
//   frames.cpp    setCamera, renderSplash, renderMenu, renderPlay
#pragma once

#include <cstdint>

// ---------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------
constexpr int RESOLUTION_COUNT = 7;
constexpr int MATERIAL_COUNT = 24;
constexpr int SHADOW_UNIT = 4;           // texture unit of the shadow lookup
constexpr float VIEW_NEAR = 0.5f;        // near plane of the view camera (see frames.cpp)
constexpr float FAR_PLANE = 40000.0f;

// Material indices, fixed by the load order.
enum MaterialIndex {
    MAT_BACKGROUND1 = 0, MAT_PLAYER = 1, MAT_RED = 2, MAT_BLUE = 3, MAT_ORANGE = 4, MAT_PINK = 5,
    MAT_GREEN = 6, MAT_GREY = 7, MAT_IRON = 8, MAT_PRIZE_E = 9, MAT_PRIZE_C = 10, MAT_PRIZE_S = 11,
    MAT_PRIZE_P = 12, MAT_PRIZE_L = 13, MAT_PRIZE_D = 14, MAT_PRIZE_B = 15, MAT_PLAYERLASER = 16,
    MAT_LIGHTBLUE = 17, MAT_WHITE = 18, MAT_BACKGROUND2 = 19, MAT_BACKGROUND3 = 20, MAT_BACKGROUND4 = 21,
    MAT_MENU = 22, MAT_MORVI = 23,
};

extern const char* const MATERIAL_NAMES[MATERIAL_COUNT];

// ---------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------

// GL objects and per-frame values of the renderer; built by the first frame,
// kept for the run (the shadow map is rebuilt when the resolution changes).
struct Renderer {
    unsigned int sphereList = 1;         // capsule sphere display list
    unsigned int brickList = 2;          // one brick box display list
    int resolutions[RESOLUTION_COUNT][2] = {};   // width, height pairs for the options
    unsigned int shaderProgram = 0;      // 0 until built and linked
    unsigned int shadowTexture = 0;
    unsigned int shadowFramebuffer = 0;
    bool shadowMapReady = false;         // the framebuffer is complete
    bool plainTexturing = false;         // unit 0 texturing was switched on at load (no shadow path)
    int samplerLocations[5] = {-1, -1, -1, -1, -1};   // texture, normalMap, specularMap, heightMap, ShadowMap
    unsigned int boundTextures[4] = {};  // what units 0..3 hold, to skip redundant binds
    bool mapsPacked = false;             // every material's maps are packed in two textures (set at load)
    unsigned int packedMaps[MATERIAL_COUNT][2] = {};   // diffuse+specular, normal+height (RGBA)
    bool spotScissor = true;             // a spot light's lit pass of the play scene is cut to its cone's
                                         // window bound (same pixels; tests compare with it off)
};

extern Renderer renderer;

// ---------------------------------------------------------------------------
// Operations
// ---------------------------------------------------------------------------

// scene.cpp
void runLoading();
void loadScene();

// shadow.cpp
char* readTextFile(const char* path);   // new NUL-terminated buffer, or null; caller frees
void buildShaderProgram();
void createShadowMap();
void loadShadowMatrix();
void pushObjectTransform(float x, float y, float z, float angle, bool axisX, bool axisY, bool axisZ);
void popObjectTransform();
bool shadowPathAvailable();             // the program and the framebuffer exist

// materials.cpp
void loadMaterial(const char* name);
void bindMaterial(int diffuse, int normal, int specular, int height);
void packMaterial(int material);        // right after its maps load, in material order; may clear mapsPacked
void drawPlayScene(bool shadowPass);
void drawMenuScene(bool shadowPass);
void drawSplashScene(bool shadowPass);
void drawRoom();
void drawPlayObjects();
void drawBox(float offset, float base, float span, double x, double y, double z, bool cannons, float angle,
             int kind);

// text.cpp
void drawStrokeText(float x, float y, float z, int font, const char* text);
void drawMenuText();
void drawHud();

// frames.cpp
void setCamera(float eyeX, float eyeY, float eyeZ, float centreX, float centreY, float centreZ, float nearPlane,
               float fieldOfView);
void renderSplash();
void renderMenu();
void renderPlay();
void depthPrepass();
