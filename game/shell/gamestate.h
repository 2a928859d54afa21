// game/shell/gamestate: the game's states as the frame loop keeps them —
// a handful of flags and clocks rather than one variable — plus the menu's
// latches. No GL: the frame loop, the input, the renderers and the tests share it.
#pragma once

#include "game/playfield/playfield.h"

#include <cstdint>

constexpr int READY_TIME = 2500;      // ms: a level's ready phase
constexpr int PAUSE_TIME = 2000;      // ms: life-lost pause and game-over wait
constexpr int SPLASH_TIME = 10000;    // ms
constexpr double MAX_PITCH = 1.4707963259999999;   // radians: a right angle less 0.1
constexpr int RESOLUTION_CHOICES = RESOLUTION_COUNT;   // the window sizes of the catalogue

// Lives for the whole run; only the menus change optionsShown and menuCursor.
struct GameState {
    bool splashActive = true;          // the splash screen is showing
    bool inMenu = true;                // the menu is showing
    bool optionsShown = false;         // the menu shows the options screen
    int32_t menuCursor = 0;            // selected menu line; clamped by the menu frame
    bool splashClockStarted = false;   // splashStartTime has been taken
    double splashStartTime = 0;        // ms: clock of the first frame after loading
    bool splashSoundDone = false;
    bool menuJingleDone = false;       // the menu sound plays once per run
    int32_t lastAliveTime = 0;         // ms: last game frame with lives left
    bool downLatch = false;            // the key's current press was acted on
    bool upLatch = false;
    bool enterLatch = false;
    int32_t resolutionIndex = 0;       // last size chosen from resolutions
};

extern GameState game;

// The frame clock, set by the frame loop at the top of every frame.
struct FrameClock {
    double clockNow = 0;           // ms since the windowing toolkit started
    double clockPrev = 0;          // the previous frame's clockNow
    double tick = 0;               // this frame's step in units of 1/70 s
};

extern FrameClock frameClock;

// The music stream has been started for the current level: the frame loop
// sets it when it starts the stream; a level load and the return to the menu clear it.
extern bool musicPlaying;

// What the frame loop and the input call outside the window-free logic; the
// program points these at the renderers and GLUT, tests at fakes.
struct ShellSeams {
    double (*readClock)() = nullptr;             // ms since the windowing toolkit started
    void (*swapBuffers)() = nullptr;             // replaces the frame on screen
    void (*runLoading)() = nullptr;
    void (*renderSplash)() = nullptr;
    void (*renderMenu)() = nullptr;
    void (*renderPlay)() = nullptr;
    void (*createShadowMap)() = nullptr;
    void (*reshape)(int width, int height) = nullptr;
    void (*exitProgram)(int status) = nullptr;   // ends the process
};

extern ShellSeams shellSeams;

// ---------------------------------------------------------------------------
// Operations
// ---------------------------------------------------------------------------

// frame.cpp
void GameFrame();                            // one whole frame: clock, state step, renderer, input
void setCameraAngles(double yaw, double pitch);
void returnToMenu(int levelNumber);          // after a completed pack (0) or a game over (1)

// play.cpp: the shell's side of the play rules.
// Reads level field.levelNumber of "Levels Packs/" + the configured pack and
// loads it, seeded from the clock. A pack that cannot be opened prints
// "Cannot open levels file.\n" and ends the program with status 1; a damaged
// one prints what and where, changes nothing and returns false.
bool loadLevelOfPack();
// Turns what the rules reported into sounds, light moves and camera resets.
void applyPlayEvents(const PlayEvents& events);
// The one event record the frame's rules and input report into.
extern PlayEvents playEvents;

// input.cpp
void handleInput();                          // polls keys and pointer once per frame
void moveCamera(int steps);                  // along the view direction, 0.1 per step
