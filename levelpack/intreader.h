// levelpack/intreader: the one reader of decimal integers for the programs'
// text files (level packs, config.ini). It reads as "%d" does (white space
// skipped, optional sign, leading zeros), from a file a chunk at a time or from
// text in memory, and counts integers and lines so that errors can say where.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

enum class ReadOutcome { Value, End, NotInteger, OutOfRange };

// One read of one file or text, from its start.
struct IntReader {
    FILE* file = nullptr;   // when set, data/size/pos walk a chunk of it
    const char* data = nullptr;
    size_t size = 0;
    size_t pos = 0;
    int64_t index = 0;      // integers read so far
    int64_t line = 1;       // lines begun so far
    std::string badToken;   // the offending text after NotInteger or OutOfRange, 20 characters at most
    std::string chunk;      // the file's current chunk
};

IntReader readerOverFile(FILE* file);                      // the file stays the caller's to close
IntReader readerOverText(const char* data, size_t size);   // the text must outlive the reader

// The next integer. A token that is no integer is left where it starts (in
// text always, in a file when it starts in the chunk at hand), so the next read
// sees it again. A magnitude beyond 2^40 saturates: its low byte is then meaningless.
ReadOutcome readWideInt(IntReader& in, int64_t& value);
// The same within 32 bits: a larger number is OutOfRange.
ReadOutcome readInt32(IntReader& in, int32_t& value);
// The next word, as "%s" reads it, into out (capacity bytes with the NUL).
// False at the end, or with tooLong set when the word does not fit (it is skipped
// and out is left as it was).
bool readWord(IntReader& in, char* out, size_t capacity, bool& tooLong);
