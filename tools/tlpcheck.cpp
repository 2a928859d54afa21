// tlpcheck: the pack checker for level designers. Plays every level of each
// pack with the game's own rules and a seeded bot, and says per level whether
// every run clears it, how long that takes, and whether a run hangs or a
// breakable brick can never be reached. With --replay it plays a recorded
// game again and checks that it ends as it did.
//   tlpcheck [--seeds N] [--fps F] [--fall off|on|both] [--minutes M] [--level N]
//            [--control mouse|keyboard] [--jobs N] PACK.tlp...
//   tlpcheck --replay FILE [PACK.tlp]
// Exit status: 0 when no run hangs and every brick can be reached, 1 when a
// run hangs or a level has a brick no ball can reach, 2 when a pack cannot be
// read (or the command line is wrong). A replay: 0 when it ends as recorded,
// 1 when not, 2 when it or its pack cannot be used.
#include "game/playfield/check.h"
#include "game/playfield/replay.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void usage()
{
    fprintf(stderr,
            "usage: tlpcheck [--seeds N] [--fps F] [--fall off|on|both] [--minutes M] [--level N]\n"
            "                [--control mouse|keyboard] [--jobs N] PACK.tlp...\n"
            "       tlpcheck --replay FILE [PACK.tlp]\n"
            "  --seeds N       runs per fall mode, seeds 1 to N (default 8)\n"
            "  --fps F         the frame rate the bot plays at, 1 to 1000 (default 70)\n"
            "  --fall MODE     fall mode off, on, or both (default both)\n"
            "  --minutes M     minutes of play before a run counts as a hang (default 20)\n"
            "  --level N       check only level N of each pack (default: every level)\n"
            "  --control MODE  the bot steers as with the mouse (default) or the keyboard\n"
            "  --jobs N        runs played at once (default: one per core)\n"
            "  --replay FILE   play a recorded game again; its pack is PACK.tlp or \"Levels Packs/<its name>\"\n");
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

bool parseArguments(int argc, char** argv, CheckOptions& options, std::vector<std::string>& packs,
                    std::string& replay)
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
        } else if (arg == "--jobs") {
            good = readNumber(value, 1, 1024, true, number);
            options.jobs = static_cast<int>(number);
        } else if (arg == "--control") {
            good = !strcmp(value, "mouse") || !strcmp(value, "keyboard");
            options.control = !strcmp(value, "keyboard") ? BotControl::Keyboard : BotControl::Mouse;
        } else if (arg == "--replay") {
            replay = value;
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
    if (!replay.empty() && packs.size() > 1) {
        fprintf(stderr, "tlpcheck: a replay is checked against one pack\n");
        return false;
    }
    if (replay.empty() && packs.empty()) {
        fprintf(stderr, "tlpcheck: no pack given\n");
        return false;
    }
    return true;
}

// Plays the replay at path again against its pack and says whether it ends as recorded.
int checkReplay(const std::string& path, const std::vector<std::string>& packs)
{
    Replay replay;
    std::string failure;
    if (!readReplayFile(path, replay, failure)) {
        printf("%s: cannot be played: %s\n", path.c_str(), failure.c_str());
        return 2;
    }
    const ReplayStart& start = replay.start;
    const std::string pack = packs.empty() ? std::string(PACK_FOLDER) + "/" + start.packName : packs[0];
    const ReplayRun run = runReplay(replay, pack);
    if (!run.ran) {
        printf("%s: cannot be played: %s\n", path.c_str(), run.failure.c_str());
        return 2;
    }
    printf("%s: %s from level %d, seed %u, fall mode %s, %s control\n", path.c_str(), pack.c_str(), start.levelNumber,
           start.seed, start.fallMode ? "on" : "off", start.control == ControlMode::Mouse ? "mouse" : "keyboard");
    if (sameEnd(run.end, replay.end)) {
        printf("ends as recorded: %s\n", describeEnd(run.end).c_str());
        return 0;
    }
    printf("ends differently: %s; recorded: %s\n", describeEnd(run.end).c_str(), describeEnd(replay.end).c_str());
    return 1;
}

}   // namespace

int main(int argc, char** argv)
{
    CheckOptions options;
    std::vector<std::string> packs;
    std::string replay;
    if (!parseArguments(argc, argv, options, packs, replay)) {
        usage();
        return 2;
    }
    if (!replay.empty()) {
        return checkReplay(replay, packs);
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
    printf("%d levels: %d cleared by every run, %d hang, %d unreachable, %d empty; the bot steered as with the %s\n",
           levels, clearedByAll, hanging, unreachable, empty,
           options.control == BotControl::Mouse ? "mouse" : "keyboard");
    if (unreadable) {
        return 2;
    }
    return hanging > 0 || unreachable > 0 ? 1 : 0;
}
