// game/textures/loaders: TGA and BMP decoding from a whole file in memory.
// Every header value is checked before it is trusted: sizes against the
// pixel cap and the bytes actually present, indices against the colour map,
// run-length packets clipped at the image end. Forms the game does not decode
// are refused so the manager's default texture stands in for them.
//
// [SECTION] Helpers
// [SECTION] TGA
// [SECTION] BMP
// [SECTION] Files and dispatch
#include "game/textures/textures.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace {

// [SECTION] Helpers

uint16_t readU16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
int16_t readI16(const uint8_t* p) { return int16_t(readU16(p)); }
uint32_t readU32(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24); }
int32_t readI32(const uint8_t* p) { return int32_t(readU32(p)); }

// B, G, R triples to R, G, B: the hot loop of 24-bit textures. With SSSE3
// (every x86-64 CPU of the last fifteen years) five pixels take one byte
// shuffle; elsewhere, or for the tail, pixel by pixel.
#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("ssse3"))) size_t swapRedBlue24Ssse3(const uint8_t* in, uint8_t* out, size_t count) {
    const __m128i order = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, 15);
    size_t i = 0;
    // 16 bytes are read and written for 15: the spare byte is rewritten by the next step.
    for (; i + 6 <= count; i += 5) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i * 3));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i * 3), _mm_shuffle_epi8(v, order));
    }
    return i;
}
__attribute__((target("ssse3"))) size_t swapRedBlue32Ssse3(const uint8_t* in, uint8_t* out, size_t count) {
    const __m128i order = _mm_setr_epi8(2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15);
    size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i * 4));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i * 4), _mm_shuffle_epi8(v, order));
    }
    return i;
}
bool hasSsse3() {
    static const bool present = (__builtin_cpu_init(), __builtin_cpu_supports("ssse3"));
    return present;
}
#endif

// B, G, R, A to R, G, B, A; whole words where there is no SSSE3.
void swapRedBlue32(const uint8_t* in, uint8_t* out, size_t count) {
    size_t i = 0;
#if defined(__x86_64__) || defined(__i386__)
    if (hasSsse3()) {
        i = swapRedBlue32Ssse3(in, out, count);
    }
#endif
    for (; i < count; ++i) {
        uint32_t v;
        std::memcpy(&v, in + i * 4, 4);
        v = (v & 0xFF00FF00u) | ((v >> 16) & 0xFFu) | ((v & 0xFFu) << 16);
        std::memcpy(out + i * 4, &v, 4);
    }
}

void swapRedBlue24(const uint8_t* in, uint8_t* out, size_t count) {
    size_t i = 0;
#if defined(__x86_64__) || defined(__i386__)
    if (hasSsse3()) {
        i = swapRedBlue24Ssse3(in, out, count);
    }
#endif
    for (; i < count; ++i) {
        out[i * 3] = in[i * 3 + 2];
        out[i * 3 + 1] = in[i * 3 + 1];
        out[i * 3 + 2] = in[i * 3];
    }
}

// A record with room for width x height pixels, or null when the size is
// refused or memory is short. zeroed: pixels a decoder may skip read as black.
Texture* newTexture(int32_t width, int32_t height, int32_t format, int32_t bytesPerPixel, bool zeroed) {
    if (width <= 0 || height <= 0 || int64_t(width) * height > MAX_IMAGE_PIXELS) {
        return nullptr;
    }
    Texture* texture = new (std::nothrow) Texture;
    if (texture == nullptr) {
        return nullptr;
    }
    size_t bytes = size_t(width) * size_t(height) * size_t(bytesPerPixel);
    texture->pixels = zeroed ? new (std::nothrow) uint8_t[bytes]() : new (std::nothrow) uint8_t[bytes];
    if (texture->pixels == nullptr) {
        delete texture;
        return nullptr;
    }
    texture->width = width;
    texture->height = height;
    texture->format = format;
    texture->bytesPerPixel = bytesPerPixel;
    return texture;
}

// [SECTION] TGA

enum TgaPixelKind { TGA_MAPPED, TGA_BGR16, TGA_BGR24, TGA_BGRA32, TGA_GREY8, TGA_GREY16 };

