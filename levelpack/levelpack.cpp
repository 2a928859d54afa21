// levelpack: reading, creating and rewriting level pack files.
//
// [SECTION] Integer source: "%d"-style reads from a file or a memory buffer
// [SECTION] Canonical writer
// [SECTION] Reading one level
// [SECTION] New packs
// [SECTION] The rewrite pass and the safe save
#include "levelpack/levelpack.h"

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

bool readBrickCode(IntSource& in, const std::string& path, int32_t& value, PackResult& error)
{
    const int64_t index = in.index;
    if (!readValue(in, path, value, error)) {
        return false;
    }
    if (value < 0 || value > BRICK_CODE_MAX) {
        error = formatError(path, describePosition(index) + " (line " + std::to_string(in.line) + "): brick code " +
                                      std::to_string(value) + " is not one of 0 to 9");
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

// ---------------------------------------------------------------------------
// [SECTION] The rewrite pass
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
    auto drain = [&]() {
        if (out && sink.text.size() >= 1 << 16) {
            if (!writeAll(out, sink.text)) {
                return false;
            }
            sink.text.clear();
        }
        return true;
    };
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
                return formatError(path, describePosition(index) + " (line " + std::to_string(in.line) +
                                             "): brick code " + std::to_string(value) + " is not one of 0 to 9");
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

PackResult writeNewPack(const std::string& path, int levelCount)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) {
        return {PackStatus::WriteError, systemError("create", path)};
    }
    const bool written = writeAll(file, newPackText(levelCount));
    const int savedErrno = errno;
    if (fclose(file) != 0 || !written) {
        if (!written) {
            errno = savedErrno;
        }
        PackResult result{PackStatus::WriteError, systemError("write", path)};
        remove(path.c_str());
        return result;
    }
    return {};
}

// ---------------------------------------------------------------------------
// [SECTION] The rewrite pass and the safe save
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
    FILE* old = fopen(path.c_str(), "rb");
    if (!old) {
        return {PackStatus::CannotOpen, systemError("open", path)};
    }
    FILE* temp = fopen(tempPath.c_str(), "wb");
    if (!temp) {
        PackResult result{PackStatus::WriteError, systemError("create", tempPath)};
        fclose(old);
        return result;
    }
    // Keep the pack's permissions on the file that replaces it.
    struct stat oldStat {};
    if (fstat(fileno(old), &oldStat) == 0) {
        fchmod(fileno(temp), oldStat.st_mode & 07777);
    }

    IntSource in;
    in.file = old;
    TextSink sink;
    PackResult result = rewritePass(in, level, path, sink, temp);
    fclose(old);

    auto fail = [&](PackResult failure) {
        if (temp) {
            fclose(temp);
        }
        remove(tempPath.c_str());
        return failure;
    };
    if (!result.ok()) {
        return fail(result);
    }
    if (!writeAll(temp, sink.text) || fflush(temp) != 0) {
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
