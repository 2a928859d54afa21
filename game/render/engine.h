// game/render/engine: the renderer's one record of state (switches, material
// path tables, the light log, the camera, the six lights, the light camera).
// Plain data without GL types, so the play rules and the tests use it freely.
#pragma once

#include <cstdint>

constexpr int LIGHT_COUNT = 6;
constexpr int MATERIAL_SLOTS = 100;       // entries per material path table
constexpr int MATERIAL_PATH_SIZE = 999;   // bytes per path, terminator included
constexpr int LOG_LINES = 999;
constexpr int LOG_LINE_SIZE = 999;   // bytes per log line, terminator included
constexpr int MAP_KINDS = 4;         // diffuse, normal, specular, height

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

extern Engine engine;
extern double cameraYaw;     // radians, turned by the mouse
extern double cameraPitch;   // radians, within +-MAX_PITCH
