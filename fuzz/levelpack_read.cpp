// libFuzzer: readPackLevel over arbitrary pack bytes at any level number.
// Input: one selector byte, then (selector >= 0xF0) a little-endian level number, then the pack.
// Below 0xF0 the level number is selector % 8, so small numbers that real packs hold get most of the runs.
#include "fuzz/fuzz_file.h"
#include "levelpack/levelpack.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) {
        return 0;
    }
    int32_t number = data[0] % 8;
    size_t skip = 1;
    if (data[0] >= 0xF0) {
        if (size < 5) {
            return 0;
        }
        uint32_t raw = 0;
        memcpy(&raw, data + 1, 4);
        number = static_cast<int32_t>(raw);
        skip = 5;
    }
    writeScratch(data + skip, size - skip);

    PackLevel level;
    level.levelNumber = number;
    level.greyHits = -7;   // sentinels: a failed read must leave every field alone
    level.bricks[0] = -7;
    level.bricks[GRID_CELLS - 1] = -7;
    const PackLevel before = level;
    const PackResult result = readPackLevel(scratchPath(), level);
    if (!result.ok()) {
        if (result.message.empty() || memcmp(&before, &level, sizeof level) != 0) {
            abort();
        }
        return 0;
    }
    for (int32_t code : level.bricks) {
        if (code < 0 || code > BRICK_CODE_MAX) {
            abort();
        }
    }
    if (number != 0 && level.levelNumber != number) {
        abort();   // the position asked for is the number kept, whatever the file says
    }
    return 0;
}
