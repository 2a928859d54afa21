// Settings file and level pack discovery; the engine's start values.
#include "game/render/engine.h"
#include "game/shell/config.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class ConfigFiles : public ::testing::Test {
protected:
    fs::path dir;
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("config_test_" + std::to_string(getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string path(const std::string& name) const { return (dir / name).string(); }
    Config readText(const std::string& text)
    {
        std::ofstream(path("config.ini"), std::ios::binary) << text;
        Config cfg;
        EXPECT_TRUE(readConfig(path("config.ini").c_str(), cfg));
        return cfg;
    }
};

}   // namespace

TEST_F(ConfigFiles, MissingFileIsReportedAndDefaultsStand)
{
    Config cfg;
    EXPECT_FALSE(readConfig(path("none.ini").c_str(), cfg));
    EXPECT_EQ(cfg.screenWidth, 1024);
    EXPECT_EQ(cfg.screenHeight, 768);
    EXPECT_EQ(cfg.mouseControl, 1);
    EXPECT_EQ(cfg.fallMode, 0);
    EXPECT_STREQ(cfg.levelPackName, "");
}

TEST_F(ConfigFiles, ReadsTheFourLineLayoutAndPartialFiles)
{
    Config full = readText("1280 800\n0\n1\nclassic.tlp\n");
    EXPECT_EQ(full.screenWidth, 1280);
    EXPECT_EQ(full.screenHeight, 800);
    EXPECT_EQ(full.mouseControl, 0);
    EXPECT_EQ(full.fallMode, 1);
    EXPECT_STREQ(full.levelPackName, "classic.tlp");

    Config partial = readText("800 600");
    EXPECT_EQ(partial.screenWidth, 800);
    EXPECT_EQ(partial.screenHeight, 600);
    EXPECT_EQ(partial.mouseControl, 1);
    EXPECT_EQ(partial.fallMode, 0);
    EXPECT_STREQ(partial.levelPackName, "");
}

TEST_F(ConfigFiles, ValuesOutOfRangeAreReportedAsReadAndNeverWrittenBackWrapped)
{
    testing::internal::CaptureStdout();
    const Config cfg = readText("99999999999 -5 300 -7 a.tlp");
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_EQ(cfg.screenWidth, 1024);
    EXPECT_EQ(cfg.screenHeight, 768);
    EXPECT_EQ(cfg.mouseControl, 1);
    EXPECT_EQ(cfg.fallMode, 0);
    EXPECT_STREQ(cfg.levelPackName, "a.tlp") << "the values after one out of range are still read";
    for (const char* line : {"window width 99999999999 is out of range (1 to 2147483647); using 1024.",
                             "window height -5 is out of range (1 to 2147483647); using 768.",
                             "control mode 300 is out of range (0 to 255); using 1.",
                             "fall mode -7 is out of range (0 to 255); using 0."}) {
        EXPECT_NE(said.find(line), std::string::npos) << said;
    }
    ASSERT_TRUE(writeConfig(path("back.ini").c_str(), cfg));
    std::ifstream in(path("back.ini"));
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "1024 768\n1\n0\na.tlp\n");

    // Any byte value stands as it is: 2 is on (MOUSE) too.
    testing::internal::CaptureStdout();
    EXPECT_EQ(readText("1 1 2 255 a.tlp").mouseControl, 2);
    EXPECT_EQ(readText("1 1 2 255 a.tlp").fallMode, 255);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST_F(ConfigFiles, AConfigThatIsALinkIsWrittenThroughAndStaysALink)
{
    fs::create_directories(dir / "dotfiles");
    std::ofstream(path("dotfiles/tessivar.ini")) << "800 600\n0\n1\nold.tlp\n";
    fs::create_symlink("dotfiles/tessivar.ini", dir / "config.ini");
    std::ofstream(path("victim")) << "keep";
    fs::create_symlink(path("victim"), dir / "config.ini.tmp");   // where the scratch file was once made
    Config cfg;
    strcpy(cfg.levelPackName, "new.tlp");
    ASSERT_TRUE(writeConfig(path("config.ini").c_str(), cfg));
    EXPECT_TRUE(fs::is_symlink(dir / "config.ini"));
    std::ifstream in(path("dotfiles/tessivar.ini"));
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "1024 768\n1\n0\nnew.tlp\n");
    std::ifstream victim(path("victim"));
    std::string kept;
    victim >> kept;
    EXPECT_EQ(kept, "keep");
}

