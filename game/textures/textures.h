// game/textures/textures: the texture manager (one owner of every GL texture
// made from a file, cached by file name, with a checkerboard default) and the
// TGA/BMP loaders. The loaders only decode to memory; GL is touched by the
// upload alone, which tests replace.
#pragma once

#include <cstdint>
#include <map>
#include <string>

// A decoded image; owned by the manager. pixels lives only until the upload.
struct Texture {
    int32_t width = 0;            // pixels per row
    int32_t height = 0;           // rows
    int32_t format = 0;           // GL_RGB, GL_RGBA, GL_LUMINANCE or GL_LUMINANCE_ALPHA
    int32_t bytesPerPixel = 0;    // 3, 4, 1 or 2, matching format
    uint32_t glName = 0;          // the GL texture id
    uint8_t* pixels = nullptr;    // tightly packed rows, first stored row first; freed after upload
};

// The program's one texture manager; created on first use, never destroyed.
struct TextureManager {
    std::map<std::string, Texture*> textures;   // by exact file name; "default" included
    Texture* defaultTexture = nullptr;
    int32_t textureCount = 0;                   // created since the last deleteAllTextures

    static TextureManager* instance();
    bool createDefaultTexture();                 // 64x64 checkerboard
    uint32_t getTexture(const std::string& name);   // loads on first request; default id on failure
    Texture* findTexture(const std::string& name);  // no load, no log; default when absent
    void deleteAllTextures();
};

// Loaders: true with *out set to a new record whose pixels the caller frees.
bool loadImage(const char* name, Texture** out);
bool loadTga(const char* name, Texture** out);
bool loadBmp(const char* name, Texture** out);
