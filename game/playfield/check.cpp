// game/playfield/check: the pack checker's engine (see check.h).
#include "game/playfield/check.h"

#include "game/playfield/playfield.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>

namespace {

// Real frames are never all alike: a little spread keeps a bot that plays at
// exactly one rate from locking onto one set of courses a player would leave.
constexpr double CHECK_FRAME_JITTER = 0.1;

bool breakable(int32_t code) { return code >= Red && code <= Grey; }

// The longest expected play, in seconds, of ratings 1 to 4.
constexpr double RATING_LIMIT_1 = 75;
constexpr double RATING_LIMIT_2 = 110;
constexpr double RATING_LIMIT_3 = 160;
constexpr double RATING_LIMIT_4 = 240;

double median(std::vector<double> values)
{
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}   // namespace

bool findUnreachableBrick(const PackLevel& level, int& row, int& column)
{
    // Iron bricks stand 0.1 apart, far less than a ball's step, so a wall of
    // them is closed, also where two meet only at their corners; anything
    // else can be broken through. The open field below the grid reaches every
    // cell of the bottom row. A ball that reaches a cell can hit the bricks
    // of all eight cells around it, across a corner too.
    bool reached[GRID_CELLS] = {};
    int queue[GRID_CELLS];
    int head = 0;
    int tail = 0;
    for (int c = 0; c < GRID_COLUMNS; ++c) {
        const int cell = (GRID_ROWS - 1) * GRID_COLUMNS + c;
        if (level.bricks[cell] != Iron) {
            reached[cell] = true;
            queue[tail++] = cell;
        }
    }
    while (head < tail) {
        const int cell = queue[head++];
        const int r = cell / GRID_COLUMNS;
        const int c = cell % GRID_COLUMNS;
        const int next[4][2] = {{r - 1, c}, {r + 1, c}, {r, c - 1}, {r, c + 1}};
        for (const auto& n : next) {
            if (n[0] < 0 || n[0] >= GRID_ROWS || n[1] < 0 || n[1] >= GRID_COLUMNS) {
                continue;
            }
            const int neighbour = n[0] * GRID_COLUMNS + n[1];
            if (!reached[neighbour] && level.bricks[neighbour] != Iron) {
                reached[neighbour] = true;
                queue[tail++] = neighbour;
            }
        }
    }
    for (int cell = 0; cell < GRID_CELLS; ++cell) {
        if (!breakable(level.bricks[cell])) {
            continue;
        }
        const int r = cell / GRID_COLUMNS;
        const int c = cell % GRID_COLUMNS;
        bool hittable = r == GRID_ROWS - 1;
        for (int dr = -1; dr <= 1 && !hittable; ++dr) {
            for (int dc = -1; dc <= 1 && !hittable; ++dc) {
                const int nr = r + dr;
                const int nc = c + dc;
                hittable = nr >= 0 && nr < GRID_ROWS && nc >= 0 && nc < GRID_COLUMNS && reached[nr * GRID_COLUMNS + nc];
            }
        }
        if (!hittable) {
            row = r + 1;
            column = c + 1;
            return true;
        }
    }
    return false;
}

int checkJobs(const CheckOptions& options)
{
    if (options.jobs > 0) {
        return options.jobs;
    }
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 0 ? static_cast<int>(cores) : 1;
}

namespace {

// Levels checked together: their runs share the threads, so one long run
// leaves the others busy with the next level's; a pack of many levels is
// taken a batch at a time.
constexpr size_t CHECK_BATCH = 16;

// The runs of one level: every run is fixed by its seed and fall mode, so
// they can be played in any order and on any thread; each has a field of its own.
std::vector<BotOptions> runsOf(const CheckOptions& options)
{
    std::vector<BotOptions> runs;
    for (int mode = 0; mode < 2; ++mode) {
        const bool fallMode = mode == 1;
        if ((fallMode && options.fall == FallRuns::Off) || (!fallMode && options.fall == FallRuns::On)) {
            continue;
        }
        for (int seed = 1; seed <= options.seeds; ++seed) {
            BotOptions bot;
            bot.seed = static_cast<unsigned int>(seed);
            bot.fps = options.fps;
            bot.jitter = CHECK_FRAME_JITTER;
            bot.maxSeconds = options.minutes * 60;
            bot.fallMode = fallMode;
            bot.control = options.control;
            bot.lives = 1000000;   // a designer asks whether the level can be cleared, not how often the bot misses
            runs.push_back(bot);
            if (options.rate) {
                bot.lives = RATING_LIVES;   // a player's game: how often a level is lost says how hard it is
                runs.push_back(bot);
            }
        }
    }
    return runs;
}

// A level's verdict from its runs' results; its levelNumber is its position.
LevelVerdict verdictOf(const PackLevel& level, const std::vector<BotOptions>& runs, const BotResult* results,
                       size_t count)
{
    LevelVerdict verdict;
    verdict.level = level.levelNumber;
    verdict.empty = std::none_of(level.bricks, level.bricks + GRID_CELLS, breakable);
    int row = -1;
    int column = -1;
    const bool walledIn = findUnreachableBrick(level, row, column);
    std::vector<double> clearTimes;
    std::vector<double> ratedTimes;
    for (size_t k = 0; k < count; ++k) {
        if (runs[k].lives == RATING_LIVES) {
            ++verdict.ratedRuns;
            if (results[k].cleared) {
                ++verdict.ratedCleared;
                ratedTimes.push_back(results[k].seconds);
            }
            continue;
        }
        ++verdict.runs;
        if (results[k].cleared) {
            ++verdict.cleared;
            clearTimes.push_back(results[k].seconds);
        } else if (results[k].timedOut) {
            ++verdict.hangs;
        }
    }
    verdict.medianSeconds = median(clearTimes);
    verdict.longestSeconds = clearTimes.empty() ? 0 : *std::max_element(clearTimes.begin(), clearTimes.end());
    if (verdict.ratedRuns > 0 && !verdict.empty) {
        verdict.ratedMedianSeconds = median(ratedTimes);
        verdict.rating = rateLevel(verdict.ratedCleared, verdict.ratedRuns, verdict.ratedMedianSeconds);
    }
    // A run that clears proves the walls open after all.
    if (walledIn && verdict.cleared == 0) {
        verdict.unreachableRow = row;
        verdict.unreachableColumn = column;
    }
    return verdict;
}

// Plays every run of every level on the threads; adds the verdicts in the levels' order.
void checkBatch(const std::vector<PackLevel>& levels, const CheckOptions& options, std::vector<LevelVerdict>& verdicts)
{
    const std::vector<BotOptions> runs = runsOf(options);
    const size_t total = levels.size() * runs.size();
    std::vector<BotResult> results(total);
    std::atomic<size_t> next{0};
    const auto work = [&] {
        for (size_t job = next++; job < total; job = next++) {
            results[job] = playLevelWithBot(levels[job / runs.size()], runs[job % runs.size()]);
        }
    };
    const size_t threads = std::min(total, static_cast<size_t>(checkJobs(options)));
    std::vector<std::thread> helpers;
    for (size_t t = 1; t < threads; ++t) {
        helpers.emplace_back(work);
    }
    work();
    for (std::thread& helper : helpers) {
        helper.join();
    }
    for (size_t k = 0; k < levels.size(); ++k) {
        verdicts.push_back(verdictOf(levels[k], runs, results.data() + k * runs.size(), runs.size()));
    }
}

}   // namespace

int rateLevel(int cleared, int runs, double medianSeconds)
{
    if (cleared <= 0 || runs <= 0) {
        return RATING_HARDEST;
    }
    // The play a player can expect before a clear: a lost game costs about as
    // long as a won one, and is played again.
    const double expected = medianSeconds * runs / cleared;
    constexpr double LIMITS[] = {RATING_LIMIT_1, RATING_LIMIT_2, RATING_LIMIT_3, RATING_LIMIT_4};
    int rating = RATING_EASIEST;
    for (const double limit : LIMITS) {
        if (expected <= limit) {
            return rating;
        }
        ++rating;
    }
    return RATING_HARDEST;
}

LevelVerdict checkLevel(const PackLevel& level, int position, const CheckOptions& options)
{
    std::vector<PackLevel> one(1, level);
    one[0].levelNumber = position;
    std::vector<LevelVerdict> verdicts;
    checkBatch(one, options, verdicts);
    return verdicts[0];
}

PackVerdict checkPack(const std::string& path, const CheckOptions& options, const LevelChecked& checked)
{
    PackVerdict verdict;
    PackScan scan;
    verdict.read = openPackScan(path, scan);
    if (!verdict.read.ok()) {
        return verdict;
    }
    const int32_t count = scan.levelCount;
    const std::string shown = quoteBytes(path);
    if (count < 1) {
        verdict.read = {PackStatus::FormatError, shown + ": the level count is " + std::to_string(count) +
                                                     ", but a pack holds at least 1 level"};
    } else if (options.level > count || options.level < 0) {
        verdict.failedLevel = options.level;
        verdict.read = {PackStatus::FormatError, shown + ": there is no level " + std::to_string(options.level) +
                                                     " (the pack holds " + std::to_string(count) + ")"};
    }
    // The levels read and not yet checked: checked together, then said.
    std::vector<PackLevel> batch;
    const auto checkRead = [&] {
        const size_t first = verdict.levels.size();
        checkBatch(batch, options, verdict.levels);
        for (size_t k = 0; checked && k < batch.size(); ++k) {
            checked(batch[k], verdict.levels[first + k]);
        }
        batch.clear();
    };
    const int32_t last = options.level != 0 ? options.level : count;
    PackLevel level;
    while (verdict.read.ok() && scan.levelsRead < last) {
        if (!readNextLevel(scan, level, verdict.read)) {
            verdict.failedLevel = scan.levelsRead + 1;
            if (verdict.read.ok()) {
                verdict.read = {PackStatus::FormatError, shown + ": the level count says " + std::to_string(count) +
                                                             " levels, but the file holds only " +
                                                             std::to_string(scan.levelsRead)};
            }
            break;
        }
        if (options.level != 0 && level.levelNumber != options.level) {
            continue;
        }
        batch.push_back(level);
        if (batch.size() == CHECK_BATCH) {
            checkRead();
        }
    }
    checkRead();
    closePackScan(scan);
    return verdict;
}

std::string verdictLine(const std::string& pack, const LevelVerdict& verdict)
{
    char text[160];
    snprintf(text, sizeof text, " level %d: cleared %d/%d runs, median %.1f s, longest %.1f s", verdict.level,
             verdict.cleared, verdict.runs, verdict.medianSeconds, verdict.longestSeconds);
    std::string line = pack + text;
    if (verdict.unreachableRow >= 0) {
        line += ", unreachable: row " + std::to_string(verdict.unreachableRow) + " column " +
                std::to_string(verdict.unreachableColumn);
    } else if (verdict.hangs > 0) {
        line += ", hangs " + std::to_string(verdict.hangs);
    } else if (verdict.empty) {
        line += ", empty";
    }
    if (verdict.rating > 0) {
        snprintf(text, sizeof text, ", rating %d (%d/%d runs with %d lives, median %.1f s)", verdict.rating,
                 verdict.ratedCleared, verdict.ratedRuns, RATING_LIVES, verdict.ratedMedianSeconds);
        line += text;
    }
    return line;
}
