// game/render/render: everything the game draws. Scene set-up and the loading
// screen, the shader program and shadow map, materials and geometry, texts
// and the HUD, and the three frame renderers with their per-light passes.
// Renderers only read the play field, the game state and the Engine.
//
// Index:
//   scene.cpp     runLoading, loadScene, display lists, vertex buffers, resolutions
//   shadow.cpp    readTextFile, buildShaderProgram (the lit programs), createShadowMap, loadShadowMatrix
//   materials.cpp loadMaterial, bindMaterial, packMaterial, the scenes of splash, menu and play, drawRoom, drawBox
//   grid.cpp      the brick grid's vertex buffer, drawn by material or in brick order
//   text.cpp      drawStrokeText, drawMenuText, drawHud
//   reach.cpp     what a light can reach: scissor rectangles, and proofs that a pass adds nothing
//   matrix.cpp    4x4 matrices on the CPU
//   frames.cpp    setCamera, renderSplash, renderMenu, renderPlay
#pragma once

#include "levelpack/catalogue.h"   // the materials in load order, the resolutions

#include <cstdint>

// ---------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------
constexpr int SHADOW_UNIT = 4;           // texture unit of the shadow lookup
constexpr float VIEW_NEAR = 0.5f;        // near plane of the view camera (see frames.cpp)
constexpr float FAR_PLANE = 40000.0f;
constexpr int BRICK_COUNT_MAX = 242;     // bricks of a level (the play field's grid)


// Lit program variants: the bits name the blocks a light leaves dead, so the
// program without them computes exactly what the full one does for it.
constexpr int LIT_DIRECTIONAL = 1;       // position w 0: no attenuation
constexpr int LIT_NO_CONE = 2;           // not a spot (cut-off 180): no cone
constexpr int LIT_NO_SHADOW = 4;         // no lookup can find a shadow: no shadow test
constexpr int LIT_VARIANTS = 8;
constexpr int LIT_FULL = 0;              // the program of the design, every block in

constexpr int GRID_VERTICES_PER_BRICK = 24;   // the brick box as quads

// ---------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------

enum class SceneKind { Splash, Menu, Play };

// A 4x4 matrix, column-major as GL loads it.
struct Matrix4 {
    double m[16];
};