TEST_F(ConfigFiles, AnUnparsableIntegerStopsTheNumbersAndBecomesTheName)
{
    Config cfg = readText("1280 wide 0 1 classic.tlp\n");
    EXPECT_EQ(cfg.screenWidth, 1280);
    EXPECT_EQ(cfg.screenHeight, 768);
    EXPECT_EQ(cfg.mouseControl, 1);
    EXPECT_EQ(cfg.fallMode, 0);
    EXPECT_STREQ(cfg.levelPackName, "wide");

    Config sign = readText("1280 -x 0 1 classic.tlp\n");   // a lone sign stays part of the word
    EXPECT_EQ(sign.screenHeight, 768);
    EXPECT_STREQ(sign.levelPackName, "-x");
}

TEST_F(ConfigFiles, AnOverlongPackNameIsIgnoredNotOverflowed)
{
    Config cfg = readText("1024 768 1 0 " + std::string(150, 'n') + ".tlp\n");
    EXPECT_STREQ(cfg.levelPackName, "");
    Config fits = readText("1024 768 1 0 " + std::string(99, 'n') + "\n");
    EXPECT_EQ(strlen(fits.levelPackName), 99u);
}

TEST_F(ConfigFiles, WritesTheLayoutItReads)
{
    Config cfg;
    strcpy(cfg.levelPackName, "classic.tlp");
    ASSERT_TRUE(writeConfig(path("out.ini").c_str(), cfg));
    std::ifstream in(path("out.ini"));
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "1024 768\n1\n0\nclassic.tlp\n");

    Config back;
    ASSERT_TRUE(readConfig(path("out.ini").c_str(), back));
    EXPECT_EQ(back.screenWidth, 1024);
    EXPECT_STREQ(back.levelPackName, "classic.tlp");

    EXPECT_FALSE(writeConfig(path("no/such/dir/config.ini").c_str(), cfg));
}

TEST_F(ConfigFiles, TheDisplayFollowsTheFourValuesAndIsFullScreenWithoutIt)
{
    EXPECT_EQ(readText("1024 768\n1\n0\nclassic.tlp\n").windowed, 0);
    EXPECT_EQ(readText("1024 768\n1\n0\nclassic.tlp\n1\n").windowed, 1);
    EXPECT_EQ(readText("1280 wide 0 1 classic.tlp 1\n").windowed, 0) << "read only after four whole values";

    Config cfg;
    cfg.windowed = 1;
    strcpy(cfg.levelPackName, "classic.tlp");
    ASSERT_TRUE(writeConfig(path("window.ini").c_str(), cfg));
    std::ifstream in(path("window.ini"));
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "1024 768\n1\n0\nclassic.tlp\n1\n");
    Config back;
    ASSERT_TRUE(readConfig(path("window.ini").c_str(), back));
    EXPECT_EQ(back.windowed, 1);
    EXPECT_STREQ(back.levelPackName, "classic.tlp");

    // Without a pack name a reader of four values would take the "1" for one: it is left out.
    cfg.levelPackName[0] = '\0';
    ASSERT_TRUE(writeConfig(path("nameless.ini").c_str(), cfg));
    Config nameless;
    ASSERT_TRUE(readConfig(path("nameless.ini").c_str(), nameless));
    EXPECT_STREQ(nameless.levelPackName, "");
}

TEST_F(ConfigFiles, AFolderIsNoConfigFile)
{
    fs::create_directories(dir / "config.ini");
    Config cfg;
    EXPECT_FALSE(readConfig(path("config.ini").c_str(), cfg)) << "handled as a file that cannot be opened";
}

TEST_F(ConfigFiles, AFailedWriteSaysWhatFailedAndLeavesNoScratchFile)
{
    std::string failure;
    fs::create_directories(dir / "config.ini");
    EXPECT_FALSE(writeConfig(path("config.ini").c_str(), Config{}, &failure));
    EXPECT_EQ(failure, "cannot write " + path("config.ini") + ": it is a folder");
    std::ofstream(path("locked.ini")) << "800 600\n";
    fs::permissions(dir / "locked.ini", fs::perms(0444));
    EXPECT_FALSE(writeConfig(path("locked.ini").c_str(), Config{}, &failure));
    EXPECT_EQ(failure, "cannot write " + path("locked.ini") + ": it is read-only (mode 0444)");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
}

TEST(WindowSize, SizesTheScreenCannotShowFallBackToTheDefault)
{
    const int32_t bad[][2] = {{2147483647, 2147483647},
                              {100000, 100000},
                              {65536, 65536},
                              {1000000, 1000000},
                              {319, 240},
                              {320, 239},
                              {-1024, 768},
                              {1025, 768}};
    for (const auto& size : bad) {
        Config cfg;
        cfg.screenWidth = size[0];
        cfg.screenHeight = size[1];
        testing::internal::CaptureStdout();
        checkWindowSize(cfg, 1024, 768);
        const std::string said = testing::internal::GetCapturedStdout();
        EXPECT_EQ(cfg.screenWidth, 1024) << size[0] << "x" << size[1];
        EXPECT_EQ(cfg.screenHeight, 768);
        EXPECT_NE(said.find("using 1024x768"), std::string::npos) << said;
    }
    Config small;
    small.screenWidth = 800;
    small.screenHeight = 600;
    testing::internal::CaptureStdout();
    checkWindowSize(small, 640, 480);   // the default does not fit either: the whole screen
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(small.screenWidth, 640);
    EXPECT_EQ(small.screenHeight, 480);
    EXPECT_TRUE(windowSizeUsable(320, 240, 1024, 768));
    EXPECT_TRUE(windowSizeUsable(1920, 1080, 1920, 1080));
}

