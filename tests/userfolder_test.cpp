// The per-user folder of an installed program: where it is, how it is seeded, how later installs and a
// moved installation reach it, and that nothing the user has is overwritten.
#include "levelpack/safefile.h"
#include "platform/userfolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

void writeText(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::string readText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// An installed prefix (bin/, share/tessivar/ with the data) and an empty XDG data home.
class UserFolder : public ::testing::Test {
protected:
    fs::path root, prefix, data, user;
    void SetUp() override
    {
        root = fs::temp_directory_path() / ("userfolder_test_" + std::to_string(getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        prefix = root / "prefix";
        data = prefix / "share/tessivar";
        user = root / "xdg/tessivar";
        writeText(data / "config.ini", "1024 768\n1\n0\nclassic.tlp\n");
        writeText(data / "Levels Packs/classic.tlp", "classic v1");
        writeText(data / "Levels Packs/arcade.tlp", "arcade v1");
        writeText(data / "Textures/wallD.tga", "texture");
        writeText(data / "Shaders/shadows.vert", "shader");
        writeText(data / "sounds/bar.wav", "sound");
        writeText(prefix / "bin/tessivar", "");
    }
    void TearDown() override { fs::remove_all(root); }
    SeedReport seed() { return seedUserFolder(data.string(), user.string()); }
};

}   // namespace

TEST_F(UserFolder, OnlyAnInstalledProgramHasADataFolder)
{
    EXPECT_EQ(installedDataFolder((prefix / "bin/tessivar").string(), "../share/tessivar"),
              fs::canonical(data).string());
    // A build tree: the program lies in build/game/shell, its data in build/runtime.
    EXPECT_EQ(installedDataFolder((root / "build/game/shell/tessivar").string(), "../share/tessivar"), "");
    EXPECT_EQ(installedDataFolder("tessivar", "../share/tessivar"), "");
}

TEST_F(UserFolder, FollowsTheXdgRules)
{
    EXPECT_EQ(userFolderPath("/x/data", "/home/p"), "/x/data/tessivar");
    EXPECT_EQ(userFolderPath(nullptr, "/home/p"), "/home/p/.local/share/tessivar");
    EXPECT_EQ(userFolderPath("", "/home/p/"), "/home/p/.local/share/tessivar");
    EXPECT_EQ(userFolderPath("relative/data", "/home/p"), "/home/p/.local/share/tessivar");   // ignored
    EXPECT_EQ(userFolderPath(nullptr, nullptr), "");
    EXPECT_EQ(userFolderPath(nullptr, "home"), "");
}

TEST_F(UserFolder, FirstStartCopiesSettingsAndPacksAndLinksTheRest)
{
    const SeedReport report = seed();
    EXPECT_TRUE(report.problems.empty()) << report.problems.front();
    EXPECT_EQ(report.added, 3);
    EXPECT_EQ(report.linked, 3);
    EXPECT_EQ(readText(user / "config.ini"), readText(data / "config.ini"));
    EXPECT_EQ(readText(user / "Levels Packs/classic.tlp"), "classic v1");
    EXPECT_EQ(readText(user / "Levels Packs/arcade.tlp"), "arcade v1");
    for (const char* folder : {"Textures", "Shaders", "sounds"}) {
        EXPECT_TRUE(fs::is_symlink(user / folder)) << folder;
        EXPECT_EQ(fs::read_symlink(user / folder), fs::path(data / folder)) << folder;
    }
    EXPECT_EQ(readText(user / "Textures/wallD.tga"), "texture");
    EXPECT_EQ(fs::status(user).permissions() & fs::perms::all, fs::perms::owner_all);

    // A second start finds everything in place and touches nothing.
    const SeedReport again = seed();
    EXPECT_EQ(again.added + again.updated + again.linked, 0);
    EXPECT_TRUE(again.problems.empty());
}

TEST_F(UserFolder, ALaterInstallAddsAndUpdatesButKeepsWhatTheUserChanged)
{
    seed();
    writeText(user / "Levels Packs/classic.tlp", "classic edited in TLES");
    writeText(user / "config.ini", "800 600\n0\n1\narcade.tlp\n");
    writeText(user / "Levels Packs/mine.tlp", "the user's own");
    fs::remove(user / "Levels Packs/arcade.tlp");

    // The new version ships changed packs, a new one, and a new default config.ini.
    writeText(data / "Levels Packs/classic.tlp", "classic v2");
    writeText(data / "Levels Packs/arcade.tlp", "arcade v2");
    writeText(data / "Levels Packs/starter.tlp", "starter v1");
    writeText(data / "config.ini", "1280 720\n1\n0\nstarter.tlp\n");
    SeedReport report = seed();
    EXPECT_TRUE(report.problems.empty());
    EXPECT_EQ(report.added, 1);
    EXPECT_EQ(readText(user / "Levels Packs/starter.tlp"), "starter v1");
    EXPECT_EQ(readText(user / "Levels Packs/classic.tlp"), "classic edited in TLES");
    EXPECT_EQ(readText(user / "config.ini"), "800 600\n0\n1\narcade.tlp\n");
    EXPECT_EQ(readText(user / "Levels Packs/mine.tlp"), "the user's own");
    EXPECT_FALSE(fs::exists(user / "Levels Packs/arcade.tlp"));   // deleted by the user, stays deleted

    // Deleted settings come back as shipped: the user asked for the defaults.
    fs::remove(user / "config.ini");
    report = seed();
    EXPECT_EQ(report.added, 1);
    EXPECT_EQ(readText(user / "config.ini"), "1280 720\n1\n0\nstarter.tlp\n");

    // A pack the user never touched follows the shipped version.
    writeText(data / "Levels Packs/starter.tlp", "starter v2");
    report = seed();
    EXPECT_EQ(report.updated, 1);
    EXPECT_EQ(readText(user / "Levels Packs/starter.tlp"), "starter v2");
    for (const auto& entry : fs::recursive_directory_iterator(user)) {
        EXPECT_EQ(entry.path().string().find(SCRATCH_MARK), std::string::npos) << entry.path();
    }
}

TEST_F(UserFolder, AMovedInstallationIsLinkedAgainAndAFolderOfTheUsersIsKept)
{
    seed();
    const fs::path moved = root / "elsewhere";
    fs::rename(prefix, moved);
    fs::remove_all(user / "Shaders");
    fs::create_directories(user / "Shaders");   // the user's own shaders
    const fs::path movedData = moved / "share/tessivar";
    const SeedReport report = seedUserFolder(movedData.string(), user.string());
    EXPECT_EQ(report.linked, 2);
    EXPECT_EQ(fs::read_symlink(user / "Textures"), movedData / "Textures");
    EXPECT_EQ(readText(user / "sounds/bar.wav"), "sound");
    EXPECT_FALSE(fs::is_symlink(user / "Shaders"));
    ASSERT_EQ(report.problems.size(), 1u);
    EXPECT_NE(report.problems[0].find("Shaders"), std::string::npos);
}

TEST_F(UserFolder, WhatCannotBeMadeIsReportedAndTheRestGoesOn)
{
    writeText(user / "Levels Packs", "a file where the packs' folder should be");
    SeedReport report = seed();
    ASSERT_EQ(report.problems.size(), 1u);
    EXPECT_NE(report.problems[0].find("Levels Packs"), std::string::npos);
    EXPECT_EQ(readText(user / "config.ini"), readText(data / "config.ini"));
    EXPECT_TRUE(fs::is_symlink(user / "Textures"));

    writeText(root / "blocked", "");
    report = seedUserFolder(data.string(), (root / "blocked/tessivar").string());
    ASSERT_EQ(report.problems.size(), 1u);
    EXPECT_NE(report.problems[0].find("blocked"), std::string::npos);
}
