// game/playfield/level: loadLevel, which reads one level of the selected pack
// and resets the field for it.
#include "game/playfield/playfield.h"

#include "game/render/engine.h"
#include "game/render/lights.h"
#include "game/shell/config.h"
#include "levelpack/levelpack.h"
#include "platform/sound.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

bool musicPlaying = false;

namespace {

// The ball slots and the field's counters as a level starts.
void resetForLevel()
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
    }

    field.ballCount = 1;
    field.levelElapsed = 0;
    // Ball 0 goes where the paddle stood before it is sent home; moveBall
    // carries it onto the paddle in the first frame anyway.
    Ball& first = field.balls[0];
    first.x = field.paddle.x;
    first.y = field.paddle.y + field.paddle.halfHeight + BALL_RADIUS;
    field.speedFactor = 1.0;
    field.levelStartTime = static_cast<int32_t>(frameClock.clockNow);
    first.active = true;
    setLightEnabled(0, true);
    setLightEnabled(1, false);
    setLightEnabled(2, false);
    setLightEnabled(LASER_LIGHT_LEFT, false);
    setLightEnabled(LASER_LIGHT_RIGHT, false);
    field.paddle.x = PADDLE_HOME_X;
    field.paddle.y = PADDLE_HOME_Y;
    field.paddle.halfWidth = PADDLE_HALF_WIDTH;
    field.paddle.halfHeight = PADDLE_HALF_HEIGHT;
    cameraYaw = 0;
    cameraPitch = 0;
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
        const int row = i / GRID_COLUMNS;
        const int column = i % GRID_COLUMNS;
        brick.spin = 0;
        brick.hits = 0;
        brick.capsuleFalling = false;
        brick.brickFalling = false;
        brick.tumble = static_cast<int32_t>(drawRandom() % 2);
        brick.present = (codes[i] != 0);
        if (codes[i] > 0) {
            brick.type = codes[i];
        }
        brick.x = 3.5 * (6.45 + column);
        brick.y = 2.1 * (25 - row);
        brick.halfWidth = BRICK_HALF_WIDTH;
        brick.halfHeight = BRICK_HALF_HEIGHT;
        brick.fallY = brick.y;
        brick.capsuleY = brick.y;
    }
}

}   // namespace

bool loadLevelFrom(const std::string& path)
{
    frameClock.clockNow = readClock();
    seedRandom(static_cast<unsigned int>(static_cast<int>(frameClock.clockNow)));

    // The whole level is read before anything changes, so a damaged pack
    // leaves the field as it was and the caller can go back to the menu.
    PackLevel level;
    level.levelNumber = field.levelNumber;
    const PackResult result = readPackLevel(path, level);
    if (result.status == PackStatus::CannotOpen) {
        printf("Cannot open levels file.\n");
        fflush(stdout);
        exit(1);
    }
    if (!result.ok()) {
        printf("Cannot load level %d: %s\n", static_cast<int>(field.levelNumber), result.message.c_str());
        fflush(stdout);
        return false;
    }

    if (field.levelNumber == 0) {
        field.levelCount = level.levelCount;
        field.levelNumber = level.levelNumber;
    }
    field.greyHits = level.greyHits;
    field.bonusChance = level.bonusChance;
    field.background = level.background;
    field.fallMode = (config.fallMode != 0);
    resetForLevel();
    swapBuffers();
    fillBricks(level.bricks);

    soundStopStream();
    musicPlaying = false;
    return true;
}

bool loadLevel()
{
    // The name's field may lack its terminator; never read past it.
    const size_t nameLength = strnlen(config.levelPackName, PACK_NAME_SIZE);
    const std::string path = std::string(PACK_FOLDER) + "/" + std::string(config.levelPackName, nameLength);
    return loadLevelFrom(path);
}
