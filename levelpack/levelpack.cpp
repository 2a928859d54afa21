// levelpack: reading, creating and rewriting level pack files.
//
// [SECTION] Integer source: "%d"-style reads from a file or a memory buffer
// [SECTION] Canonical writer
// [SECTION] The rewrite pass of a save
// [SECTION] Whole-pack changes: insert, duplicate, delete, move a level
// [SECTION] Replacing a file through a temporary one
// [SECTION] Reading one level
// [SECTION] New packs
// [SECTION] The safe save and the safe whole-pack change
#include "levelpack/levelpack.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// ---------------------------------------------------------------------------
// [SECTION] Integer source
// ---------------------------------------------------------------------------

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

enum class ReadOutcome { Value, End, NotInteger, OutOfRange };

// Reads decimal integers the way "%d" does (white space skipped, optional
// sign, leading zeros), from a FILE* or from memory, counting integers and
// lines so that errors can say where they are.
struct IntSource {
    static constexpr size_t CHUNK = 1 << 16;   // bytes read from a file at a time
    static constexpr size_t TOKEN_KEPT = 20;   // characters of a bad token kept for its message

    FILE* file = nullptr;   // when set, data/size/pos walk a chunk of it
    const char* data = nullptr;
    size_t size = 0;
    size_t pos = 0;
    int64_t index = 0;      // integers read so far
    int64_t line = 1;
    std::string badToken;   // the offending text after NotInteger / OutOfRange
    std::string chunk;      // the file's current chunk; sized on first use

    // A file is read a chunk at a time (getc and ungetc per byte were most of
    // a large pack's save).
    bool refill()
    {
        if (!file) {
            return false;
        }
        chunk.resize(CHUNK);
        size = fread(chunk.data(), 1, CHUNK, file);
        data = chunk.data();
        pos = 0;
        return size > 0;
    }
    int get()
    {
        if (pos < size || refill()) {
            return static_cast<unsigned char>(data[pos++]);
        }
        return EOF;
    }
    // Only ever after a get of c, so the byte is still in the chunk.
    void unget(int c)
    {
        if (c != EOF) {
            --pos;
        }
    }

    ReadOutcome next(int32_t& value)
    {
        int c = get();
        while (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f') {
            if (c == '\n') {
                ++line;
            }
            c = get();
        }
        if (c == EOF) {
            return ReadOutcome::End;
        }
        bool negative = false;
        char token[TOKEN_KEPT];
        size_t kept = 0;
        if (c == '+' || c == '-') {
            negative = (c == '-');
            token[kept++] = static_cast<char>(c);
            c = get();
        }
        if (c < '0' || c > '9') {
            // Collect a little of the token for the message.
            while (c != EOF && !isspace(c) && kept < TOKEN_KEPT) {
                token[kept++] = static_cast<char>(c);
                c = get();
            }
            badToken.assign(token, kept);
            return ReadOutcome::NotInteger;
        }
        int64_t magnitude = 0;
        bool tooBig = false;
        while (c >= '0' && c <= '9') {
            if (kept < TOKEN_KEPT) {
                token[kept++] = static_cast<char>(c);
            }
            if (!tooBig) {
                magnitude = magnitude * 10 + (c - '0');
                if (magnitude > 2147483648LL) {
                    tooBig = true;
                }
            }
            c = get();
        }
        unget(c);
        if (tooBig || (!negative && magnitude > 2147483647LL)) {
            badToken.assign(token, kept);
            return ReadOutcome::OutOfRange;
        }
        value = static_cast<int32_t>(negative ? -magnitude : magnitude);
        ++index;
        return ReadOutcome::Value;
    }
};

PackResult formatError(const std::string& path, const std::string& what)
{
    return {PackStatus::FormatError, path + ": " + what};
}

