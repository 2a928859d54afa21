// levelpack/pack_errors: errors that say what is wrong with a pack and where,
// in words a person can act on.
#include "levelpack/pack_internal.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

// Where the n-th integer of a pack (0-based) sits, in words a person can act on.
std::string describePosition(int64_t index)
{
    if (index == 0) {
        return "the level count";
    }
    const int64_t offset = (index - 1) % LEVEL_VALUES;
    const int64_t level = (index - 1) / LEVEL_VALUES + 1;
    static const char* const headerNames[LEVEL_HEADER_VALUES] = {"level number", "grey hits", "bonus chance",
                                                                 "background"};
    std::string where = "level " + std::to_string(level) + ", ";
    if (offset < LEVEL_HEADER_VALUES) {
        return where + headerNames[offset];
    }
    const int64_t cell = offset - LEVEL_HEADER_VALUES;
    return where + "brick row " + std::to_string(cell / GRID_COLUMNS + 1) + " column " +
           std::to_string(cell % GRID_COLUMNS + 1);
}

PackResult formatError(const std::string& path, const std::string& what)
{
    return {PackStatus::FormatError, quoteBytes(path) + ": " + what};
}

// Says why the integer at index could not be read.
PackResult describeFailure(const IntReader& in, ReadOutcome outcome, int64_t index, const std::string& path)
{
    const std::string where = describePosition(index) + " (line " + std::to_string(in.line) + ")";
    switch (outcome) {
        case ReadOutcome::End: return formatError(path, "the file ends before " + describePosition(index));
        case ReadOutcome::NotInteger:
            return formatError(path, where + ": expected an integer, found \"" + quoteBytes(in.badToken) + "\"");
        case ReadOutcome::OutOfRange:
        case ReadOutcome::Value: break;
    }
    return formatError(path, where + ": the number " + quoteBytes(in.badToken) + " is out of range");
}

// Reads one integer or explains, with its position, why there is none.
bool readValue(IntReader& in, const std::string& path, int32_t& value, PackResult& error)
{
    const int64_t index = in.index;
    const ReadOutcome outcome = readInt32(in, value);
    if (outcome == ReadOutcome::Value) {
        return true;
    }
    error = describeFailure(in, outcome, index, path);
    return false;
}

PackResult badBrickCode(const IntReader& in, int64_t index, int32_t value, const std::string& path)
{
    return formatError(path, describePosition(index) + " (line " + std::to_string(in.line) + "): brick code " +
                                 std::to_string(value) + " is not one of 0 to 9");
}

bool readBrickCode(IntReader& in, const std::string& path, int32_t& value, PackResult& error)
{
    const int64_t index = in.index;
    if (!readValue(in, path, value, error)) {
        return false;
    }
    if (value < 0 || value > BRICK_CODE_MAX) {
        error = badBrickCode(in, index, value, path);
        return false;
    }
    return true;
}

std::string systemError(const std::string& action, const std::string& path)
{
    return "cannot " + action + " " + quoteBytes(path) + ": " + std::strerror(errno);
}

std::string quoteBytes(const std::string& bytes)
{
    std::string shown;
    shown.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
            shown.push_back(c);
        } else {
            char escaped[8];
            snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            shown += escaped;
        }
    }
    return shown;
}

std::vector<std::string> headerWarnings(const PackLevel& level)
{
    // What play makes of each: a grey brick breaks once its hits reach the count, a capsule comes when a
    // roll of 1 to 100 is below the chance, and any background but 2 to 4 is the first.
    std::vector<std::string> warnings;
    if (level.greyHits < 1) {
        warnings.push_back("grey hits " + std::to_string(level.greyHits) + " is below 1: played as 1");
    }
    if (level.bonusChance < 0) {
        warnings.push_back("bonus chance " + std::to_string(level.bonusChance) + " is below 0: played as 0");
    } else if (level.bonusChance > 100) {
        warnings.push_back("bonus chance " + std::to_string(level.bonusChance) + " is above 100: played as 100");
    }
    if (level.background < 1 || level.background > 4) {
        warnings.push_back("background " + std::to_string(level.background) + " is not 1 to 4: played as 1");
    }
    return warnings;
}
