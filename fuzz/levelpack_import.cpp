// libFuzzer: the whole-pack check that comes before a pack file is copied into the packs folder, over
// arbitrary bytes, against the one-pass reader.
// Checks: a file is taken exactly when the one-pass reader reads at least as many complete levels as its
// count line says (at least one) and ends cleanly; the levels and the hash it reports are the file's; a
// refusal says why without raw control bytes; planning writes nothing.
#include "fuzz/fuzz_file.h"
#include "levelpack/levelpack.h"
#include "levelpack/packimport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

char folderPath[256];   // plain bytes: the exit handler runs after static strings are gone

// An empty packs folder of this process's own, so every file that passes is Ready.
const char* packsFolder()
{
    if (!folderPath[0]) {
        const std::string path = std::filesystem::temp_directory_path() / ("fuzz_import_" + std::to_string(getpid()));
        std::filesystem::create_directories(path);
        snprintf(folderPath, sizeof folderPath, "%s", path.c_str());
        atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(folderPath, ignored);
        });
    }
    return folderPath;
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    writeScratch(data, size);
    const PackImport plan = planPackImport(scratchPath(), packsFolder());

    PackScan scan;
    bool readable = openPackScan(scratchPath(), scan).ok() && scan.levelCount >= 1;
    PackLevel level;
    PackResult result;
    while (readable && readNextLevel(scan, level, result)) {}
    readable = readable && result.ok() && scan.levelsRead >= scan.levelCount;
    closePackScan(scan);

    if (readable != (plan.state == ImportState::Ready)) {
        abort();
    }
    if (plan.state == ImportState::Refused) {
        for (const char c : plan.message) {
            if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) {
                abort();
            }
        }
    } else {
        ContentHash whole;
        hashBytes(whole, reinterpret_cast<const char*>(data), size);
        if (plan.levels != scan.levelsRead || plan.hash != hashValue(whole) || plan.length != size) {
            abort();
        }
    }
    if (!std::filesystem::is_empty(packsFolder())) {
        abort();
    }
    return 0;
}
