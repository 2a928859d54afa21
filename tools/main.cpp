// tools/main: assetgen <output folder> — writes Textures/ (with the window icon) and sounds/ there and
// prints how long each group took; assetgen --icons <folder> writes the application
// icon in every size there. Depends on assetgen.h.
#include "tools/assetgen.h"

#include <chrono>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--icons" && argv[2][0] != '\0') {
        return writeIcons(argv[2]) ? 0 : 1;
    }
    if (argc != 2 || argv[1][0] == '\0') {
        std::fprintf(stderr, "usage: assetgen <output folder>\n       assetgen --icons <folder>\n");
        return 2;
    }
    const std::string dir = argv[1];
    using Clock = std::chrono::steady_clock;   // only reports timing; never feeds the output
    auto timed = [](const char* what, bool (*step)(const std::string&), const std::string& d) {
        auto start = Clock::now();
        bool ok = step(d);
        double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        std::printf("assetgen: %-8s %s in %.0f ms\n", what, ok ? "written" : "FAILED", ms);
        return ok;
    };
    if (!makeDirectories(dir)) return 1;
    bool ok = timed("textures", writeTextures, dir) && timed("icons", writeWindowIcons, dir) &&
              timed("sounds", writeSounds, dir) && timed("song", writeSong, dir);
    return ok ? 0 : 1;
}
