// Whole levels played by the seeded bot: catches faults that only show when
// balls, bricks, capsules and lives interact over thousands of frames.
#include "game/playfield/bot.h"

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

int activeSlots()
{
    int active = 0;
    for (const Ball& ball : field.balls) {
        active += ball.active;
    }
    return active;
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
                const BotResult result = playPackLevelWithBot(starterPack, level, options);
                EXPECT_TRUE(result.cleared) << "level " << level << " seed " << seed << " fall mode " << fallMode
                                            << ": " << result.failure;
                EXPECT_GT(result.score, 0);
                EXPECT_EQ(field.ballCount, activeSlots()) << "ballCount matches the active slots";
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