TEST_F(ConfigFiles, DiscoveryListsSortedPacksAndSelectsTheConfiguredOne)
{
    fs::create_directories(dir / "packs");
    for (const char* name : {"zeta.tlp", "alpha.tlp", "Mid.tlp", "notes.txt", "x.tlp.bak"}) {
        std::ofstream(dir / "packs" / name) << "1\n";
    }
    fs::create_directories(dir / "packs" / "folder.tlp");
    Config cfg;
    strcpy(cfg.levelPackName, "Mid.tlp");
    PackList list;
    discoverPacks(list, (dir / "packs").c_str(), cfg);
    ASSERT_EQ(list.count, 3);   // in the order the editor lists them too: alphabetical, whatever the case
    EXPECT_STREQ(list.names[0], "alpha.tlp");
    EXPECT_STREQ(list.names[1], "Mid.tlp");
    EXPECT_STREQ(list.names[2], "zeta.tlp");
    EXPECT_EQ(list.lastPackIndex, 2);
    EXPECT_EQ(list.packIndex, 1);

    strcpy(cfg.levelPackName, "mid.tlp");   // matching is case-sensitive
    discoverPacks(list, (dir / "packs").c_str(), cfg);
    EXPECT_EQ(list.packIndex, 0);

    discoverPacks(list, (dir / "missing").c_str(), cfg);
    EXPECT_EQ(list.count, 0);
    EXPECT_EQ(list.packIndex, 0);
}

TEST(PackListLimits, OverlongNamesAndSurplusPacksAreSkipped)
{
    std::vector<std::string> storage;
    storage.push_back(std::string(120, 'a') + ".tlp");
    for (int i = 0; i < 130; ++i) {
        char name[32];
        snprintf(name, sizeof name, "p%03d.tlp", i);
        storage.push_back(name);
    }
    std::vector<const char*> names;
    for (const std::string& s : storage) {
        names.push_back(s.c_str());
    }
    Config cfg;
    strcpy(cfg.levelPackName, "p120.tlp");   // beyond the room: never selected
    PackList list;
    testing::internal::CaptureStdout();
    fillPackList(list, names.data(), static_cast<int>(names.size()), cfg);
    const std::string notes = testing::internal::GetCapturedStdout();
    EXPECT_EQ(list.count, PACK_LIST_SIZE);
    EXPECT_EQ(list.lastPackIndex, PACK_LIST_SIZE - 1);
    EXPECT_STREQ(list.names[0], "p000.tlp");
    EXPECT_EQ(list.packIndex, 0);
    EXPECT_NE(notes.find("longer than 99"), std::string::npos);
    EXPECT_NE(notes.find("more than 100 packs"), std::string::npos);
}

TEST(PackListLimits, NamesConfigCannotKeepAreLeftOutWithANote)
{
    const char* names[] = {"my pack.tlp", "tab\tbed.tlp", "ok.tlp"};
    Config cfg;
    strcpy(cfg.levelPackName, "my");   // what config.ini would read back for "my pack.tlp"
    PackList list;
    testing::internal::CaptureStdout();
    fillPackList(list, names, 3, cfg);
    const std::string notes = testing::internal::GetCapturedStdout();
    ASSERT_EQ(list.count, 1);
    EXPECT_STREQ(list.names[0], "ok.tlp");
    EXPECT_NE(notes.find("\"my pack.tlp\": config.ini cannot keep a name with a blank"), std::string::npos) << notes;
}

TEST(EngineState, StartValues)
{
    static const Engine fresh;
    EXPECT_FALSE(fresh.loaded);
    EXPECT_TRUE(fresh.shadowsEnabled);
    EXPECT_FALSE(fresh.logEnabled);
    EXPECT_EQ(fresh.cameraPosition[0], 40);
    EXPECT_EQ(fresh.cameraPosition[1], 20);
    EXPECT_EQ(fresh.cameraPosition[2], 110);
    EXPECT_EQ(fresh.cameraDirection[2], -1);
    EXPECT_EQ(fresh.lights[0].position[3], 1.0f);
    EXPECT_EQ(fresh.lights[5].radius, 1.0f);
    EXPECT_EQ(cameraYaw, 0.0);
    EXPECT_EQ(cameraPitch, 0.0);
}
