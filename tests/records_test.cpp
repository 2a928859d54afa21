// What the game keeps for its player: the tables, the continue points, the
// name entry and the settings, their files read back and refused when damaged.
#include "game/shell/records.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

ScoreEntry game(int32_t score, const char* name, int32_t level = 3)
{
    ScoreEntry entry;
    entry.score = score;
    entry.name = name;
    entry.level = level;
    entry.date = "2025-03-14";
    return entry;
}

std::string fileText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class RecordFiles : public ::testing::Test {
protected:
    fs::path dir;
    fs::path previous;
    void SetUp() override
    {
        previous = fs::current_path();
        dir = fs::temp_directory_path() / ("records_test_" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        fs::current_path(dir);
    }
    void TearDown() override
    {
        fs::current_path(previous);
        fs::remove_all(dir);
    }
};

const PackId CLASSIC{"classic.tlp", 0x1234};

}   // namespace

TEST(Tables, BestFirstTiesKeepTheEarlierGameAboveAndTheEleventhDrops)
{
    ScoreBook book;
    EXPECT_EQ(tablePlace(book, CLASSIC, 0), -1) << "a game without points enters no table";
    EXPECT_EQ(addScore(book, CLASSIC, game(500, "A")), 0);
    EXPECT_EQ(addScore(book, CLASSIC, game(900, "B")), 0);
    EXPECT_EQ(addScore(book, CLASSIC, game(500, "C")), 2) << "below the 500 that came first";
    for (int i = 0; i < 7; ++i) {
        addScore(book, CLASSIC, game(100, "D"));
    }
    ASSERT_EQ(findTable(book, CLASSIC)->entries.size(), 10u);
    EXPECT_EQ(tablePlace(book, CLASSIC, 100), -1) << "a tie with the tenth does not push it out";
    EXPECT_EQ(addScore(book, CLASSIC, game(101, "E")), 3);
    const std::vector<ScoreEntry>& entries = findTable(book, CLASSIC)->entries;
    ASSERT_EQ(entries.size(), 10u);
    EXPECT_EQ(entries[0].name, "B");
    EXPECT_EQ(entries[1].name, "A");
    EXPECT_EQ(entries[2].name, "C");
    EXPECT_EQ(entries[3].name, "E");
    EXPECT_EQ(entries[9].score, 100) << "the last of the seven 100s dropped";
}

TEST(Tables, ThePacksContentDecidesItsTableAndTheHudsFigure)
{
    ScoreBook book;
    EXPECT_EQ(highFigure(book, CLASSIC, 120), 50000) << "an empty table shows 50000, as ever";
    EXPECT_EQ(highFigure(book, CLASSIC, 61230), 61230);
    addScore(book, CLASSIC, game(1230, "A"));
    EXPECT_EQ(highFigure(book, CLASSIC, 120), 1230) << "the pack's best";
    const PackId edited{"classic.tlp", 0x9999};
    const PackId other{"other.tlp", 0x1234};
    EXPECT_EQ(findTable(book, edited), nullptr) << "an edited pack starts a table of its own";
    EXPECT_EQ(findTable(book, other), nullptr);
    EXPECT_EQ(highFigure(book, edited, 0), 50000);
    EXPECT_EQ(tablePlace(book, edited, 1), 0);
}

TEST(Tables, ContinuePointsOnlyRiseAndBelongToThePacksContent)
{
    ContinueBook book;
    EXPECT_FALSE(noteLevelReached(book, CLASSIC, 1)) << "the first level needs no point";
    EXPECT_EQ(continueLevel(book, CLASSIC), 0);
    EXPECT_TRUE(noteLevelReached(book, CLASSIC, 14));
    EXPECT_FALSE(noteLevelReached(book, CLASSIC, 3)) << "a later game that ends sooner keeps the point";
    EXPECT_EQ(continueLevel(book, CLASSIC), 14);
    EXPECT_EQ(continueLevel(book, PackId{"classic.tlp", 0x9999}), 0);
}

