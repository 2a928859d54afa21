// Whole levels played by the seeded bot: catches faults that only show when
// balls, bricks, capsules and lives interact over thousands of frames.
#include "game/playfield/bot.h"
#include "game/playfield/check.h"

#include "game/playfield/playfield.h"
#include "levelpack/levelpack.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string starterPack = std::string(TESSIVAR_SOURCE_DIR) + "/assets/Levels Packs/starter.tlp";

int levelsIn(const std::string& path)
{
    PackLevel first;
    first.levelNumber = 0;
    return readPackLevel(path, first).ok() ? first.levelCount : 0;
}

// Counts the frames in which ballCount does not match the active slots.
void countSlotMismatches(const PlayField& field, void* context)
{
    int active = 0;
    for (const Ball& ball : field.balls) {
        active += ball.active;
    }
    *static_cast<int*>(context) += active != field.ballCount;
}

TEST(Bot, ClearsEveryStarterLevelWithAndWithoutFallMode)
{
    const int count = levelsIn(starterPack);
    ASSERT_GT(count, 0) << starterPack;
    for (bool fallMode : {false, true}) {
        for (int level = 1; level <= count; ++level) {
            for (unsigned int seed : {1u, 2u}) {
                BotOptions options;
                options.seed = seed;
                options.fallMode = fallMode;
                PackLevel read;
                read.levelNumber = level;
                ASSERT_TRUE(readPackLevel(starterPack, read).ok());
                int mismatches = 0;
                const BotResult result = playLevelWithBot(read, options, countSlotMismatches, &mismatches);
                EXPECT_TRUE(result.cleared)
                    << "level " << level << " seed " << seed << " fall mode " << fallMode << ": " << result.failure;
                EXPECT_GT(result.score, 0);
                EXPECT_EQ(mismatches, 0) << "ballCount matches the active slots";
            }
        }
    }
}

TEST(Bot, SameSeedPlaysTheSameGame)
{
    BotOptions options;
    options.seed = 5;
    options.fallMode = true;
    const BotResult first = playPackLevelWithBot(starterPack, 1, options);
    const BotResult second = playPackLevelWithBot(starterPack, 1, options);
    EXPECT_TRUE(first.loaded);
    EXPECT_EQ(first.frames, second.frames);
    EXPECT_EQ(first.score, second.score);
    EXPECT_EQ(first.cleared, second.cleared);
}

TEST(Bot, MissingPackIsAFailureNotAnExit)
{
    const BotResult result = playPackLevelWithBot("/nonexistent/pack.tlp", 1);
    EXPECT_FALSE(result.loaded);
    EXPECT_FALSE(result.cleared);
    EXPECT_FALSE(result.failure.empty());
}

}   // namespace

// ---------------------------------------------------------------------------
// The pack checker's verdicts
// ---------------------------------------------------------------------------

TEST(Check, SaysWhichLevelsAreEmptyAndWhichBricksIronWallsIn)
{
    CheckOptions options;
    options.seeds = 1;
    options.fall = FallRuns::Off;
    options.minutes = 0.5;

    PackLevel level;
    level.bricks[3] = Iron;
    const LevelVerdict empty = checkLevel(level, 4, options);
    EXPECT_EQ(verdictLine("p.tlp", empty), "p.tlp level 4: cleared 1/1 runs, median 2.5 s, longest 2.5 s, empty")
        << "cleared as the ready phase ends";

    // A red brick boxed in by the iron of all eight cells around it, a reachable one elsewhere.
    const int boxed = 5 * GRID_COLUMNS + 5;
    for (int dr = -1; dr <= 1; ++dr) {
        for (int dc = -1; dc <= 1; ++dc) {
            level.bricks[boxed + dr * GRID_COLUMNS + dc] = Iron;
        }
    }
    level.bricks[boxed] = Red;
    level.bricks[15 * GRID_COLUMNS + 2] = Blue;
    int row = 0;
    int column = 0;
    ASSERT_TRUE(findUnreachableBrick(level, row, column));
    EXPECT_EQ(row, 6);
    EXPECT_EQ(column, 6);
    const LevelVerdict walled = checkLevel(level, 1, options);
    EXPECT_EQ(walled.cleared, 0);
    EXPECT_EQ(verdictLine("p.tlp", walled),
              "p.tlp level 1: cleared 0/1 runs, median 0.0 s, longest 0.0 s, unreachable: row 6 column 6");

    // Open a corner and a ball can hit it across that corner.
    level.bricks[boxed + GRID_COLUMNS + 1] = Empty;
    EXPECT_FALSE(findUnreachableBrick(level, row, column));
}