// Says why the integer at index could not be read.
PackResult describeFailure(const IntSource& in, ReadOutcome outcome, int64_t index, const std::string& path)
{
    const std::string where = describePosition(index) + " (line " + std::to_string(in.line) + ")";
    switch (outcome) {
    case ReadOutcome::End:
        return formatError(path, "the file ends before " + describePosition(index));
    case ReadOutcome::NotInteger:
        return formatError(path, where + ": expected an integer, found \"" + in.badToken + "\"");
    case ReadOutcome::OutOfRange:
    case ReadOutcome::Value:
        break;
    }
    return formatError(path, where + ": the number " + in.badToken + " is out of range");
}

// Reads one integer or explains, with its position, why there is none.
bool readValue(IntSource& in, const std::string& path, int32_t& value, PackResult& error)
{
    const int64_t index = in.index;
    const ReadOutcome outcome = in.next(value);
    if (outcome == ReadOutcome::Value) {
        return true;
    }
    error = describeFailure(in, outcome, index, path);
    return false;
}

PackResult badBrickCode(const IntSource& in, int64_t index, int32_t value, const std::string& path)
{
    return formatError(path, describePosition(index) + " (line " + std::to_string(in.line) + "): brick code " +
                                 std::to_string(value) + " is not one of 0 to 9");
}

bool readBrickCode(IntSource& in, const std::string& path, int32_t& value, PackResult& error)
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

// ---------------------------------------------------------------------------
// [SECTION] Canonical writer
// ---------------------------------------------------------------------------

// Appends integers in the canonical spacing; the caller drains text to a file.
struct TextSink {
    std::string text;

    void put(int32_t value, char separator)
    {
        if (value >= 0 && value <= 9) {   // nearly every value of a pack is a brick code
            const char pair[2] = {static_cast<char>('0' + value), separator};
            text.append(pair, 2);
            return;
        }
        char digits[16];
        const auto result = std::to_chars(digits, digits + sizeof digits, value);
        text.append(digits, result.ptr);
        text.push_back(separator);
    }
    void putHeader(int32_t number, int32_t greyHits, int32_t bonusChance, int32_t background)
    {
        put(number, ' ');
        put(greyHits, ' ');
        put(bonusChance, ' ');
        put(background, '\n');
    }
    void putGrid(const int32_t* bricks)
    {
        for (int i = 0; i < GRID_CELLS; ++i) {
            put(bricks[i], (i % GRID_COLUMNS == GRID_COLUMNS - 1) ? '\n' : ' ');
        }
    }
};

// Writes text to an open stream; false on a short write.
bool writeAll(FILE* file, const std::string& text)
{
    return text.empty() || fwrite(text.data(), 1, text.size(), file) == text.size();
}

std::string systemError(const std::string& action, const std::string& path)
{
    return "cannot " + action + " " + path + ": " + std::strerror(errno);
}

// Moves what the sink holds to out once it has grown, so that large packs never sit twice in memory.
bool drainSink(TextSink& sink, FILE* out)
{
    if (out && sink.text.size() >= 1 << 16) {
        if (!writeAll(out, sink.text)) {
            return false;
        }
        sink.text.clear();
    }
    return true;
}

// ---------------------------------------------------------------------------
// [SECTION] The rewrite pass of a save
// ---------------------------------------------------------------------------

