// game/render/lights: light setters and the in-memory light log.
#include "game/render/lights.h"

#include <cstring>

namespace {

Light& lightAt(int light) { return engine.lights[light]; }

}   // namespace

void initLights()
{
    struct Initial {
        bool enabled, spot;
        float radius;
        float position[4];
        float direction[3];
        float colour[3];
        float exponent, cutoff;
    };
    static const Initial table[LIGHT_COUNT] = {
        {true, true, 0.2f, {-20, 15, -5, 1}, {0, 1, -0.1f}, {0.8f, 0.8f, 0.8f}, 0, 40},
        {false, true, 0.2f, {-20, 15, -5, 1}, {0, 1, 0}, {0.8f, 0.8f, 0.8f}, 0, 40},
        {false, true, 0.2f, {-20, 15, -5, 1}, {0, 1, 0}, {0.8f, 0.8f, 0.8f}, 0, 40},
        {false, false, 0.0f, {0, 0, 0, 0}, {0, 0, -1}, {0, 0, 0}, 1, 30},
        {false, true, 0.2f, {-20, 15, -5, 1}, {0, 1, -0.8f}, {2.0f, 0.8f, 0.8f}, 0, 40},
        {false, true, 0.2f, {-20, 15, -5, 1}, {0, 1, -1.8f}, {2.0f, 0.8f, 0.8f}, 0, 40},
    };
    for (int i = 0; i < LIGHT_COUNT; ++i) {
        Light& l = lightAt(i);
        const Initial& t = table[i];
        l.enabled = t.enabled;
        l.spot = t.spot;
        l.radius = t.radius;
        memcpy(l.position, t.position, sizeof l.position);
        memcpy(l.direction, t.direction, sizeof l.direction);
        memcpy(l.colour, t.colour, sizeof l.colour);
        l.constantAttenuation = 0;
        l.quadraticAttenuation = 0;
        l.linearAttenuation = 0;
        l.spotExponent = t.exponent;
        l.spotCutoff = t.cutoff;
    }
}

namespace {

// Where lights 0, 1 and 2 stand for each menu line (x relative to the camera).
struct MenuLights {
    float light[3][3];
};
const MenuLights MENU_LIGHTS[MENU_LINES_MAX] = {
    {{{-8, 21, 25}, {20, 10, -50}, {-40, 21, -60}}},
    {{{-8, 16, 25}, {20, 8, -40}, {-40, 16, -30}}},
    {{{-8, 11, 25}, {20, 11, -60}, {-40, 11, -20}}},
    {{{-8, 6, 25}, {20, 6, -40}, {-40, 2, -50}}},
    {{{-8, 1, 25}, {10, 29, -40}, {-20, 8, -50}}},
};

}   // namespace

void placeMenuLights(int line, float cameraX)
{
    setLightPosition(SPLASH_LIGHT, 0, 100, 0, 0);
    setLightDirection(SPLASH_LIGHT, 0, -1, 0);
    setLightDirection(0, 0, 1, -0.9f);
    setLightEnabled(1, true);
    setLightEnabled(2, true);
    setLightDirection(1, 0, -1, -0.1f);
    setLightDirection(2, 0, -1, -0.1f);
    const MenuLights& place = MENU_LIGHTS[line < 0 ? 0 : (line >= MENU_LINES_MAX ? MENU_LINES_MAX - 1 : line)];
    for (int i = 0; i < 3; ++i) {
        setLightPosition(i, cameraX + place.light[i][0], place.light[i][1], place.light[i][2], 0);
    }
}

void appendLog(const char* text)
{
    if (!engine.logEnabled || engine.logCount >= LOG_LINES) {
        return;
    }
    char* line = engine.messageLog[engine.logCount];
    strncpy(line, text, LOG_LINE_SIZE - 1);
    line[LOG_LINE_SIZE - 1] = '\0';
    ++engine.logCount;
}

void setLightEnabled(int light, bool enabled) { lightAt(light).enabled = enabled; }

void setLightRadius(int light, float radius)
{
    lightAt(light).radius = radius;
    appendLog("Light Radius Changed...");
}

void setLightPosition(int light, float x, float y, float z, int w)
{
    float* p = lightAt(light).position;
    p[0] = x;
    p[1] = y;
    p[2] = z;
    p[3] = static_cast<float>(w);
    appendLog("Light Position Changed...");
}

void setLightPositionX(int light, float x)
{
    lightAt(light).position[0] = x;
    appendLog("Light Position X Changed...");
}

void setLightPositionY(int light, float y)
{
    lightAt(light).position[1] = y;
    appendLog("Light Position Y Changed...");
}

void setLightPositionZ(int light, float z)
{
    lightAt(light).position[2] = z;
    appendLog("Light Position Z Changed...");
}

void setLightDirection(int light, float x, float y, float z)
{
    float* d = lightAt(light).direction;
    d[0] = x;
    d[1] = y;
    d[2] = z;
    appendLog("Light Direction Changed...");
}

void setLightDirectionX(int light, float x)
{
    lightAt(light).direction[0] = x;
    appendLog("Light X Direction Changed...");
}

void setLightDirectionY(int light, float y)
{
    lightAt(light).direction[1] = y;
    appendLog("Light Y Direction Changed...");
}

void setLightDirectionZ(int light, float z)
{
    lightAt(light).direction[2] = z;
    appendLog("Light Z Direction Changed...");
}

void setLightColour(int light, float red, float green, float blue)
{
    float* c = lightAt(light).colour;
    c[0] = red;
    c[1] = green;
    c[2] = blue;
    appendLog("Light Color Changed...");
}
