// game/playfield/samples: the game's sound cues: slot numbers, files and channels.
// The start-up loads SAMPLE_FILES in slot order; whoever triggers a cue plays
// its slot on the channel given beside it.
#pragma once

enum SampleSlot {
    SAMPLE_BAR = 0,          // ball off the paddle, channel 0
    SAMPLE_LOSS = 1,         // loaded, never played
    SAMPLE_IMPACT = 2,       // a brick breaks, channel 0
    SAMPLE_IMPACT_IRON = 3,  // a hit leaves the brick standing, channel 0
    SAMPLE_WALL = 4,         // ball off a wall or the ceiling; launch, channel 0
    SAMPLE_LIFE = 5,         // extra life caught, channel 2
    SAMPLE_LASER = 6,        // laser fired, channel 1
    SAMPLE_START = 7,        // NEW GAME, next level, channel 1
    SAMPLE_PRES = 8,         // the menu shows for the first time, channel 1
    SAMPLE_CURSOR = 9,       // menu cursor moves and actions, channel 2
    SAMPLE_GAME_OVER = 10,   // last life lost, channel 2
    SAMPLE_LOSE = 11,        // a life lost with lives left, channel 2
    SAMPLE_TRAPPED = 12,     // a falling brick crushes the paddle, channel 1
    SAMPLE_MORVI = 13,       // splash screen starts, channel 1
    SAMPLE_COUNT = 14
};

inline constexpr const char* SAMPLE_FILES[SAMPLE_COUNT] = {
    "sounds/bar.wav",    "sounds/loss.wav",     "sounds/impact.wav", "sounds/impactiron.wav", "sounds/wall.wav",
    "sounds/life.wav",   "sounds/laser.wav",    "sounds/start.wav",  "sounds/pres.wav",       "sounds/cursor.wav",
    "sounds/gameover.wav", "sounds/lose.wav",   "sounds/trapped.wav", "sounds/morvi.wav",
};

inline constexpr const char* MUSIC_FILE = "sounds/song.mp3";
