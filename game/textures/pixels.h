// game/textures/pixels: what the TGA and BMP decoders share: little-endian
// reads, the red/blue swap of the hot 24- and 32-bit paths, and the image record
// with room for its pixels.
#pragma once

#include "game/textures/textures.h"

#include <cstddef>
#include <cstdint>

inline uint16_t readU16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline int16_t readI16(const uint8_t* p) { return int16_t(readU16(p)); }
inline uint32_t readU32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline int32_t readI32(const uint8_t* p) { return int32_t(readU32(p)); }

// B, G, R triples to R, G, B, and B, G, R, A to R, G, B, A, count pixels.
void swapRedBlue24(const uint8_t* in, uint8_t* out, size_t count);
void swapRedBlue32(const uint8_t* in, uint8_t* out, size_t count);

// An image of width x height pixels with room for them, or false when the size
// is refused or memory is short. zeroed: pixels a decoder may skip read as black.
bool makeImage(int32_t width, int32_t height, int32_t format, int32_t bytesPerPixel, bool zeroed, Texture& image);
