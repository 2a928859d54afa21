// levelpack/intreader: the one reader of decimal integers for the programs'
// text files (level packs, config.ini). It reads as "%d" does (white space
// skipped, optional sign, leading zeros), from a file a chunk at a time or from
// text in memory, and counts integers and lines so that errors can say where.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

enum class ReadOutcome { Value, End, NotInteger, OutOfRange };

// A 64-bit hash of a stream of bytes, the same however the bytes are cut into pieces: it tells whether a
// file still holds the bytes a program read from it (not a guard against anyone forging them).
struct ContentHash {
    uint64_t state = 0x6A09E667F3BCC909ull;
    uint64_t pending = 0;   // bytes of an 8-byte word begun, low byte first
    int pendingBytes = 0;
    uint64_t length = 0;   // bytes hashed
};
void hashBytes(ContentHash& hash, const char* data, size_t size);
uint64_t hashValue(const ContentHash& hash);

// One read of one file or text, from its start.
struct IntReader {
    FILE* file = nullptr;   // when set, data/size/pos walk a chunk of it
    const char* data = nullptr;
    size_t size = 0;
    size_t pos = 0;
    int64_t index = 0;             // integers read so far
    int64_t line = 1;              // lines begun so far
    std::string badToken;          // the offending text after NotInteger or OutOfRange, 20 characters at most
    std::string chunk;             // the file's current chunk
    ContentHash* hash = nullptr;   // when set, every chunk read from the file is hashed into it
};

IntReader readerOverFile(FILE* file);                      // the file stays the caller's to close
IntReader readerOverText(const char* data, size_t size);   // the text must outlive the reader

// The next word, as "%s" reads it, into out (capacity bytes with the NUL).
// False at the end, or with tooLong set when the word does not fit (it is skipped
// and out is left as it was).
bool readWord(IntReader& in, char* out, size_t capacity, bool& tooLong);

// ---------------------------------------------------------------------------
// The hot path, inline: the pack loops read an integer per call and would
// otherwise pay a call across modules for each (a fifth of a save).
// ---------------------------------------------------------------------------

bool refillReader(IntReader& in);   // the file's next chunk; false at its end

namespace intreader_detail {

constexpr size_t TOKEN_KEPT = 20;   // characters of a bad token kept for its message
constexpr int64_t SATURATION = int64_t{1} << 40;

inline int get(IntReader& in)
{
    if (in.pos < in.size || refillReader(in)) {
        return static_cast<unsigned char>(in.data[in.pos++]);
    }
    return EOF;
}

// Only ever after a get of c, so the byte is still in the chunk.
inline void unget(IntReader& in, int c)
{
    if (c != EOF) {
        --in.pos;
    }
}

inline bool isBlank(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

inline int skipBlanks(IntReader& in)
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

}   // namespace intreader_detail

// The next integer. A token that is no integer is left where it starts (in
// text always, in a file when it starts in the chunk at hand), so the next read
// sees it again. A magnitude beyond 2^40 saturates: its low byte is then meaningless.
ReadOutcome readWideInt(IntReader& in, int64_t& value);
// The same within 32 bits: a larger number is OutOfRange.
ReadOutcome readInt32(IntReader& in, int32_t& value);
inline ReadOutcome readWideInt(IntReader& in, int64_t& value)
{
    using namespace intreader_detail;
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
    if (magnitude > INT32_MAX) {   // only readInt32's OutOfRange message shows a number read whole
        in.badToken.assign(token, kept);
    }
    value = negative ? -magnitude : magnitude;
    ++in.index;
    return ReadOutcome::Value;
}

inline ReadOutcome readInt32(IntReader& in, int32_t& value)
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

inline bool readWord(IntReader& in, char* out, size_t capacity, bool& tooLong)
{
    using namespace intreader_detail;
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
