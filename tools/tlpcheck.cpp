// tlpcheck: the pack checker for level designers. Plays every level of each
// pack with the game's own rules and a seeded bot, and says per level whether
// every run clears it, how long that takes, and whether a run hangs or a
// breakable brick can never be reached; header values out of range are warned
// of. A pack is read once, front to back, and each verdict printed as it comes.
// With --rate each level also gets a difficulty from 1 to 5, from the same
// seeds played again as a player with three lives; a whole pack's ratings are
// kept beside it ("<pack>.ratings") for the game's menu.
// With --replay it plays a recorded game again and checks that it ends as it did.
//   tlpcheck [--seeds N] [--fps F] [--fall off|on|both] [--minutes M] [--level N]
//            [--control mouse|keyboard] [--jobs N] [--rate] PACK.tlp...
//   tlpcheck --replay FILE [PACK.tlp]
//   tlpcheck --help | --version
// A pack given by its name alone is also looked for in the packs folder.
// Exit status: 0 when no run hangs and every brick can be reached, 1 when a
// run hangs or a level has a brick no ball can reach, 2 when a pack cannot be
// read (or the command line is wrong). A replay: 0 when it ends as recorded,
// 1 when not, 2 when it or its pack cannot be used.
#include "game/playfield/check.h"
#include "game/playfield/ratings.h"
#include "game/playfield/replay.h"
#include "levelpack/catalogue.h"
#include "levelpack/safefile.h"
#include "platform/cmdline.h"
#include "platform/userfolder.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr double PROGRESS_SECONDS = 3;   // a check this long says how far it has come, on standard error

const char* const USAGE =
    "usage: tlpcheck [--seeds N] [--fps F] [--fall off|on|both] [--minutes M] [--level N]\n"
    "                [--control mouse|keyboard] [--jobs N] [--rate] PACK.tlp...\n"
    "       tlpcheck --replay FILE [PACK.tlp]\n"
    "       tlpcheck --help | --version\n"
    "  --seeds N       runs per fall mode, seeds 1 to N (default 8)\n"
    "  --fps F         the frame rate the bot plays at, 1 to 1000 (default 70)\n"
    "  --fall MODE     fall mode off, on, or both (default both)\n"
    "  --minutes M     minutes of play before a run counts as a hang (default 20)\n"
    "  --level N       check only level N of each pack (default: every level)\n"
    "  --control MODE  the bot steers as with the mouse (default) or the keyboard\n"
    "  --jobs N        runs played at once (default: one per core)\n"
    "  --rate          rate each level 1 (easy) to 5 (hard) from the same seeds played with 3 lives;\n"
    "                  a whole pack's ratings are kept beside it as PACK.tlp.ratings\n"
    "  --replay FILE   play a recorded game again; its pack is PACK.tlp or \"Levels Packs/<its name>\"\n"
    "  --help          this text;  --version  the version\n";

void usage() { fputs(USAGE, stderr); }

