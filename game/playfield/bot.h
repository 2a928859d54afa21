// game/playfield/bot: a seeded bot that plays one level through the real play
// rules at a fixed frame rate, acting once per frame as a player would:
// launch, fire, and the paddle where the next ball will come down (in fall
// mode out from under falling bricks). Tests and the pack checker use it to
// show that levels can be cleared, and how long that takes.
#pragma once

#include "levelpack/levelpack.h"

#include <cstdint>
#include <string>

// How the bot plays; a run is fully determined by these values.
struct BotOptions {
    unsigned int seed = 1;         // the level's random draws and the bot's aim
    double fps = 70;               // frames a second; the rules sub-step long frames
    double jitter = 0;             // each frame lasts 1/fps give or take this share, as on a real machine
    double maxSeconds = 20 * 60;   // seconds of play before the run counts as a hang
    int32_t lives = 3;
    bool fallMode = false;   // the FALL MODE option for this run
};

// What one run came to.
struct BotResult {
    bool loaded = false;     // the level could be read
    bool cleared = false;    // levelCleared was reached
    bool timedOut = false;   // maxSeconds of play passed first
    int64_t frames = 0;      // play frames taken
    double seconds = 0;      // seconds of play
    int32_t livesLost = 0;
    int32_t score = 0;
    std::string failure;   // why the level was not cleared; empty when it was
};

// Something the bot's caller wants to see after every play frame (tests use
// it to check invariants along a whole run); may be null.
using BotObserver = void (*)(void* context);

// Plays level (already read from its pack) from a fresh game. Leaves the field
// as the run ended.
BotResult playLevelWithBot(const PackLevel& level, const BotOptions& options = {}, BotObserver observer = nullptr,
                           void* context = nullptr);

// Reads level levelNumber (by position; 0 = the first) of the pack at
// packPath and plays it; a pack that cannot be read is a failure, not an exit.
BotResult playPackLevelWithBot(const std::string& packPath, int levelNumber, const BotOptions& options = {});
