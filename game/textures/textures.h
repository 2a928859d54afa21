// game/textures/textures: the texture manager (one owner of every GL texture
// made from a file, cached by file name, with a checkerboard default) and the
// TGA/BMP loaders. The loaders only decode to memory; GL is touched by the
// upload alone, which sits behind textureUploader so tests can replace it.
// Depends on: the C and C++ standard libraries (no GL header here).
#pragma once

#include "platform/seams.h"   // textureUploader

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

// [SECTION] Constants

// GL pixel formats, as plain numbers so decoding needs no GL header.
constexpr int32_t IMAGE_RGB = 0x1907;               // GL_RGB
constexpr int32_t IMAGE_RGBA = 0x1908;              // GL_RGBA
constexpr int32_t IMAGE_LUMINANCE = 0x1909;         // GL_LUMINANCE
constexpr int32_t IMAGE_LUMINANCE_ALPHA = 0x190A;   // GL_LUMINANCE_ALPHA

// Hostile headers may claim anything; larger images are refused before allocation.
constexpr int64_t MAX_IMAGE_PIXELS = 8192LL * 8192LL;               // 256 MiB as RGBA
constexpr int64_t MAX_IMAGE_FILE_BYTES = 320LL * 1024LL * 1024LL;   // an uncompressed 8192^2 RGBA file fits

constexpr int32_t DEFAULT_TEXTURE_SIZE = 64;    // pixels per side of the checkerboard
constexpr int32_t DEFAULT_TEXTURE_SQUARE = 8;   // pixels per side of one square

// [SECTION] Records

// A decoded image. In the manager its pixels are dropped once the GPU holds them.
struct Texture {
    int32_t width = 0;                   // pixels per row
    int32_t height = 0;                  // rows
    int32_t format = 0;                  // IMAGE_RGB, IMAGE_RGBA, IMAGE_LUMINANCE or IMAGE_LUMINANCE_ALPHA
    int32_t bytesPerPixel = 0;           // 3, 4, 1 or 2, matching format
    uint32_t glName = 0;                 // the GL texture id
    std::unique_ptr<uint8_t[]> pixels;   // tightly packed rows, first stored row first
};

// The cache of every texture made from a file. Lives for the whole run; emptied
// only by deleteAllTextures.
struct TextureManager {
    std::map<std::string, Texture> textures;   // by exact file name; "default" included
    const Texture* defaultTexture = nullptr;   // the entry "default"; null until made and after deleteAllTextures
    int32_t textureCount = 0;                  // created since the last deleteAllTextures
};

extern TextureManager textureManager;

// The GPU side of the manager is the textureUploader seam (platform/seams.h).
// The program installs textures_gl's with useGlTextureUpload; tests install
// their own that hands out ids.
void useGlTextureUpload();

// Where the manager's loads spent their time, for the start-up benchmark.
// Lives for the whole run; only the manager adds to it.
struct TextureLoadTimes {
    double decodeSeconds = 0;   // reading and decoding files (loadImage)
    double uploadSeconds = 0;   // textureUploader.upload: the GL copy and the mipmap chain
    int32_t loaded = 0;         // files decoded and uploaded
};

extern TextureLoadTimes textureLoadTimes;

// [SECTION] Operations

// manager.cpp: over textureManager.
bool createDefaultTexture();                           // 64x64 checkerboard; false when out of memory
uint32_t getTexture(const std::string& name);          // loads on first request; default id on failure
const Texture* findTexture(const std::string& name);   // no load, no log; default when absent
void deleteAllTextures();

// tga.cpp, bmp.cpp, image_files.cpp: true with the image in out; on false out
// is left untouched. Nothing is logged.
bool loadImage(const char* name, Texture& out);   // by ".tga"/".TGA"/".bmp"/".BMP" anywhere in name
bool loadTga(const char* name, Texture& out);
bool loadBmp(const char* name, Texture& out);
// The same decoders over a file already in memory.
bool decodeTga(const uint8_t* data, size_t size, Texture& out);
bool decodeBmp(const uint8_t* data, size_t size, Texture& out);

// window_icon.cpp (library textures_window, for both programs): the current
// window's WM_CLASS and its icon from the catalogue's icon files.
void identifyProgramWindow(const char* instance, const char* className);