struct TgaColourMap {
    const uint8_t* entries;   // 3 bytes each, B, G, R
    uint32_t count;           // entries present
};

// One stored pixel to its output bytes; false for an index past the colour map.
template <TgaPixelKind Kind>
inline bool convertTgaPixel(const uint8_t* in, uint8_t* out, const TgaColourMap& map) {
    if constexpr (Kind == TGA_MAPPED) {
        if (in[0] >= map.count) {
            return false;
        }
        const uint8_t* entry = map.entries + size_t(in[0]) * 3;
        out[0] = entry[2];
        out[1] = entry[1];
        out[2] = entry[0];
    } else if constexpr (Kind == TGA_BGR16) {
        unsigned v = readU16(in);
        out[0] = uint8_t((v >> 7) & 0xF8);
        out[1] = uint8_t((v >> 2) & 0xF8);
        out[2] = uint8_t((v << 3) & 0xF8);
    } else if constexpr (Kind == TGA_BGR24) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
    } else if constexpr (Kind == TGA_BGRA32) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
        out[3] = in[3];
    } else if constexpr (Kind == TGA_GREY8) {
        out[0] = in[0];
    } else {
        out[0] = in[0];
        out[1] = in[1];
    }
    return true;
}

template <TgaPixelKind Kind>
constexpr int tgaInBytes() {
    return Kind == TGA_BGR24 ? 3 : Kind == TGA_BGRA32 ? 4 : (Kind == TGA_BGR16 || Kind == TGA_GREY16) ? 2 : 1;
}

template <TgaPixelKind Kind>
constexpr int tgaOutBytes() {
    return Kind == TGA_BGRA32 ? 4 : Kind == TGA_GREY8 ? 1 : Kind == TGA_GREY16 ? 2 : 3;
}

// Decodes count pixels from data[pos, size) into out, plain or run-length.
template <TgaPixelKind Kind>
bool decodeTgaPixels(const uint8_t* data, size_t size, size_t pos, bool runLength, size_t count,
                     const TgaColourMap& map, uint8_t* out) {
    constexpr size_t in = tgaInBytes<Kind>();
    constexpr size_t outBytes = tgaOutBytes<Kind>();
    if (!runLength) {
        if ((size - pos) / in < count) {
            return false;
        }
        const uint8_t* src = data + pos;
        if constexpr (Kind == TGA_GREY8 || Kind == TGA_GREY16) {
            std::memcpy(out, src, count * in);
            return true;
        }
        if constexpr (Kind == TGA_BGR24) {
            swapRedBlue24(src, out, count);
            return true;
        }
        if constexpr (Kind == TGA_BGRA32) {
            swapRedBlue32(src, out, count);
            return true;
        }
        for (size_t i = 0; i < count; ++i) {
            if (!convertTgaPixel<Kind>(src + i * in, out + i * outBytes, map)) {
                return false;
            }
        }
        return true;
    }
    // Packets may cross rows (older writers do); the image is one stream of
    // pixels and a packet running past its end is clipped.
    size_t produced = 0;
    while (produced < count) {
        if (pos >= size) {
            return false;
        }
        uint8_t header = data[pos++];
        size_t packet = size_t(header & 0x7F) + 1;
        size_t take = packet < count - produced ? packet : count - produced;
        uint8_t* dst = out + produced * outBytes;
        if (header & 0x80) {
            if (size - pos < in) {
                return false;
            }
            uint8_t value[4];
            if (!convertTgaPixel<Kind>(data + pos, value, map)) {
                return false;
            }
            pos += in;
            for (size_t i = 0; i < take; ++i) {
                std::memcpy(dst + i * outBytes, value, outBytes);
            }
        } else {
            if ((size - pos) / in < packet) {
                return false;
            }
            for (size_t i = 0; i < take; ++i) {
                if (!convertTgaPixel<Kind>(data + pos + i * in, dst + i * outBytes, map)) {
                    return false;
                }
            }
            pos += packet * in;
        }
        produced += take;
    }
    return true;
}

}  // namespace

