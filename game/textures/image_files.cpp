// game/textures/image_files: reading an image file whole and handing it to
// its decoder by the name's extension.
#include "game/textures/textures.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

namespace {

// The whole file in memory, or false when it cannot be read or is too big to be an image.
bool readWholeFile(const char* name, std::vector<uint8_t>& bytes)
{
    FILE* file = std::fopen(name, "rb");
    if (file == nullptr) {
        return false;
    }
    bool ok = false;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        long length = std::ftell(file);
        if (length > 0 && length <= MAX_IMAGE_FILE_BYTES && std::fseek(file, 0, SEEK_SET) == 0) {
            try {
                bytes.resize(size_t(length));
                ok = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
            } catch (const std::bad_alloc&) {
                ok = false;
            }
        }
    }
    std::fclose(file);
    return ok;
}

}   // namespace

bool loadTga(const char* name, Texture& out)
{
    std::vector<uint8_t> bytes;
    return readWholeFile(name, bytes) && decodeTga(bytes.data(), bytes.size(), out);
}

bool loadBmp(const char* name, Texture& out)
{
    std::vector<uint8_t> bytes;
    return readWholeFile(name, bytes) && decodeBmp(bytes.data(), bytes.size(), out);
}

bool loadImage(const char* name, Texture& out)
{
    if (name == nullptr) {
        return false;
    }
    if (std::strstr(name, ".tga") != nullptr || std::strstr(name, ".TGA") != nullptr) {
        return loadTga(name, out);
    }
    if (std::strstr(name, ".bmp") != nullptr || std::strstr(name, ".BMP") != nullptr) {
        return loadBmp(name, out);
    }
    return false;
}
