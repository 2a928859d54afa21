// The level packs and config.ini we ship: canonical, complete, in range, and
// no level that iron makes impossible to clear.
#include "levelpack/levelpack.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string PACK_DIR = TESSIVAR_PACK_DIR;
constexpr int IRON = 9;

std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct ShippedPack {
    int levelCount = 0;
    std::vector<PackLevel> levels;
};

// Reads every level through the shared reader and checks the pack round-trips.
ShippedPack loadPack(const std::string& name)
{
    ShippedPack pack;
    const std::string path = PACK_DIR + "/" + name;
    const std::string text = readText(path);
    PackLevel first;
    PackResult r = readPackLevel(path, first);
    EXPECT_TRUE(r.ok()) << name << ": " << r.message;
    if (!r.ok()) return pack;
    pack.levelCount = first.levelCount;
    for (int k = 1; k <= pack.levelCount; ++k) {
        PackLevel level;
        level.levelNumber = k;
        r = readPackLevel(path, level);
        EXPECT_TRUE(r.ok()) << name << " level " << k << ": " << r.message;
        if (!r.ok()) return pack;
        level.levelCount = pack.levelCount;
        // Saving a level unchanged must give the file back byte for byte: the
        // pack is in canonical layout and its numbers are what the editor writes.
        std::string rewritten;
        r = rewritePackText(text, level, path, rewritten);
        EXPECT_TRUE(r.ok() && rewritten == text) << name << " level " << k << " is not in canonical layout";
        pack.levels.push_back(level);
    }
    // Nothing beyond the counted levels.
    std::istringstream in(text);
    long values = 0, v = 0;
    while (in >> v)
        ++values;
    EXPECT_EQ(values, 1 + long(LEVEL_VALUES) * pack.levelCount) << name << ": values beyond the last level";
    return pack;
}

// Cells the ball can reach from below, breaking through anything but iron.
std::set<int> reachable(const PackLevel& level)
{
    std::set<int> seen;
    std::vector<int> todo;
    for (int c = 0; c < GRID_COLUMNS; ++c) {
        int i = (GRID_ROWS - 1) * GRID_COLUMNS + c;
        if (level.bricks[i] != IRON) {
            seen.insert(i);
            todo.push_back(i);
        }
    }
    while (!todo.empty()) {
        int i = todo.back();
        todo.pop_back();
        int row = i / GRID_COLUMNS, col = i % GRID_COLUMNS;
        const int next[4][2] = {{row - 1, col}, {row + 1, col}, {row, col - 1}, {row, col + 1}};
        for (const auto& n : next) {
            if (n[0] < 0 || n[0] >= GRID_ROWS || n[1] < 0 || n[1] >= GRID_COLUMNS) continue;
            int j = n[0] * GRID_COLUMNS + n[1];
            if (level.bricks[j] != IRON && seen.insert(j).second) todo.push_back(j);
        }
    }
    return seen;
}

void expectPlayable(const std::string& name, const ShippedPack& pack)
{
    for (size_t k = 0; k < pack.levels.size(); ++k) {
        const PackLevel& level = pack.levels[k];
        SCOPED_TRACE(name + " level " + std::to_string(k + 1));
        EXPECT_GE(level.greyHits, 1);
        EXPECT_LE(level.greyHits, 4);
        EXPECT_GE(level.bonusChance, 0);
        EXPECT_LE(level.bonusChance, 100);
        EXPECT_GE(level.background, 1);
        EXPECT_LE(level.background, 4);
        std::set<int> open = reachable(level);
        int breakable = 0;
        for (int i = 0; i < GRID_CELLS; ++i) {
            if (level.bricks[i] == 0 || level.bricks[i] == IRON) continue;
            ++breakable;
            EXPECT_TRUE(open.count(i)) << "brick at row " << i / GRID_COLUMNS << ", column " << i % GRID_COLUMNS
                                       << " is sealed in by iron";
        }
        EXPECT_GT(breakable, 0) << "nothing to clear";
    }
}

TEST(ShippedPacks, EveryPackIsCanonicalAndEveryLevelClearable)
{
    for (const char* name : {"classic.tlp", "arcade.tlp", "starter.tlp"}) {
        ShippedPack pack = loadPack(name);
        EXPECT_GT(pack.levelCount, 0) << name;
        EXPECT_EQ(int(pack.levels.size()), pack.levelCount) << name;
        expectPlayable(name, pack);
    }
}

TEST(ShippedPacks, MainPackIsLongAndUsesEveryBrickAndBackground)
{
    ShippedPack pack = loadPack("classic.tlp");
    EXPECT_GE(pack.levelCount, 30);
    std::set<int> codes, backgrounds;
    for (const PackLevel& level : pack.levels) {
        backgrounds.insert(level.background);
        for (int code : level.bricks)
            if (code) codes.insert(code);
    }
    EXPECT_EQ(codes, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(backgrounds, (std::set<int>{1, 2, 3, 4}));
    // The ramp: the last level asks for more grey hits and gives fewer capsules than the first.
    ASSERT_GE(pack.levels.size(), 30u);
    EXPECT_LT(pack.levels.front().greyHits, pack.levels.back().greyHits);
    EXPECT_GT(pack.levels.front().bonusChance, pack.levels.back().bonusChance);
}

TEST(ShippedPacks, DefaultConfigSelectsTheMainPack)
{
    EXPECT_EQ(readText(PACK_DIR + "/../config.ini"), "1024 768\n1\n0\nclassic.tlp\n");
}

}   // namespace
