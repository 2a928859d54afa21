// Every level of every shipped pack, and of random packs whose breakable
// bricks can all be reached, is cleared by every run of the pack checker's
// engine within 10 minutes of play: fall mode off and on, at 70 and at 10
// frames a second. Prints each level's verdict line as tlpcheck would.
#include "game/playfield/check.h"

#include "game/playfield/playfield.h"
#include "game/playfield/ratings.h"

#include "platform/dirlist.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

namespace {

const std::string packFolder = std::string(TESSIVAR_SOURCE_DIR) + "/assets/Levels Packs";

// rate: the levels are rated too, as tlpcheck --rate rates them; difficulty rises through each pack, never
// falling more than one step from a level to the next, and the ratings shipped beside it are these.
void checkEveryShippedLevel(double fps, bool rate)
{
    const std::vector<std::string> packs = listFiles(packFolder, ".tlp");
    ASSERT_FALSE(packs.empty());
    CheckOptions options;
    options.fps = fps;   // and tlpcheck's other defaults, so that its ratings are these
    options.rate = rate;
    for (const std::string& pack : packs) {
        const PackVerdict verdict = checkPack(packFolder + "/" + pack, options);
        ASSERT_TRUE(verdict.read.ok()) << verdict.read.message;
        ASSERT_FALSE(verdict.levels.empty()) << pack;
        std::vector<int> ratings;
        for (const LevelVerdict& level : verdict.levels) {
            const std::string line = verdictLine(pack, level);
            printf("%.0f fps: %s\n", fps, line.c_str());
            EXPECT_EQ(level.cleared, level.runs) << line;
            EXPECT_EQ(level.runs, 16) << line;
            EXPECT_LE(level.longestSeconds, 600) << line;
            if (rate && !ratings.empty()) {
                EXPECT_GE(level.rating, ratings.back() - 1) << line;
            }
            ratings.push_back(level.rating);
        }
        if (rate) {
            EXPECT_EQ(readPackRatings(packFolder + "/" + pack), ratings)
                << pack << ": rate it again with tlpcheck --rate";
        }
    }
}

TEST(ShippedLevels, EveryRunClearsEveryLevelAtSeventyFramesASecond) { checkEveryShippedLevel(70, true); }

TEST(ShippedLevels, EveryRunClearsEveryLevelAtTenFramesASecond) { checkEveryShippedLevel(10, false); }

// A level a designer might draw: colours, grey bricks and iron over the top
// half, no breakable brick walled in.
PackLevel randomReachableLevel(std::mt19937& random)
{
    PackLevel level;
    level.greyHits = std::uniform_int_distribution<int>(1, 3)(random);
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_int_distribution<int> colour(Red, Grey - 1);
    for (;;) {
        for (int cell = 0; cell < GRID_CELLS; ++cell) {
            const int roll = percent(random);
            const bool upper = cell / GRID_COLUMNS < GRID_ROWS / 2;
            level.bricks[cell] = !upper || roll < 45 ? 0 : roll < 78 ? colour(random) : roll < 88 ? Grey : Iron;
        }
        int row = 0;
        int column = 0;
        if (!findUnreachableBrick(level, row, column)) {
            return level;
        }
    }
}

TEST(RandomLevels, EveryRunClearsEveryReachableLevelWithinTenMinutes)
{
    std::mt19937 random(26);
    CheckOptions options;
    options.seeds = 2;
    options.minutes = 10;
    for (int n = 1; n <= 6; ++n) {
        const PackLevel level = randomReachableLevel(random);
        for (const double fps : {70.0, 10.0}) {
            options.fps = fps;
            const LevelVerdict verdict = checkLevel(level, n, options);
            const std::string line = verdictLine("random", verdict);
            printf("%.0f fps: %s\n", fps, line.c_str());
            EXPECT_EQ(verdict.cleared, verdict.runs) << line;
        }
    }
}

// Frames of exactly one length let a ball settle into a loop that a
// player's uneven frames would break; the aiming bot still ends these.
TEST(ShippedLevels, FramesOfExactlyOneLengthStillEndEveryLevel)
{
    for (const int number : {14, 30}) {
        PackLevel level;
        level.levelNumber = number;
        ASSERT_TRUE(readPackLevel(packFolder + "/classic.tlp", level).ok());
        for (unsigned int seed = 1; seed <= 3; ++seed) {
            BotOptions options;
            options.seed = seed;
            options.maxSeconds = 10 * 60;
            options.lives = 1000000;
            const BotResult result = playLevelWithBot(level, options);
            EXPECT_TRUE(result.cleared) << "classic " << number << " seed " << seed << ": " << result.failure;
        }
    }
}

TEST(RandomLevels, RatingsAreTheSameOnEveryRunAndForAnyNumberOfJobs)
{
    std::mt19937 random(7);
    const PackLevel level = randomReachableLevel(random);
    CheckOptions options;
    options.seeds = 2;
    options.rate = true;
    options.jobs = 1;
    const LevelVerdict one = checkLevel(level, 1, options);
    options.jobs = 3;
    const LevelVerdict three = checkLevel(level, 1, options);
    EXPECT_GE(one.rating, RATING_EASIEST);
    EXPECT_EQ(verdictLine("random", one), verdictLine("random", three));
}

}   // namespace
