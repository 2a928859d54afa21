// libFuzzer: readConfig over arbitrary config.ini bytes (through a scratch file, as the game reads it).
// Checks: the pack name stays terminated inside its array and holds no white space, and what writeConfig
// makes of the result reads back the same.
#include "fuzz/fuzz_file.h"
#include "game/shell/config.h"

#include <cctype>
#include <cstring>

namespace {

bool sameConfig(const Config& a, const Config& b)
{
    return a.screenWidth == b.screenWidth && a.screenHeight == b.screenHeight && a.mouseControl == b.mouseControl &&
           a.fallMode == b.fallMode && strcmp(a.levelPackName, b.levelPackName) == 0 && a.windowed == b.windowed;
}

}   // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // readConfig notes an overlong name on standard output; keep the fuzzer's log readable.
    if (!freopen("/dev/null", "w", stdout)) {
        return 0;
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    writeScratch(data, size);
    Config cfg;
    if (!readConfig(scratchPath().c_str(), cfg)) {
        abort();
    }
    const size_t length = strnlen(cfg.levelPackName, PACK_NAME_SIZE);
    if (length == PACK_NAME_SIZE) {
        abort();
    }
    for (size_t i = 0; i < length; ++i) {
        if (isspace(static_cast<unsigned char>(cfg.levelPackName[i]))) {
            abort();
        }
    }
    if (!writeConfig(scratchPath().c_str(), cfg)) {
        abort();
    }
    Config again;
    if (!readConfig(scratchPath().c_str(), again) || !sameConfig(cfg, again)) {
        abort();
    }
    return 0;
}
