// game/textures/pixels: the decoders' shared pixel work (see pixels.h).
#include "game/textures/pixels.h"

#include <cstring>
#include <new>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace {

// B, G, R triples to R, G, B: the hot loop of 24-bit textures. With SSSE3
// (every x86-64 CPU of the last fifteen years) five pixels take one byte
// shuffle; elsewhere, or for the tail, pixel by pixel.
#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("ssse3"))) size_t swapRedBlue24Ssse3(const uint8_t* in, uint8_t* out, size_t count)
{
    const __m128i order = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, 15);
    size_t i = 0;
    // 16 bytes are read and written for 15: the spare byte is rewritten by the next step.
    for (; i + 6 <= count; i += 5) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i * 3));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i * 3), _mm_shuffle_epi8(v, order));
    }
    return i;
}
__attribute__((target("ssse3"))) size_t swapRedBlue32Ssse3(const uint8_t* in, uint8_t* out, size_t count)
{
    const __m128i order = _mm_setr_epi8(2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15);
    size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i * 4));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i * 4), _mm_shuffle_epi8(v, order));
    }
    return i;
}
bool hasSsse3()
{
    static const bool present = (__builtin_cpu_init(), __builtin_cpu_supports("ssse3"));
    return present;
}
#endif

// B, G, R, A to R, G, B, A; whole words where there is no SSSE3.
}   // namespace

void swapRedBlue32(const uint8_t* in, uint8_t* out, size_t count)
{
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

void swapRedBlue24(const uint8_t* in, uint8_t* out, size_t count)
{
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

bool makeImage(int32_t width, int32_t height, int32_t format, int32_t bytesPerPixel, bool zeroed, Texture& image)
{
    if (width <= 0 || height <= 0 || int64_t(width) * height > MAX_IMAGE_PIXELS) {
        return false;
    }
    const size_t bytes = size_t(width) * size_t(height) * size_t(bytesPerPixel);
    image.pixels.reset(zeroed ? new (std::nothrow) uint8_t[bytes]() : new (std::nothrow) uint8_t[bytes]);
    if (!image.pixels) {
        return false;
    }
    image.width = width;
    image.height = height;
    image.format = format;
    image.bytesPerPixel = bytesPerPixel;
    return true;
}
