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
    return in.size > 0;
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
