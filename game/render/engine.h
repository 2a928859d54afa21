// game/render/engine: the renderer's one record of state (switches, material
// path tables, the light log, the camera, the six lights, the light camera).
// Plain data without GL types, so the play rules and the tests use it freely.
#pragma once

#include <cstdint>

struct PlayField;

constexpr int LIGHT_COUNT = 6;
constexpr int MATERIAL_SLOTS = 100;       // entries per material path table
constexpr int MATERIAL_PATH_SIZE = 999;   // bytes per path, terminator included
constexpr int LOG_LINES = 999;
constexpr int LOG_LINE_SIZE = 999;         // bytes per log line, terminator included
constexpr int MAP_KINDS = 4;               // diffuse, normal, specular, height
constexpr int RENDER_MESSAGE_SIZE = 240;   // bytes of the menu's failure line, terminator included
constexpr int RENDER_TEXTS = 40;           // texts of one menu page
constexpr int RENDER_TEXT_SIZE = 112;      // bytes of one, terminator included
constexpr float TEXT_SCALE = 0.02f;        // world units per font unit of the menus' and the HUD's lines

// One light; the scene set-up gives each its working values before the first
// frame, and the play rules move them through the setters.
struct Light {
    bool enabled = false;               // takes part in the frame
    bool spot = false;                  // direction, exponent and cut-off apply
    float position[4] = {0, 0, 0, 1};   // x, y, z, w (w 0 = a direction)
    float direction[3] = {0, 0, 0};     // spot direction; also the shadow camera's view
    float colour[3] = {1, 1, 1};        // red, green, blue; may exceed 1
    float radius = 1.0f;                // passed as the colour's fourth component
    float constantAttenuation = 0;
    float quadraticAttenuation = 0;
    float linearAttenuation = 0;
    float spotExponent = 0;
    float spotCutoff = 0;   // degrees; the shadow camera's field of view is 3x this
};

// Exists before start-up and lives until the process ends.
struct Engine {
    bool loaded = false;                      // the first frame has built the scene
    bool logEnabled = false;                  // light setters write to messageLog
    bool shadowsEnabled = true;               // shadow-mapped, shader-lit rendering
    int32_t logCount = 0;                     // lines used in messageLog
    int32_t materialCounts[MAP_KINDS] = {};   // entries used per table: diffuse, normal, specular, height
    char materialPaths[MAP_KINDS][MATERIAL_SLOTS][MATERIAL_PATH_SIZE] = {};
    char messageLog[LOG_LINES][LOG_LINE_SIZE] = {};
    double cameraDirection[3] = {0, 0, -1};     // unit viewing direction
    double cameraPosition[3] = {40, 20, 110};   // eye, world units
    Light lights[LIGHT_COUNT];
    double lightProjection[16] = {};   // column-major, read back after each shadow pass
    double lightModelview[16] = {};
};

enum class TextColour : uint8_t { White, Red, Grey };

// One text of a menu page, where the shell lays it out: at z 20, unlit.
struct MenuText {
    float x = 0;                // world units: the left end of the baseline, or its middle when centred
    float y = 0;                // of the baseline
    float scale = TEXT_SCALE;   // world units per font unit
    uint8_t font = 0;           // 0 roman (proportional), 1 mono roman
    bool centred = false;
    TextColour colour = TextColour::White;
    int8_t mark = -1;   // the character underlined (a cursor, a choice); -1: none
    char text[RENDER_TEXT_SIZE] = {};
};

// What the HUD says over a play scene that is not the player's game.
enum class PlayBanner : uint8_t { Game, Demo, Replay };   // Game: no banner

// What the renderer needs of the shell, filled by the shell before each frame
// it draws (and before the loading frame); the renderer reads nothing else of
// the shell. Lives for the whole run.
struct RenderInputs {
    int32_t width = 1024;   // the picture's chosen size (RESOLUTION), pixels; drawn cut to 5:4..16:9
    int32_t height = 768;
    int32_t windowWidth = 1024;   // the window's drawable, pixels: the picture is shown scaled into it
    int32_t windowHeight = 768;
    MenuText menuTexts[RENDER_TEXTS];   // the menu page on screen: its lines, values and hints
    int32_t menuTextCount = 0;
    bool menuMarkers = true;   // the white markers at the menu's lights (a page whose cursor is a red row has none)
    double menuMarkerScale = 1;   // their size: a marker slid towards the eye is drawn smaller, to look the same
    char menuMessage[RENDER_MESSAGE_SIZE] = {};   // a failure the menu shows; empty: none
    float menuMessageY = -6;                      // the baseline of its first row
    bool readyShown = false;                      // READY shows (the ready phase, also while paused in it)
    bool paused = false;                          // PAUSED shows
    bool askingEnd = false;                       // END THIS GAME? shows, with YES or NO chosen
    bool answerYes = false;
    int32_t highScore = 50000;              // the HUD's HIGH figure
    double readySlide = 0;                  // y of the READY text
    double exitSpin[4] = {};                // degrees of the open exit's four zig-zags
    double menuSpin = 0;                    // degrees of the menu's spinning brick
    const PlayField* field = nullptr;       // the field the play scene shows: the game's, or the demo's
    PlayBanner banner = PlayBanner::Game;   // what the HUD says the play scene is, when not a game
};

extern Engine engine;
extern RenderInputs renderInputs;
extern double cameraYaw;     // radians, turned by the mouse
extern double cameraPitch;   // radians, within +-MAX_PITCH
