// game/shell/records: what the game keeps for its player from run to run —
// each pack's table of the ten best games, how far each pack was reached
// (CONTINUE), and the settings of sound, keys and mouse — the files they live
// in beside config.ini, and the name typed into a table. No window and no
// device: the menus, the frame loop, the fuzzers and the tests share it.
//
// Each file is plain text, written whole through the safe replace; each reader
// takes nothing on trust: a damaged scores or continue file is refused whole
// and set aside under another name (never deleted, never written over), a
// settings line that makes no sense is reported and its default kept, and the
// game goes on either way.
#pragma once

#include "platform/input.h"   // KEY_NAME_SIZE, BOUND_KEY_COUNT, DEFAULT_KEY_NAMES

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

// ---------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------
constexpr const char* SCORES_FILE = "scores.txt";
constexpr const char* CONTINUE_FILE = "continue.txt";
constexpr const char* SETTINGS_FILE = "settings.ini";
constexpr const char* DAMAGED_SUFFIX = ".damaged";      // a refused file is renamed to <file>.damaged[-N]
constexpr size_t RECORDS_FILE_MAX = size_t{1} << 20;    // bytes: a larger records file is refused unread
constexpr int RECORDED_PACKS_MAX = 1000;                // tables, or continue points, one file holds
constexpr int TABLE_SIZE = 10;                          // games a pack's table keeps
constexpr int PLAYER_NAME_MAX = 12;                     // characters of a name in a table
constexpr const char* DEFAULT_PLAYER_NAME = "PLAYER";   // a name left empty
// What a name is made of, in the order the controller's Up steps through it.
constexpr const char NAME_ALPHABET[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 -.";
constexpr int HIGH_WHILE_EMPTY = 50000;   // the HUD's HIGH figure while a pack's table is empty
constexpr int REPLAY_PATH_MAX = 200;      // bytes of a table game's replay file name
constexpr int VOLUME_STEPS = 10;          // volumes run 0 (silent) to this (full, the game's own)
constexpr int MOUSE_SPEED_MIN = 1;
constexpr int MOUSE_SPEED_MAX = 10;
constexpr int MOUSE_SPEED_DEFAULT = 5;   // the speed the paddle always had: 8 pixels to the unit

// ---------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------

// A pack as the records tell packs apart: its file name and its content, so an
// edited pack starts a table of its own.
struct PackId {
    std::string name;    // file name, no folder
    uint64_t hash = 0;   // packContentHash of its bytes (game/playfield/replay.h)
};

// One game in a table.
struct ScoreEntry {
    int32_t score = 0;       // 1 or more: a game without points enters no table
    int32_t level = 1;       // the level reached, as the game numbered it
    int32_t fromLevel = 1;   // where the game began: above 1 after CONTINUE
    bool fallMode = false;
    std::string date;     // "YYYY-MM-DD", the player's local date
    std::string name;     // 1 to PLAYER_NAME_MAX of NAME_ALPHABET, no blank at either end
    std::string replay;   // the game's replay file, relative to the working folder; empty: none kept
};

// One pack's table: best first; of equal scores the earlier game stands higher.
struct ScoreTable {
    PackId pack;
    std::vector<ScoreEntry> entries;   // at most TABLE_SIZE
};

// Every pack's table, as scores.txt holds them. Read at start-up, kept for the
// run, written whole when a game enters a table.
struct ScoreBook {
    std::vector<ScoreTable> tables;
    std::string lastName;   // the name typed last, offered first next time
};

// How far a pack has been reached: CONTINUE starts there. As continue.txt holds them.
struct ContinuePoint {
    PackId pack;
    int32_t level = 1;   // the furthest level a game of this pack has begun
};
struct ContinueBook {
    std::vector<ContinuePoint> points;
};

// The player's settings beside config.ini's. Read at start-up, kept for the
// run, written when they have changed and the main menu shows, and at QUIT.
struct Settings {
    int32_t soundVolume = VOLUME_STEPS;   // 0 to VOLUME_STEPS
    int32_t musicVolume = VOLUME_STEPS;
    bool muted = false;                         // M: both silent, the volumes kept
    int32_t mouseSpeed = MOUSE_SPEED_DEFAULT;   // MOUSE_SPEED_MIN to MOUSE_SPEED_MAX
    // By BOUND_KEYS: left, right, launch/fire, pause; as DEFAULT_KEY_NAMES.
    char keys[BOUND_KEY_COUNT][KEY_NAME_SIZE] = {"Left", "Right", "space", "p"};
};

// How reading one records file went.
struct RecordsLoad {
    bool damaged = false;             // refused whole: the defaults stand
    bool writable = true;             // false: the file could not be set aside, so it must not be written over
    std::string message;              // for the player; empty when the file was read whole or was not there
    std::vector<std::string> notes;   // settings: the lines left out, each with why
};

// A name being typed into a table, by keys or with a controller's d-pad.
struct NameEntry {
    std::string name;    // as it stands, upper case
    int cursor = 0;      // the character the d-pad changes; name.size() is the free place after it
    bool fresh = true;   // still the name offered: the first key typed replaces it
};

enum class NameKey : uint8_t {
    Type,    // a character (the keyboard)
    Erase,   // BackSpace, the controller's B
    Left,    // the d-pad: the cursor ...
    Right,
    Up,   // ... and the character under it, through NAME_ALPHABET
    Down,
    Done,   // Enter, A: the name as it stands
};

// ---------------------------------------------------------------------------
// Operations
// ---------------------------------------------------------------------------

// scores.cpp: tables
const ScoreTable* findTable(const ScoreBook& book, const PackId& pack);
// The HUD's HIGH figure: the pack's best, HIGH_WHILE_EMPTY while it has none, or score when higher.
int32_t highFigure(const ScoreBook& book, const PackId& pack, int32_t score);
// Where a game of score would stand in the pack's table (0 is the top), or -1 when it enters none.
int tablePlace(const ScoreBook& book, const PackId& pack, int32_t score);
// Puts the game into the pack's table (made when it has none) where tablePlace says, dropping
// the eleventh; returns the place, -1 when it did not enter.
int addScore(ScoreBook& book, const PackId& pack, const ScoreEntry& entry);
// Whether a table names file as its game's replay (such replays are kept out of the rotation).
bool replayInTables(const ScoreBook& book, const std::string& file);
// "YYYY-MM-DD" of when, local time.
std::string dateOf(time_t when);

// scores.cpp: continue points
int32_t continueLevel(const ContinueBook& book, const PackId& pack);   // 0: none
// Raises the pack's point to level; true when it rose (the file is then worth writing).
bool noteLevelReached(ContinueBook& book, const PackId& pack, int32_t level);

// scores.cpp: keys
// Whether a key is kept for what it always does (Escape asks or steps back, M
// mutes, F11/F12 shadows, Home the view, keypad 1/2 the light log, Alt+Enter),
// so it cannot be a key of play.
bool keyReserved(const char* keyName);

// scores.cpp: name entry
void startNameEntry(NameEntry& entry, const std::string& offered);
// One key; true at Done, with the name then final (trimmed, DEFAULT_PLAYER_NAME when empty).
bool typeIntoName(NameEntry& entry, NameKey key, char typed = 0);
// The character a keyboard key types into a name ("a" -> 'A', "space" -> ' '); 0: none.
char nameCharOfKey(const char* keyName);

// records_files.cpp: the files. decode* refuse anything but a whole, sound
// file with why (and the line); encode* write what decode* read back the same.
std::string encodeScoreBook(const ScoreBook& book);
bool decodeScoreBook(const std::string& text, ScoreBook& book, std::string& why);
std::string encodeContinueBook(const ContinueBook& book);
bool decodeContinueBook(const std::string& text, ContinueBook& book, std::string& why);
std::string encodeSettings(const Settings& settings);
// Takes each good line; a line with an unknown name or a value out of range is
// noted and its default kept. False only for a file that is no settings text at all.
bool decodeSettings(const std::string& text, Settings& settings, std::vector<std::string>& notes, std::string& why);

// Reads a records file into the record (left as it was when the file is
// missing or refused). A refused file is renamed to <path>.damaged (or
// .damaged-2, -3, ...) and the message says so.
RecordsLoad loadScoreBook(const char* path, ScoreBook& book);
RecordsLoad loadContinueBook(const char* path, ContinueBook& book);
RecordsLoad loadSettings(const char* path, Settings& settings);
// Each written whole through the safe replace (levelpack/safefile.h); false with failure on any error.
bool saveScoreBook(const char* path, const ScoreBook& book, std::string& failure);
bool saveContinueBook(const char* path, const ContinueBook& book, std::string& failure);
bool saveSettings(const char* path, const Settings& settings, std::string& failure);