TEST(NameEntry, TypedByKeysTheOfferedNameIsReplaced)
{
    NameEntry entry;
    startNameEntry(entry, "ALICE");
    EXPECT_EQ(entry.name, "ALICE");
    for (const char* key : {"b", "o", "b", "BackSpace", "minus", "2", "F5"}) {
        NameKey nameKey = NameKey::Type;
        const char typed = nameCharOfKey(key);
        if (std::string(key) == "BackSpace") {
            nameKey = NameKey::Erase;
        }
        EXPECT_FALSE(typeIntoName(entry, nameKey, typed));
    }
    EXPECT_EQ(entry.name, "BO-2") << "F5 types nothing";
    for (int i = 0; i < 20; ++i) {
        typeIntoName(entry, NameKey::Type, 'x');
    }
    EXPECT_EQ(entry.name.size(), 12u) << "twelve at most";
    startNameEntry(entry, "");
    typeIntoName(entry, NameKey::Type, ' ');
    EXPECT_TRUE(typeIntoName(entry, NameKey::Done));
    EXPECT_EQ(entry.name, "PLAYER") << "a name left empty";
}

TEST(NameEntry, ByTheDpadUpAndDownChooseTheLetterLeftAndRightItsPlace)
{
    NameEntry entry;
    startNameEntry(entry, "AB");
    EXPECT_EQ(entry.cursor, 2) << "on the free place after the name";
    typeIntoName(entry, NameKey::Up);   // a new letter, from the alphabet's start, the cursor on it
    typeIntoName(entry, NameKey::Up);
    EXPECT_EQ(entry.name, "ABB");
    typeIntoName(entry, NameKey::Left);
    typeIntoName(entry, NameKey::Left);
    typeIntoName(entry, NameKey::Down);   // from A back round to the alphabet's end
    EXPECT_EQ(entry.name, ".BB");
    typeIntoName(entry, NameKey::Erase);   // the controller's B takes the letter under the cursor
    EXPECT_EQ(entry.name, "BB");
    for (int i = 0; i < 20; ++i) {
        typeIntoName(entry, NameKey::Right);
    }
    EXPECT_EQ(entry.cursor, 2) << "no further than the free place";
    EXPECT_TRUE(typeIntoName(entry, NameKey::Done));
    EXPECT_EQ(entry.name, "BB");
}

TEST_F(RecordFiles, EverythingKeptReadsBackAfterAWrite)
{
    ScoreBook scores;
    scores.lastName = "BOB 2";
    ScoreEntry entry = game(4630, "BOB 2", 7);
    entry.fromLevel = 5;
    entry.fallMode = true;
    entry.replay = "replays/2025-03-14-1.replay";
    addScore(scores, CLASSIC, entry);
    addScore(scores, PackId{"mine.tlp", 0xFFFFFFFFFFFFFFFFull}, game(10, "A-Z.09", 1));
    ContinueBook continues;
    noteLevelReached(continues, CLASSIC, 32);
    Settings settings;
    settings.soundVolume = 0;
    settings.musicVolume = 7;
    settings.muted = true;
    settings.mouseSpeed = 10;
    snprintf(settings.keys[0], KEY_NAME_SIZE, "a");
    snprintf(settings.keys[2], KEY_NAME_SIZE, "Control_R");
    std::string failure;
    ASSERT_TRUE(saveScoreBook(SCORES_FILE, scores, failure)) << failure;
    ASSERT_TRUE(saveContinueBook(CONTINUE_FILE, continues, failure)) << failure;
    ASSERT_TRUE(saveSettings(SETTINGS_FILE, settings, failure)) << failure;

    ScoreBook scoresRead;
    ContinueBook continuesRead;
    Settings settingsRead;
    EXPECT_EQ(loadScoreBook(SCORES_FILE, scoresRead).message, "");
    EXPECT_EQ(loadContinueBook(CONTINUE_FILE, continuesRead).message, "");
    const RecordsLoad load = loadSettings(SETTINGS_FILE, settingsRead);
    EXPECT_EQ(load.message, "");
    EXPECT_TRUE(load.notes.empty());
    EXPECT_EQ(encodeScoreBook(scoresRead), encodeScoreBook(scores));
    const ScoreEntry& back = findTable(scoresRead, CLASSIC)->entries[0];
    EXPECT_EQ(back.fromLevel, 5);
    EXPECT_EQ(back.replay, entry.replay);
    EXPECT_EQ(scoresRead.lastName, "BOB 2");
    EXPECT_EQ(continueLevel(continuesRead, CLASSIC), 32);
    EXPECT_EQ(encodeSettings(settingsRead), encodeSettings(settings));
    EXPECT_TRUE(settingsRead.muted);
    EXPECT_STREQ(settingsRead.keys[2], "Control_R");

    // Nothing there: the defaults, said nothing about.
    fs::remove(SETTINGS_FILE);
    Settings fresh;
    EXPECT_EQ(loadSettings(SETTINGS_FILE, fresh).message, "");
    EXPECT_EQ(encodeSettings(fresh), encodeSettings(Settings{}));
}

