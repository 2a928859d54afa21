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
// and renderer.projection: keeps them in the Engine and loads unit 4's texture
// matrix so that it carries eye coordinates of the view camera into the map.
void loadShadowMatrix();
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
// The options' LEVELS PACK line holds this many characters of a pack's name.
constexpr size_t PACK_NAME_SHOWN = 13;
// name in capitals as that line shows it: whole, or its start and end around "..." when too long.
void shownPackName(const char* name, char* shown, size_t size);
void drawMenuText();
void drawHud();

// light_plans.cpp
LightPlan planLight(const Light& light, SceneKind scene);   // with the frame's view camera set
bool shadowWindow(const Light& light, int window[4]);       // the map's texels the cone can read; false: all

// present.cpp
void createPictureTarget();   // at loading and on a resize: the offscreen target, or none (drawn into the window)
void beginPicture();          // each frame first: the framebuffer and the viewport the picture is drawn in
void bindPicture();           // back to that framebuffer and viewport after another one was drawn into

// frames.cpp
void depthPrepass();
