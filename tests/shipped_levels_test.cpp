// Every level of every shipped pack can be cleared: the seeded bot plays each
// one through the real rules. Prints the time to clear per level.
#include "game/playfield/bot.h"

#include "levelpack/levelpack.h"
#include "platform/dirlist.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

const std::string packFolder = std::string(TESSIVAR_SOURCE_DIR) + "/assets/Levels Packs";

int levelsIn(const std::string& path)
{
    PackLevel first;
    first.levelNumber = 0;
    return readPackLevel(path, first).ok() ? first.levelCount : 0;
}

}   // namespace

TEST(ShippedLevels, TheBotClearsEveryLevel)
{
    const std::vector<std::string> packs = listFiles(packFolder, ".tlp");
    ASSERT_FALSE(packs.empty());
    for (const std::string& pack : packs) {
        const std::string path = packFolder + "/" + pack;
        const int count = levelsIn(path);
        ASSERT_GT(count, 0) << path;
        for (int level = 1; level <= count; ++level) {
            BotResult best;
            unsigned int seedUsed = 0;
            for (unsigned int seed = 1; seed <= 4 && !best.cleared; ++seed) {
                BotOptions options;
                options.seed = seed;
                options.maxSteps = 200000;
                best = playLevelWithBot(path, level, options);
                seedUsed = seed;
            }
            EXPECT_TRUE(best.cleared) << pack << " level " << level << ": " << best.failure;
            printf("%s level %2d: %s in %6.1f s of play (seed %u, %d lives lost)\n", pack.c_str(), level,
                   best.cleared ? "cleared" : "NOT cleared", best.steps / 70.0, seedUsed, best.livesLost);
        }
    }
}
