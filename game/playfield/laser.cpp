// game/playfield/laser: the laser shot pair and the falling bricks of fall mode.
#include "game/playfield/playfield.h"

#include "game/playfield/playfield_internal.h"

namespace {

constexpr double LASER_SPEED = 2.0;   // per tick
constexpr double LOST_BELOW_PADDLE = 8.0;
constexpr double LASER_LIGHT_INSET = 0.3;   // lights sit just inside the paddle's ends

void switchLaserLights(PlayEvents& events, bool on)
{
    reportLightEnabled(events, LASER_LIGHT_LEFT, on);
    reportLightEnabled(events, LASER_LIGHT_RIGHT, on);
}

}   // namespace

bool laserMeetsBrick(const Brick& brick)
{
    return field.laserActive && field.laserX - brick.halfWidth < brick.x + brick.halfWidth &&
           brick.x - brick.halfWidth < field.laserX + brick.halfWidth && brick.y - brick.halfHeight <= field.laserY;
}

// At 70 frames a second the pair rises 2 units a step, less than the 2.1 between
// rows, so it always meets the lowest row in its way first and ends there. A
// longer step may carry it past several rows at once: it still breaks only
// the lowest, as it would have at 70 frames a second.
int laserTargetRow()
{
    if (!field.laserActive) {
        return -1;
    }
    for (int i = BRICK_COUNT - 1; i >= 0; --i) {
        if (field.bricks[i].present && laserMeetsBrick(field.bricks[i])) {
            return i / GRID_COLUMNS;
        }
    }
    return -1;
}

bool stepFallingBrick(Brick& brick, const Paddle& paddle, double tick, PlayEvents& events)
{
    if (!field.fallMode || !brick.brickFalling) {
        return false;
    }
    brick.fallY -= FALL_SPEED * tick;

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
        const bool across =
            (px - pw <= leftEdge && leftEdge <= px + pw) || (px - pw <= rightEdge && rightEdge <= px + pw);
        if (level && across) {
            field.paddleCrushed = true;
            reportSound(events, SAMPLE_TRAPPED);
            crushed = true;
        }
    }
    if (brick.fallY < paddle.y - LOST_BELOW_PADDLE) {
        brick.brickFalling = false;
        brick.fallY = brick.y;
    }
    return crushed;
}

void clearLaserAfterHit(PlayEvents& events)
{
    if (!field.laserHit) {
        return;
    }
    field.laserHit = false;
    field.laserActive = false;
    switchLaserLights(events, false);
}

void sinkCrushedPaddle(double tick)
{
    if (field.paddleCrushed) {
        field.paddle.y -= FALL_SPEED * tick;
    }
}

void advanceLaser(double tick, PlayEvents& events)
{
    if (!field.laserActive) {
        return;
    }
    const double pw = field.paddle.halfWidth;
    const float y = static_cast<float>(field.laserY);
    const float z = static_cast<float>(LIGHT_PLANE_Z);
    switchLaserLights(events, true);
    reportLightPositionAxis(events, LASER_LIGHT_LEFT, 0, static_cast<float>(field.laserX - pw + LASER_LIGHT_INSET));
    reportLightPositionAxis(events, LASER_LIGHT_LEFT, 1, y);
    reportLightPositionAxis(events, LASER_LIGHT_LEFT, 2, z);
    reportLightPositionAxis(events, LASER_LIGHT_RIGHT, 0, static_cast<float>(field.laserX + pw - LASER_LIGHT_INSET));
    reportLightPositionAxis(events, LASER_LIGHT_RIGHT, 1, y);
    reportLightPositionAxis(events, LASER_LIGHT_RIGHT, 2, z);
    if (field.laserY < CEILING) {
        field.laserY += LASER_SPEED * tick;
    } else {
        field.laserActive = false;
        switchLaserLights(events, false);
    }
}
