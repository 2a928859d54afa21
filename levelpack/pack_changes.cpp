// levelpack/pack_changes: whole-pack changes (insert, duplicate, delete,
// move a level), streamed with at most two levels held and written through the
// safe replace like every save.
#include "levelpack/pack_internal.h"

#include <algorithm>
#include <cstring>

namespace {

// Reads one complete level of the old file into values. False with error set when the file ends inside
// it or holds a bad value; at a clean end of file false with error left Ok.
bool readWholeLevel(IntReader& in, const std::string& path, int32_t (&values)[LEVEL_VALUES], int64_t levelIndex,
                    PackResult& error)
{
    const int64_t start = in.index;
    for (int i = 0; i < LEVEL_VALUES; ++i) {
        const int64_t index = in.index;
        const ReadOutcome outcome = readInt32(in, values[i]);
        if (outcome == ReadOutcome::End && i == 0) {
            return false;
        }
        if (outcome == ReadOutcome::End) {
            error = formatError(path, "the file ends inside level " + std::to_string(levelIndex) + ", before " +
                                          describePosition(start + i));
            return false;
        }
        if (outcome != ReadOutcome::Value) {
            error = describeFailure(in, outcome, index, path);
            return false;
        }
        if (i >= LEVEL_HEADER_VALUES && (values[i] < 0 || values[i] > BRICK_CODE_MAX)) {
            error = badBrickCode(in, index, values[i], path);
            return false;
        }
    }
    return true;
}

// Streams the old pack into sink with one change to its list of levels; each written level takes its new
// position as its number. At most two levels are held at a time, whatever the size of the pack.
PackResult changeLevelsPass(IntReader& in, const PackChange& change, const std::string& path, TextSink& sink,
                            PackOut* out)
{
    const int64_t k = change.level;
    if (k < 1 || (change.kind == LevelChange::MoveUp && k < 2)) {
        return formatError(path, "there is no level " + std::to_string(change.kind == LevelChange::MoveUp ? k - 1 : k));
    }
    PackResult error;
    int32_t value = 0;
    if (!readValue(in, path, value, error)) {
        return error;
    }
    sink.put(change.levelCount, '\n');

    int64_t written = 0;
    bool tooMany = false;
    auto emit = [&](const int32_t(&level)[LEVEL_VALUES]) {
        if (written == LEVEL_COUNT_MAX) {
            tooMany = true;   // its number could not be written
            return false;
        }
        ++written;
        sink.putHeader(static_cast<int32_t>(written), level[1], level[2], level[3]);
        sink.putGrid(level + LEVEL_HEADER_VALUES);
        return drainSink(sink, out);
    };
    static const int32_t EMPTY_LEVEL[LEVEL_VALUES] = {0, 1, 50, 1};
    int32_t level[LEVEL_VALUES];
    int32_t held[LEVEL_VALUES];   // the level a move writes after the one that follows it
    int64_t position = 0;
    while (readWholeLevel(in, path, level, position + 1, error)) {
        ++position;
        bool good = true;
        switch (change.kind) {
            case LevelChange::InsertEmptyAfter: good = emit(level) && (position != k || emit(EMPTY_LEVEL)); break;
            case LevelChange::DuplicateAfter: good = emit(level) && (position != k || emit(level)); break;
            case LevelChange::Delete: good = position == k || emit(level); break;
            case LevelChange::MoveUp:
            case LevelChange::MoveDown: {
                const int64_t first = change.kind == LevelChange::MoveUp ? k - 1 : k;
                if (position == first) {
                    memcpy(held, level, sizeof held);
                } else {
                    good = emit(level) && (position != first + 1 || emit(held));
                }
                break;
            }
        }
        if (tooMany) {
            return formatError(path, "a pack holds at most " + std::to_string(LEVEL_COUNT_MAX) + " levels");
        }
        if (!good) {
            return {PackStatus::WriteError, systemError("write", path)};
        }
    }
    if (!error.ok()) {
        return error;
    }
    const int64_t needed = change.kind == LevelChange::MoveDown ? k + 1 : k;
    if (position < needed) {
        return formatError(path, "there is no level " + std::to_string(needed) + ": the file holds only " +
                                     std::to_string(position) + " complete levels");
    }
    if (written == 0) {
        return formatError(path, "cannot delete the only level the file holds");
    }
    return {};
}

}   // namespace

PackResult changePackLevelsText(const std::string& oldText, const PackChange& change, const std::string& path,
                                std::string& out)
{
    IntReader in = readerOverText(oldText.data(), oldText.size());
    TextSink sink;
    PackResult result = changeLevelsPass(in, change, path, sink, nullptr);
    if (result.ok()) {
        out = std::move(sink.text);
    }
    return result;
}

PackResult changePackLevels(const std::string& path, const PackChange& change, PackVersion* version)
{
    return rewritePack(path, version, [&](IntReader& in, TextSink& sink, PackOut* out) {
        return changeLevelsPass(in, change, path, sink, out);
    });
}
