// game/textures/tga: TGA decoding from a whole file in memory. Every header
// value is checked before it is trusted: sizes against the pixel cap and the
// bytes actually present, indices against the colour map, run-length packets
// clipped at the image end. Forms the game does not decode (15-bit, colour maps
// of other than 24-bit entries, type 0) are refused so the default texture stands in.
#include "game/textures/pixels.h"

#include <cstring>
#include <utility>

namespace {

enum TgaPixelKind { TGA_MAPPED, TGA_BGR16, TGA_BGR24, TGA_BGRA32, TGA_GREY8, TGA_GREY16 };

struct TgaColourMap {
    const uint8_t* entries;   // 3 bytes each, B, G, R
    uint32_t count;           // entries present
};

// One stored pixel to its output bytes; false for an index past the colour map.
template <TgaPixelKind Kind>
inline bool convertTgaPixel(const uint8_t* in, uint8_t* out, const TgaColourMap& map)
{
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
constexpr int tgaInBytes()
{
    return Kind == TGA_BGR24 ? 3 : Kind == TGA_BGRA32 ? 4 : (Kind == TGA_BGR16 || Kind == TGA_GREY16) ? 2 : 1;
}

template <TgaPixelKind Kind>
constexpr int tgaOutBytes()
{
    return Kind == TGA_BGRA32 ? 4 : Kind == TGA_GREY8 ? 1 : Kind == TGA_GREY16 ? 2 : 3;
}

// Decodes count pixels from data[pos, size) into out, plain or run-length.
template <TgaPixelKind Kind>
bool decodeTgaPixels(const uint8_t* data, size_t size, size_t pos, bool runLength, size_t count,
                     const TgaColourMap& map, uint8_t* out)
{
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

// What a TGA header says, once it has been checked for a form we decode.
struct TgaLayout {
    TgaPixelKind kind;
    int32_t format;          // of the decoded image
    int32_t bytesPerPixel;   // of the decoded image
    int32_t width;
    int32_t height;
    bool runLength;
    TgaColourMap map;
    size_t pixelStart;   // offset of the pixel data
};

// Reads and checks the header, the ID field and the colour map of data.
bool readTgaLayout(const uint8_t* data, size_t size, TgaLayout& layout)
{
    const unsigned idLength = data[0];
    const unsigned mapType = data[1];
    const unsigned imageType = data[2];
    const int32_t mapLength = readI16(data + 5);
    const unsigned mapEntryBits = data[7];
    const unsigned depth = data[16];
    layout.width = readI16(data + 12);
    layout.height = readI16(data + 14);
    layout.runLength = imageType >= 9;
    switch (imageType) {
        case 1:
        case 9:
            // Indices are one byte into a map of 24-bit entries; other maps are not decoded.
            if (mapType == 0 || mapEntryBits != 24 || depth != 8 || mapLength <= 0) {
                return false;
            }
            layout.kind = TGA_MAPPED;
            break;
        case 2:
        case 10:
            if (depth != 16 && depth != 24 && depth != 32) {
                return false;   // 15-bit and odd depths
            }
            layout.kind = depth == 16 ? TGA_BGR16 : depth == 24 ? TGA_BGR24 : TGA_BGRA32;
            break;
        case 3:
        case 11:
            if (depth != 8 && !(depth == 16 && imageType == 3)) {
                return false;
            }
            layout.kind = depth == 8 ? TGA_GREY8 : TGA_GREY16;
            break;
        default: return false;   // 0 (no image), 4 to 8, above 11
    }
    const TgaPixelKind kind = layout.kind;
    layout.format = kind == TGA_BGRA32   ? IMAGE_RGBA
                    : kind == TGA_GREY8  ? IMAGE_LUMINANCE
                    : kind == TGA_GREY16 ? IMAGE_LUMINANCE_ALPHA
                                         : IMAGE_RGB;
    layout.bytesPerPixel = kind == TGA_BGRA32 ? 4 : kind == TGA_GREY8 ? 1 : kind == TGA_GREY16 ? 2 : 3;
    if (layout.width <= 0 || layout.height <= 0 || int64_t(layout.width) * layout.height > MAX_IMAGE_PIXELS) {
        return false;
    }

    // ID field, then the colour map (its entries rounded up to whole bytes), then pixels.
    size_t pos = 18 + size_t(idLength);
    layout.map = {nullptr, 0};
    if (mapType != 0) {
        if (mapLength < 0) {
            return false;
        }
        const size_t mapBytes = size_t((mapEntryBits + 7) / 8) * size_t(mapLength);
        if (pos > size || size - pos < mapBytes) {
            return false;
        }
        layout.map = {data + pos, uint32_t(mapLength)};
        pos += mapBytes;
    }
    layout.pixelStart = pos;
    return pos <= size;
}

}   // namespace

bool decodeTga(const uint8_t* data, size_t size, Texture& out)
{
    TgaLayout layout;
    if (data == nullptr || size < 18 || !readTgaLayout(data, size, layout)) {
        return false;
    }
    const TgaPixelKind kind = layout.kind;
    const size_t pos = layout.pixelStart;
    const size_t count = size_t(layout.width) * size_t(layout.height);
    const size_t inBytes = kind == TGA_BGR24                           ? 3
                           : kind == TGA_BGRA32                        ? 4
                           : (kind == TGA_BGR16 || kind == TGA_GREY16) ? 2
                                                                       : 1;
    // Refuse before allocating when the file cannot hold the image: plain
    // data needs every pixel, a run packet gives at most 128 pixels.
    const size_t minimum = layout.runLength ? (count + 127) / 128 * (1 + inBytes) : count * inBytes;
    if (size - pos < minimum) {
        return false;
    }

    Texture image;
    if (!makeImage(layout.width, layout.height, layout.format, layout.bytesPerPixel, false, image)) {
        return false;
    }
    uint8_t* pixels = image.pixels.get();
    const bool runLength = layout.runLength;
    const TgaColourMap& map = layout.map;
    bool ok = false;
    switch (kind) {
        case TGA_MAPPED: ok = decodeTgaPixels<TGA_MAPPED>(data, size, pos, runLength, count, map, pixels); break;
        case TGA_BGR16: ok = decodeTgaPixels<TGA_BGR16>(data, size, pos, runLength, count, map, pixels); break;
        case TGA_BGR24: ok = decodeTgaPixels<TGA_BGR24>(data, size, pos, runLength, count, map, pixels); break;
        case TGA_BGRA32: ok = decodeTgaPixels<TGA_BGRA32>(data, size, pos, runLength, count, map, pixels); break;
        case TGA_GREY8: ok = decodeTgaPixels<TGA_GREY8>(data, size, pos, runLength, count, map, pixels); break;
        case TGA_GREY16: ok = decodeTgaPixels<TGA_GREY16>(data, size, pos, runLength, count, map, pixels); break;
    }
    if (!ok) {
        return false;
    }
    out = std::move(image);
    return true;
}
