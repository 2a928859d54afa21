// levelpack: reading one level, new packs, and the rewrite pass of a save.
#include "levelpack/pack_internal.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace {

// Where the copy of the old pack stands within its current level.
struct CopyPlace {
    int headerPosition = 0;   // header values copied of the current level
    bool inGrid = false;
    int column = 0;
    int row = 0;
    int64_t level = 1;   // 1-based position of the level being copied
};

// Writes one value of the old pack in its canonical place; true when it
// completed a level (the place then stands at the next one's start).
bool copyValue(CopyPlace& place, int32_t value, TextSink& sink)
{
    if (!place.inGrid) {
        ++place.headerPosition;
        const bool last = place.headerPosition == LEVEL_HEADER_VALUES;
        sink.put(value, last ? '\n' : ' ');
        if (last) {
            place.inGrid = true;
            place.headerPosition = 0;
        }
        return false;
    }
    ++place.column;
    if (place.column < GRID_COLUMNS) {
        sink.put(value, ' ');
        return false;
    }
    sink.put(value, '\n');
    place.column = 0;
    if (++place.row < GRID_ROWS) {
        return false;
    }
    place = CopyPlace{0, false, 0, 0, place.level + 1};
    return true;
}

// Streams the rewrite of the pack read from in, draining sink into out (when
// given) as it grows so that large packs never sit twice in memory.
PackResult rewritePass(IntReader& in, const PackLevel& level, const std::string& path, TextSink& sink, PackOut* out)
{
    const int32_t k = level.levelNumber;
    if (k < 1) {
        return formatError(path, "cannot save level " + std::to_string(k) + ": levels are numbered from 1");
    }
    PackResult error;
    int32_t value = 0;
    // The edited level replaces the old one's values, which are read and dropped.
    auto writeEdited = [&]() {
        for (int i = 0; i < LEVEL_VALUES; ++i) {
            if (!readValue(in, path, value, error)) {
                return false;
            }
        }
        sink.putHeader(k, level.greyHits, level.bonusChance, level.background);
        sink.putGrid(level.bricks);
        return true;
    };

    if (!readValue(in, path, value, error)) {
        return error;
    }
    sink.put(level.levelCount, '\n');

    CopyPlace place;
    bool editedWritten = false;
    if (k == 1) {
        editedWritten = true;
        if (!writeEdited()) {
            return error;
        }
    }
    for (;;) {
        const int64_t index = in.index;
        const ReadOutcome outcome = readInt32(in, value);
        if (outcome == ReadOutcome::End) {
            break;
        }
        if (outcome != ReadOutcome::Value) {
            return describeFailure(in, outcome, index, path);
        }
        if (place.inGrid && (value < 0 || value > BRICK_CODE_MAX)) {
            return badBrickCode(in, index, value, path);
        }
        if (copyValue(place, value, sink) && place.level == k) {
            editedWritten = true;
            if (!writeEdited()) {
                return error;
            }
        }
        if (!drainSink(sink, out)) {
            return {PackStatus::WriteError, systemError("write", path)};
        }
    }
    if (place.inGrid || place.headerPosition != 0) {
        return formatError(path, "the file ends inside level " + std::to_string(place.level) + ", before " +
                                     describePosition(in.index));
    }
    if (!editedWritten) {
        return formatError(path, "cannot save level " + std::to_string(k) + ": the file holds only " +
                                     std::to_string(place.level - 1) + " complete levels");
    }
    return {};
}

}   // namespace

FILE* openPackFile(const std::string& path, PackResult& error)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = {PackStatus::CannotOpen, systemError("open", path)};
        return nullptr;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const char* kind = S_ISDIR(st.st_mode) ? "a folder" : S_ISFIFO(st.st_mode) ? "a FIFO" : "not a regular file";
        error = {PackStatus::CannotOpen, "cannot open " + quoteBytes(path) + ": it is " + kind + ", not a pack"};
        close(fd);
        return nullptr;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FILE* file = fdopen(fd, "rb");
    if (!file) {
        error = {PackStatus::CannotOpen, systemError("open", path)};
        close(fd);
    }
    return file;
}

