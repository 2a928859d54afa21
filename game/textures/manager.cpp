// game/textures/manager: the cache of texture ids by file name, the
// checkerboard default and the manager's log lines. GL is reached only
// through textureUploader, so this file builds and runs without a window.
#include "game/textures/textures.h"

#include <chrono>
#include <cstdio>
#include <new>
#include <utility>

TextureLoadTimes textureLoadTimes;
TextureManager textureManager;
TextureUploader textureUploader;

namespace {

const char* const LOG_PREFIX = "Ostrel Engine Texture Manager: ";

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Hands the pixels to the GPU and drops the CPU copy, which is never needed again.
void uploadAndRelease(Texture& texture)
{
    const auto start = std::chrono::steady_clock::now();
    texture.glName = textureUploader.upload != nullptr ? textureUploader.upload(&texture) : 0;
    textureLoadTimes.uploadSeconds += secondsSince(start);
    texture.pixels.reset();
}

}   // namespace

bool createDefaultTexture()
{
    deleteAllTextures();
    constexpr int32_t side = DEFAULT_TEXTURE_SIZE;
    Texture texture;
    texture.pixels.reset(new (std::nothrow) uint8_t[side * side]);
    if (!texture.pixels) {
        return false;
    }
    texture.width = side;
    texture.height = side;
    texture.format = IMAGE_LUMINANCE;
    texture.bytesPerPixel = 1;
    for (int32_t row = 0; row < side; ++row) {
        for (int32_t column = 0; column < side; ++column) {
            bool white = ((column / DEFAULT_TEXTURE_SQUARE) ^ (row / DEFAULT_TEXTURE_SQUARE)) & 1;
            texture.pixels[row * side + column] = white ? 255 : 0;
        }
    }
    uploadAndRelease(texture);
    const Texture& made = textureManager.textures["default"] = std::move(texture);
    textureManager.defaultTexture = &made;
    textureManager.textureCount += 1;
    std::printf("%screating default texture, id [%u]\n", LOG_PREFIX, made.glName);
    std::fflush(stdout);
    return true;
}

uint32_t getTexture(const std::string& name)
{
    // Asked before the default exists (or after deleteAllTextures): make it
    // rather than follow a null default.
    if (textureManager.defaultTexture == nullptr && !createDefaultTexture()) {
        return 0;
    }
    const Texture* found = findTexture(name);
    if (found->glName == textureManager.defaultTexture->glName) {
        Texture loaded;
        const auto start = std::chrono::steady_clock::now();
        const bool decoded = loadImage(name.c_str(), loaded);
        textureLoadTimes.decodeSeconds += secondsSince(start);
        if (decoded) {
            uploadAndRelease(loaded);
            textureLoadTimes.loaded += 1;
            found = &(textureManager.textures[name] = std::move(loaded));
            textureManager.textureCount += 1;
        } else {
            std::printf("%sfailed to load %s!giving default texture id [%u]\n", LOG_PREFIX, name.c_str(),
                        textureManager.defaultTexture->glName);
            std::fflush(stdout);
        }
    }
    std::printf("%s%s, id [%u]\n", LOG_PREFIX, name.c_str(), found->glName);
    std::fflush(stdout);
    return found->glName;
}

const Texture* findTexture(const std::string& name)
{
    auto entry = textureManager.textures.find(name);
    return entry == textureManager.textures.end() ? textureManager.defaultTexture : &entry->second;
}

void deleteAllTextures()
{
    for (auto entry = textureManager.textures.begin(); entry != textureManager.textures.end();) {
        if (textureUploader.release != nullptr) {
            textureUploader.release(entry->second.glName);
        }
        std::printf("%sdeleting %s texture\n", LOG_PREFIX, entry->first.c_str());
        std::fflush(stdout);
        entry = textureManager.textures.erase(entry);
    }
    textureManager.defaultTexture = nullptr;
    textureManager.textureCount = 0;
}
