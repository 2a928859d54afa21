// tlpcheck: the pack checker for level designers. Plays every level of each
// pack with the game's own rules and a seeded bot, and says per level whether
// every run clears it, how long that takes, and whether a run hangs or a
// breakable brick can never be reached.
//   tlpcheck [--seeds N] [--fps F] [--fall off|on|both] [--minutes M] [--level N] PACK.tlp...
// Exit status: 0 when no run hangs and every brick can be reached, 1 when a
// run hangs or a level has a brick no ball can reach, 2 when a pack cannot be
// read (or the command line is wrong).
#include "game/playfield/check.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void usage()
{
    fprintf(stderr, "usage: tlpcheck [--seeds N] [--fps F] [--fall off|on|both] [--minutes M] [--level N] PACK.tlp...\n"
                    "  --seeds N    runs per fall mode, seeds 1 to N (default 8)\n"
                    "  --fps F      the frame rate the bot plays at, 1 to 1000 (default 70)\n"
                    "  --fall MODE  fall mode off, on, or both (default both)\n"
                    "  --minutes M  minutes of play before a run counts as a hang (default 20)\n"
                    "  --level N    check only level N of each pack (default: every level)\n");
}

// A whole number or a decimal within [low, high], the whole argument and nothing else.
bool readNumber(const char* text, double low, double high, bool whole, double& value)
{
    char* end = nullptr;
    const double parsed = whole ? static_cast<double>(strtol(text, &end, 10)) : strtod(text, &end);
    if (end == text || *end != '\0' || !(parsed >= low && parsed <= high)) {
        return false;
    }
    value = parsed;
    return true;
}

bool parseArguments(int argc, char** argv, CheckOptions& options, std::vector<std::string>& packs)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--", 0) != 0) {
            packs.push_back(arg);
            continue;
        }
        if (i + 1 >= argc) {
            fprintf(stderr, "tlpcheck: %s needs a value\n", arg.c_str());
            return false;
        }
        const char* value = argv[++i];
        double number = 0;
        bool good = true;
        if (arg == "--seeds") {
            good = readNumber(value, 1, 1000, true, number);
            options.seeds = static_cast<int>(number);
        } else if (arg == "--fps") {
            good = readNumber(value, 1, 1000, false, number);
            options.fps = number;
        } else if (arg == "--minutes") {
            good = readNumber(value, 0.01, 24 * 60, false, number);
            options.minutes = number;
        } else if (arg == "--level") {
            good = readNumber(value, 1, 1e9, true, number);
            options.level = static_cast<int>(number);
        } else if (arg == "--fall") {
            good = !strcmp(value, "off") || !strcmp(value, "on") || !strcmp(value, "both");
            options.fall = !strcmp(value, "off") ? FallRuns::Off : !strcmp(value, "on") ? FallRuns::On : FallRuns::Both;
        } else {
            fprintf(stderr, "tlpcheck: unknown option %s\n", arg.c_str());
            return false;
        }
        if (!good) {
            fprintf(stderr, "tlpcheck: %s does not take %s\n", arg.c_str(), value);
            return false;
        }
    }
    if (packs.empty()) {
        fprintf(stderr, "tlpcheck: no pack given\n");
        return false;
    }
    return true;
}

}   // namespace

int main(int argc, char** argv)
{
    CheckOptions options;
    std::vector<std::string> packs;
    if (!parseArguments(argc, argv, options, packs)) {
        usage();
        return 2;
    }

    int levels = 0;
    int clearedByAll = 0;
    int hanging = 0;
    int unreachable = 0;
    int empty = 0;
    bool unreadable = false;
    for (const std::string& pack : packs) {
        const PackVerdict verdict = checkPack(pack, options);
        for (const LevelVerdict& level : verdict.levels) {
            printf("%s\n", verdictLine(pack, level).c_str());
            fflush(stdout);
            ++levels;
            if (level.unreachableRow >= 0) {
                ++unreachable;
            } else if (level.hangs > 0) {
                ++hanging;
            } else if (level.empty) {
                ++empty;
            } else if (level.cleared == level.runs) {
                ++clearedByAll;
            }
        }
        if (!verdict.read.ok()) {
            unreadable = true;
            if (verdict.read.status == PackStatus::CannotOpen) {
                printf("Cannot open levels file. %s\n", verdict.read.message.c_str());
            } else {
                printf("Cannot load level %d: %s\n", verdict.failedLevel, verdict.read.message.c_str());
            }
        }
    }
    printf("%d levels: %d cleared by every run, %d hang, %d unreachable, %d empty\n", levels, clearedByAll, hanging,
           unreachable, empty);
    if (unreadable) {
        return 2;
    }
    return hanging > 0 || unreachable > 0 ? 1 : 0;
}
