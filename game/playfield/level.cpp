// game/playfield/level: loadLevel, which resets the field for a level the
// caller has read, the hold of the ready phase and the return to the menu.
#include "game/playfield/playfield.h"

#include "game/playfield/playfield_internal.h"

namespace {

// The ball slots and the field's counters as a level starts.
void resetForLevel(PlayField& field, double clockNow, PlayEvents& events)
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
        ball.bricklessTicks = 0;
    }

    field.ballCount = 1;
    field.levelElapsed = 0;
    // Ball 0 goes where the paddle stood before it is sent home; moveBall
    // carries it onto the paddle in the first frame anyway.
    Ball& first = field.balls[0];
    first.x = field.paddle.x;
    first.y = field.paddle.y + field.paddle.halfHeight + BALL_RADIUS;
    field.speedFactor = 1.0;
    field.levelStartTime = wholeMilliseconds(clockNow);
    first.active = true;
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

void fillBricks(PlayField& field, const int32_t* codes)
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

void loadLevel(PlayField& field, const PackLevel& level, unsigned int seed, double clockNow, bool fallMode,
               PlayEvents& events)
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
    resetForLevel(field, clockNow, events);
    fillBricks(field, level.bricks);
    reportEvent(events, PlayEventType::StopMusic);
    reportEvent(events, PlayEventType::LevelLoaded);
}

void holdField(PlayField& field, PlayEvents& events)
{
    field.paddle.x = PADDLE_HOME_X;
    field.paddle.y = PADDLE_HOME_Y;
    reportEvent(events, PlayEventType::CameraReset);
    Ball& ball = field.balls[0];
    ball.x = PADDLE_HOME_X;
    ball.y = PADDLE_HOME_Y + field.paddle.halfHeight + BALL_RADIUS;
}

void resetForMenu(PlayField& field, int32_t levelNumber)
{
    field.laserArmed = false;
    field.lives = 3;
    field.score = 0;
    field.levelNumber = levelNumber;
}

void aimAtLevel(PlayField& field, int32_t levelNumber, int32_t levelCount)
{
    field.levelNumber = levelNumber;
    field.levelCount = levelCount;
}

int bricksLeft(const PlayField& field)
{
    int left = 0;
    for (const Brick& brick : field.bricks) {
        left += brick.present && brick.type != Iron;
    }
    return left;
}
