// libFuzzer: the TGA decoder over arbitrary bytes, as if read from a file.
#include "game/textures/textures.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Texture texture;
    if (decodeTga(data, size, texture)) {
        // Touch the last byte: the record must own every pixel it claims.
        size_t bytes = size_t(texture.width) * texture.height * texture.bytesPerPixel;
        volatile uint8_t last = texture.pixels[bytes - 1];
        (void)last;
    }
    return 0;
}