bool decodeTga(const uint8_t* data, size_t size, Texture** out) {
    if (data == nullptr || size < 18) {
        return false;
    }
    const unsigned idLength = data[0];
    const unsigned mapType = data[1];
    const unsigned imageType = data[2];
    const int32_t mapLength = readI16(data + 5);
    const unsigned mapEntryBits = data[7];
    const int32_t width = readI16(data + 12);
    const int32_t height = readI16(data + 14);
    const unsigned depth = data[16];

    TgaPixelKind kind;
    int32_t format;
    switch (imageType) {
    case 1:
    case 9:
        // Indices are one byte into a map of 24-bit entries; other maps are not decoded.
        if (mapType == 0 || mapEntryBits != 24 || depth != 8 || mapLength <= 0) {
            return false;
        }
        kind = TGA_MAPPED;
        format = IMAGE_RGB;
        break;
    case 2:
    case 10:
        if (depth == 16) {
            kind = TGA_BGR16;
        } else if (depth == 24) {
            kind = TGA_BGR24;
        } else if (depth == 32) {
            kind = TGA_BGRA32;
        } else {
            return false;   // 15-bit and odd depths
        }
        format = depth == 32 ? IMAGE_RGBA : IMAGE_RGB;
        break;
    case 3:
    case 11:
        if (depth == 8) {
            kind = TGA_GREY8;
        } else if (depth == 16 && imageType == 3) {
            kind = TGA_GREY16;
        } else {
            return false;
        }
        format = depth == 8 ? IMAGE_LUMINANCE : IMAGE_LUMINANCE_ALPHA;
        break;
    default:
        return false;   // 0 (no image), 4 to 8, above 11
    }
    if (width <= 0 || height <= 0 || int64_t(width) * height > MAX_IMAGE_PIXELS) {
        return false;
    }

    // ID field, then the colour map (its entries rounded up to whole bytes), then pixels.
    size_t pos = 18 + size_t(idLength);
    TgaColourMap map = {nullptr, 0};
    if (mapType != 0) {
        if (mapLength < 0) {
            return false;
        }
        size_t mapBytes = size_t((mapEntryBits + 7) / 8) * size_t(mapLength);
        if (pos > size || size - pos < mapBytes) {
            return false;
        }
        map.entries = data + pos;
        map.count = uint32_t(mapLength);
        pos += mapBytes;
    }
    if (pos > size) {
        return false;
    }

    const size_t count = size_t(width) * size_t(height);
    const bool runLength = imageType >= 9;
    const size_t inBytes = kind == TGA_BGR24 ? 3 : kind == TGA_BGRA32 ? 4 : (kind == TGA_BGR16 || kind == TGA_GREY16) ? 2 : 1;
    // Refuse before allocating when the file cannot hold the image: plain
    // data needs every pixel, a run packet gives at most 128 pixels.
    size_t minimum = runLength ? (count + 127) / 128 * (1 + inBytes) : count * inBytes;
    if (size - pos < minimum) {
        return false;
    }

    const int32_t bytesPerPixel = kind == TGA_BGRA32 ? 4 : kind == TGA_GREY8 ? 1 : kind == TGA_GREY16 ? 2 : 3;
    Texture* texture = newTexture(width, height, format, bytesPerPixel, false);
    if (texture == nullptr) {
        return false;
    }
    bool ok = false;
    switch (kind) {
    case TGA_MAPPED: ok = decodeTgaPixels<TGA_MAPPED>(data, size, pos, runLength, count, map, texture->pixels); break;
    case TGA_BGR16: ok = decodeTgaPixels<TGA_BGR16>(data, size, pos, runLength, count, map, texture->pixels); break;
    case TGA_BGR24: ok = decodeTgaPixels<TGA_BGR24>(data, size, pos, runLength, count, map, texture->pixels); break;
    case TGA_BGRA32: ok = decodeTgaPixels<TGA_BGRA32>(data, size, pos, runLength, count, map, texture->pixels); break;
    case TGA_GREY8: ok = decodeTgaPixels<TGA_GREY8>(data, size, pos, runLength, count, map, texture->pixels); break;
    case TGA_GREY16: ok = decodeTgaPixels<TGA_GREY16>(data, size, pos, runLength, count, map, texture->pixels); break;
    }
    if (!ok) {
        freeTexture(texture);
        return false;
    }
    *out = texture;
    return true;
}

// [SECTION] BMP