TEST_F(RecordFiles, ADamagedFileIsSetAsideAndTheGameGoesOn)
{
    ScoreBook scores;
    addScore(scores, CLASSIC, game(4630, "BOB"));
    std::string text = encodeScoreBook(scores);
    std::string failure;
    for (const std::string& damaged : std::vector<std::string>{
             text.substr(0, text.size() - 4),       // cut short: no end line
             std::string("\x89PNG\r\n\x1a\n", 8),   // another kind of file
             "tessivar scores 2\nend\n",            // a newer format
             "tessivar scores 1\npack 0000000000001234 classic.tlp\n0 1 1 0 2025-03-14 - A\nend\n",      // no points
             "tessivar scores 1\npack 0000000000001234 classic.tlp\n5 1 1 0 2025-03-14 ../x A\nend\n",   // outside
             "tessivar scores 1\npack 0000000000001234 classic.tlp\n5 1 1 0 2025-03-14 - A\n9 1 1 0 2025-03-14 - A\n"
             "end\n"}) {   // not best first
        SCOPED_TRACE(damaged);
        std::ofstream(SCORES_FILE, std::ios::binary) << damaged;
        ScoreBook read;
        read.lastName = "KEPT";
        const RecordsLoad load = loadScoreBook(SCORES_FILE, read);
        EXPECT_TRUE(load.damaged);
        EXPECT_TRUE(load.writable);
        EXPECT_NE(load.message.find("scores.txt is damaged"), std::string::npos) << load.message;
        EXPECT_EQ(read.lastName, "KEPT") << "a refused file changes nothing";
        EXPECT_FALSE(fs::exists(SCORES_FILE));
    }
    EXPECT_EQ(fileText("scores.txt.damaged"), text.substr(0, text.size() - 4)) << "never deleted";
    EXPECT_TRUE(fs::exists("scores.txt.damaged-6")) << "nor written over";

    std::ofstream(CONTINUE_FILE) << "tessivar continue 1\n0000000000001234 1 classic.tlp\nend\n";
    ContinueBook continues;
    EXPECT_TRUE(loadContinueBook(CONTINUE_FILE, continues).damaged) << "a point at level 1 is no point";
    EXPECT_TRUE(fs::exists("continue.txt.damaged"));

    // A folder in the file's place cannot be set aside by us: it is left as it is, and not written.
    fs::create_directories(SCORES_FILE);
    const RecordsLoad folder = loadScoreBook(SCORES_FILE, scores);
    EXPECT_FALSE(folder.writable);
    EXPECT_NE(folder.message.find("not kept this time"), std::string::npos) << folder.message;
}

TEST_F(RecordFiles, ASettingThatMakesNoSenseKeepsItsDefaultAndTheRestStands)
{
    std::ofstream(SETTINGS_FILE) << "sound volume = 11\nmusic volume = 3\nloudness = 2\nmouse speed = 0x5\n"
                                    "key left = Escape\nkey launch = l\nkey pause = l\nmusic volume = 9\n";
    Settings settings;
    const RecordsLoad load = loadSettings(SETTINGS_FILE, settings);
    EXPECT_FALSE(load.damaged);
    EXPECT_EQ(settings.soundVolume, VOLUME_STEPS);
    EXPECT_EQ(settings.musicVolume, 3) << "the first line of a setting stands";
    EXPECT_EQ(settings.mouseSpeed, MOUSE_SPEED_DEFAULT);
    EXPECT_STREQ(settings.keys[0], "Left") << "Escape is kept for what it does";
    EXPECT_STREQ(settings.keys[2], "space") << "one key for two things: the keys go back to their defaults";
    EXPECT_EQ(load.notes.size(), 6u);
    for (const std::string& note : load.notes) {
        EXPECT_EQ(note.rfind("settings.ini ", 0), 0u) << note;
    }

    std::ofstream(SETTINGS_FILE, std::ios::binary) << std::string("sound volume = 3\0\1", 18);
    Settings refused;
    EXPECT_TRUE(loadSettings(SETTINGS_FILE, refused).damaged);
    EXPECT_EQ(refused.soundVolume, VOLUME_STEPS);
    EXPECT_TRUE(fs::exists("settings.ini.damaged"));
}
