// game/playfield/laser: the laser shot pair and the falling bricks of fall mode.
#include "game/playfield/playfield.h"

#include "game/playfield/playfield_internal.h"
#include "game/playfield/samples.h"
#include "game/render/lights.h"
#include "platform/sound.h"

namespace {

constexpr double LASER_SPEED = 2.0;          // per tick
constexpr double LOST_BELOW_PADDLE = 8.0;
constexpr double LASER_LIGHT_INSET = 0.3;   // lights sit just inside the paddle's ends

void switchLaserLights(bool on)
{
    setLightEnabled(LASER_LIGHT_LEFT, on);
    setLightEnabled(LASER_LIGHT_RIGHT, on);
}

}   // namespace

bool laserMeetsBrick(const Brick& brick)
{
    return field.laserActive && field.laserX - brick.halfWidth < brick.x + brick.halfWidth &&
           brick.x - brick.halfWidth < field.laserX + brick.halfWidth && brick.y - brick.halfHeight <= field.laserY;
}

bool stepFallingBrick(Brick& brick, const Paddle& paddle)
{
    if (!field.fallMode || !brick.brickFalling) {
        return false;
    }
    brick.fallY -= FALL_SPEED * frameClock.tick;

    bool crushed = false;
    if (!field.lifeLostPause && !field.paddleCrushed) {
        const double px = paddle.x;
        const double py = paddle.y;
        const double pw = paddle.halfWidth;
        const double ph = paddle.halfHeight;
        const double bottom = brick.fallY - brick.halfHeight;
        const double leftEdge = brick.x - brick.halfWidth;
        const double rightEdge = brick.x + brick.halfWidth;
        const bool level = py - ph <= bottom && bottom <= py + ph;
        const bool across = (px - pw <= leftEdge && leftEdge <= px + pw) || (px - pw <= rightEdge && rightEdge <= px + pw);
        if (level && across) {
            field.paddleCrushed = true;
            soundPlaySample(SAMPLE_TRAPPED, 1);
            crushed = true;
        }
    }
    if (brick.fallY < paddle.y - LOST_BELOW_PADDLE) {
        brick.brickFalling = false;
        brick.fallY = brick.y;
    }
    return crushed;
}

void clearLaserAfterHit()
{
    if (!field.laserHit) {
        return;
    }
    field.laserHit = false;
    field.laserActive = false;
    switchLaserLights(false);
}

void sinkCrushedPaddle()
{
    if (field.paddleCrushed) {
        field.paddle.y -= FALL_SPEED * frameClock.tick;
    }
}

void advanceLaser()
{
    if (!field.laserActive) {
        return;
    }
    const double pw = field.paddle.halfWidth;
    const float y = static_cast<float>(field.laserY);
    const float z = static_cast<float>(LIGHT_PLANE_Z);
    switchLaserLights(true);
    setLightPositionX(LASER_LIGHT_LEFT, static_cast<float>(field.laserX - pw + LASER_LIGHT_INSET));
    setLightPositionY(LASER_LIGHT_LEFT, y);
    setLightPositionZ(LASER_LIGHT_LEFT, z);
    setLightPositionX(LASER_LIGHT_RIGHT, static_cast<float>(field.laserX + pw - LASER_LIGHT_INSET));
    setLightPositionY(LASER_LIGHT_RIGHT, y);
    setLightPositionZ(LASER_LIGHT_RIGHT, z);
    if (field.laserY < CEILING) {
        field.laserY += LASER_SPEED * frameClock.tick;
    } else {
        field.laserActive = false;
        switchLaserLights(false);
    }
}
