// levelpack/intreader: see intreader.h.
#include "levelpack/intreader.h"

#include <cctype>
#include <cstring>

namespace {

constexpr size_t CHUNK = 1 << 16;   // bytes read from a file at a time (getc per byte was most of a save)
constexpr size_t TOKEN_KEPT = 20;   // characters of a bad token kept for its message
constexpr int64_t SATURATION = int64_t{1} << 40;

bool refill(IntReader& in)
{
    if (!in.file) {
        return false;
    }
    in.chunk.resize(CHUNK);
    in.size = fread(in.chunk.data(), 1, CHUNK, in.file);
    in.data = in.chunk.data();
    in.pos = 0;
    return in.size > 0;
}

int get(IntReader& in)
{
    if (in.pos < in.size || refill(in)) {
        return static_cast<unsigned char>(in.data[in.pos++]);
    }
    return EOF;
}

// Only ever after a get of c, so the byte is still in the chunk.
void unget(IntReader& in, int c)
{
    if (c != EOF) {
        --in.pos;
    }
}

bool isBlank(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

int skipBlanks(IntReader& in)
{
    int c = get(in);
    while (isBlank(c)) {
        if (c == '\n') {
            ++in.line;
        }
        c = get(in);
    }
    return c;
}

}   // namespace

IntReader readerOverFile(FILE* file)
{
    IntReader in;
    in.file = file;
    return in;
}

IntReader readerOverText(const char* data, size_t size)
{
    IntReader in;
    in.data = data;
    in.size = size;
    return in;
}

ReadOutcome readWideInt(IntReader& in, int64_t& value)
{
    int c = skipBlanks(in);
    if (c == EOF) {
        return ReadOutcome::End;
    }
    const size_t start = in.pos - 1;   // in the chunk at hand until a refill
    const char* const startData = in.data;
    bool negative = false;
    char token[TOKEN_KEPT];
    size_t kept = 0;
    if (c == '+' || c == '-') {
        negative = (c == '-');
        token[kept++] = static_cast<char>(c);
        c = get(in);
    }
    if (c < '0' || c > '9') {
        // Keep a little of the token for the message, then put it back.
        while (c != EOF && !isBlank(c) && kept < TOKEN_KEPT) {
            token[kept++] = static_cast<char>(c);
            c = get(in);
        }
        in.badToken.assign(token, kept);
        if (in.data == startData) {
            in.pos = start;
        }
        return ReadOutcome::NotInteger;
    }
    int64_t magnitude = 0;
    while (c >= '0' && c <= '9') {
        if (kept < TOKEN_KEPT) {
            token[kept++] = static_cast<char>(c);
        }
        if (magnitude < SATURATION) {
            magnitude = magnitude * 10 + (c - '0');
        }
        c = get(in);
    }
    unget(in, c);
    in.badToken.assign(token, kept);
    value = negative ? -magnitude : magnitude;
    ++in.index;
    return ReadOutcome::Value;
}

ReadOutcome readInt32(IntReader& in, int32_t& value)
{
    int64_t wide = 0;
    const ReadOutcome outcome = readWideInt(in, wide);
    if (outcome != ReadOutcome::Value) {
        return outcome;
    }
    if (wide > INT32_MAX || wide < INT32_MIN) {
        --in.index;
        return ReadOutcome::OutOfRange;
    }
    value = static_cast<int32_t>(wide);
    return ReadOutcome::Value;
}

bool readWord(IntReader& in, char* out, size_t capacity, bool& tooLong)
{
    tooLong = false;
    int c = skipBlanks(in);
    if (c == EOF) {
        return false;
    }
    // Gathered apart, so a word that does not fit leaves out as it was.
    std::string word;
    while (c != EOF && !isBlank(c)) {
        if (word.size() + 1 < capacity) {
            word.push_back(static_cast<char>(c));
        } else {
            tooLong = true;
        }
        c = get(in);
    }
    unget(in, c);
    if (tooLong || capacity == 0) {
        return false;
    }
    memcpy(out, word.c_str(), word.size() + 1);
    return true;
}
