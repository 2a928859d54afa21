// game/render/lights: light setters and the in-memory light log.
#include "game/render/lights.h"

#include <cmath>
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

// Where the floor shows right under each menu line, in z: the camera (y 20,
// z 110) sees the floor (y 15) behind the lines (z 20 from y 20 down in steps
// of 5), the top line standing on the horizon.
const float MENU_FLOOR_Z[MENU_LINES_MAX] = {-200, 35, 70, 82, 89, 93};

}   // namespace

// The selected line shows as a lit line: light 0 stands at the marker beside
// the line and shines onto the stretch of floor right under the line on
// screen, which the camera's view flattens into a band; lights 1 and 2 stand
// with it and shine straight down, a glow under the marker. Below the floor's
// height the marker slides along the camera's line of sight until it stands
// above the floor, so it shows at the same place on screen. The top line
// stands on the horizon, where the floor under it lies so far off that light
// from the marker fades on the way: lights 1 and 2 stand above that stretch
// instead (their markers are specks there), and light 0 lights the title. Straight down, a shadow camera
// looks along its up vector and sees nothing, so those lights draw no map.
void placeMenuLights(int line, const double camera[3])
{
    line = line < 0 ? 0 : (line >= MENU_LINES_MAX ? MENU_LINES_MAX - 1 : line);
    placeMenuLightsAt(20.0 - 5.0 * line, camera);
}

double placeMenuLightsAt(double lineY, const double camera[3])
{
    setLightPosition(SPLASH_LIGHT, 0, 100, 0, 0);
    setLightDirection(SPLASH_LIGHT, 0, -1, 0);
    setLightEnabled(1, true);
    setLightEnabled(2, true);
    // Between the table's lines the floor under a line lies between theirs.
    const double place = std::fmin(std::fmax((20.0 - lineY) / 5.0, 0.0), MENU_LINES_MAX - 1.0);
    const int below = static_cast<int>(place);
    const int above = below + 1 < MENU_LINES_MAX ? below + 1 : below;
    const double share = place - below;
    const bool top = place == 0;
    const double eyeX = camera[0], eyeY = camera[1], eyeZ = camera[2];
    const double floorY = 15, lineZ = 20, markerZ = lineZ;
    const double floorZ = MENU_FLOOR_Z[below] + share * (MENU_FLOOR_Z[above] - MENU_FLOOR_Z[below]);
    // The lines span about x 35..55 at z 20 (camera x 40); the camera sees
    // that span on the floor at floorZ widened by the distance.
    const double widen = (eyeZ - floorZ) / (eyeZ - lineZ);
    const double centreX = eyeX + 5 * widen, halfWidth = 10 * widen;
    const double markerX = eyeX - 8, markerY = std::fmin(lineY, 20.0) + 1;
    const double lift = 0.5;   // how far above the floor a slid marker stands
    const double t = markerY >= floorY + lift ? 1.0 : (eyeY - floorY - lift) / (eyeY - markerY);
    const double x = eyeX + t * (markerX - eyeX), y = eyeY + t * (markerY - eyeY);
    const double z = eyeZ + t * (markerZ - eyeZ) + 5;   // the marker is drawn 5 in front of its light
    for (int i = 0; i < 3; ++i) {
        setLightPosition(i, static_cast<float>(x), static_cast<float>(y), static_cast<float>(z), 1);
    }
    if (top) {
        setLightDirection(0, 0, 1, -0.9f);   // up onto the title: a beam to the far floor would light half the screen
    } else {
        setLightDirection(0, static_cast<float>(centreX - x), static_cast<float>(floorY - y),
                          static_cast<float>(floorZ - z));
    }
    for (int i = 1; i < 3; ++i) {
        setLightDirection(i, 0, -1, 0);
        if (top) {
            setLightPosition(i, static_cast<float>(centreX + (i == 1 ? -0.5 : 0.5) * halfWidth),
                             static_cast<float>(floorY + 0.7 * halfWidth), static_cast<float>(floorZ), 1);
        }
    }
    return t;
}

void placePlayLights(const PlayField& field)
{
    const float z = static_cast<float>(LIGHT_PLANE_Z);
    for (int slot = 0; slot < BALL_SLOTS; ++slot) {
        const Ball& ball = field.balls[slot];
        setLightEnabled(slot, ball.active);
        if (!ball.active) {
            continue;
        }
        if (field.ballHeld) {
            setLightDirection(slot, 0, 1, -0.8f);
        } else {
            const double sx = ball.speedX * (int{ball.movingLeft} - int{ball.movingRight});
            const double sy = ball.speedY * (int{ball.movingDown} - int{ball.movingUp});
            setLightDirection(slot, static_cast<float>(-std::sin(sx)), static_cast<float>(-std::sin(sy)), -0.8f);
        }
        setLightPosition(slot, static_cast<float>(ball.x), static_cast<float>(ball.y), z, 1);
    }
    constexpr double INSET = 0.3;   // the shots' lights sit just inside the paddle's ends
    const double pw = field.paddle.halfWidth;
    const float y = static_cast<float>(field.laserY);
    for (const int light : {LASER_LIGHT_LEFT, LASER_LIGHT_RIGHT}) {
        setLightEnabled(light, field.laserActive);
        if (field.laserActive) {
            const double x = light == LASER_LIGHT_LEFT ? field.laserX - pw + INSET : field.laserX + pw - INSET;
            setLightPositionX(light, static_cast<float>(x));
            setLightPositionY(light, y);
            setLightPositionZ(light, z);
        }
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
