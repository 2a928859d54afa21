// game/playfield/bot: a seeded bot that plays one level of a pack through the
// real play rules at a fixed tick, steering the paddle under the lowest ball
// (and, in fall mode, out from under falling bricks).
// Tests use it to catch faults that only show when the rules interact, and to
// show that a pack's levels can be cleared at all.
#pragma once

#include <cstdint>
#include <string>

// How the bot plays; a run is fully determined by these values.
struct BotOptions {
    unsigned int seed = 1;        // the clock loadLevel reads (so the game's draws) and the bot's aim
    double tick = 1.0;            // fixed step, units of 1/70 s
    int64_t maxSteps = 300000;    // play-phase steps before the bot gives up
    int32_t lives = 3;
    bool fallMode = false;        // the FALL MODE option for this run
};

// What one run came to.
struct BotResult {
    bool loaded = false;          // the level could be read
    bool cleared = false;         // levelCleared was reached
    int64_t steps = 0;            // play-phase steps taken
    int32_t livesLost = 0;
    int32_t score = 0;
    std::string failure;          // why the level was not cleared; empty when it was
};

// Plays level levelNumber (by position; 0 = the first) of the pack at
// packPath from a fresh game. Leaves the field as the run ended and the
// seams, configuration and frame clock as they were before.
BotResult playLevelWithBot(const std::string& packPath, int levelNumber, const BotOptions& options = {});
