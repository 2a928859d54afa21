// game/playfield/level: loadLevel, which resets the field for a level the
// caller has read, and the hold of the ready phase.
#include "game/playfield/playfield.h"

namespace {

// The ball slots and the field's counters as a level starts.
void resetForLevel(double clockNow, PlayEvents& events)
{
    for (Ball& ball : field.balls) {
        ball.active = false;
        ball.x = 0;
        ball.y = 0;
        ball.movingRight = true;
        ball.movingUp = true;
        ball.movingLeft = false;
        ball.movingDown = false;
        ball.speedX = FIRST_SPEED_X;
        ball.speedY = FIRST_SPEED_Y;
        ball.idleTicks = 0;
    }

    field.ballCount = 1;
    field.levelElapsed = 0;
    // Ball 0 goes where the paddle stood before it is sent home; moveBall
    // carries it onto the paddle in the first frame anyway.
    Ball& first = field.balls[0];
    first.x = field.paddle.x;
    first.y = field.paddle.y + field.paddle.halfHeight + BALL_RADIUS;
    field.speedFactor = 1.0;
    field.levelStartTime = static_cast<int32_t>(clockNow);
    first.active = true;
    reportLightEnabled(events, 0, true);
    reportLightEnabled(events, 1, false);
    reportLightEnabled(events, 2, false);
    reportLightEnabled(events, LASER_LIGHT_LEFT, false);
    reportLightEnabled(events, LASER_LIGHT_RIGHT, false);
    field.paddle.x = PADDLE_HOME_X;
    field.paddle.y = PADDLE_HOME_Y;
    field.paddle.halfWidth = PADDLE_HALF_WIDTH;
    field.paddle.halfHeight = PADDLE_HALF_HEIGHT;
    reportEvent(events, PlayEventType::CameraReset);
    field.levelCleared = false;
    field.warpOpen = false;
    field.laserActive = false;
    field.laserArmed = false;
    field.paddleCrushed = false;
    field.catchActive = false;
    field.bounceCount = 0;
    if (field.fallMode) {
        field.bonusChance /= 4;
    }
    field.ballHeld = true;
}

void fillBricks(const int32_t* codes)
{
    field.capsuleInFlight = false;
    for (int i = 0; i < BRICK_COUNT; ++i) {
        Brick& brick = field.bricks[i];
        brick.spin = 0;
        brick.hits = 0;
        brick.capsuleFalling = false;
        brick.brickFalling = false;
        brick.tumble = static_cast<int32_t>(drawRandom(field.random) % 2);
        brick.present = (codes[i] != 0);
        if (codes[i] > 0) {
            brick.type = codes[i];
        }
        placeBrick(brick, i);
    }
}

}   // namespace

void placeBrick(Brick& brick, int cell)
{
    brick.x = cellCentreX(cell % GRID_COLUMNS);
    brick.y = cellCentreY(cell / GRID_COLUMNS);
    brick.halfWidth = BRICK_HALF_WIDTH;
    brick.halfHeight = BRICK_HALF_HEIGHT;
    brick.fallY = brick.y;
    brick.capsuleY = brick.y;
}

void loadLevel(const PackLevel& level, unsigned int seed, double clockNow, bool fallMode, PlayEvents& events)
{
    seedRandom(field.random, seed);
    if (field.levelNumber == 0) {
        field.levelCount = level.levelCount;
        field.levelNumber = level.levelNumber;
    }
    field.greyHits = level.greyHits;
    field.bonusChance = level.bonusChance;
    field.background = level.background;
    field.fallMode = fallMode;
    resetForLevel(clockNow, events);
    fillBricks(level.bricks);
    reportEvent(events, PlayEventType::StopMusic);
}

void holdField(PlayEvents& events)
{
    field.paddle.x = PADDLE_HOME_X;
    field.paddle.y = PADDLE_HOME_Y;
    reportEvent(events, PlayEventType::CameraReset);
    Ball& ball = field.balls[0];
    ball.x = PADDLE_HOME_X;
    ball.y = PADDLE_HOME_Y + field.paddle.halfHeight + BALL_RADIUS;
    reportLightPositionAxis(events, 0, 0, static_cast<float>(PADDLE_HOME_X));
    reportLightPositionAxis(events, 0, 1, static_cast<float>(ball.y));
    reportLightPositionAxis(events, 0, 2, static_cast<float>(LIGHT_PLANE_Z));
}