// Streams the rewrite of the pack read from in, draining sink into out (when
// given) as it grows so that large packs never sit twice in memory.
PackResult rewritePass(IntSource& in, const PackLevel& level, const std::string& path, TextSink& sink, FILE* out)
{
    const int32_t k = level.levelNumber;
    if (k < 1) {
        return formatError(path, "cannot save level " + std::to_string(k) + ": levels are numbered from 1");
    }
    PackResult error;
    int32_t value = 0;
    auto drain = [&]() { return drainSink(sink, out); };
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

    int headerPosition = 0;
    bool inGrid = false;
    int column = 0;
    int row = 0;
    int64_t copiedLevel = 1;
    bool editedWritten = false;
    for (;;) {
        if (k == 1 && !editedWritten) {
            editedWritten = true;
            if (!writeEdited()) {
                return error;
            }
        }
        const int64_t index = in.index;
        const ReadOutcome outcome = in.next(value);
        if (outcome == ReadOutcome::End) {
            break;
        }
        if (outcome != ReadOutcome::Value) {
            return describeFailure(in, outcome, index, path);
        }
        if (!inGrid) {
            ++headerPosition;
            if (headerPosition == LEVEL_HEADER_VALUES) {
                sink.put(value, '\n');
                inGrid = true;
                headerPosition = 0;
            } else {
                sink.put(value, ' ');
            }
        } else {
            if (value < 0 || value > BRICK_CODE_MAX) {
                return badBrickCode(in, index, value, path);
            }
            ++column;
            if (column < GRID_COLUMNS) {
                sink.put(value, ' ');
            } else {
                sink.put(value, '\n');
                column = 0;
                ++row;
                if (row == GRID_ROWS) {
                    ++copiedLevel;
                    row = 0;
                    column = 0;
                    headerPosition = 0;
                    inGrid = false;
                    if (copiedLevel == k) {
                        editedWritten = true;
                        if (!writeEdited()) {
                            return error;
                        }
                    }
                }
            }
        }
        if (!drain()) {
            return {PackStatus::WriteError, systemError("write", "the temporary file")};
        }
    }
    if (inGrid || headerPosition != 0) {
        return formatError(path, "the file ends inside level " + std::to_string(copiedLevel) + ", before " +
                                     describePosition(in.index));
    }
    if (!editedWritten) {
        return formatError(path, "cannot save level " + std::to_string(k) + ": the file holds only " +
                                     std::to_string(copiedLevel - 1) + " complete levels");
    }
    return {};
}

// ---------------------------------------------------------------------------
// [SECTION] Whole-pack changes: insert, duplicate, delete, move a level
// ---------------------------------------------------------------------------

