// levelpack/catalogue: the one list of what the game, the editor, the asset
// generator, the tests and the benchmarks must agree on — the materials in
// load order and what shows which, the sound cues with their files and
// channels, where a grid cell stands, the window sizes on offer, the folder
// and the names of level packs. Constants only; both programs compile it in.
// The one reader of the text files' integers is levelpack/intreader.h.
#pragma once

#include "levelpack/levelpack.h"

#include <cstddef>

// ---------------------------------------------------------------------------
// Materials: four texture maps each, "Textures/" + name + "D.tga", "N.tga",
// "S.tga", "H.tga"; a material's index is its place in the load order.
// ---------------------------------------------------------------------------
constexpr int MATERIAL_COUNT = 24;

enum MaterialIndex {
    MAT_BACKGROUND1 = 0,
    MAT_PLAYER = 1,
    MAT_RED = 2,
    MAT_BLUE = 3,
    MAT_ORANGE = 4,
    MAT_PINK = 5,
    MAT_GREEN = 6,
    MAT_GREY = 7,
    MAT_IRON = 8,
    MAT_PRIZE_E = 9,
    MAT_PRIZE_C = 10,
    MAT_PRIZE_S = 11,
    MAT_PRIZE_P = 12,
    MAT_PRIZE_L = 13,
    MAT_PRIZE_D = 14,
    MAT_PRIZE_B = 15,
    MAT_PLAYERLASER = 16,
    MAT_LIGHTBLUE = 17,
    MAT_WHITE = 18,
    MAT_BACKGROUND2 = 19,
    MAT_BACKGROUND3 = 20,
    MAT_BACKGROUND4 = 21,
    MAT_MENU = 22,
    MAT_MORVI = 23,
};

inline constexpr const char* MATERIAL_NAMES[MATERIAL_COUNT] = {
    "background1", "player",    "red",      "blue",        "orange",      "pink",        "green",    "grey",
    "iron",        "prizes/E",  "prizes/C", "prizes/S",    "prizes/P",    "prizes/L",    "prizes/D", "prizes/B",
    "playerlaser", "lightblue", "white",    "background2", "background3", "background4", "menu",     "morvi",
};

inline constexpr const char* MATERIAL_MAP_SUFFIXES[4] = {"D.tga", "N.tga", "S.tga", "H.tga"};

// The material of each brick code 1..9 and each capsule type 1..7 (-1: none, so nothing is bound).
inline constexpr int BRICK_MATERIALS[10] = {-1,        MAT_RED,       MAT_BLUE,  MAT_ORANGE, MAT_PINK,
                                            MAT_GREEN, MAT_LIGHTBLUE, MAT_WHITE, MAT_GREY,   MAT_IRON};
inline constexpr int CAPSULE_MATERIALS[8] = {-1,          MAT_PRIZE_E, MAT_PRIZE_C, MAT_PRIZE_S,
                                             MAT_PRIZE_P, MAT_PRIZE_L, MAT_PRIZE_D, MAT_PRIZE_B};

// The room's material for a level's background value; values other than 1 to 4 show the first.
constexpr int roomMaterial(int background)
{
    return background == 2   ? MAT_BACKGROUND2
           : background == 3 ? MAT_BACKGROUND3
           : background == 4 ? MAT_BACKGROUND4
                             : MAT_BACKGROUND1;
}

// ---------------------------------------------------------------------------
// Sound cues: the start-up loads SAMPLE_FILES in slot order; whoever triggers
// a cue plays its slot on the channel SAMPLE_CHANNELS gives beside it.
// ---------------------------------------------------------------------------
enum SampleSlot {
    SAMPLE_BAR = 0,           // ball off the paddle
    SAMPLE_LOSS = 1,          // loaded, never played
    SAMPLE_IMPACT = 2,        // a brick breaks
    SAMPLE_IMPACT_IRON = 3,   // a hit leaves the brick standing
    SAMPLE_WALL = 4,          // ball off a wall or the ceiling; launch
    SAMPLE_LIFE = 5,          // extra life caught
    SAMPLE_LASER = 6,         // laser fired
    SAMPLE_START = 7,         // NEW GAME, next level
    SAMPLE_PRES = 8,          // the menu shows for the first time
    SAMPLE_CURSOR = 9,        // menu cursor moves and actions
    SAMPLE_GAME_OVER = 10,    // last life lost
    SAMPLE_LOSE = 11,         // a life lost with lives left
    SAMPLE_TRAPPED = 12,      // a falling brick crushes the paddle
    SAMPLE_MORVI = 13,        // splash screen starts
    SAMPLE_COUNT = 14
};

