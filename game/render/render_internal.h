// game/render/render_internal: what the render files share and nothing
// outside game/render calls. render.h stays the public face (records and the
// frame renderers); this adds the operations the frames are built from.
#pragma once

#include "game/render/engine.h"
#include "game/render/render.h"

struct Brick;
struct PlayField;
struct Texture;

// ---------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------

// One corner of a textured quad drawn in immediate mode.
struct QuadCorner {
    float s, t, x, y, z;
};

// ---------------------------------------------------------------------------
// Operations
// ---------------------------------------------------------------------------

// play_scene.cpp (the rest is in render.h)
// The field renderInputs names; an empty one before the shell names any.
const PlayField& shownField();

// loading.cpp
void loadScene();
// One step of the loading screen's bar, in the current colour; swap shows it at once.
void drawProgress(const char* bar, bool swap);

// shader_source.cpp
char* readTextFile(const char* path);   // new NUL-terminated buffer, or null; caller frees

// shadow.cpp
void buildShaderProgram();
// Right after a shadow pass, with the light camera's matrices in renderer.camera
// and renderer.projection: keeps them in the Engine and returns the matrix that
// carries eye coordinates of the view camera into the light's map (0..1).
Matrix4 shadowMatrix();
// The same, loaded as unit 4's texture matrix (the program of one light reads it there).
void loadShadowMatrix();
void loadMapTile(unsigned int program);   // where a light's own pass leaves its map, for program (in use)
// The one-pass program summing the given lights (ascending light numbers,
// each with its LIT_ bits), built at its first use; null when it cannot be built.
LightSetProgram* lightSetProgram(const int lights[], const int variants[], int count);
// Unit 4's texture matrix for a lit pass that reads no map: eye coordinates
// back to the world, whose points all fall outside the map (the splash's case).
void loadWorldShadowMatrix();

// transforms.cpp (setCamera is public)
void loadCameraMatrix();                       // model-view = renderer.camera
void loadObjectMatrix(const Matrix4& model);   // model-view = renderer.camera x model

// materials.cpp
void loadMaterial(const char* name);
void bindMaterial(int diffuse, int normal, int specular, int height);
void useMaterial(int material);                       // all four maps of one material
const Texture* materialMap(int material, int kind);   // the texture bindMaterial finds for a map

// map_packing.cpp
void packMaterial(int material);   // right after its maps load, in material order; may clear mapsPacked

// shapes.cpp: what every scene draws with; the boxes are the brick display list
void beginScene(bool shadowPass);   // culling for the pass, the scene's shininess
void drawQuad(const float normal[3], const QuadCorner (&corners)[4]);
void drawPaddle();                           // the play field's paddle, stretched to its width
void drawPaddleWithCannons();                // the armed paddle, its two laser cannons on top
void drawSpareLife(double x, double y);      // a spare paddle beside the field, unstretched
void drawFallingBrick(const Brick& brick);   // at its fall height, turning as it tumbles
void drawMenuCube(float spin);               // the menu's turning brick above the floor

// play_scene.cpp
void prepareGrid();   // each play frame first: materials by scene order, the grid buffer
void drawRoom();
void drawPlayObjects();
void drawPlayScene(bool shadowPass);

// menu_scene.cpp
void drawMenuScene(bool shadowPass);

// splash_scene.cpp
void drawSplashScene(bool shadowPass);

// grid.cpp
void createSceneBuffers();                   // at load: the room's buffer and room for a full grid
void fillGrid(const int materials[]);        // once per play frame: refills gridBuffer if the bricks changed
void useVertexBuffer(unsigned int buffer);   // client arrays on, pointing into buffer
void releaseVertexBuffers();                 // arrays off, no buffer bound (every scene pass ends so)
void drawRoomBuffer();
void drawGridByMaterial();                       // the order-free passes: one draw per material
void drawGridBricks(int firstSlot, int count);   // neighbours in gridBuffer, in the scene's order

// texts.cpp
void drawStrokeText(float x, float y, float z, int font, const char* text);
void drawMenuText();
void drawHud();

// light_plans.cpp
LightPlan planLight(const Light& light, SceneKind scene);   // with the frame's view camera set
bool shadowWindow(const Light& light, int window[4]);       // the map's texels the cone can read; false: all

// present.cpp
void createPictureTarget();   // at loading and on a resize: the offscreen target, or none (drawn into the window)
void beginPicture();          // each frame first: the framebuffer and the viewport the picture is drawn in
void bindPicture();           // back to that framebuffer and viewport after another one was drawn into

// light_set.cpp
// Every enabled light of the frame in one lit pass (with the view camera set,
// before any lit pass); false, having drawn nothing, when that cannot be done.
bool drawLightSet(SceneKind scene);

// frames.cpp
void setViewCamera(float nearPlane = VIEW_NEAR);   // the frame's view camera, from the Engine's eye
void depthPrepass();
void drawScene(SceneKind scene, bool shadowPass);
// The light's values into GL light glLight, with the view camera's model-view current (GL keeps them in eye space).
void loadLight(const Light& light, int glLight, bool splash);
void setLightCamera(const Light& light);   // the camera of the light's shadow pass
void bindShadowTexture();                  // the shadow maps on unit 4
// One light's own passes (its shadow pass, the pre-pass if not yet done, its lit pass).
void drawLightPasses(const Light& light, SceneKind scene, bool& prepassDone);
