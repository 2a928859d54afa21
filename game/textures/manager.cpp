// game/textures/manager: the cache of texture ids by file name, the
// checkerboard default and the manager's log lines. GL is reached only
// through textureUploader, so this file builds and runs without a window.
#include "game/textures/textures.h"

#include <chrono>
#include <cstdio>
#include <new>

TextureLoadTimes textureLoadTimes;

namespace {

const char* const LOG_PREFIX = "Ostrel Engine Texture Manager: ";

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Hands the pixels to the GPU and drops the CPU copy, which is never needed again.
void uploadAndRelease(Texture* texture) {
    const auto start = std::chrono::steady_clock::now();
    texture->glName = textureUploader.upload != nullptr ? textureUploader.upload(texture) : 0;
    textureLoadTimes.uploadSeconds += secondsSince(start);
    delete[] texture->pixels;
    texture->pixels = nullptr;
}

}  // namespace

TextureManager* TextureManager::instance() {
    static TextureManager* manager = new TextureManager;
    return manager;
}

bool TextureManager::createDefaultTexture() {
    deleteAllTextures();
    Texture* texture = new (std::nothrow) Texture;
    if (texture == nullptr) {
        return false;
    }
    constexpr int32_t side = DEFAULT_TEXTURE_SIZE;
    texture->pixels = new (std::nothrow) uint8_t[side * side];
    if (texture->pixels == nullptr) {
        delete texture;
        return false;
    }
    texture->width = side;
    texture->height = side;
    texture->format = IMAGE_LUMINANCE;
    texture->bytesPerPixel = 1;
    for (int32_t row = 0; row < side; ++row) {
        for (int32_t column = 0; column < side; ++column) {
            bool white = ((column / DEFAULT_TEXTURE_SQUARE) ^ (row / DEFAULT_TEXTURE_SQUARE)) & 1;
            texture->pixels[row * side + column] = white ? 255 : 0;
        }
    }
    uploadAndRelease(texture);
    textures["default"] = texture;
    defaultTexture = texture;
    textureCount += 1;
    std::printf("%screating default texture, id [%u]\n", LOG_PREFIX, texture->glName);
    std::fflush(stdout);
    return true;
}

uint32_t TextureManager::getTexture(const std::string& name) {
    // Asked before the default exists (or after deleteAllTextures): make it
    // rather than follow a null default.
    if (defaultTexture == nullptr && !createDefaultTexture()) {
        return 0;
    }
    Texture* found = findTexture(name);
    if (found->glName == defaultTexture->glName) {
        Texture* loaded = nullptr;
        const auto start = std::chrono::steady_clock::now();
        const bool decoded = loadImage(name.c_str(), &loaded);
        textureLoadTimes.decodeSeconds += secondsSince(start);
        if (decoded) {
            uploadAndRelease(loaded);
            textureLoadTimes.loaded += 1;
            textures[name] = loaded;
            textureCount += 1;
            found = loaded;
        } else {
            std::printf("%sfailed to load %s!giving default texture id [%u]\n", LOG_PREFIX, name.c_str(),
                        defaultTexture->glName);
            std::fflush(stdout);
        }
    }
    std::printf("%s%s, id [%u]\n", LOG_PREFIX, name.c_str(), found->glName);
    std::fflush(stdout);
    return found->glName;
}

Texture* TextureManager::findTexture(const std::string& name) {
    auto entry = textures.find(name);
    return entry == textures.end() ? defaultTexture : entry->second;
}

void TextureManager::deleteAllTextures() {
    for (auto entry = textures.begin(); entry != textures.end();) {
        if (textureUploader.release != nullptr) {
            textureUploader.release(entry->second->glName);
        }
        std::printf("%sdeleting %s texture\n", LOG_PREFIX, entry->first.c_str());
        std::fflush(stdout);
        freeTexture(entry->second);
        entry = textures.erase(entry);
    }
    defaultTexture = nullptr;
    textureCount = 0;
}
