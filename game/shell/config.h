// game/shell/config: the game's settings (config.ini) and the list of level packs.
// No windowing or sound dependency: the start-up, the options menu and the
// tests share it.
#pragma once

#include "levelpack/catalogue.h"   // PACK_FOLDER

#include <cstdint>
#include <string>

constexpr int PACK_NAME_SIZE = 100;   // bytes of a pack file name, terminator included
constexpr int PACK_LIST_SIZE = 100;   // names PackList holds
constexpr const char* CONFIG_FILE = "config.ini";
constexpr int MIN_WINDOW_WIDTH = 320;   // pixels: below this the menus do not fit
constexpr int MIN_WINDOW_HEIGHT = 240;

// The settings. Lives for the whole run; the options menu changes it in
// memory and QUIT writes it back.
struct Config {
    int32_t screenWidth = 1024;                // window width request, pixels
    int32_t screenHeight = 768;                // window height request, pixels
    uint8_t mouseControl = 1;                  // nonzero: the mouse steers the paddle
    uint8_t fallMode = 0;                      // nonzero: destroyed bricks fall
    char levelPackName[PACK_NAME_SIZE] = {};   // selected pack's file name, no folder
    uint8_t windowed = 0;                      // nonzero: DISPLAY: WINDOW, else full screen (after the four lines)
};

// Pack files found at start-up, sorted. Lives for the whole run.
struct PackList {
    char names[PACK_LIST_SIZE][PACK_NAME_SIZE] = {};   // file names, no folder
    int32_t count = 0;                                 // entries filled
    int32_t lastPackIndex = 0;                         // count - 1, or 0 when none was found
    int32_t packIndex = 0;                             // entry matching levelPackName, else 0
};

extern Config config;
extern PackList packList;

// Reads path into cfg as width, height (1 to 2147483647), mouseControl, fallMode
// (0 to 255) and the pack name (one word). A value missing or unparsable keeps
// its default; an unparsable integer also stops the integers after it, and its
// word becomes the pack name. A number out of range is reported on standard
// output and keeps the default too. After those, a fifth line may hold the
// display (0 to 255, nonzero: a window); when the four came whole and a pack
// name followed it is read, else it keeps its default too. False, with a line on standard output, when
// the file cannot be opened or is not a plain file (a folder): the defaults stand.
bool readConfig(const char* path, Config& cfg);

// Writes cfg in the four-line layout, and a fifth line "1" when the display
// is a window (a pack name is needed before it: an empty one would make the
// "1" the name for a reader of four values), through the safe replace
// (levelpack/safefile.h), so a failure leaves the old file byte-identical and
// no scratch file behind. False on failure, with *failure (when given)
// saying which step failed and why.
bool writeConfig(const char* path, const Config& cfg, std::string* failure = nullptr);

// Whether a width x height window is at least MIN_WINDOW_WIDTH x
// MIN_WINDOW_HEIGHT and fits a screenWidth x screenHeight screen (0: unknown).
bool windowSizeUsable(int32_t width, int32_t height, int screenWidth, int screenHeight);
// Puts the default size (or the whole screen, when that is smaller) in place
// of an unusable one, with a line on standard output.
void checkWindowSize(Config& cfg, int screenWidth, int screenHeight);

// Fills list from the sorted names (no folder) and selects the one equal to
// cfg.levelPackName. Names config.ini could not keep (too long for a slot, or
// with a blank) and names past the list's room are skipped with a note on
// standard output.
void fillPackList(PackList& list, const char* const* names, int nameCount, const Config& cfg);

// Lists "<folder>/*.tlp" into list (fillPackList over the folder's files).
void discoverPacks(PackList& list, const char* folder, const Config& cfg);
