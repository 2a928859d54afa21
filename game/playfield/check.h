// game/playfield/check: the pack checker's engine. Plays every level of a
// pack with the seeded bot (several seeds, fall mode off and on) and says of
// each whether every run clears it and how long that takes, whether a run
// hangs, and whether a breakable brick is walled in by iron where no ball
// can ever reach it. Asked to, it also rates each level's difficulty from
// runs played as a player would, with three lives.
#pragma once

#include "game/playfield/bot.h"
#include "levelpack/levelpack.h"

#include <functional>
#include <string>
#include <vector>

enum class FallRuns { Off, On, Both };

// What to check and how hard; the defaults are tlpcheck's.
struct CheckOptions {
    int seeds = 8;     // runs per fall mode, seeds 1..seeds
    double fps = 70;   // the frame rate the bot plays at
    FallRuns fall = FallRuns::Both;
    double minutes = 20;   // minutes of play before a run counts as a hang
    int level = 0;         // only this level (1-based), 0 for all
    BotControl control = BotControl::Mouse;   // how the bot steers
    int jobs = 0;   // runs played at once, each on a thread of its own; 0: one per core
    bool rate = false;   // also play each run with three lives and rate the level
};

// Difficulty ratings run from the easiest to the hardest.
constexpr int RATING_EASIEST = 1;
constexpr int RATING_HARDEST = 5;
constexpr int32_t RATING_LIVES = 3;

// One level's verdict.
struct LevelVerdict {
    int level = 0;   // 1-based position in the pack
    int runs = 0;
    int cleared = 0;            // runs that cleared it
    int hangs = 0;              // runs that reached the time limit
    double medianSeconds = 0;   // of the clearing runs
    double longestSeconds = 0;
    bool empty = false;        // nothing to break
    int unreachableRow = -1;   // 1-based cell of a breakable brick no ball can reach; -1 when none
    int unreachableColumn = -1;
    int rating = 0;                  // RATING_EASIEST..RATING_HARDEST when rated, else 0
    int ratedRuns = 0;               // runs played with RATING_LIVES lives
    int ratedCleared = 0;            // of those, the ones that cleared the level
    double ratedMedianSeconds = 0;   // of those that cleared it
};

// A level's difficulty from the runs with three lives: cleared of runs, their
// median play time. Fewer clears and longer play rate harder.
int rateLevel(int cleared, int runs, double medianSeconds);

// A whole pack's verdicts; read says whether (and why not) it could be read.
struct PackVerdict {
    PackResult read;
    int failedLevel = 0;   // the level being read when read failed; 0 for the pack's start
    std::vector<LevelVerdict> levels;
};

// The first breakable brick (in grid order) that iron walls off from the
// paddle's side of the field, or false when every one can be reached.
bool findUnreachableBrick(const PackLevel& level, int& row, int& column);

// The runs a check plays at once: options.jobs, or with 0 one per core.
int checkJobs(const CheckOptions& options);

// Checks level of a pack already read (its header and grid); the verdict does
// not depend on how many runs are played at once.
LevelVerdict checkLevel(const PackLevel& level, int position, const CheckOptions& options);

// Called as each level's check ends, with the level as read.
using LevelChecked = std::function<void(const PackLevel& level, const LevelVerdict& verdict)>;

// Reads the pack at path in one pass and checks its levels (or options.level alone), up to the count line.
// A count below 1, a level past the count and a file that ends before the count are read failures.
PackVerdict checkPack(const std::string& path, const CheckOptions& options, const LevelChecked& checked = {});

// The verdict's line: "<pack> level <n>: cleared <k>/<runs> runs, median <s> s,
// longest <s> s" and ", hangs <h>", ", unreachable: row <r> column <c>" or ", empty";
// a rated level ends in ", rating <r> (<k>/<runs> runs with 3 lives, median <s> s)".
std::string verdictLine(const std::string& pack, const LevelVerdict& verdict);