inline constexpr const char* SAMPLE_FILES[SAMPLE_COUNT] = {
    "sounds/bar.wav",      "sounds/loss.wav",  "sounds/impact.wav",  "sounds/impactiron.wav", "sounds/wall.wav",
    "sounds/life.wav",     "sounds/laser.wav", "sounds/start.wav",   "sounds/pres.wav",       "sounds/cursor.wav",
    "sounds/gameover.wav", "sounds/lose.wav",  "sounds/trapped.wav", "sounds/morvi.wav",
};

inline constexpr int SAMPLE_CHANNELS[SAMPLE_COUNT] = {0, -1, 0, 0, 0, 2, 1, 1, 1, 2, 2, 2, 1, 1};

inline constexpr const char* MUSIC_FILE = "sounds/song.mp3";
inline constexpr int MUSIC_CHANNEL = 3;   // the stream's channel; carries no sample

// ---------------------------------------------------------------------------
// The grid: cells on a 3.5 by 2.1 pitch, bricks 3.4 by 2.0
// ---------------------------------------------------------------------------
constexpr double CELL_PITCH_X = 3.5;
constexpr double CELL_PITCH_Y = 2.1;
constexpr double BRICK_HALF_WIDTH = 1.7;
constexpr double BRICK_HALF_HEIGHT = 1.0;

// Where the game stands the brick of a grid cell: its centre in world units
// (the editor draws the same grid around its own origin).
constexpr double cellCentreX(int column) { return CELL_PITCH_X * (6.45 + column); }
constexpr double cellCentreY(int row) { return CELL_PITCH_Y * (25 - row); }

// ---------------------------------------------------------------------------
// Picture sizes the options offer, in the order RESOLUTION steps through them
// (those the screen can show, and the screen's own size)
// ---------------------------------------------------------------------------
constexpr int RESOLUTION_COUNT = 7;
inline constexpr int RESOLUTIONS[RESOLUTION_COUNT][2] = {{640, 480},  {800, 600},  {1024, 768}, {1152, 864},
                                                         {1280, 800}, {1366, 768}, {1920, 1080}};

// ---------------------------------------------------------------------------
// The window icon: the asset generator draws it into Textures/ at the sizes a
// desktop takes for a window (_NET_WM_ICON); both programs set it on theirs.
// WM_CLASS names match the desktop entries' StartupWMClass.
// ---------------------------------------------------------------------------
constexpr int WINDOW_ICON_COUNT = 4;
inline constexpr int WINDOW_ICON_SIZES[WINDOW_ICON_COUNT] = {32, 48, 64, 128};
inline constexpr const char* WINDOW_ICON_FORMAT = "Textures/icon%d.tga";   // with the size
inline constexpr const char* GAME_WM_INSTANCE = "tessivar";
inline constexpr const char* GAME_WM_CLASS = "Tessivar";
inline constexpr const char* EDITOR_WM_INSTANCE = "tles";
inline constexpr const char* EDITOR_WM_CLASS = "TLES";

// ---------------------------------------------------------------------------
// Level packs: the files "Levels Packs/*.tlp" below the working directory
// ---------------------------------------------------------------------------
inline constexpr const char* PACK_FOLDER = "Levels Packs";
inline constexpr const char* PACK_EXTENSION = ".tlp";

// A pack name a person may give: letters, digits, "-", "_" and "." (not
// leading), so it is a valid file name everywhere and one word in config.ini.
constexpr bool packNameCharacterAllowed(char c, bool first)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
           (c == '.' && !first);
}
