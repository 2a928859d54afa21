// libFuzzer: the rewrite pass (rewritePackText) over arbitrary pack bytes with an edited level taken from them.
// Input: selector byte (level number, as in fuzz_levelpack_read but signed for the raw form), an edit byte
// (cell and brush), then the pack. The level to save is what readPackLevel finds at that number, edited;
// when it cannot be read, a default level with that number (a level with bad codes may still be saved over).
// Checks: on success the output reads back as the edited level at its position, every other complete level
// as it was, the count as given; rewriting the output again changes nothing (the layout is canonical).
#include "fuzz/fuzz_file.h"
#include "levelpack/levelpack.h"

#include <cstring>
#include <string>

namespace {

bool sameLevel(const PackLevel& a, const PackLevel& b)
{
    return a.greyHits == b.greyHits && a.bonusChance == b.bonusChance && a.background == b.background &&
           memcmp(a.bricks, b.bricks, sizeof a.bricks) == 0;
}

PackLevel readAt(const std::string& path, int32_t number, bool& ok)
{
    PackLevel level;
    level.levelNumber = number;
    ok = readPackLevel(path, level).ok();
    return level;
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) {
        return 0;
    }
    int32_t number = 1 + data[0] % 6;
    size_t skip = 2;
    if (data[0] >= 0xF0) {
        if (size < 6) {
            return 0;
        }
        uint32_t raw = 0;
        memcpy(&raw, data + 2, 4);
        number = static_cast<int32_t>(raw);
        skip = 6;
    }
    const uint8_t edit = data[1];
    const std::string oldText(reinterpret_cast<const char*>(data + skip), size - skip);
    writeScratch(data + skip, size - skip);

    bool readable = false;
    PackLevel level = readAt(scratchPath(), number, readable);
    level.levelNumber = number;
    level.levelCount = readable ? number + edit % 3 : edit;
    level.bricks[(edit * 37) % GRID_CELLS] = edit % (BRICK_CODE_MAX + 1);
    level.greyHits += edit >> 4;

    std::string out;
    const PackResult result = rewritePackText(oldText, level, "fuzz.tlp", out);
    if (!result.ok()) {
        if (result.message.empty() || !out.empty()) {
            abort();
        }
        return 0;
    }
    if (number < 1) {
        abort();
    }

    std::string again;
    if (!rewritePackText(out, level, "fuzz.tlp", again).ok() || again != out) {
        abort();
    }

    // Levels around the edited one, before and after.
    PackLevel counted;
    counted.levelNumber = 0;
    const std::string oldPath = scratchPath();
    PackLevel neighbours[2];
    bool neighbourRead[2] = {};
    const int32_t neighbourNumbers[2] = {number - 1, number + 1};
    for (int i = 0; i < 2; ++i) {
        if (neighbourNumbers[i] >= 1) {
            neighbours[i] = readAt(oldPath, neighbourNumbers[i], neighbourRead[i]);
        }
    }
    writeScratch(reinterpret_cast<const uint8_t*>(out.data()), out.size());
    if (!readPackLevel(scratchPath(), counted).ok() || counted.levelCount != level.levelCount) {
        abort();
    }
    bool ok = false;
    const PackLevel saved = readAt(scratchPath(), number, ok);
    if (!ok || !sameLevel(saved, level)) {
        abort();
    }
    for (int i = 0; i < 2; ++i) {
        if (neighbourRead[i]) {
            const PackLevel now = readAt(scratchPath(), neighbourNumbers[i], ok);
            if (!ok || !sameLevel(now, neighbours[i])) {
                abort();
            }
        }
    }
    return 0;
}
