// game/textures/bmp: BMP decoding from a whole file in memory: the OS/2 and
// Windows headers, 1-, 4-, 8-, 24- and 32-bit rows and 8- and 4-bit run-length
// data. Every header value is checked before it is trusted; top-down images,
// 16-bit ones and delta codes are refused so the default texture stands in.
#include "game/textures/pixels.h"

#include <cstring>
#include <utility>

namespace {

struct BmpPalette {
    uint8_t rgb[256][3];   // R, G, B
    uint32_t count;        // entries present in the file
};

// Plain rows, bottom-up as stored; each stored row is padded to 4 bytes.
// The caller has checked that the file holds them all.
bool decodeBmpRows(const uint8_t* data, size_t offset, int32_t bits, const BmpPalette& palette, Texture& image)
{
    const size_t width = size_t(image.width);
    const size_t height = size_t(image.height);
    const size_t stride = (width * size_t(bits) + 31) / 32 * 4;
    uint8_t* dst = image.pixels.get();
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
                        Texture& image)
{
    const size_t width = size_t(image.width);
    const size_t height = size_t(image.height);
    size_t x = 0, y = 0;
    size_t pos = offset;
    auto put = [&](unsigned index) {
        if (index >= palette.count) {
            return false;
        }
        if (x < width) {
            std::memcpy(image.pixels.get() + (y * width + x) * 3, palette.rgb[index], 3);
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
                unsigned index =
                    bits == 8 ? data[pos + i] : (i % 2 == 0 ? data[pos + i / 2] >> 4 : data[pos + i / 2] & 0x0F);
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

// What a BMP's headers say, once checked for a form we decode.
struct BmpLayout {
    int32_t width;
    int32_t height;
    int32_t bits;
    uint32_t compression;   // 0 plain, 1 run-length 8-bit, 2 run-length 4-bit
    uint32_t coloursUsed;   // 0: all that the depth allows
    size_t paletteStart;
    size_t entryBytes;   // 3 (OS/2) or 4 (Windows) per palette entry
    size_t pixelStart;
};

bool readBmpLayout(const uint8_t* data, size_t size, BmpLayout& layout)
{
    // The information header's own size tells the two layouts apart: 12 is
    // the OS/2 core header, 40 and up the Windows one and its extensions.
    const uint32_t headerSize = readU32(data + 14);
    layout.compression = 0;
    layout.coloursUsed = 0;
    if (headerSize == 12) {
        if (size < 26) {
            return false;
        }
        layout.width = readU16(data + 18);
        layout.height = readU16(data + 20);
        layout.bits = readU16(data + 24);
        layout.paletteStart = 26;
        layout.entryBytes = 3;
    } else if (headerSize >= 40 && headerSize <= 256) {
        if (size < 54) {
            return false;
        }
        layout.width = readI32(data + 18);
        layout.height = readI32(data + 22);   // negative: stored top-down, not decoded
        layout.bits = readU16(data + 28);
        layout.compression = readU32(data + 30);
        layout.coloursUsed = readU32(data + 46);
        layout.paletteStart = 14 + headerSize;
        layout.entryBytes = 4;
    } else {
        return false;
    }
    if (layout.width <= 0 || layout.height <= 0 || int64_t(layout.width) * layout.height > MAX_IMAGE_PIXELS) {
        return false;
    }
    const int32_t bits = layout.bits;
    const bool depthOk = layout.compression == 0   ? (bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32)
                         : layout.compression == 1 ? bits == 8
                         : layout.compression == 2 ? bits == 4
                                                   : false;
    layout.pixelStart = readU32(data + 10);
    return depthOk && layout.pixelStart <= size;
}

// The palette ends at the declared colour count, the pixel array or the file's end.
bool readBmpPalette(const uint8_t* data, size_t size, const BmpLayout& layout, BmpPalette& palette)
{
    palette.count = 0;
    if (layout.bits > 8) {
        return true;
    }
    const size_t offset = layout.pixelStart;
    const size_t end = offset > layout.paletteStart && offset < size ? offset : size;
    const size_t present = end > layout.paletteStart ? (end - layout.paletteStart) / layout.entryBytes : 0;
    size_t wanted = size_t(1) << layout.bits;
    if (layout.coloursUsed != 0 && layout.coloursUsed < wanted) {
        wanted = layout.coloursUsed;
    }
    palette.count = uint32_t(present < wanted ? present : wanted);
    for (uint32_t i = 0; i < palette.count; ++i) {
        const uint8_t* entry = data + layout.paletteStart + i * layout.entryBytes;
        palette.rgb[i][0] = entry[2];
        palette.rgb[i][1] = entry[1];
        palette.rgb[i][2] = entry[0];
    }
    return palette.count != 0;
}

// Whether the file can hold the image, judged before anything is allocated.
bool bmpDataFits(size_t size, const BmpLayout& layout)
{
    const size_t available = size - layout.pixelStart;
    const size_t width = size_t(layout.width);
    const size_t height = size_t(layout.height);
    if (layout.compression == 0) {
        // The last row's padding may be missing; its pixels may not.
        const size_t used = (width * size_t(layout.bits) + 7) / 8;
        const size_t stride = (width * size_t(layout.bits) + 31) / 32 * 4;
        return available >= used && (available - used) / stride + 1 >= height;
    }
    // Runs give at most 255 pixels a two-byte code. Rows skipped by
    // end-of-line could say more with less, but no texture needs that, and
    // the bound keeps a small hostile file from costing a huge image.
    const size_t codes = (width * height + 254) / 255;
    return available / 2 >= (codes > height ? codes : height);
}

}   // namespace

bool decodeBmp(const uint8_t* data, size_t size, Texture& out)
{
    BmpLayout layout;
    BmpPalette palette;
    if (data == nullptr || size < 18 || data[0] != 'B' || data[1] != 'M' || !readBmpLayout(data, size, layout) ||
        !readBmpPalette(data, size, layout, palette) || !bmpDataFits(size, layout)) {
        return false;
    }
    Texture image;
    if (!makeImage(layout.width, layout.height, IMAGE_RGB, 3, layout.compression != 0, image)) {
        return false;
    }
    const bool ok = layout.compression == 0
                        ? decodeBmpRows(data, layout.pixelStart, layout.bits, palette, image)
                        : decodeBmpRunLength(data, size, layout.pixelStart, layout.bits, palette, image);
    if (!ok) {
        return false;
    }
    out = std::move(image);
    return true;
}