// --help and --version answer at once, whatever else the line holds; -1 when neither is asked.
int answerHelpOrVersion(int argc, char** argv)
{
    CommandLine asked;
    for (int i = 1; i < argc && strcmp(argv[i], "--") != 0; ++i) {
        asked.help = asked.help || !strcmp(argv[i], "--help") || !strcmp(argv[i], "-h");
        asked.version = asked.version || !strcmp(argv[i], "--version");
    }
    return answerCommandLine(asked, "tlpcheck", USAGE);
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

bool parseArguments(int argc, char** argv, CheckOptions& options, std::vector<std::string>& packs, std::string& replay)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--") {   // the rest are packs, whatever their names
            packs.insert(packs.end(), argv + i + 1, argv + argc);
            break;
        }
        if (arg.size() < 2 || arg[0] != '-') {
            packs.push_back(arg);
            continue;
        }
        if (arg == "--rate") {
            options.rate = true;
            continue;
        }
        // Known or not is told before a value is taken: "--bogus 3" is one unknown option.
        const bool hasValue = i + 1 < argc && arg.rfind("--", 0) == 0;
        const char* value = hasValue ? argv[++i] : "";
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
        if (!hasValue) {
            fprintf(stderr, "tlpcheck: %s needs a value\n", arg.c_str());
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

// A pack named on the command line: the file itself when it is there, else, for a name alone (with or
// without ".tlp"), the pack of that name in the packs folder: the working directory's, the user folder's of
// an installed tlpcheck, the runtime folder's beside a build tree's. What was typed when none holds it.
std::string findPack(const std::string& name, std::string& lookedIn)
{
    struct stat st {};
    if (name.find('/') != std::string::npos || lstat(name.c_str(), &st) == 0) {
        return name;
    }
    std::vector<std::string> folders = {PACK_FOLDER};
    const std::string user = installedUserFolder();
    if (!user.empty()) {
        folders.push_back(user + "/" + PACK_FOLDER);
    } else {
        char exe[PATH_MAX] = {};
        const ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
        const std::string self(exe, length > 0 ? static_cast<size_t>(length) : 0);
        const size_t slash = self.rfind('/');
        if (slash != std::string::npos) {
            folders.push_back(self.substr(0, slash) + "/../runtime/" + PACK_FOLDER);
        }
    }
    const bool hasExtension =
        name.size() > strlen(PACK_EXTENSION) &&
        name.compare(name.size() - strlen(PACK_EXTENSION), std::string::npos, PACK_EXTENSION) == 0;
    for (const std::string& folder : folders) {
        for (const std::string& file : {name, name + PACK_EXTENSION}) {
            if ((file != name && hasExtension) || stat((folder + "/" + file).c_str(), &st) != 0) {
                continue;
            }
            return folder + "/" + file;
        }
        lookedIn += (lookedIn.empty() ? "" : ", ") + quoteBytes(folder);
    }
    return name;
}

double secondsNow()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

// Plays the replay at path again against its pack (given, or found by the name
// the replay gives) and says whether it ends as recorded.
int checkReplay(const std::string& path, const std::vector<std::string>& packs)
{
    Replay replay;
    std::string failure;
    const std::string shownReplay = quoteBytes(path);
    if (!readReplayFile(path, replay, failure)) {
        printf("%s: cannot be played: %s\n", shownReplay.c_str(), failure.c_str());
        return 2;
    }
    const ReplayStart& start = replay.start;
    std::string lookedIn;
    const std::string pack = findPack(packs.empty() ? start.packName : packs[0], lookedIn);
    const ReplayRun run = runReplay(replay, pack);
    if (!run.ran) {
        const std::string where = lookedIn.empty() ? "" : " (not found here nor in " + lookedIn + ")";
        printf("%s: cannot be played: %s%s\n", shownReplay.c_str(), run.failure.c_str(), where.c_str());
        return 2;
    }
    printf("%s: %s from level %d, seed %u, fall mode %s, %s control\n", shownReplay.c_str(), quoteBytes(pack).c_str(),
           start.levelNumber, start.seed, start.fallMode ? "on" : "off",
           start.control == ControlMode::Mouse ? "mouse" : "keyboard");
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
    ignoreFileSizeSignal();
    if (const int answered = answerHelpOrVersion(argc, argv); answered >= 0) {
        return answered;
    }
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
    for (const std::string& name : packs) {
        std::string lookedIn;
        const std::string path = findPack(name, lookedIn);
        const std::string shown = quoteBytes(name);   // a name may hold any byte; the output stays one line each
        const double started = secondsNow();
        double reported = started;
        uint64_t hash = 0;
        std::string hashFailure;
        const bool hashed = options.rate && options.level == 0 && packContentHash(path, hash, hashFailure);
        const PackVerdict verdict = checkPack(path, options, [&](const PackLevel& read, const LevelVerdict& level) {
            for (const std::string& warning : headerWarnings(read)) {
                printf("%s level %d: warning: %s\n", shown.c_str(), level.level, warning.c_str());
            }
            printf("%s\n", verdictLine(shown, level).c_str());
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
            // A long check says how far it has come, every few seconds, where the verdicts may not be seen.
            const double now = secondsNow();
            if (now - reported >= PROGRESS_SECONDS) {
                reported = now;
                fprintf(stderr, "tlpcheck: %s: %d of %d levels checked, %.0f s\n", shown.c_str(), level.level,
                        options.level != 0 ? options.level : read.levelCount, now - started);
            }
        });
        if (hashed && verdict.read.ok()) {
            std::vector<int> ratings;
            for (const LevelVerdict& level : verdict.levels) {
                ratings.push_back(level.rating > 0 ? level.rating : RATING_EASIEST);   // an empty level ends at once
            }
            std::string failure;
            if (writePackRatings(path, hash, ratings, failure)) {
                printf("%s: ratings kept in %s%s\n", shown.c_str(), quoteBytes(path).c_str(), RATINGS_EXTENSION);
            } else {
                printf("%s: ratings not kept: %s\n", shown.c_str(), failure.c_str());
            }
        }
        if (!verdict.read.ok()) {
            unreadable = true;
            const std::string where = lookedIn.empty() ? "" : " (not found here nor in " + lookedIn + ")";
            if (verdict.read.status == PackStatus::CannotOpen) {
                printf("Cannot open levels file. %s%s\n", verdict.read.message.c_str(), where.c_str());
            } else if (verdict.failedLevel == 0) {
                printf("Cannot read the pack: %s\n", verdict.read.message.c_str());
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