// Reads one complete level of the old file into values. False with error set when the file ends inside
// it or holds a bad value; at a clean end of file false with error left Ok.
bool readWholeLevel(IntSource& in, const std::string& path, int32_t (&values)[LEVEL_VALUES], int64_t levelIndex,
                    PackResult& error)
{
    const int64_t start = in.index;
    for (int i = 0; i < LEVEL_VALUES; ++i) {
        const int64_t index = in.index;
        const ReadOutcome outcome = in.next(values[i]);
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
PackResult changeLevelsPass(IntSource& in, const PackChange& change, const std::string& path, TextSink& sink,
                            FILE* out)
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
    auto emit = [&](const int32_t (&level)[LEVEL_VALUES]) {
        ++written;
        sink.putHeader(static_cast<int32_t>(std::min<int64_t>(written, INT32_MAX)), level[1], level[2], level[3]);
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
        case LevelChange::InsertEmptyAfter:
            good = emit(level) && (position != k || emit(EMPTY_LEVEL));
            break;
        case LevelChange::DuplicateAfter:
            good = emit(level) && (position != k || emit(level));
            break;
        case LevelChange::Delete:
            good = position == k || emit(level);
            break;
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
        if (!good) {
            return {PackStatus::WriteError, systemError("write", "the temporary file")};
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

// ---------------------------------------------------------------------------
// [SECTION] Replacing a file through a temporary one
// ---------------------------------------------------------------------------

// Writes the new contents of path to tempPath with produce(temp), flushes them to disk and renames tempPath
// over path; the file that is replaced keeps its permissions. On any failure path is untouched and tempPath
// removed.
template <typename Produce>
PackResult replaceThroughTemp(const std::string& path, const std::string& tempPath, Produce produce)
{
    FILE* temp = fopen(tempPath.c_str(), "wb");
    if (!temp) {
        return {PackStatus::WriteError, systemError("create", tempPath)};
    }
    struct stat oldStat {};
    if (stat(path.c_str(), &oldStat) == 0) {
        fchmod(fileno(temp), oldStat.st_mode & 07777);
    }
    auto fail = [&](PackResult failure) {
        if (temp) {
            fclose(temp);
        }
        remove(tempPath.c_str());
        return failure;
    };
    PackResult result = produce(temp);
    if (!result.ok()) {
        return fail(result);
    }
    if (fflush(temp) != 0) {
        return fail({PackStatus::WriteError, systemError("write", tempPath)});
    }
    if (fsync(fileno(temp)) != 0) {
        return fail({PackStatus::WriteError, systemError("flush to disk", tempPath)});
    }
    const int closed = fclose(temp);
    temp = nullptr;
    if (closed != 0) {
        return fail({PackStatus::WriteError, systemError("write", tempPath)});
    }
    if (rename(tempPath.c_str(), path.c_str()) != 0) {
        return fail({PackStatus::WriteError, systemError("replace " + path + " with", tempPath)});
    }
    return {};
}

// replaceThroughTemp for a pass over the old pack: pass(in, sink, temp) streams the old file into sink.
// A pack that cannot be opened is never created.
template <typename Pass>
PackResult replaceThroughOldPack(const std::string& path, const std::string& tempPath, Pass pass)
{
    FILE* old = fopen(path.c_str(), "rb");
    if (!old) {
        return {PackStatus::CannotOpen, systemError("open", path)};
    }
    IntSource in;
    in.file = old;
    const PackResult result = replaceThroughTemp(path, tempPath, [&](FILE* temp) -> PackResult {
        TextSink sink;
        PackResult passed = pass(in, sink, temp);
        fclose(old);
        old = nullptr;
        if (!passed.ok()) {
            return passed;
        }
        if (!writeAll(temp, sink.text)) {
            return {PackStatus::WriteError, systemError("write", tempPath)};
        }
        return {};
    });
    if (old) {
        fclose(old);
    }
    return result;
}

}   // namespace

// ---------------------------------------------------------------------------
// [SECTION] Reading one level
// ---------------------------------------------------------------------------

PackResult readPackLevel(const std::string& path, PackLevel& level)
{
    if (level.levelNumber < 0) {
        return formatError(path, "there is no level " + std::to_string(level.levelNumber));
    }
    FILE* file = fopen(path.c_str(), "rb");
    if (!file) {
        return {PackStatus::CannotOpen, systemError("open", path)};
    }
    IntSource in;
    in.file = file;
    PackLevel read = level;
    PackResult error;
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
    fclose(file);
    if (!good) {
        return error;
    }
    level = read;
    return {};
}

// ---------------------------------------------------------------------------
// [SECTION] New packs
// ---------------------------------------------------------------------------

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

PackResult writeNewPack(const std::string& path, const std::string& tempPath, int levelCount)
{
    return replaceThroughTemp(path, tempPath, [&](FILE* temp) -> PackResult {
        if (!writeAll(temp, newPackText(levelCount))) {
            return {PackStatus::WriteError, systemError("write", tempPath)};
        }
        return {};
    });
}

// ---------------------------------------------------------------------------
// [SECTION] The safe save and the safe whole-pack change
// ---------------------------------------------------------------------------

PackResult rewritePackText(const std::string& oldText, const PackLevel& level, const std::string& path,
                           std::string& out)
{
    IntSource in;
    in.data = oldText.data();
    in.size = oldText.size();
    TextSink sink;
    PackResult result = rewritePass(in, level, path, sink, nullptr);
    if (result.ok()) {
        out = std::move(sink.text);
    }
    return result;
}

PackResult savePackLevel(const std::string& path, const std::string& tempPath, const PackLevel& level)
{
    return replaceThroughOldPack(path, tempPath, [&](IntSource& in, TextSink& sink, FILE* temp) {
        return rewritePass(in, level, path, sink, temp);
    });
}

PackResult changePackLevelsText(const std::string& oldText, const PackChange& change, const std::string& path,
                                std::string& out)
{
    IntSource in;
    in.data = oldText.data();
    in.size = oldText.size();
    TextSink sink;
    PackResult result = changeLevelsPass(in, change, path, sink, nullptr);
    if (result.ok()) {
        out = std::move(sink.text);
    }
    return result;
}

PackResult changePackLevels(const std::string& path, const std::string& tempPath, const PackChange& change)
{
    return replaceThroughOldPack(path, tempPath, [&](IntSource& in, TextSink& sink, FILE* temp) {
        return changeLevelsPass(in, change, path, sink, temp);
    });
}
