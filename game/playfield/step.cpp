// game/playfield/step: one play-phase step in the frame loop's order and a
// whole frame as equal sub-steps, so the game, the bot and the benchmark run
// the same rules.
#include "game/playfield/playfield.h"

#include "game/playfield/playfield_internal.h"

#include <algorithm>
#include <cmath>

namespace {

// A frame longer than this (the program was stopped, not slow) is played as
// if only this much had passed, rather than as thousands of sub-steps.
constexpr double MAX_FRAME_TICKS = 10 * TICKS_PER_SECOND;

}   // namespace

void stepPlayPhase(PlayField& field, double tick, double clockNow, PlayEvents& events)
{
    for (int slot = 0; slot < BALL_SLOTS; ++slot) {
        if (!field.balls[slot].active) {
            continue;
        }
        const double fromX = field.balls[slot].x;
        const double fromY = field.balls[slot].y;
        moveBall(field, slot, tick);
        if (!field.ballHeld) {
            bounceOffWalls(field, slot, events);
            // Bricks reach past the walls: the wall's put-back counts as part of the move.
            if (field.balls[slot].active) {
                stopAtBrickFace(field, slot, fromX, fromY);
            }
            bounceOffPaddle(field, slot, events);
        }
    }
    updateBricks(field, tick, events);
    clearLaserAfterHit(field);
    promoteBallSlots(field);
    sinkCrushedPaddle(field, tick);
    resetLostLife(field, clockNow, events);
    if (field.lifeLostPause && clockNow - field.lifeLostTime > LIFE_LOST_PAUSE_MS) {
        field.lifeLostPause = false;
    }
    advanceLaser(field, tick);
}

void stepPlayFrame(PlayField& field, double tick, double clockPrev, double clockNow, PlayEvents& events)
{
    const double played = std::min(tick, MAX_FRAME_TICKS);
    const int steps = std::max(1, static_cast<int>(std::ceil(played / MAX_SUBSTEP_TICKS)));
    const double length = played / steps;
    for (int k = 1; k <= steps; ++k) {
        // Each sub-step ends at its share of the frame's clock; the last at the frame's own.
        const double now = k == steps ? clockNow : clockPrev + (clockNow - clockPrev) * k / steps;
        stepPlayPhase(field, length, now, events);
        if (field.levelCleared || field.lives <= 0) {
            break;
        }
    }
}
