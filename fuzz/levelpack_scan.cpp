// libFuzzer: the one-pass pack reader (tlpcheck's) over arbitrary pack bytes, against the by-position
// reader, and the pack's version hash against the bytes hashed in one piece.
// Checks: every level the scan reads is the level readPackLevel finds at that position; the scan stops
// where readPackLevel first fails; a message shows no raw control byte; the version a read reports is the
// hash of the file's bytes however they were read.
#include "fuzz/fuzz_file.h"
#include "levelpack/levelpack.h"

#include <cstring>

namespace {

constexpr int LEVELS_COMPARED = 6;   // enough to cross a level boundary many times, few enough to stay fast

bool shownSafely(const std::string& message)
{
    for (const char c : message) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F) {
            return false;
        }
    }
    return true;
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    writeScratch(data, size);
    PackScan scan;
    const PackResult opened = openPackScan(scratchPath(), scan);
    if (!opened.ok()) {
        if (!shownSafely(opened.message)) {
            abort();
        }
        return 0;
    }
    PackLevel scanned;
    PackResult result;
    int read = 0;
    while (read < LEVELS_COMPARED && readNextLevel(scan, scanned, result)) {
        ++read;
        PackLevel positioned;
        positioned.levelNumber = read;
        if (scanned.levelNumber != read || !readPackLevel(scratchPath(), positioned).ok() ||
            positioned.greyHits != scanned.greyHits || positioned.bonusChance != scanned.bonusChance ||
            positioned.background != scanned.background ||
            memcmp(positioned.bricks, scanned.bricks, sizeof scanned.bricks) != 0) {
            abort();
        }
    }
    closePackScan(scan);
    if (read < LEVELS_COMPARED) {
        // The scan stopped: at the clean end of the file the next level cannot be read either, and a
        // failure says why without raw bytes.
        PackLevel next;
        next.levelNumber = read + 1;
        if (readPackLevel(scratchPath(), next).ok() || !shownSafely(result.message)) {
            abort();
        }
    }

    PackLevel first;
    PackVersion version;
    if (readPackLevel(scratchPath(), first, &version).ok()) {
        ContentHash whole;
        hashBytes(whole, reinterpret_cast<const char*>(data), size);
        if (!version.known || version.hash != hashValue(whole)) {
            abort();
        }
    }
    return 0;
}