namespace {

struct BmpPalette {
    uint8_t rgb[256][3];   // R, G, B
    uint32_t count;        // entries present in the file
};

// Plain rows, bottom-up as stored; each stored row is padded to 4 bytes.
// The caller has checked that the file holds them all.
bool decodeBmpRows(const uint8_t* data, size_t offset, int32_t bits, const BmpPalette& palette,
                   Texture* texture) {
    const size_t width = size_t(texture->width);
    const size_t height = size_t(texture->height);
    const size_t stride = (width * size_t(bits) + 31) / 32 * 4;
    uint8_t* dst = texture->pixels;
    for (size_t row = 0; row < height; ++row) {
        const uint8_t* src = data + offset + row * stride;
        switch (bits) {
        case 24:
            swapRedBlue24(src, dst, width);
            dst += width * 3;
            break;
        case 32:
            for (size_t x = 0; x < width; ++x, src += 4, dst += 3) {
                dst[0] = src[2];
                dst[1] = src[1];
                dst[2] = src[0];
            }
            break;
        default: {
            // 1, 4 or 8 bits: indices packed most significant first.
            const unsigned perByte = 8 / unsigned(bits);
            const unsigned mask = (1u << bits) - 1;
            for (size_t x = 0; x < width; ++x, dst += 3) {
                unsigned shift = 8 - unsigned(bits) * (unsigned(x % perByte) + 1);
                unsigned index = (src[x / perByte] >> shift) & mask;
                if (index >= palette.count) {
                    return false;
                }
                std::memcpy(dst, palette.rgb[index], 3);
            }
            break;
        }
        }
    }
    return true;
}

// Run-length rows (8- or 4-bit indices), bottom-up. Each row ends at its
// end-of-line code; pixels a row carries past its width are dropped (writers
// pad rows to whole words that way) and pixels it skips stay black. The last
// row may instead end with end-of-bitmap or with the data. Delta codes, and
// end-of-bitmap anywhere else, are refused.
bool decodeBmpRunLength(const uint8_t* data, size_t size, size_t offset, int32_t bits, const BmpPalette& palette,
                        Texture* texture) {
    const size_t width = size_t(texture->width);
    const size_t height = size_t(texture->height);
    size_t x = 0, y = 0;
    size_t pos = offset;
    auto put = [&](unsigned index) {
        if (index >= palette.count) {
            return false;
        }
        if (x < width) {
            std::memcpy(texture->pixels + (y * width + x) * 3, palette.rgb[index], 3);
        }
        ++x;
        return true;
    };
    while (y < height) {
        const bool lastRow = y + 1 == height;
        if (size - pos < 2) {
            return lastRow && x >= width;
        }
        unsigned a = data[pos];
        unsigned b = data[pos + 1];
        pos += 2;
        if (a == 0 && b == 0) {
            ++y;
            x = 0;
            continue;
        }
        if (a == 0 && b == 1) {
            return lastRow;
        }
        if (a != 0) {
            // Encoded run: a pixels of b, or of b's two nibbles alternately.
            for (unsigned i = 0; i < a; ++i) {
                unsigned index = bits == 8 ? b : (i % 2 == 0 ? b >> 4 : b & 0x0F);
                if (!put(index)) {
                    return false;
                }
            }
        } else if (b == 2) {
            return false;
        } else {
            // Absolute run of b indices, padded to an even byte count.
            size_t bytes = bits == 8 ? b : (b + 1) / 2;
            if (size - pos < bytes) {
                return false;
            }
            for (unsigned i = 0; i < b; ++i) {
                unsigned index = bits == 8 ? data[pos + i] : (i % 2 == 0 ? data[pos + i / 2] >> 4 : data[pos + i / 2] & 0x0F);
                if (!put(index)) {
                    return false;
                }
            }
            pos += bytes;
            if ((pos - offset) % 2 != 0 && pos < size) {
                ++pos;
            }
        }
    }
    return true;
}

}  // namespace

