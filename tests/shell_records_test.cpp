// What the shell keeps for the player, frame by frame: continue points and the
// table a game enters, M, and CONTROLS.
#include "platform/sound.h"
#include "shell_fixture.h"

#include <sstream>

using namespace shelltest;

namespace {

std::string textOf(const char* path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class Records : public Shell {
protected:
    // Gives the game up with score points (END THIS GAME? YES) and waits out GAME OVER.
    void giveUp(int32_t score)
    {
        field.score = score;
        tapKey(Key::Escape);
        frameAt(fakeNow + 10);
        tapNamedKey("y");
        runFor(PAUSE_TIME + 200);
    }
};

}   // namespace

TEST_F(Records, AGameReachingLevelTwoOffersContinueThereAndTheTableSaysFromWhere)
{
    toPlay();
    field.levelCleared = true;
    frameAt(fakeNow + 10);
    ASSERT_EQ(field.levelNumber, 2);
    EXPECT_NE(textOf(CONTINUE_FILE).find(" 2 two.tlp"), std::string::npos) << "kept as the level begins";
    giveUp(700);
    ASSERT_EQ(game.state, ShellState::NameEntry);
    tapNamedKey("x");
    tapNamedKey("Return");
    frameAt(fakeNow + 10);
    ASSERT_EQ(game.state, ShellState::HighScores);
    press(Key::Escape);
    ASSERT_EQ(game.state, ShellState::Menu);

    MainLine lines[MAIN_LINES_MAX];
    ASSERT_EQ(mainMenuLines(lines), 5);
    ASSERT_EQ(lines[1], MainLine::Continue);
    game.menuCursor = 1;
    press(Key::Enter);
    EXPECT_EQ(game.state, ShellState::Ready);
    EXPECT_EQ(field.levelNumber, 2);
    EXPECT_EQ(field.lives, 3);
    EXPECT_EQ(field.score, 0);
    EXPECT_EQ(renderInputs.highScore, 700) << "the HUD's HIGH: the pack's best";
    runUntil(field.levelStartTime + READY_TIME + 10);
    giveUp(100);
    tapNamedKey("Return");   // the name offered: the last one typed
    frameAt(fakeNow + 10);
    const ScoreTable* table = findTable(playerRecords.scores, playerRecords.selectedPack);
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->entries.size(), 2u);
    EXPECT_EQ(table->entries[0].name, "X");
    EXPECT_EQ(table->entries[0].fromLevel, 1);
    EXPECT_EQ(table->entries[0].level, 2);
    EXPECT_EQ(table->entries[1].name, "X");
    EXPECT_EQ(table->entries[1].fromLevel, 2);

    // An edited pack is another pack: no table, no continue point.
    std::ofstream("Levels Packs/two.tlp", std::ios::app) << "\n";
    press(Key::Escape);
    refreshSelectedPack();
    EXPECT_EQ(mainMenuLines(lines), 4);
    EXPECT_EQ(findTable(playerRecords.scores, playerRecords.selectedPack), nullptr);
}

TEST_F(Records, MMutesAndControlsTakesANewKeySwappingOneInUseEscapeKeepingTheOld)
{
    toMenu();
    tapNamedKey("m");
    frameAt(fakeNow + 10);
    int samples = -1;
    int music = -1;
    soundVolumes(samples, music);
    EXPECT_EQ(samples + music, 0);
    tapNamedKey("m");
    frameAt(fakeNow + 10);
    soundVolumes(samples, music);
    EXPECT_EQ(samples + music, 2 * SOUND_VOLUME_MAX);

    game.menuCursor = 2;
    press(Key::Enter);   // OPTIONS
    game.menuCursor = 7;
    press(Key::Enter);   // CONTROLS
    ASSERT_EQ(game.state, ShellState::Controls);
    game.menuCursor = 2;
    press(Key::Enter);   // LAUNCH / FIRE waits for its key
    tapNamedKey("Left");
    frameAt(fakeNow + 10);
    const Settings& settings = playerRecords.settings;
    EXPECT_STREQ(settings.keys[2], "Left");
    EXPECT_STREQ(settings.keys[0], "space") << "MOVE LEFT takes the key launch had";
    EXPECT_EQ(game.menuCursor, 2) << "the press that was taken moved nothing";
    game.menuCursor = 3;
    press(Key::Enter);
    tapNamedKey("Escape");
    frameAt(fakeNow + 10);
    EXPECT_STREQ(settings.keys[3], "p") << "Escape keeps the old key";
    EXPECT_EQ(game.state, ShellState::Controls);
    game.menuCursor = 4;
    press(Key::Right);
    press(Key::Right);
    EXPECT_EQ(settings.mouseSpeed, MOUSE_SPEED_DEFAULT + 2);
    press(Key::Escape);
    press(Key::Escape);
    ASSERT_EQ(game.state, ShellState::Menu);
    const std::string kept = textOf(SETTINGS_FILE);
    EXPECT_NE(kept.find("key launch = Left\n"), std::string::npos) << kept;
    EXPECT_NE(kept.find("mouse speed = 7\n"), std::string::npos) << kept;
    EXPECT_EQ(textOf(CONFIG_FILE), "") << "config.ini is QUIT's alone";
}