PackResult readPackLevel(const std::string& path, PackLevel& level, PackVersion* version)
{
    if (level.levelNumber < 0) {
        return formatError(path, "there is no level " + std::to_string(level.levelNumber));
    }
    PackResult error;
    FILE* file = openPackFile(path, error);
    if (!file) {
        return error;
    }
    ContentHash hash;
    IntReader in = readerOverFile(file);
    if (version) {
        in.hash = &hash;
    }
    PackLevel read = level;
    bool good = true;
    int32_t skipped = 0;
    if (level.levelNumber == 0) {
        good = readValue(in, path, read.levelCount, error) && readValue(in, path, read.levelNumber, error);
    } else {
        const int64_t toSkip = 2 + int64_t{LEVEL_VALUES} * (level.levelNumber - 1);
        for (int64_t i = 0; good && i < toSkip; ++i) {
            good = readValue(in, path, skipped, error);
        }
    }
    good = good && readValue(in, path, read.greyHits, error) && readValue(in, path, read.bonusChance, error) &&
           readValue(in, path, read.background, error);
    for (int i = 0; good && i < GRID_CELLS; ++i) {
        good = readBrickCode(in, path, read.bricks[i], error);
    }
    if (good && version) {
        while (refillReader(in)) {   // the rest of the file, for its hash
        }
    }
    fclose(file);
    if (!good) {
        return error;
    }
    level = read;
    if (version) {
        version->known = true;
        version->hash = hashValue(hash);
    }
    return {};
}

std::string newPackText(int levelCount)
{
    TextSink sink;
    sink.put(levelCount, '\n');
    static const int32_t empty[GRID_CELLS] = {};
    for (int k = 1; k <= levelCount; ++k) {
        sink.putHeader(k, 1, 50, 1);
        sink.putGrid(empty);
    }
    return sink.text;
}

PackResult writeNewPack(const std::string& path, int levelCount)
{
    if (levelCount < 1) {
        return formatError(path, "a pack holds at least 1 level, not " + std::to_string(levelCount));
    }
    return replacePack(path, nullptr, [&](FileReplace&, PackOut& out) -> PackResult {
        // Streamed: the count has no upper limit in the form, and the text of a large pack need not sit in memory.
        TextSink sink;
        sink.put(levelCount, '\n');
        static const int32_t empty[GRID_CELLS] = {};
        for (int k = 1; k <= levelCount; ++k) {
            sink.putHeader(k, 1, 50, 1);
            sink.putGrid(empty);
            if (!drainSink(sink, &out)) {
                return {PackStatus::WriteError, systemError("write", path)};
            }
        }
        if (!writeAll(out, sink.text)) {
            return {PackStatus::WriteError, systemError("write", path)};
        }
        return {};
    });
}

PackResult rewritePackText(const std::string& oldText, const PackLevel& level, const std::string& path,
                           std::string& out)
{
    IntReader in = readerOverText(oldText.data(), oldText.size());
    TextSink sink;
    PackResult result = rewritePass(in, level, path, sink, nullptr);
    if (result.ok()) {
        out = std::move(sink.text);
    }
    return result;
}

PackResult savePackLevel(const std::string& path, const PackLevel& level, PackVersion* version)
{
    return rewritePack(path, version, [&](IntReader& in, TextSink& sink, PackOut* out) {
        return rewritePass(in, level, path, sink, out);
    });
}

PackResult openPackScan(const std::string& path, PackScan& scan)
{
    closePackScan(scan);
    scan = PackScan{};
    scan.path = path;
    PackResult error;
    scan.file = openPackFile(path, error);
    if (!scan.file) {
        return error;
    }
    scan.in = readerOverFile(scan.file);
    if (!readValue(scan.in, path, scan.levelCount, error)) {
        closePackScan(scan);
        return error;
    }
    return {};
}

bool readNextLevel(PackScan& scan, PackLevel& level, PackResult& result)
{
    result = {};
    if (!scan.file) {
        return false;
    }
    PackLevel read;
    read.levelCount = scan.levelCount;
    const int64_t start = scan.in.index;
    const ReadOutcome first = readInt32(scan.in, read.levelNumber);
    if (first == ReadOutcome::End) {
        return false;
    }
    if (first != ReadOutcome::Value) {
        result = describeFailure(scan.in, first, start, scan.path);
        return false;
    }
    bool good = readValue(scan.in, scan.path, read.greyHits, result) &&
                readValue(scan.in, scan.path, read.bonusChance, result) &&
                readValue(scan.in, scan.path, read.background, result);
    for (int i = 0; good && i < GRID_CELLS; ++i) {
        good = readBrickCode(scan.in, scan.path, read.bricks[i], result);
    }
    if (!good) {
        return false;
    }
    // Numbered by position, as every reader takes them; a count of levels past INT32_MAX cannot be said.
    if (scan.levelsRead == LEVEL_COUNT_MAX) {
        result = formatError(scan.path, "the file holds more levels than a count can say");
        return false;
    }
    read.levelNumber = ++scan.levelsRead;
    level = read;
    return true;
}

void closePackScan(PackScan& scan)
{
    if (scan.file) {
        fclose(scan.file);
        scan.file = nullptr;
    }
}
