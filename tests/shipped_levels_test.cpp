// Every level of every shipped pack is cleared by every run of the pack
// checker's engine: seeds 1-8, fall mode off and on, at 70 and at 10 frames a
// second. Prints each level's verdict line as tlpcheck would.
#include "game/playfield/check.h"

#include "platform/dirlist.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

const std::string packFolder = std::string(TESSIVAR_SOURCE_DIR) + "/assets/Levels Packs";

void checkEveryShippedLevel(double fps)
{
    const std::vector<std::string> packs = listFiles(packFolder, ".tlp");
    ASSERT_FALSE(packs.empty());
    CheckOptions options;
    options.fps = fps;
    for (const std::string& pack : packs) {
        const PackVerdict verdict = checkPack(packFolder + "/" + pack, options);
        ASSERT_TRUE(verdict.read.ok()) << verdict.read.message;
        ASSERT_FALSE(verdict.levels.empty()) << pack;
        for (const LevelVerdict& level : verdict.levels) {
            const std::string line = verdictLine(pack, level);
            printf("%.0f fps: %s\n", fps, line.c_str());
            EXPECT_EQ(level.cleared, level.runs) << line;
            EXPECT_EQ(level.runs, 16) << line;
        }
    }
}

TEST(ShippedLevels, EveryRunClearsEveryLevelAtSeventyFramesASecond) { checkEveryShippedLevel(70); }

TEST(ShippedLevels, EveryRunClearsEveryLevelAtTenFramesASecond) { checkEveryShippedLevel(10); }

}   // namespace
