// game/playfield/bot: a seeded bot that plays one level through the game's
// own frame (stepGame) at a fixed frame rate, giving a player's command once
// per frame: launch, fire, and the paddle to where the next ball will come
// down, meeting it with the part of the paddle that sends it at the bricks
// still standing (in fall mode out from under falling bricks), with a
// player's reaction time and aim error, no faster than the control mode it
// plays allows. Tests and the pack checker use it to show
// that levels can be cleared, and how long that takes; it can record its game
// as a replay.
#pragma once

#include "game/playfield/playfield.h"
#include "levelpack/levelpack.h"

#include <cstdint>
#include <random>
#include <string>

struct ReplayRecorder;

// How the bot steers: as with the mouse (a pointer shift a frame, at most
// BOT_MOUSE_SPEED per tick, in whole pointer pixels) or as with the keyboard
// or a stick (a speed, at most KEYBOARD_PADDLE_SPEED per tick).
enum class BotControl : uint8_t { Mouse, Keyboard };

// A quick hand on a mouse: the paddle's whole travel (31 units) in about a
// quarter of a second. The rules put no limit on the pointer; a player's hand does.
constexpr double BOT_MOUSE_SPEED = 1.8;   // world units per tick

// A player's eye and hand: from a ball's unforeseen turn to the hand
// following it, and how far (one standard deviation) the paddle misses the
// spot on it the bot wants the ball to meet.
constexpr double BOT_REACTION_MS = 200;
constexpr double BOT_AIM_ERROR = 0.3;   // world units

// How the bot plays; a run is fully determined by these values.
struct BotOptions {
    unsigned int seed = 1;         // the level's random draws and the bot's aim
    double fps = 70;               // frames a second; the rules sub-step long frames
    double jitter = 0;             // each frame lasts 1/fps give or take this share, as on a real machine
    double maxSeconds = 20 * 60;   // seconds of play before the run counts as a hang
    int32_t lives = 3;
    bool fallMode = false;   // the FALL MODE option for this run
    BotControl control = BotControl::Mouse;
    double reactionMs = BOT_REACTION_MS;
    double aimError = BOT_AIM_ERROR;
    ReplayRecorder* recorder = nullptr;   // when set, the run is recorded into it (pack identity left to the caller)
};

// The bot's eye and hand for one game: its random aim, what it last saw of
// the ball it follows, when that ball last did something unforeseen, and the
// plan it steers by. Set by startBot; botCommand changes it every frame.
struct BotHand {
    std::mt19937 random;
    BotControl control = BotControl::Mouse;
    double reactionMs = BOT_REACTION_MS;
    double aimError = BOT_AIM_ERROR;
    double clockMs = 0;   // the frames played so far
    int slot = -1;        // ball followed
    bool descending = false;
    bool right = false;
    double speedX = 0;
    double speedY = 0;
    double halfWidth = 0;
    double surprisedAt = 0;   // clockMs
    bool planPending = true;
    int course = -1;       // the paddle band it aims the ball at; -1: the middle
    double error = 0;      // this plan's miss, world units
    double target = PADDLE_HOME_X;
};

// What one run came to.
struct BotResult {
    bool loaded = false;     // the level could be read
    bool cleared = false;    // levelCleared was reached
    bool timedOut = false;   // maxSeconds of play passed first
    int64_t frames = 0;      // game frames taken, the ready phase's included
    double seconds = 0;      // seconds of play, the ready phase's included
    int32_t livesLost = 0;
    int32_t score = 0;
    std::string failure;   // why the level was not cleared; empty when it was
};

// Something the bot's caller wants to see after every frame (tests use it to
// check invariants along a whole run); may be null. Its last call shows the
// field as the run ended.
using BotObserver = void (*)(const PlayField& field, void* context);

// bot.cpp
void startBot(BotHand& hand, unsigned int seed, BotControl control, double reactionMs = BOT_REACTION_MS,
              double aimError = BOT_AIM_ERROR);
// Launch, fire and steer, as a player would once a frame: the command for a
// frame of tick ticks, from the field as the last frame left it.
PlayerCommand botCommand(const PlayField& field, BotHand& hand, double tick);

// Plays level (already read from its pack; its levelNumber and levelCount as
// a game would hold them) from a fresh game on a field of its own.
BotResult playLevelWithBot(const PackLevel& level, const BotOptions& options = {}, BotObserver observer = nullptr,
                           void* context = nullptr);

// Reads level levelNumber (by position; 0 = the first) of the pack at
// packPath and plays it; a pack that cannot be read is a failure, not an exit.
BotResult playPackLevelWithBot(const std::string& packPath, int levelNumber, const BotOptions& options = {});
