// levelpack/pack_errors: errors that say what is wrong with a pack and where,
// in words a person can act on.
#include "levelpack/pack_internal.h"

#include <cerrno>
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
    return {PackStatus::FormatError, path + ": " + what};
}

// Says why the integer at index could not be read.
PackResult describeFailure(const IntReader& in, ReadOutcome outcome, int64_t index, const std::string& path)
{
    const std::string where = describePosition(index) + " (line " + std::to_string(in.line) + ")";
    switch (outcome) {
        case ReadOutcome::End: return formatError(path, "the file ends before " + describePosition(index));
        case ReadOutcome::NotInteger:
            return formatError(path, where + ": expected an integer, found \"" + in.badToken + "\"");
        case ReadOutcome::OutOfRange:
        case ReadOutcome::Value: break;
    }
    return formatError(path, where + ": the number " + in.badToken + " is out of range");
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
    return "cannot " + action + " " + path + ": " + std::strerror(errno);
}
