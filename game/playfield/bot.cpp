// game/playfield/bot: the seeded bot (see bot.h). It stands in for the frame
// loop's play phase and for the player's input: launch, fire, paddle moves.
#include "game/playfield/bot.h"

#include "game/playfield/playfield.h"
#include "game/playfield/samples.h"
#include "game/shell/config.h"
#include "platform/sound.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>

namespace {

double botClock = 0;   // ms; what loadLevel reads through the clock seam

double readBotClock() { return botClock; }
void swapNothing() {}

// The ball the paddle should meet next: the lowest one coming down, else the lowest.
int lowestBall()
{
    int best = -1;
    for (int pass = 0; pass < 2 && best < 0; ++pass) {
        for (int slot = 0; slot < BALL_SLOTS; ++slot) {
            const Ball& ball = field.balls[slot];
            if (!ball.active || (pass == 0 && !ball.movingDown)) {
                continue;
            }
            if (best < 0 || ball.y < field.balls[best].y) {
                best = slot;
            }
        }
    }
    return best;
}

// True when a falling brick about to reach the paddle's height would land on
// a paddle centred at x (the crush test's edges, with a little room).
bool brickLandsOn(double x)
{
    const Paddle& paddle = field.paddle;
    for (const Brick& brick : field.bricks) {
        if (!brick.brickFalling || brick.present) {
            continue;
        }
        const double bottom = brick.fallY - brick.halfHeight;
        if (bottom < paddle.y - paddle.halfHeight - 1 || bottom > paddle.y + paddle.halfHeight + 6) {
            continue;
        }
        if (brick.x + brick.halfWidth >= x - paddle.halfWidth - 0.2 &&
            brick.x - brick.halfWidth <= x + paddle.halfWidth + 0.2) {
            return true;
        }
    }
    return false;
}

// In fall mode: a paddle place no brick lands on; once the ball is close,
// only among the places that still meet it.
double dodge(double wanted, const Ball& ball, double lowest, double highest)
{
    if (!field.fallMode || !brickLandsOn(wanted)) {
        return wanted;
    }
    const double reach = field.paddle.halfWidth + BALL_RADIUS - 0.1;
    const bool ballClose = ball.movingDown && ball.y < field.paddle.y + 8;
    for (double step = 0.25; step <= RIGHT_WALL - LEFT_WALL; step += 0.25) {
        for (double candidate : {wanted - step, wanted + step}) {
            const double x = std::clamp(candidate, lowest, highest);
            if ((!ballClose || std::fabs(x - ball.x) < reach) && !brickLandsOn(x)) {
                return x;
            }
        }
    }
    return wanted;
}

struct Aim {
    std::mt19937 random;
    int slot = -1;          // ball aimed at
    bool descending = false;
    double offset = 0;      // where on the paddle the ball should land, from its centre
};

// Launch, fire and steer, as a player would between two frames.
void playInput(Aim& aim)
{
    Paddle& paddle = field.paddle;
    if (field.ballHeld && !field.lifeLostPause) {
        field.ballHeld = false;
        field.balls[0].movingRight = true;
        field.balls[0].movingLeft = false;
        field.balls[0].movingUp = true;
        field.balls[0].movingDown = false;
        soundPlaySample(SAMPLE_WALL, 0);
    }
    if (field.laserArmed && !field.laserActive && !field.ballHeld && !field.lifeLostPause) {
        field.laserActive = true;
        field.laserX = paddle.x;
        field.laserY = paddle.y;
        soundPlaySample(SAMPLE_LASER, 1);
    }
    if (field.paddleCrushed) {
        return;
    }
    const int slot = lowestBall();
    if (slot < 0) {
        return;
    }
    const Ball& ball = field.balls[slot];
    // A new aim for every descent, so the ball leaves the paddle at varied angles.
    if (slot != aim.slot || ball.movingDown != aim.descending) {
        aim.slot = slot;
        aim.descending = ball.movingDown;
        const double reach = paddle.halfWidth - BALL_RADIUS;
        aim.offset = std::uniform_real_distribution<double>(-reach, reach)(aim.random);
    }
    const double lowest = LEFT_WALL + paddle.halfWidth;
    const double highest = RIGHT_WALL - paddle.halfWidth;
    paddle.x = dodge(std::clamp(ball.x - aim.offset, lowest, highest), ball, lowest, highest);
}

}   // namespace

BotResult playLevelWithBot(const std::string& packPath, int levelNumber, const BotOptions& options)
{
    BotResult result;
    // loadLevel ends the process on a pack it cannot open; a check must not.
    if (FILE* probe = fopen(packPath.c_str(), "rb")) {
        fclose(probe);
    } else {
        result.failure = "cannot open " + packPath;
        return result;
    }

    double (*const savedClock)() = readClock;
    void (*const savedSwap)() = swapBuffers;
    const uint8_t savedFallMode = config.fallMode;
    const FrameClock savedFrameClock = frameClock;
    readClock = readBotClock;
    swapBuffers = swapNothing;
    config.fallMode = options.fallMode ? 1 : 0;
    botClock = options.seed;

    field.levelNumber = levelNumber;
    field.lives = options.lives;
    field.score = 0;
    field.lifeLostPause = false;
    result.loaded = loadLevelFrom(packPath);
    if (!result.loaded) {
        result.failure = "cannot read level " + std::to_string(levelNumber) + " of " + packPath;
    }

    // The ready phase holds the paddle and ball 0 at home until play begins.
    field.paddle.x = PADDLE_HOME_X;
    field.paddle.y = PADDLE_HOME_Y;
    field.balls[0].x = PADDLE_HOME_X;
    field.balls[0].y = PADDLE_HOME_Y + field.paddle.halfHeight + BALL_RADIUS;

    Aim aim;
    aim.random.seed(options.seed);
    frameClock.tick = options.tick;
    while (result.loaded && result.steps < options.maxSteps) {
        frameClock.clockNow += options.tick * 1000.0 / 70.0;
        playInput(aim);
        const int32_t livesBefore = field.lives;
        stepPlayPhase();
        ++result.steps;
        result.livesLost += std::max(0, livesBefore - field.lives);
        if (field.levelCleared) {
            result.cleared = true;
            break;
        }
        if (field.lives <= 0) {
            result.failure = "every life lost";
            break;
        }
    }
    if (result.loaded && !result.cleared && result.failure.empty()) {
        result.failure = "not cleared within " + std::to_string(options.maxSteps) + " steps";
    }
    result.score = field.score;

    readClock = savedClock;
    swapBuffers = savedSwap;
    config.fallMode = savedFallMode;
    frameClock = savedFrameClock;
    return result;
}
