// game/render/shader_source: reading a shader source file whole. The file
// may be missing, empty, huge or hostile: each gives null, and the caller
// leaves the game on the unshadowed path.
#include "game/render/render_internal.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr long MAX_SHADER_BYTES = 1 << 20;   // a shader source larger than this is refused

}   // namespace

char* readTextFile(const char* path)
{
    if (!path) {
        return nullptr;
    }
    FILE* file = fopen(path, "r");
    if (!file) {
        return nullptr;
    }
    long size = -1;
    if (fseek(file, 0, SEEK_END) == 0) {
        size = ftell(file);
        rewind(file);
    }
    if (size <= 0 || size > MAX_SHADER_BYTES) {
        fclose(file);
        return nullptr;
    }
    char* text = static_cast<char*>(malloc(static_cast<size_t>(size) + 1));
    if (!text) {
        fclose(file);
        return nullptr;
    }
    const size_t count = fread(text, 1, static_cast<size_t>(size), file);
    fclose(file);
    if (count == 0) {
        free(text);
        return nullptr;
    }
    text[count] = '\0';
    return text;
}
