// levelpack: reading, creating and rewriting level pack files (.tlp).
// Shared by the game and the editor; no windowing or sound dependency.
//
// A pack is nothing but decimal integers separated by white space: the level
// count, then per level a header of four integers and 22 x 11 brick codes.
// Readers find a level by counting integers from the start of the file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "levelpack/intreader.h"

// ---------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------
constexpr int GRID_COLUMNS = 11;
constexpr int GRID_ROWS = 22;
constexpr int GRID_CELLS = GRID_COLUMNS * GRID_ROWS;   // 242
constexpr int LEVEL_HEADER_VALUES = 4;
constexpr int LEVEL_VALUES = LEVEL_HEADER_VALUES + GRID_CELLS;   // 246
constexpr int BRICK_CODE_MAX = 9;                                // codes are 0 (empty) to 9
constexpr int32_t LEVEL_COUNT_MAX = INT32_MAX;                   // the largest count a pack can say

// ---------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------

// One level as stored in a pack; filled by readPackLevel, written by savePackLevel.
struct PackLevel {
    int32_t levelCount = 0;            // the pack's first integer (taken only when levelNumber was 0)
    int32_t levelNumber = 0;           // 1-based position in the pack; 0 = "first level, number from the file"
    int32_t greyHits = 1;              // hits a Grey brick needs
    int32_t bonusChance = 50;          // percent chance of a capsule per destroyed brick
    int32_t background = 1;            // 1 to 4
    int32_t bricks[GRID_CELLS] = {};   // row-major, row 0 at the top
};

enum class PackStatus {
    Ok,
    CannotOpen,      // the pack could not be opened for reading, or is no regular file
    FormatError,     // truncated, a token that is no integer, a code outside 0..9
    WriteError,      // the pack could not be written; it is as it was
    ChangedOnDisk,   // another program wrote the pack since it was read; nothing was written
};

// Which bytes a program last read from a pack (or wrote to it), so that its next write can tell whether
// another program has written the pack since. Lives as long as the program works on that pack.
struct PackVersion {
    bool known = false;   // false: the next write goes ahead whatever the pack holds
    uint64_t hash = 0;    // ContentHash of the pack's bytes
};

// A change to a pack's list of levels; the whole pack is rewritten for it.
enum class LevelChange {
    InsertEmptyAfter,   // a new empty level right after `level`
    DuplicateAfter,     // a copy of `level` right after it
    Delete,             // `level` removed; refused when it is the only level the file holds
    MoveUp,             // `level` swapped with the one before it
    MoveDown,           // `level` swapped with the one after it
};

// One whole-pack change, as the editor asks for it.
struct PackChange {
    LevelChange kind = LevelChange::InsertEmptyAfter;
    int32_t level = 1;        // 1-based position the change applies to
    int32_t levelCount = 1;   // the count line the changed pack gets
};

// Outcome of a pack operation: what went wrong and where, ready to show a person.
struct PackResult {
    PackStatus status = PackStatus::Ok;
    std::string message;   // empty when status is Ok
    bool ok() const { return status == PackStatus::Ok; }
};

// A pack read from its start, level after level, in one pass (a whole-pack check). Lives from openPackScan
// to closePackScan, in one place: its reader points into itself, so it is never copied once open.
struct PackScan {
    std::string path;
    FILE* file = nullptr;
    IntReader in;
    int32_t levelCount = 0;   // the count line, as the file says it
    int32_t levelsRead = 0;   // complete levels read so far
};

// ---------------------------------------------------------------------------
// Operations (levelpack.cpp)
// ---------------------------------------------------------------------------

// Reads level level.levelNumber of the pack at path into level. With
// levelNumber 0 the count and the first level's number come from the file.
// On any failure level is left exactly as it was. With version, the whole file
// is read and version set to its bytes.
PackResult readPackLevel(const std::string& path, PackLevel& level, PackVersion* version = nullptr);

// Creates (or replaces) path with levelCount empty levels in canonical layout, through the safe replace
// (levelpack/safefile.h), so a pack that is replaced survives a failure byte-identical.
PackResult writeNewPack(const std::string& path, int levelCount);

// The canonical text of a new pack of levelCount empty levels.
std::string newPackText(int levelCount);

// Rewrites the pack with level.levelNumber replaced by level (by position) and the count line set to
// level.levelCount; every other value of the old file is kept, in canonical layout. The pack is locked
// while it is read and rewritten, and replaced through the safe replace: on any failure the old pack
// stays byte-identical and no scratch file is left behind. With a known version, a pack that no longer
// holds those bytes is left alone (ChangedOnDisk); on success version holds the new bytes.
PackResult savePackLevel(const std::string& path, const PackLevel& level, PackVersion* version = nullptr);

// Canonical text of the rewrite pass for the pack contents in oldText;
// savePackLevel without the file handling. path is used in messages only.
PackResult rewritePackText(const std::string& oldText, const PackLevel& level, const std::string& path,
                           std::string& out);

// Rewrites the whole pack with one change to its list of levels: the count line becomes change.levelCount
// and every level takes its new position as its number; every other value is kept, in canonical layout.
// Levels beyond the count line are kept too. Like savePackLevel, version included: on any failure (a level
// the file does not hold, a malformed file, more levels than a count can say, a failed write) the old
// pack stays byte-identical.
PackResult changePackLevels(const std::string& path, const PackChange& change, PackVersion* version = nullptr);

// changePackLevels on the pack contents in oldText, without the file handling. path is used in messages.
PackResult changePackLevelsText(const std::string& oldText, const PackChange& change, const std::string& path,
                                std::string& out);

// Opens the pack at path and reads its count line.
PackResult openPackScan(const std::string& path, PackScan& scan);
// The next level, with its position as its number; false at the clean end of the file (result Ok) or when
// the file ends inside a level or holds a bad value (result says what and where).
bool readNextLevel(PackScan& scan, PackLevel& level, PackResult& result);
void closePackScan(PackScan& scan);

// ---------------------------------------------------------------------------
// Messages (pack_errors.cpp)
// ---------------------------------------------------------------------------

// Bytes as a message may show them: printable ASCII as it is, anything else as \xNN.
std::string quoteBytes(const std::string& bytes);

// The header values of level outside the ranges the editor writes, each with the value play takes in its
// place ("grey hits -5 is below 1: played as 1"). Empty when every value is in range.
std::vector<std::string> headerWarnings(const PackLevel& level);
