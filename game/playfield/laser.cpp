// game/playfield/laser: the laser shot pair and the falling bricks of fall mode.
#include "game/playfield/playfield.h"

#include "game/playfield/playfield_internal.h"

namespace {

constexpr double LASER_SPEED = 2.0;   // per tick
constexpr double LOST_BELOW_PADDLE = 8.0;
}   // namespace

bool laserMeetsBrick(const PlayField& field, const Brick& brick)
{
    return field.laserActive && field.laserX - brick.halfWidth < brick.x + brick.halfWidth &&
           brick.x - brick.halfWidth < field.laserX + brick.halfWidth && brick.y - brick.halfHeight <= field.laserY;
}

// At 70 frames a second the pair rises 2 units a step, less than the 2.1 between
// rows, so it always meets the lowest row in its way first and ends there. A
// longer step may carry it past several rows at once: it still breaks only
// the lowest, as it would have at 70 frames a second.
int laserTargetRow(const PlayField& field)
{
    if (!field.laserActive) {
        return -1;
    }
    for (int i = BRICK_COUNT - 1; i >= 0; --i) {
        if (field.bricks[i].present && laserMeetsBrick(field, field.bricks[i])) {
            return i / GRID_COLUMNS;
        }
    }
    return -1;
}

bool stepFallingBrick(PlayField& field, Brick& brick, const Paddle& paddle, double tick, PlayEvents& events)
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

void clearLaserAfterHit(PlayField& field)
{
    if (!field.laserHit) {
        return;
    }
    field.laserHit = false;
    field.laserActive = false;
}

void sinkCrushedPaddle(PlayField& field, double tick)
{
    if (field.paddleCrushed) {
        field.paddle.y -= FALL_SPEED * tick;
    }
}

void advanceLaser(PlayField& field, double tick)
{
    if (!field.laserActive) {
        return;
    }
    if (field.laserY < CEILING) {
        field.laserY += LASER_SPEED * tick;
    } else {
        field.laserActive = false;
    }
}
