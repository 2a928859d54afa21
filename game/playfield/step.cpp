// game/playfield/step: one play-phase step after the music cue, in the frame
// loop's order, so the game, the simulations and the benchmark run the same rules.
#include "game/playfield/playfield.h"

namespace {

constexpr double LIFE_LOST_PAUSE_MS = 2000.0;

}   // namespace

void stepPlayPhase()
{
    for (int slot = 0; slot < BALL_SLOTS; ++slot) {
        if (!field.balls[slot].active) {
            continue;
        }
        moveBall(slot);
        if (!field.ballHeld) {
            bounceOffWalls(slot);
            bounceOffPaddle(slot);
        }
    }
    updateBricks();
    clearLaserAfterHit();
    promoteBallSlots();
    sinkCrushedPaddle();
    resetLostLife();
    if (field.lifeLostPause && frameClock.clockNow - field.lifeLostTime > LIFE_LOST_PAUSE_MS) {
        field.lifeLostPause = false;
    }
    advanceLaser();
}
