// game/render/map_packing: each material's diffuse and specular maps, and
// its normal and height maps, packed into one RGBA texture each (the second
// map's red in the alpha), so a material binds two textures instead of four.
// The first material whose maps do not pair up unpacks every earlier one.
#include <GL/glew.h>

#include "game/render/engine.h"
#include "game/render/render_internal.h"
#include "game/textures/textures.h"

#include <cstring>
#include <vector>

namespace {

// Width and height of every mipmap level of the bound texture, level 0 first.
int mipmapSizes(int sizes[][2], int room)
{
    int levels = 0;
    for (; levels < room; ++levels) {
        GLint w = 0, h = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, levels, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, levels, GL_TEXTURE_HEIGHT, &h);
        if (w <= 0 || h <= 0) {
            break;
        }
        sizes[levels][0] = w;
        sizes[levels][1] = h;
    }
    return levels;
}

constexpr int MAX_LEVELS = 16;

// The mipmap levels two textures share; 0 when their levels differ.
int sharedLevels(unsigned int colour, unsigned int alpha, int sizes[][2])
{
    int alphaSizes[MAX_LEVELS][2];
    glBindTexture(GL_TEXTURE_2D, colour);
    const int levels = mipmapSizes(sizes, MAX_LEVELS);
    glBindTexture(GL_TEXTURE_2D, alpha);
    if (levels == 0 || mipmapSizes(alphaSizes, MAX_LEVELS) != levels ||
        memcmp(sizes, alphaSizes, sizeof(int) * 2 * static_cast<size_t>(levels)) != 0) {
        return 0;
    }
    return levels;
}

// The colour texture's RGB with the alpha texture's red in its alpha, level by
// level (the uploader's mipmaps are copied, not rebuilt). The two inputs are
// then shrunk to one texel: nothing samples them any more.
unsigned int packPair(unsigned int colour, unsigned int alpha)
{
    int colourSizes[MAX_LEVELS][2];
    const int levels = sharedLevels(colour, alpha, colourSizes);
    GLuint packed = 0;
    glGenTextures(1, &packed);
    std::vector<unsigned char> rgba, red;
    for (int level = 0; level < levels; ++level) {
        const size_t texels = static_cast<size_t>(colourSizes[level][0]) * static_cast<size_t>(colourSizes[level][1]);
        rgba.resize(texels * 4);
        red.resize(texels * 4);
        glBindTexture(GL_TEXTURE_2D, colour);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        glBindTexture(GL_TEXTURE_2D, alpha);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, red.data());
        for (size_t i = 0; i < texels; ++i) {
            rgba[i * 4 + 3] = red[i * 4];
        }
        glBindTexture(GL_TEXTURE_2D, packed);
        glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA, colourSizes[level][0], colourSizes[level][1], 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, rgba.data());
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, levels - 1);
    static const unsigned char black[4] = {0, 0, 0, 255};
    for (unsigned int name : {colour, alpha}) {
        glBindTexture(GL_TEXTURE_2D, name);
        for (int level = 1; level < levels; ++level) {
            glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA, 0, 0, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        }
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, black);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    }
    return packed;
}

// Undoes packPair: the colour texture gets the RGB back (its alpha, which no
// pass reads, becomes opaque), the other texture the alpha as grey, which is
// all the four-map path reads of it (its red).
void unpackPair(unsigned int packed, const Texture* colour, const Texture* alpha)
{
    int sizes[MAX_LEVELS][2];
    glBindTexture(GL_TEXTURE_2D, packed);
    const int levels = mipmapSizes(sizes, MAX_LEVELS);
    std::vector<unsigned char> rgba, rgb, grey;
    for (int level = 0; level < levels; ++level) {
        const size_t texels = static_cast<size_t>(sizes[level][0]) * static_cast<size_t>(sizes[level][1]);
        rgba.resize(texels * 4);
        rgb.resize(texels * 3);
        grey.resize(texels * 3);
        glBindTexture(GL_TEXTURE_2D, packed);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        for (size_t i = 0; i < texels; ++i) {
            rgb[i * 3] = rgba[i * 4];
            rgb[i * 3 + 1] = rgba[i * 4 + 1];
            rgb[i * 3 + 2] = rgba[i * 4 + 2];
            grey[i * 3] = grey[i * 3 + 1] = grey[i * 3 + 2] = rgba[i * 4 + 3];
        }
        GLint alignment = 4;
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glBindTexture(GL_TEXTURE_2D, colour->glName);
        glTexImage2D(GL_TEXTURE_2D, level, colour->format, sizes[level][0], sizes[level][1], 0, GL_RGB,
                     GL_UNSIGNED_BYTE, rgb.data());
        glBindTexture(GL_TEXTURE_2D, alpha->glName);
        glTexImage2D(GL_TEXTURE_2D, level, alpha->format, sizes[level][0], sizes[level][1], 0, GL_RGB, GL_UNSIGNED_BYTE,
                     grey.data());
        glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    }
    for (unsigned int name : {colour->glName, alpha->glName}) {
        glBindTexture(GL_TEXTURE_2D, name);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    }
    GLuint name = packed;
    glDeleteTextures(1, &name);
}

}   // namespace

void packMaterial(int material)
{
    if (!renderer.mapsPacked || material < 0 || material >= MATERIAL_COUNT) {
        return;
    }
    GLint previous = 0;
    glActiveTexture(GL_TEXTURE0);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    // Every map must be its own file-made colour texture and each pair of one
    // size; the first material that is not goes back to four maps for all.
    const Texture* fallback = findTexture("default");
    bool packable = true;
    const Texture* maps[MAP_KINDS];
    for (int kind = 0; kind < MAP_KINDS && packable; ++kind) {
        maps[kind] = materialMap(material, kind);
        packable = maps[kind] && maps[kind] != fallback &&
                   (maps[kind]->format == IMAGE_RGB || maps[kind]->format == IMAGE_RGBA);
        for (int other = 0; other < kind && packable; ++other) {
            packable = maps[other]->glName != maps[kind]->glName;
        }
    }
    int sizes[MAX_LEVELS][2];
    packable = packable && sharedLevels(maps[0]->glName, maps[2]->glName, sizes) > 0 &&
               sharedLevels(maps[1]->glName, maps[3]->glName, sizes) > 0;
    if (packable) {
        renderer.packedMaps[material][0] = packPair(maps[0]->glName, maps[2]->glName);
        renderer.packedMaps[material][1] = packPair(maps[1]->glName, maps[3]->glName);
    } else {
        for (int m = 0; m < material; ++m) {
            unpackPair(renderer.packedMaps[m][0], materialMap(m, 0), materialMap(m, 2));
            unpackPair(renderer.packedMaps[m][1], materialMap(m, 1), materialMap(m, 3));
            renderer.packedMaps[m][0] = renderer.packedMaps[m][1] = 0;
        }
        renderer.mapsPacked = false;
    }
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
    memset(renderer.boundTextures, 0, sizeof renderer.boundTextures);
    renderer.activeUnit = 0;
}