// What one light's passes can leave out in this frame, each item proven to
// change no pixel (reach.cpp).
struct LightPlan {
    bool addsNothing = false;            // the lit pass adds exactly 0 everywhere
    bool shadowUnread = false;           // no lookup of the lit pass can find a shadow
    int variant = LIT_FULL;              // the lit program for it
    bool scissored = false;              // the lit pass is cut to rect (window pixels)
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
// kept for the run (the shadow map is rebuilt when the resolution changes).
struct Light;

struct Renderer {
    unsigned int sphereList = 1;         // capsule sphere display list
    unsigned int brickList = 2;          // one brick box display list
    int resolutions[RESOLUTION_COUNT][2] = {};   // width, height pairs for the options
    unsigned int shaderProgram = 0;      // 0 until built and linked (the full lit program)
    unsigned int litPrograms[LIT_VARIANTS] = {};   // by variant bits; [LIT_FULL] is shaderProgram
    unsigned int shadowTexture = 0;
    unsigned int shadowFramebuffer = 0;
    bool shadowMapReady = false;         // the framebuffer is complete
    bool plainTexturing = false;         // unit 0 texturing was switched on at load (no shadow path)
    int samplerLocations[5] = {-1, -1, -1, -1, -1};   // texture, normalMap, specularMap, heightMap, ShadowMap
    unsigned int boundTextures[5] = {};  // what units 0..4 hold, to skip redundant binds
    int activeUnit = -1;                 // the active texture unit as the binds left it; -1 unknown
    bool mapsPacked = false;             // every material's maps are packed in two textures (set at load)
    unsigned int packedMaps[MATERIAL_COUNT][2] = {};   // diffuse+specular, normal+height (RGBA)
    bool spotScissor = true;             // a spot light's lit pass of the play scene is cut to its cone's
                                         // window bound (same pixels; tests compare with it off)
    bool skipDeadWork = true;            // leave out passes and blocks proven dead, draw the order-free
                                         // passes by material (same pixels; tests compare with it off)
    Matrix4 camera = {};                 // the model-view of the camera setCamera set last
    Matrix4 projection = {};             // and its projection
    Matrix4 viewCamera = {};             // the view camera of this frame (the lit passes' eye space)
    Matrix4 viewProjection = {};         // and its projection
    unsigned int roomBuffer = 0;         // vertex buffer of the room's five faces (world coordinates)
    unsigned int gridBuffer = 0;         // vertex buffer of the present bricks, in brick order
    int gridBricks = 0;                  // bricks in gridBuffer
    int gridSlot[BRICK_COUNT_MAX] = {};  // each brick's place in gridBuffer (-1: not present)
    int gridFirst[MATERIAL_COUNT][BRICK_COUNT_MAX] = {};   // per material: first vertex of each run
    int gridCount[MATERIAL_COUNT][BRICK_COUNT_MAX] = {};   // per material: vertices of each run
    int gridRuns[MATERIAL_COUNT] = {};   // runs of neighbouring bricks listed per material
    GridVertex gridStaging[BRICK_COUNT_MAX * GRID_VERTICES_PER_BRICK] = {};   // what gridBuffer holds
    int brickMaterial[BRICK_COUNT_MAX] = {};     // this frame's material of each brick, capsule and
    int capsuleMaterial[BRICK_COUNT_MAX] = {};   // falling brick, as binding them in the scene's
    int fallingMaterial[BRICK_COUNT_MAX] = {};   // order leaves it (a bad type keeps the last one)
    bool orderFree = false;              // the pass being drawn does not depend on draw order
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
// Right after a shadow pass, with the light camera's matrices in renderer.camera
// and renderer.projection: keeps them in the Engine and loads unit 4's texture
// matrix so that it carries eye coordinates of the view camera into the map.
void loadShadowMatrix();
// Unit 4's texture matrix for a lit pass that reads no map: eye coordinates
// back to the world, whose points all fall outside the map (the splash's case).
void loadWorldShadowMatrix();
bool shadowPathAvailable();             // the program and the framebuffer exist
void loadCameraMatrix();                // model-view = renderer.camera
void loadObjectMatrix(const Matrix4& model);   // model-view = renderer.camera x model

// materials.cpp
void loadMaterial(const char* name);
void bindMaterial(int diffuse, int normal, int specular, int height);
void packMaterial(int material);        // right after its maps load, in material order; may clear mapsPacked
void drawPlayScene(bool shadowPass);
void drawMenuScene(bool shadowPass);
void drawSplashScene(bool shadowPass);
void drawRoom();
void drawPlayObjects();
void prepareGrid();                     // each play frame first: materials by scene order, the grid buffer
void drawBox(float offset, float base, float span, double x, double y, double z, bool cannons, float angle,
             int kind);

// grid.cpp
void createSceneBuffers();              // at load: the room's buffer and room for a full grid
void fillGrid(const int materials[]);   // once per play frame: refills gridBuffer if the bricks changed
void useVertexBuffer(unsigned int buffer);   // client arrays on, pointing into buffer
void releaseVertexBuffers();            // arrays off, no buffer bound (every scene pass ends so)
void drawRoomBuffer();
void drawGridByMaterial();              // the order-free passes: one draw per material
void drawGridBricks(int firstSlot, int count);   // neighbours in gridBuffer, in the scene's order

// text.cpp
void drawStrokeText(float x, float y, float z, int font, const char* text);
void drawMenuText();
void drawHud();

// reach.cpp
LightPlan planLight(const Light& light, SceneKind scene);   // with the frame's view camera set
bool spotLightInScene(const Light& light);
bool spotLightRectangle(const Light& light, SceneKind scene, int rect[4]);
bool shadowWindow(const Light& light, int window[4]);   // the map's texels the cone can read; false: all

// matrix.cpp
Matrix4 identityMatrix();
Matrix4 multiply(const Matrix4& a, const Matrix4& b);
Matrix4 translationMatrix(double x, double y, double z);
Matrix4 scaleMatrix(double x, double y, double z);
Matrix4 rotationMatrix(double degrees, double x, double y, double z);
Matrix4 perspectiveMatrix(double fieldOfView, double aspect, double nearPlane, double farPlane);
Matrix4 lookAtMatrix(const double eye[3], const double centre[3], const double up[3]);
Matrix4 rigidInverse(const Matrix4& a);
void transformPoint(const Matrix4& a, const double p[3], double out[4]);
void toFloats(const Matrix4& a, float out[16]);

// frames.cpp
void setCamera(float eyeX, float eyeY, float eyeZ, float centreX, float centreY, float centreZ, float nearPlane,
               float fieldOfView);
void renderSplash();
void renderMenu();
void renderPlay();
void depthPrepass();
