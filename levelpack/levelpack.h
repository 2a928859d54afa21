// levelpack: reading, creating and rewriting level pack files (.tlp).
// Shared by the game and the editor; no windowing or sound dependency.
//
// A pack is nothing but decimal integers separated by white space: the level
// count, then per level a header of four integers and 22 x 11 brick codes.
// Readers find a level by counting integers from the start of the file.
#pragma once

#include <cstdint>
#include <string>

// ---------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------
constexpr int GRID_COLUMNS = 11;
constexpr int GRID_ROWS = 22;
constexpr int GRID_CELLS = GRID_COLUMNS * GRID_ROWS;   // 242
constexpr int LEVEL_HEADER_VALUES = 4;
constexpr int LEVEL_VALUES = LEVEL_HEADER_VALUES + GRID_CELLS;   // 246
constexpr int BRICK_CODE_MAX = 9;                                // codes are 0 (empty) to 9

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
    CannotOpen,    // the pack could not be opened for reading
    FormatError,   // truncated, a token that is no integer, a code outside 0..9
    WriteError,    // the temporary file or the replacement could not be written
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

// ---------------------------------------------------------------------------
// Operations (levelpack.cpp)
// ---------------------------------------------------------------------------

// Reads level level.levelNumber of the pack at path into level. With
// levelNumber 0 the count and the first level's number come from the file.
// On any failure level is left exactly as it was.
PackResult readPackLevel(const std::string& path, PackLevel& level);

// Creates (or replaces) path with levelCount empty levels in canonical layout, through tempPath as
// savePackLevel does, so a pack that is replaced survives a failure byte-identical.
PackResult writeNewPack(const std::string& path, const std::string& tempPath, int levelCount);

// The canonical text of a new pack of levelCount empty levels.
std::string newPackText(int levelCount);

// Rewrites the pack with level.levelNumber replaced by level (by position) and
// the count line set to level.levelCount; every other value of the old file is
// kept, in canonical layout. The new text goes to tempPath first, is flushed
// to disk and then renamed over the pack, so on any failure the old pack stays
// byte-identical and no temporary file is left behind.
PackResult savePackLevel(const std::string& path, const std::string& tempPath, const PackLevel& level);

// Canonical text of the rewrite pass for the pack contents in oldText;
// savePackLevel without the file handling. path is used in messages only.
PackResult rewritePackText(const std::string& oldText, const PackLevel& level, const std::string& path,
                           std::string& out);

// Rewrites the whole pack with one change to its list of levels: the count line becomes change.levelCount
// and every level takes its new position as its number; every other value is kept, in canonical layout.
// Levels beyond the count line are kept too. Through tempPath like savePackLevel: on any failure (a level
// the file does not hold, a malformed file, a failed write) the old pack stays byte-identical.
PackResult changePackLevels(const std::string& path, const std::string& tempPath, const PackChange& change);

// changePackLevels on the pack contents in oldText, without the file handling. path is used in messages.
PackResult changePackLevelsText(const std::string& oldText, const PackChange& change, const std::string& path,
                                std::string& out);
