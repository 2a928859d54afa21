// Level pack format: reading by position, new packs, the rewrite pass and the safe save.
#include "levelpack/levelpack.h"
#include "levelpack/packimport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class PackFiles : public ::testing::Test {
protected:
    fs::path dir;

    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("levelpack_test_" + std::to_string(getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::permissions(dir, fs::perms::owner_all, ignored);
        fs::remove_all(dir, ignored);
    }
    std::string path(const std::string& name) const { return (dir / name).string(); }
    void write(const std::string& name, const std::string& text) const
    {
        std::ofstream(path(name), std::ios::binary) << text;
    }
    std::string read(const std::string& name) const
    {
        std::ifstream in(path(name), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // Entries of folder, scratch files included: a write leaves none behind.
    static int filesIn(const fs::path& folder)
    {
        return static_cast<int>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    }
};

// A pack of the given levels, each header {number, grey, bonus, background}
// and every brick code set to fill, written in the canonical layout.
struct LevelSpec {
    int number, greyHits, bonusChance, background, fill;
};
std::string packText(int count, const std::vector<LevelSpec>& levels)
{
    std::string text = std::to_string(count) + "\n";
    for (const LevelSpec& l : levels) {
        text += std::to_string(l.number) + " " + std::to_string(l.greyHits) + " " + std::to_string(l.bonusChance) +
                " " + std::to_string(l.background) + "\n";
        for (int row = 0; row < GRID_ROWS; ++row) {
            for (int column = 0; column < GRID_COLUMNS; ++column) {
                text += std::to_string(l.fill) + (column == GRID_COLUMNS - 1 ? "\n" : " ");
            }
        }
    }
    return text;
}

const std::string kEmptyRow = "0 0 0 0 0 0 0 0 0 0 0\n";

}   // namespace

// ---------------------------------------------------------------------------
// New packs
// ---------------------------------------------------------------------------

TEST_F(PackFiles, NewPackIsCanonicalByteForByte)
{
    std::string expected = "1\n1 1 50 1\n";
    for (int i = 0; i < GRID_ROWS; ++i) {
        expected += kEmptyRow;
    }
    EXPECT_EQ(newPackText(1), expected);

    ASSERT_TRUE(writeNewPack(path("three.tlp"), 3).ok());
    const std::string three = read("three.tlp");
    EXPECT_EQ(std::count(three.begin(), three.end(), '\n'), 1 + 23 * 3);
    EXPECT_EQ(three.substr(0, 2), "3\n");
    EXPECT_NE(three.find("\n3 1 50 1\n"), std::string::npos);
    EXPECT_EQ(three.find(" \n"), std::string::npos) << "never a space before a newline";
}

TEST_F(PackFiles, NewPackInMissingFolderFails)
{
    const PackResult result = writeNewPack(path("no/such/folder/x.tlp"), 1);
    EXPECT_EQ(result.status, PackStatus::WriteError);
    EXPECT_NE(result.message.find("x.tlp"), std::string::npos);
}

// ---------------------------------------------------------------------------
// Reading a level
// ---------------------------------------------------------------------------

TEST_F(PackFiles, FirstReadTakesCountAndNumberFromTheFile)
{
    write("p.tlp", packText(2, {{5, 2, 30, 3, 1}, {6, 1, 50, 1, 2}}));
    PackLevel level;
    ASSERT_TRUE(readPackLevel(path("p.tlp"), level).ok());
    EXPECT_EQ(level.levelCount, 2);
    EXPECT_EQ(level.levelNumber, 5);
    EXPECT_EQ(level.greyHits, 2);
    EXPECT_EQ(level.bonusChance, 30);
    EXPECT_EQ(level.background, 3);
    EXPECT_EQ(level.bricks[0], 1);
    EXPECT_EQ(level.bricks[GRID_CELLS - 1], 1);
}

TEST_F(PackFiles, LaterReadsGoByPositionNotByStoredNumber)
{
    write("p.tlp", packText(3, {{7, 1, 10, 1, 1}, {8, 2, 20, 2, 2}, {9, 3, 30, 3, 3}}));
    PackLevel level;
    level.levelCount = 42;
    level.levelNumber = 3;
    ASSERT_TRUE(readPackLevel(path("p.tlp"), level).ok());
    EXPECT_EQ(level.levelNumber, 3) << "the stored number 9 is never taken";
    EXPECT_EQ(level.levelCount, 42) << "the count is not taken again";
    EXPECT_EQ(level.greyHits, 3);
    EXPECT_EQ(level.bricks[100], 3);

    level.levelNumber = 1;
    ASSERT_TRUE(readPackLevel(path("p.tlp"), level).ok());
    EXPECT_EQ(level.greyHits, 1);
    EXPECT_EQ(level.bricks[5], 1);
}

TEST_F(PackFiles, ReadingAcceptsAnyWhiteSpaceSignsAndLeadingZeros)
{
    std::string text = packText(1, {{1, 4, 25, 2, 6}});
    // CR LF line ends, tabs, a plus sign and leading zeros all read the same.
    std::string odd;
    for (char c : text) {
        odd += (c == '\n') ? std::string("\r\n") : (c == ' ' ? std::string("\t") : std::string(1, c));
    }
    odd.replace(odd.find("4\t25"), 4, "+004\t025");
    write("odd.tlp", odd);
    PackLevel level;
    ASSERT_TRUE(readPackLevel(path("odd.tlp"), level).ok());
    EXPECT_EQ(level.greyHits, 4);
    EXPECT_EQ(level.bonusChance, 25);
    EXPECT_EQ(level.bricks[241], 6);
}

TEST_F(PackFiles, FormatErrorsSayWhatAndWhereAndLeaveTheLevelAlone)
{
    PackLevel before;
    before.levelNumber = 0;
    before.greyHits = 77;
    before.bricks[10] = 4;

    struct Case {
        const char* name;
        std::string text;
        int levelNumber;
        std::vector<std::string> mentions;
    };
    std::string full = packText(2, {{1, 1, 50, 1, 0}, {2, 1, 50, 1, 0}});
    std::string notInteger = full;
    notInteger.replace(notInteger.find("1 1 50 1\n") + 9, 1, "x");   // level 1, row 1, column 1
    std::string badCode = full;
    badCode.replace(badCode.find("2 1 50 1\n") + 9, 1, "10");   // level 2, row 1, column 1
    std::string huge = full;
    huge.replace(huge.find("1 1 50 1\n") + 2, 1, "99999999999");
    std::string raw = full;   // bytes a terminal must not see raw, a NUL among them
    raw.replace(raw.find("1 1 50 1\n") + 9, 1, std::string("\x1b[2J\0z", 6));
    const std::vector<Case> cases = {
        {"truncated", full.substr(0, full.size() / 2 + 40), 2, {"level 2", "ends before"}},
        {"past the last", full, 3, {"level 3", "ends before"}},
        {"empty file", "", 0, {"ends before the level count"}},
        {"not an integer", notInteger, 0, {"level 1", "row 1 column 1", "\"x\""}},
        {"code outside 0..9", badCode, 2, {"level 2", "row 1 column 1", "brick code 10"}},
        {"out of range", huge, 0, {"grey hits", "out of range"}},
        {"control bytes", raw, 0, {"row 1 column 1", "\"\\x1B[2J\\x00z\""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        write("bad.tlp", c.text);
        PackLevel level = before;
        level.levelNumber = c.levelNumber;
        const PackResult result = readPackLevel(path("bad.tlp"), level);
        EXPECT_EQ(result.status, PackStatus::FormatError);
        EXPECT_NE(result.message.find("bad.tlp"), std::string::npos) << result.message;
        for (const std::string& word : c.mentions) {
            EXPECT_NE(result.message.find(word), std::string::npos) << result.message;
        }
        EXPECT_EQ(level.greyHits, 77) << "never a half-filled level";
        EXPECT_EQ(level.bricks[10], 4);
        EXPECT_EQ(level.levelNumber, c.levelNumber);
    }
}

TEST_F(PackFiles, OnlyRegularFilesAreOpenedAsPacks)
{
    PackLevel level;
    EXPECT_EQ(readPackLevel(path("missing.tlp"), level).status, PackStatus::CannotOpen);
    // A FIFO would block the open until someone writes to it; a folder would read as an empty file.
    ASSERT_EQ(mkfifo(path("fifo.tlp").c_str(), 0644), 0);
    fs::create_directory(path("folder.tlp"));
    for (const char* name : {"fifo.tlp", "folder.tlp"}) {
        const PackResult result = readPackLevel(path(name), level);
        EXPECT_EQ(result.status, PackStatus::CannotOpen);
        EXPECT_NE(result.message.find(name), std::string::npos) << result.message;
        EXPECT_NE(result.message.find("not a pack"), std::string::npos) << result.message;
        PackScan scan;
        EXPECT_EQ(openPackScan(path(name), scan).status, PackStatus::CannotOpen);
    }
}

// A whole-pack reader goes through the file once, level after level, and stops where the file does,
// whatever its count line claims.
TEST_F(PackFiles, AScanReadsEachLevelOnceAndEndsWithTheFile)
{
    std::string text = packText(3, {{9, 2, 40, 3, 1}, {8, 1, 50, 1, 2}, {7, 1, 50, 1, 3}});
    text.replace(0, 1, "2147483647");
    write("p.tlp", text);
    PackScan scan;
    ASSERT_TRUE(openPackScan(path("p.tlp"), scan).ok());
    EXPECT_EQ(scan.levelCount, 2147483647);
    PackLevel level;
    PackResult result;
    for (int k = 1; k <= 3; ++k) {
        ASSERT_TRUE(readNextLevel(scan, level, result)) << result.message;
        EXPECT_EQ(level.levelNumber, k) << "numbered by position";
        EXPECT_EQ(level.bricks[241], k);
    }
    EXPECT_EQ(level.levelCount, 2147483647);
    EXPECT_FALSE(readNextLevel(scan, level, result));
    EXPECT_TRUE(result.ok()) << "the clean end of the file";
    closePackScan(scan);

    write("cut.tlp", text.substr(0, text.size() - 5));
    ASSERT_TRUE(openPackScan(path("cut.tlp"), scan).ok());
    while (readNextLevel(scan, level, result)) {}
    EXPECT_EQ(result.status, PackStatus::FormatError);
    EXPECT_NE(result.message.find("ends before level 3, brick row 22"), std::string::npos) << result.message;
    EXPECT_EQ(scan.levelsRead, 2);
    closePackScan(scan);
}

TEST(PackHeaders, ValuesOutOfRangeAreWarnedWithWhatPlayMakesOfThem)
{
    PackLevel level;
    EXPECT_TRUE(headerWarnings(level).empty());
    level.greyHits = -5;
    level.bonusChance = -20;
    level.background = -7;
    const std::vector<std::string> warnings = headerWarnings(level);
    ASSERT_EQ(warnings.size(), 3u);
    EXPECT_EQ(warnings[0], "grey hits -5 is below 1: played as 1");
    EXPECT_EQ(warnings[1], "bonus chance -20 is below 0: played as 0");
    EXPECT_EQ(warnings[2], "background -7 is not 1 to 4: played as 1");
    level = PackLevel{};
    level.bonusChance = 250;
    EXPECT_EQ(headerWarnings(level), std::vector<std::string>{"bonus chance 250 is above 100: played as 100"});
}

// ---------------------------------------------------------------------------
// The rewrite pass
// ---------------------------------------------------------------------------

TEST_F(PackFiles, SavingAnUnchangedLevelReproducesTheFile)
{
    const std::string text = packText(3, {{1, 2, 40, 1, 1}, {2, 3, 45, 2, 0}, {3, 1, 50, 4, 9}});
    write("p.tlp", text);
    for (int k = 1; k <= 3; ++k) {
        PackLevel level;
        level.levelNumber = k;
        level.levelCount = 3;
        ASSERT_TRUE(readPackLevel(path("p.tlp"), level).ok());
        ASSERT_TRUE(savePackLevel(path("p.tlp"), level).ok());
        EXPECT_EQ(read("p.tlp"), text) << "level " << k;
        EXPECT_EQ(filesIn(dir), 1) << "no scratch file left";
    }
}

// The old pack is read in 64 KiB chunks: numbers and errors that straddle a
// chunk's end must read exactly as in memory.
TEST_F(PackFiles, LargePacksSaveAcrossReadChunks)
{
    std::vector<LevelSpec> levels;
    for (int k = 1; k <= 300; ++k) {   // about 150 KB
        levels.push_back({k, 1 + k % 5, 100 + k, 1 + k % 4, k % 10});
    }
    const std::string text = packText(300, levels);
    write("big.tlp", text);
    PackLevel level;
    level.levelNumber = 250;
    level.levelCount = 300;
    ASSERT_TRUE(readPackLevel(path("big.tlp"), level).ok());
    EXPECT_EQ(level.greyHits, 1);
    EXPECT_EQ(level.bricks[GRID_CELLS - 1], 0);
    ASSERT_TRUE(savePackLevel(path("big.tlp"), level).ok());
    EXPECT_TRUE(read("big.tlp") == text);

    // A bad token just past the first chunk is reported as in memory.
    std::string broken = text;
    const size_t at = broken.find(' ', 65536 - 1);
    broken.replace(at + 1, 1, "x");
    write("broken.tlp", broken);
    std::string ignored;
    const PackResult inMemory = rewritePackText(broken, level, path("broken.tlp"), ignored);
    const PackResult fromFile = savePackLevel(path("broken.tlp"), level);
    EXPECT_EQ(fromFile.status, PackStatus::FormatError);
    EXPECT_EQ(fromFile.message, inMemory.message);
    EXPECT_TRUE(read("broken.tlp") == broken);
}

TEST_F(PackFiles, SavingReplacesByPositionAndCanonicalisesEverything)
{
    // Two levels on one line, tabs, CR LF, a plus sign and leading zeros.
    std::string messy = "2\r\n1\t1 50 1 ";
    for (int i = 0; i < GRID_CELLS; ++i) {
        messy += (i == 3 ? "+007" : "0") + std::string(i % 50 == 49 ? "\r\n" : " ");
    }
    messy += "\t9 2 0005 3 ";
    for (int i = 0; i < GRID_CELLS; ++i) {
        messy += "1 ";
    }
    write("messy.tlp", messy);

    PackLevel edited;
    edited.levelCount = 2;
    edited.levelNumber = 2;
    edited.greyHits = 6;
    edited.bonusChance = 95;
    edited.background = 4;
    edited.bricks[0] = 8;
    ASSERT_TRUE(savePackLevel(path("messy.tlp"), edited).ok());

    std::string expectedLevel2 = "2 6 95 4\n8 0 0 0 0 0 0 0 0 0 0\n";
    for (int i = 1; i < GRID_ROWS; ++i) {
        expectedLevel2 += kEmptyRow;
    }
    std::string expectedLevel1 = "1 1 50 1\n0 0 0 7 0 0 0 0 0 0 0\n";
    for (int i = 1; i < GRID_ROWS; ++i) {
        expectedLevel1 += kEmptyRow;
    }
    EXPECT_EQ(read("messy.tlp"), "2\n" + expectedLevel1 + expectedLevel2);
}

TEST_F(PackFiles, SavingKeepsLevelsBeyondTheCountAndWritesTheCallersCount)
{
    const std::string text = packText(1, {{1, 1, 50, 1, 1}, {2, 1, 50, 1, 2}, {3, 1, 50, 1, 3}});
    write("p.tlp", text);
    PackLevel level;
    ASSERT_TRUE(readPackLevel(path("p.tlp"), level).ok());
    level.bricks[0] = 5;
    ASSERT_TRUE(savePackLevel(path("p.tlp"), level).ok());
    std::string expected = text;
    expected.replace(expected.find("1 1 50 1\n1 "), 11, "1 1 50 1\n5 ");
    EXPECT_EQ(read("p.tlp"), expected);

    level.levelCount = 3;
    ASSERT_TRUE(savePackLevel(path("p.tlp"), level).ok());
    EXPECT_EQ(read("p.tlp").substr(0, 2), "3\n");
}

TEST_F(PackFiles, SavingTheFirstAndLastLevelLandsInPlace)
{
    const std::string text = packText(3, {{1, 1, 50, 1, 1}, {2, 1, 50, 1, 2}, {3, 1, 50, 1, 3}});
    PackLevel level;
    level.levelCount = 3;
    level.greyHits = 9;
    level.bricks[0] = 7;

    std::string out;
    level.levelNumber = 1;
    ASSERT_TRUE(rewritePackText(text, level, "p", out).ok());
    EXPECT_EQ(out.substr(0, 20), "3\n1 9 50 1\n7 0 0 0 0");

    level.levelNumber = 3;
    ASSERT_TRUE(rewritePackText(text, level, "p", out).ok());
    const size_t last = out.rfind("3 9 50 1\n7 0");
    ASSERT_NE(last, std::string::npos);
    EXPECT_EQ(out.substr(last - 6, 6), "2 2 2\n") << "right after level 2's last row";
}

// ---------------------------------------------------------------------------
// Failed saves leave the pack byte-identical and no scratch file
// ---------------------------------------------------------------------------

TEST_F(PackFiles, FailedSavesLoseNothing)
{
    const std::string good = packText(2, {{1, 1, 50, 1, 1}, {2, 1, 50, 1, 2}});
    PackLevel level;
    level.levelCount = 2;
    level.levelNumber = 2;
    level.bricks[0] = 3;

    struct Case {
        const char* name;
        std::string old;
        int levelNumber;
        fs::perms mode;
        PackStatus status;
        const char* says;
    };
    std::string truncated = good.substr(0, good.size() - 30);
    std::string junk = good;
    junk.replace(junk.find("2 1 50 1\n") + 9, 1, "?");
    const fs::perms writable = fs::perms(0644);
    const std::vector<Case> cases = {
        {"truncated old pack", truncated, 2, writable, PackStatus::FormatError, "ends"},
        {"junk in a copied level", junk, 1, writable, PackStatus::FormatError, "\"?\""},
        {"level past the last", good, 3, writable, PackStatus::FormatError, "ends before level 3"},
        // Whoever runs the test, the superuser too: a pack without write permission is left alone.
        {"read-only pack", good, 2, fs::perms(0444), PackStatus::WriteError, "p.tlp: it is read-only (mode 0444)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        write("p.tlp", c.old);
        fs::permissions(path("p.tlp"), c.mode);
        level.levelNumber = c.levelNumber;
        const PackResult result = savePackLevel(path("p.tlp"), level);
        EXPECT_EQ(result.status, c.status) << result.message;
        EXPECT_NE(result.message.find(c.says), std::string::npos) << result.message;
        EXPECT_EQ(read("p.tlp"), c.old);
        EXPECT_EQ(fs::status(path("p.tlp")).permissions(), c.mode);
        EXPECT_EQ(filesIn(dir), 1) << "no scratch file left";
        fs::permissions(path("p.tlp"), writable);
    }

    const PackResult missing = savePackLevel(path("gone.tlp"), level);
    EXPECT_EQ(missing.status, PackStatus::CannotOpen);
    EXPECT_FALSE(fs::exists(path("gone.tlp")));
    EXPECT_EQ(filesIn(dir), 1);
}

TEST_F(PackFiles, LinksAreWrittenThroughAndNeverFollowedAtAScratchName)
{
    // The pack is a link into another folder: the file it leads to gets the save, the link stays a link.
    fs::create_directories(path("real"));
    const std::string text = packText(1, {{1, 1, 50, 1, 1}});
    write("real/p.tlp", text);
    fs::permissions(path("real/p.tlp"), fs::perms(0640));
    fs::create_symlink("real/p.tlp", path("p.tlp"));
    // Links where the old fixed scratch names were, to a file that must stay as it is.
    write("victim", "keep");
    fs::create_symlink(path("victim"), path("temp.dat"));
    fs::create_symlink(path("victim"), path("real/temp.dat"));
    PackLevel level;
    ASSERT_TRUE(readPackLevel(path("p.tlp"), level).ok());
    level.bricks[0] = 6;
    ASSERT_TRUE(savePackLevel(path("p.tlp"), level).ok());
    EXPECT_TRUE(fs::is_symlink(path("p.tlp")));
    EXPECT_EQ(fs::read_symlink(path("p.tlp")), "real/p.tlp");
    EXPECT_EQ(read("real/p.tlp").substr(0, 12), "1\n1 1 50 1\n6");
    EXPECT_EQ(fs::status(path("real/p.tlp")).permissions(), fs::perms(0640)) << "the pack keeps its mode";
    EXPECT_EQ(read("victim"), "keep");
    EXPECT_TRUE(fs::is_symlink(path("temp.dat")));
    EXPECT_EQ(filesIn(dir / "real"), 2) << "no scratch file left beside the pack";
}

TEST_F(PackFiles, ReadOnlyFolderRefusesTheSaveWithoutLoss)
{
    const std::string good = packText(1, {{1, 1, 50, 1, 1}});
    write("p.tlp", good);
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    PackLevel level;
    level.levelCount = 1;
    level.levelNumber = 1;
    const PackResult result = savePackLevel(path("p.tlp"), level);
    EXPECT_EQ(result.status, PackStatus::WriteError);
    EXPECT_NE(result.message.find("is not writable"), std::string::npos) << result.message;
    fs::permissions(dir, fs::perms::owner_all);
    EXPECT_EQ(read("p.tlp"), good);
    EXPECT_EQ(filesIn(dir), 1);
}

// Two programs saving into one folder at once, many times: each of its own pack and each of its own level
// of a shared pack. They take turns, so every save that says it is done is in the pack, whole.
TEST_F(PackFiles, ConcurrentWritersEachKeepTheirWholeResult)
{
    const int rounds = 100;
    const std::string start = packText(2, {{1, 1, 50, 1, 0}, {2, 1, 50, 1, 0}});
    write("shared.tlp", start);
    write("own1.tlp", start);
    write("own2.tlp", start);
    struct Writer {
        int which;             // 1 or 2: its own pack, and the level of the shared pack it saves
        int lastShared = -1;   // the round of its last save into the shared pack that said it was done
        int lastOwn = -1;
        int failures = 0;
    };
    Writer writers[2] = {{1}, {2}};
    auto run = [&](Writer& w) {
        for (int round = 0; round < rounds; ++round) {
            PackLevel level;
            level.levelCount = 2;
            level.levelNumber = w.which;
            level.greyHits = round + 1;
            for (int& code : level.bricks) {
                code = (round + w.which) % 10;
            }
            if (savePackLevel(path("shared.tlp"), level).ok()) {
                w.lastShared = round;
            } else {
                ++w.failures;
            }
            if (savePackLevel(path("own" + std::to_string(w.which) + ".tlp"), level).ok()) {
                w.lastOwn = round;
            } else {
                ++w.failures;
            }
        }
    };
    std::thread first(run, std::ref(writers[0]));
    std::thread second(run, std::ref(writers[1]));
    first.join();
    second.join();
    for (const Writer& w : writers) {
        SCOPED_TRACE(w.which);
        EXPECT_EQ(w.failures, 0) << "a writer waits its turn";
        for (const std::string& pack : {std::string("shared.tlp"), "own" + std::to_string(w.which) + ".tlp"}) {
            const int round = pack == "shared.tlp" ? w.lastShared : w.lastOwn;
            PackLevel level;
            level.levelNumber = w.which;
            ASSERT_TRUE(readPackLevel(path(pack), level).ok()) << pack;
            EXPECT_EQ(level.greyHits, round + 1) << pack;
            EXPECT_TRUE(std::all_of(level.bricks, level.bricks + GRID_CELLS, [&](int code) {
                return code == (round + w.which) % 10;
            })) << pack;
        }
    }
    EXPECT_EQ(filesIn(dir), 3) << "no scratch file left";
}

// A program that read a pack learns, at its next write, that another one has written it since.
TEST_F(PackFiles, AWriteTellsWhenThePackChangedSinceItWasRead)
{
    std::vector<LevelSpec> levels;
    for (int k = 1; k <= 300; ++k) {   // past a read chunk, so the bytes are hashed in several pieces
        levels.push_back({k, 1, 50, 1, k % 10});
    }
    write("p.tlp", packText(300, levels));
    PackVersion mine;
    PackLevel level;
    level.levelNumber = 2;
    ASSERT_TRUE(readPackLevel(path("p.tlp"), level, &mine).ok());
    ASSERT_TRUE(mine.known);
    level.levelCount = 300;
    level.bricks[0] = 9;
    ASSERT_TRUE(savePackLevel(path("p.tlp"), level, &mine).ok()) << "nobody wrote it in between";
    PackVersion reread;
    ASSERT_TRUE(readPackLevel(path("p.tlp"), level, &reread).ok());
    EXPECT_EQ(reread.hash, mine.hash) << "the writer knows the bytes it left";

    PackVersion other = mine;   // another program saves level 3
    level.levelNumber = 3;
    ASSERT_TRUE(savePackLevel(path("p.tlp"), level, &other).ok());
    const std::string theirs = read("p.tlp");
    level.levelNumber = 2;
    level.bricks[0] = 1;
    EXPECT_EQ(savePackLevel(path("p.tlp"), level, &mine).status, PackStatus::ChangedOnDisk);
    EXPECT_EQ(changePackLevels(path("p.tlp"), {LevelChange::Delete, 2, 299}, &mine).status, PackStatus::ChangedOnDisk);
    EXPECT_EQ(read("p.tlp"), theirs);
    mine.known = false;   // "overwrite"
    EXPECT_TRUE(savePackLevel(path("p.tlp"), level, &mine).ok());
    EXPECT_EQ(filesIn(dir), 1);
}

// ---------------------------------------------------------------------------
// Whole-pack changes: insert, duplicate, delete, move
// ---------------------------------------------------------------------------

TEST_F(PackFiles, LevelChangesRenumberEveryLevelAndKeepEveryOtherValue)
{
    // Stored numbers that do not match the positions, and a level beyond the count line.
    const LevelSpec a{7, 2, 40, 1, 1}, b{7, 3, 45, 2, 2}, c{0, 4, 30, 3, 3};
    write("p.tlp", packText(2, {a, b, c}));
    auto at = [](LevelSpec l, int number) {
        l.number = number;
        return l;
    };
    const LevelSpec empty{0, 1, 50, 1, 0};
    struct Case {
        LevelChange kind;
        int level, count;
        std::vector<LevelSpec> expected;
    };
    const std::vector<Case> cases = {
        {LevelChange::InsertEmptyAfter, 1, 3, {at(a, 1), at(empty, 2), at(b, 3), at(c, 4)}},
        {LevelChange::InsertEmptyAfter, 3, 3, {at(a, 1), at(b, 2), at(c, 3), at(empty, 4)}},
        {LevelChange::DuplicateAfter, 2, 3, {at(a, 1), at(b, 2), at(b, 3), at(c, 4)}},
        {LevelChange::Delete, 1, 1, {at(b, 1), at(c, 2)}},
        {LevelChange::MoveUp, 2, 2, {at(b, 1), at(a, 2), at(c, 3)}},
        {LevelChange::MoveDown, 2, 2, {at(a, 1), at(c, 2), at(b, 3)}},
    };
    const std::string old = read("p.tlp");
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind) * 10 + c.level);
        write("p.tlp", old);
        ASSERT_TRUE(changePackLevels(path("p.tlp"), {c.kind, c.level, c.count}).ok());
        EXPECT_EQ(read("p.tlp"), packText(c.count, c.expected));
        EXPECT_EQ(filesIn(dir), 1);
    }
}

TEST_F(PackFiles, RefusedLevelChangesLeaveThePackByteIdentical)
{
    const std::string one = packText(1, {{1, 1, 50, 1, 1}});
    std::string two = packText(2, {{1, 1, 50, 1, 1}, {2, 1, 50, 1, 2}});
    const std::string truncated = two.substr(0, two.size() - 9);
    std::string badCode = two;
    badCode.replace(badCode.rfind(" 2\n"), 3, " 12\n");
    struct Case {
        const char* name;
        std::string old;
        PackChange change;
        const char* says;
    };
    const std::vector<Case> cases = {
        {"the only level", one, {LevelChange::Delete, 1, 0}, "only level"},
        {"up from the first", two, {LevelChange::MoveUp, 1, 2}, "no level 0"},
        {"down from the last", two, {LevelChange::MoveDown, 2, 2}, "no level 3"},
        {"past the end", two, {LevelChange::DuplicateAfter, 3, 3}, "holds only 2"},
        {"truncated", truncated, {LevelChange::InsertEmptyAfter, 1, 3}, "ends inside level 2"},
        {"bad code in a copied level", badCode, {LevelChange::MoveUp, 2, 2}, "brick code 12"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        write("p.tlp", c.old);
        const PackResult result = changePackLevels(path("p.tlp"), c.change);
        EXPECT_EQ(result.status, PackStatus::FormatError);
        EXPECT_NE(result.message.find(c.says), std::string::npos) << result.message;
        EXPECT_EQ(read("p.tlp"), c.old);
        EXPECT_EQ(filesIn(dir), 1);
    }
    EXPECT_EQ(changePackLevels(path("gone.tlp"), {}).status, PackStatus::CannotOpen);
    EXPECT_FALSE(fs::exists(path("gone.tlp")));
}

TEST_F(PackFiles, ReplacingAPackWithANewOneKeepsTheOldOneWhenTheWriteFails)
{
    const std::string old = packText(1, {{1, 1, 50, 1, 4}});
    write("p.tlp", old);
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);   // no scratch file can be made
    EXPECT_EQ(writeNewPack(path("p.tlp"), 3).status, PackStatus::WriteError);
    EXPECT_EQ(read("p.tlp"), old);
    fs::permissions(dir, fs::perms::owner_all);
    ASSERT_TRUE(writeNewPack(path("p.tlp"), 3).ok());
    EXPECT_EQ(read("p.tlp"), newPackText(3));
}

// ---------------------------------------------------------------------------
// Bringing a pack file in from elsewhere
// ---------------------------------------------------------------------------

TEST_F(PackFiles, ADamagedFileIsRefusedWithItsReasonAndCopiedNowhere)
{
    fs::create_directories(dir / "packs");
    const std::string good = packText(2, {{1, 1, 50, 1, 3}, {2, 1, 50, 1, 0}});
    const struct {
        const char* name;
        std::string text;
        const char* reason;
    } cases[] = {
        {"cut.tlp", good.substr(0, good.size() - 30), "the file ends before level 2, brick row 21"},
        {"claims.tlp", "3" + good.substr(1), "says 3 levels, but the file holds only 2"},
        {"none.tlp", "0\n", "at least 1 level"},
        {"code.tlp", packText(1, {{1, 1, 50, 1, 12}}), "brick code 12"},
        {"junk.tlp",
         std::string("\x7F"
                     "ELF\x01\x02",
                     6),
         "expected an integer"},
    };
    for (const auto& c : cases) {
        write(c.name, c.text);
        const PackImport plan = planPackImport(path(c.name), path("packs"));
        EXPECT_EQ(plan.state, ImportState::Refused) << c.name;
        EXPECT_NE(plan.message.find(c.reason), std::string::npos) << plan.message;
    }
    fs::create_directories(dir / "folder.tlp");
    EXPECT_NE(planPackImport(path("folder.tlp"), path("packs")).message.find("a folder"), std::string::npos);
    EXPECT_EQ(filesIn(dir / "packs"), 0);
}

TEST_F(PackFiles, ImportCopiesOnceUsesEqualCopiesAndAsksOnlyAboutADifferentPack)
{
    const std::string mine = packText(1, {{1, 1, 50, 1, 5}});
    const std::string theirs = packText(2, {{1, 2, 40, 3, 1}, {2, 1, 50, 1, 9}});
    fs::create_directories(dir / "sent");
    write("sent/x.tlp", theirs);
    const std::string packs = path("packs");   // made by the first copy

    PackImport plan = planPackImport(path("sent/x.tlp"), packs);
    ASSERT_EQ(plan.state, ImportState::Ready) << plan.message;
    EXPECT_EQ(plan.levels, 2);
    std::string failure;
    ASSERT_TRUE(finishPackImport(plan, ImportChoice::Replace, failure)) << failure;
    EXPECT_EQ(read("packs/x.tlp"), theirs);
    plan = planPackImport(path("sent/x.tlp"), packs);   // the same bytes again: used, not copied
    EXPECT_EQ(plan.state, ImportState::InFolder);
    EXPECT_EQ(plan.name, "x.tlp");

    write("packs/x.tlp", mine);   // the person's own pack of that name
    plan = planPackImport(path("sent/x.tlp"), packs);
    ASSERT_EQ(plan.state, ImportState::NameTaken);
    EXPECT_EQ(plan.freeName, "x-2.tlp");
    ASSERT_TRUE(finishPackImport(plan, ImportChoice::KeepBoth, failure)) << failure;
    EXPECT_EQ(plan.name, "x-2.tlp");
    EXPECT_EQ(read("packs/x.tlp"), mine);
    EXPECT_EQ(read("packs/x-2.tlp"), theirs);
    plan = planPackImport(path("sent/x.tlp"), packs);   // kept before: that copy, no third one
    EXPECT_EQ(plan.state, ImportState::InFolder);
    EXPECT_EQ(plan.name, "x-2.tlp");

    // A file of the folder itself is used as it is, whatever its name.
    write("packs/has blank.tlp", mine);
    plan = planPackImport(path("packs/has blank.tlp"), packs);
    EXPECT_EQ(plan.state, ImportState::InFolder);
    EXPECT_EQ(plan.name, "has blank.tlp");

    // Bytes that change between the check and the copy are refused, and the pack there stays.
    write("sent/x.tlp", packText(1, {{1, 1, 50, 1, 7}}));
    plan = planPackImport(path("sent/x.tlp"), packs);
    ASSERT_EQ(plan.state, ImportState::NameTaken);
    write("sent/x.tlp", packText(1, {{1, 1, 50, 1, 8}}));
    EXPECT_FALSE(finishPackImport(plan, ImportChoice::Replace, failure));
    EXPECT_NE(failure.find("changed while it was read"), std::string::npos) << failure;
    EXPECT_EQ(read("packs/x.tlp"), mine);
    EXPECT_EQ(filesIn(dir / "packs"), 3);   // x, x-2, "has blank": no scratch file left
    write("sent/x.tlp", packText(1, {{1, 1, 50, 1, 7}}));
    plan = planPackImport(path("sent/x.tlp"), packs);
    ASSERT_TRUE(finishPackImport(plan, ImportChoice::Replace, failure)) << failure;
    EXPECT_EQ(read("packs/x.tlp"), packText(1, {{1, 1, 50, 1, 7}}));
}

TEST(PackImportNames, AnImportedNameIsAPackNameAndSaysHowItChanged)
{
    std::string how;
    EXPECT_EQ(importedPackName("classic.tlp", how), "classic.tlp");
    EXPECT_EQ(how, "");
    EXPECT_EQ(importedPackName("My Pack (2).tlp", how), "My_Pack_2.tlp");
    EXPECT_NE(how.find("\"My Pack (2).tlp\" comes in as \"My_Pack_2.tlp\""), std::string::npos) << how;
    EXPECT_EQ(importedPackName("..hidden;$(id).tlp", how), "hidden_id.tlp");
    EXPECT_EQ(importedPackName("levels.txt", how), "levels.txt.tlp");
    EXPECT_NE(how.find("ends in \".tlp\""), std::string::npos) << how;
    EXPECT_EQ(importedPackName("\xC3\xA9t\xC3\xA9.tlp", how), "t.tlp");
    EXPECT_EQ(importedPackName("().tlp", how), "pack.tlp");
    EXPECT_EQ(importedPackName(std::string(100, 'a') + ".tlp", how), std::string(IMPORTED_STEM_MAX, 'a') + ".tlp");
    EXPECT_NE(how.find("at most"), std::string::npos) << how;
}