bool decodeBmp(const uint8_t* data, size_t size, Texture** out) {
    if (data == nullptr || size < 18 || data[0] != 'B' || data[1] != 'M') {
        return false;
    }
    // The information header's own size tells the two layouts apart: 12 is
    // the OS/2 core header, 40 and up the Windows one and its extensions.
    const uint32_t headerSize = readU32(data + 14);
    int32_t width, height, bits;
    uint32_t compression = 0, coloursUsed = 0;
    size_t paletteStart, entryBytes;
    if (headerSize == 12) {
        if (size < 26) {
            return false;
        }
        width = readU16(data + 18);
        height = readU16(data + 20);
        bits = readU16(data + 24);
        paletteStart = 26;
        entryBytes = 3;
    } else if (headerSize >= 40 && headerSize <= 256) {
        if (size < 54) {
            return false;
        }
        width = readI32(data + 18);
        height = readI32(data + 22);   // negative: stored top-down, not decoded
        bits = readU16(data + 28);
        compression = readU32(data + 30);
        coloursUsed = readU32(data + 46);
        paletteStart = 14 + headerSize;
        entryBytes = 4;
    } else {
        return false;
    }
    if (width <= 0 || height <= 0 || int64_t(width) * height > MAX_IMAGE_PIXELS) {
        return false;
    }
    const bool depthOk = compression == 0   ? (bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32)
                         : compression == 1 ? bits == 8
                         : compression == 2 ? bits == 4
                                            : false;
    if (!depthOk) {
        return false;
    }
    const size_t offset = readU32(data + 10);

    // The palette ends at the declared colour count, the pixel array or the file's end.
    BmpPalette palette;
    palette.count = 0;
    if (bits <= 8) {
        size_t end = offset > paletteStart && offset < size ? offset : size;
        size_t present = end > paletteStart ? (end - paletteStart) / entryBytes : 0;
        size_t wanted = size_t(1) << bits;
        if (coloursUsed != 0 && coloursUsed < wanted) {
            wanted = coloursUsed;
        }
        palette.count = uint32_t(present < wanted ? present : wanted);
        if (palette.count == 0) {
            return false;
        }
        for (uint32_t i = 0; i < palette.count; ++i) {
            const uint8_t* entry = data + paletteStart + i * entryBytes;
            palette.rgb[i][0] = entry[2];
            palette.rgb[i][1] = entry[1];
            palette.rgb[i][2] = entry[0];
        }
    }

    // Refuse before allocating when the file cannot hold the image.
    if (offset > size) {
        return false;
    }
    const size_t available = size - offset;
    if (compression == 0) {
        // The last row's padding may be missing; its pixels may not.
        const size_t used = (size_t(width) * size_t(bits) + 7) / 8;
        const size_t stride = (size_t(width) * size_t(bits) + 31) / 32 * 4;
        if (available < used || (available - used) / stride + 1 < size_t(height)) {
            return false;
        }
    } else {
        // Runs give at most 255 pixels a two-byte code. Rows skipped by
        // end-of-line could say more with less, but no texture needs that,
        // and the bound keeps a small hostile file from costing a huge image.
        const size_t codes = (size_t(width) * size_t(height) + 254) / 255;
        if (available / 2 < (codes > size_t(height) ? codes : size_t(height))) {
            return false;
        }
    }

    Texture* texture = newTexture(width, height, IMAGE_RGB, 3, compression != 0);
    if (texture == nullptr) {
        return false;
    }
    bool ok = compression == 0 ? decodeBmpRows(data, offset, bits, palette, texture)
                               : decodeBmpRunLength(data, size, offset, bits, palette, texture);
    if (!ok) {
        freeTexture(texture);
        return false;
    }
    *out = texture;
    return true;
}

// [SECTION] Files and dispatch

namespace {

// The whole file in memory, or false when it cannot be read or is too big to be an image.
bool readWholeFile(const char* name, std::vector<uint8_t>& bytes) {
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

}  // namespace

void freeTexture(Texture* texture) {
    if (texture != nullptr) {
        delete[] texture->pixels;
        delete texture;
    }
}

bool loadTga(const char* name, Texture** out) {
    std::vector<uint8_t> bytes;
    return readWholeFile(name, bytes) && decodeTga(bytes.data(), bytes.size(), out);
}

bool loadBmp(const char* name, Texture** out) {
    std::vector<uint8_t> bytes;
    return readWholeFile(name, bytes) && decodeBmp(bytes.data(), bytes.size(), out);
}

bool loadImage(const char* name, Texture** out) {
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
