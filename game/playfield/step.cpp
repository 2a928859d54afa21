// game/playfield/step: one play-phase step in the frame loop's order, a whole
// frame as equal sub-steps, and the player's actions, so the game, the bot
// and the benchmark run the same rules.
#include "game/playfield/playfield.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// A frame longer than this (the program was stopped, not slow) is played as
// if only this much had passed, rather than as thousands of sub-steps.
constexpr double MAX_FRAME_TICKS = 10 * TICKS_PER_SECOND;

}   // namespace

void stepPlayPhase(double tick, double clockNow, PlayEvents& events)
{
    for (int slot = 0; slot < BALL_SLOTS; ++slot) {
        if (!field.balls[slot].active) {
            continue;
        }
        moveBall(slot, tick, events);
        if (!field.ballHeld) {
            bounceOffWalls(slot, events);
            bounceOffPaddle(slot, events);
        }
    }
    updateBricks(tick, events);
    clearLaserAfterHit(events);
    promoteBallSlots(events);
    sinkCrushedPaddle(tick);
    resetLostLife(clockNow, events);
    if (field.lifeLostPause && clockNow - field.lifeLostTime > LIFE_LOST_PAUSE_MS) {
        field.lifeLostPause = false;
    }
    advanceLaser(tick, events);
}

void stepPlayFrame(double tick, double clockPrev, double clockNow, PlayEvents& events)
{
    const double played = std::min(tick, MAX_FRAME_TICKS);
    const int steps = std::max(1, static_cast<int>(std::ceil(played / MAX_SUBSTEP_TICKS)));
    const double length = played / steps;
    for (int k = 1; k <= steps; ++k) {
        // Each sub-step ends at its share of the frame's clock; the last at the frame's own.
        const double now = k == steps ? clockNow : clockPrev + (clockNow - clockPrev) * k / steps;
        stepPlayPhase(length, now, events);
        if (field.levelCleared || field.lives <= 0) {
            break;
        }
    }
}

void launchOrFire(PlayEvents& events)
{
    if (field.lifeLostPause) {
        return;
    }
    if (field.ballHeld) {
        field.ballHeld = false;
        Ball& ball = field.balls[0];
        ball.movingLeft = false;
        ball.movingDown = false;
        ball.movingRight = true;
        ball.movingUp = true;
        reportSound(events, SAMPLE_WALL);
    } else if (field.laserArmed && !field.laserActive) {
        field.laserX = field.paddle.x;
        field.laserY = field.paddle.y;
        field.laserActive = true;
        reportSound(events, SAMPLE_LASER);
    }
}

void takeExit()
{
    field.score = field.score > INT32_MAX - 1000 ? INT32_MAX : field.score + 1000;
    field.levelCleared = true;
}
