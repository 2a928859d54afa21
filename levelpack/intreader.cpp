// levelpack/intreader: see intreader.h.
#include "levelpack/intreader.h"

#include <cctype>
#include <cstring>

namespace {

constexpr size_t CHUNK = 1 << 16;   // bytes read from a file at a time (getc per byte was most of a save)

}   // namespace

bool refillReader(IntReader& in)
{
    if (!in.file) {
        return false;
    }
    in.chunk.resize(CHUNK);
    in.size = fread(in.chunk.data(), 1, CHUNK, in.file);
    in.data = in.chunk.data();
    in.pos = 0;
    if (in.hash) {
        hashBytes(*in.hash, in.data, in.size);
    }
    return in.size > 0;
}

namespace {

constexpr uint64_t HASH_MULTIPLIER = 0x9E3779B97F4A7C15ull;

inline void mixWord(ContentHash& hash, uint64_t word)
{
    hash.state = (hash.state ^ word) * HASH_MULTIPLIER;
    hash.state ^= hash.state >> 29;
}

}   // namespace

void hashBytes(ContentHash& hash, const char* data, size_t size)
{
    hash.length += size;
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    size_t i = 0;
    while (hash.pendingBytes != 0 && i < size) {
        hash.pending |= static_cast<uint64_t>(bytes[i++]) << (8 * hash.pendingBytes);
        if (++hash.pendingBytes == 8) {
            mixWord(hash, hash.pending);
            hash.pending = 0;
            hash.pendingBytes = 0;
        }
    }
    for (; i + 8 <= size; i += 8) {
        uint64_t word = 0;
        for (int b = 0; b < 8; ++b) {
            word |= static_cast<uint64_t>(bytes[i + b]) << (8 * b);
        }
        mixWord(hash, word);
    }
    for (; i < size; ++i) {
        hash.pending |= static_cast<uint64_t>(bytes[i]) << (8 * hash.pendingBytes++);
    }
}

uint64_t hashValue(const ContentHash& hash)
{
    ContentHash end = hash;
    mixWord(end, end.pending ^ (static_cast<uint64_t>(end.pendingBytes) << 59));
    mixWord(end, end.length);
    uint64_t h = end.state;
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    return h;
}

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
