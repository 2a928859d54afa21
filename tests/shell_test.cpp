// The frame loop's states and the menu input, driven by a fake clock and
// scripted keys, with the renderers, sound and pointer replaced.
#include "game/playfield/samples.h"
#include "tests/shell_fixture.h"

#include <cmath>
#include <sstream>

TEST_F(Shell, FirstFrameOnlyLoadsThenTheSplashRunsTenSecondsUntilAKey)
{
    setKey(Key::Down, true);   // pressed while loading: it does not end the splash
    frameAt(100);
    EXPECT_EQ(loadings, 1);
    EXPECT_EQ(splashFrames, 0);
    EXPECT_FALSE(game.splashClockStarted);
    EXPECT_EQ(fakeInput.warps, 0) << "no input during loading";

    frameAt(200);
    EXPECT_EQ(game.splashStartTime, 200);
    EXPECT_EQ(soundPlayCount(SAMPLE_MORVI), 1);
    runUntil(10200);
    EXPECT_TRUE(game.splashActive) << "exactly 10000 ms is still splash";
    EXPECT_EQ(fakeInput.warps, 0) << "the pointer is left alone during the splash";
    EXPECT_EQ(game.menuCursor, 0);
    setKey(Key::Down, false);
    frameAt(10201);
    EXPECT_FALSE(game.splashActive);
    EXPECT_EQ(engine.lights[SPLASH_LIGHT].colour[0], 1.0f);
    EXPECT_EQ(soundPlayCount(SAMPLE_MORVI), 1);
    frameAt(10211);
    EXPECT_EQ(menuFrames, 1);
    EXPECT_EQ(soundPlayCount(SAMPLE_PRES), 1);
    EXPECT_EQ(fakeInput.warps, 2);
}

TEST_F(Shell, AnyKeyClickOrButtonEndsTheSplashButM)
{
    for (int way = 0; way < 3; ++way) {
        SCOPED_TRACE(way);
        game = GameState{};   // a fresh start
        engine.loaded = false;
        frameAt(fakeNow + 100);
        runFor(3000);
        const bool muted = playerRecords.settings.muted;
        tapNamedKey("m");   // mutes (or unmutes), and the splash goes on
        frameAt(fakeNow + 10);
        EXPECT_EQ(game.state, ShellState::Splash);
        EXPECT_NE(playerRecords.settings.muted, muted);
        if (way == 0) {
            tapNamedKey("q");
        } else if (way == 1) {
            tapKey(Key::MouseRight);
        } else {
            tapKey(Key::Enter);
        }
        frameAt(fakeNow + 10);
        EXPECT_EQ(game.state, ShellState::Menu);
        EXPECT_EQ(engine.lights[SPLASH_LIGHT].colour[0], 1.0f);
        frameAt(fakeNow + 10);
        EXPECT_EQ(game.menuCursor, 0) << "the key that ended the splash does nothing in the menu";
    }
}

TEST_F(Shell, MenuKeysActOncePerPressAndTheCursorIsClamped)
{
    toMenu();
    setKey(Key::Down, true);
    for (int i = 0; i < 5; ++i) {
        frameAt(fakeNow + 10);
    }
    EXPECT_EQ(game.menuCursor, 1) << "held Down moves one line";
    setKey(Key::Down, false);
    frameAt(fakeNow + 10);
    press(Key::Down);
    press(Key::Down);
    press(Key::Down);
    EXPECT_EQ(game.menuCursor, 3) << "Down from QUIT shows QUIT again";
    for (int i = 0; i < 4; ++i) {
        press(Key::Up);
    }
    EXPECT_EQ(game.menuCursor, 0);

    // OPTIONS opens on its own first line; Enter held on FALL MODE toggles it once.
    game.menuCursor = 2;
    press(Key::Enter);
    EXPECT_TRUE(game.optionsShown);
    EXPECT_EQ(game.menuCursor, 0);
    game.menuCursor = 2;
    setKey(Key::Enter, true);
    for (int i = 0; i < 5; ++i) {
        frameAt(fakeNow + 10);
    }
    setKey(Key::Enter, false);
    frameAt(fakeNow + 10);
    EXPECT_EQ(config.fallMode, 1);

    // RETURN, and Escape, come back to OPTIONS (never onto QUIT).
    game.menuCursor = OPTION_LINES - 1;
    press(Key::Enter);
    EXPECT_FALSE(game.optionsShown);
    EXPECT_EQ(game.menuCursor, 2);
    press(Key::Enter);
    press(Key::Escape);
    EXPECT_FALSE(game.optionsShown);
    EXPECT_EQ(game.menuCursor, 2);
    EXPECT_EQ(exitStatus, -1);
}

TEST_F(Shell, OptionsStepResolutionsControlModeAndPacks)
{
    toMenu();
    enterState(ShellState::Options);
    game.menuCursor = 0;
    // From the size in use, through what a 1920x1080 screen shows, at once.
    const int expected[7][2] = {{1152, 864}, {1280, 800}, {1366, 768}, {1920, 1080},
                                {640, 480},  {800, 600},  {1024, 768}};
    for (const auto& size : expected) {
        press(Key::Enter);
        EXPECT_EQ(config.screenWidth, size[0]);
        EXPECT_EQ(config.screenHeight, size[1]);
    }
    EXPECT_EQ(shadowMaps, 7) << "the picture and the shadow map follow every step";
    config.screenWidth = 1000;   // a size from config.ini that the list lacks: the next larger one
    press(Key::Enter);
    EXPECT_EQ(config.screenWidth, 1024);

    config.mouseControl = 2;   // as stored in a config.ini: shows MOUSE, first toggle keeps MOUSE
    game.menuCursor = 3;
    press(Key::Enter);
    EXPECT_EQ(config.mouseControl, 1);
    press(Key::Enter);
    EXPECT_EQ(config.mouseControl, 0);

    // One pack found: LEVELS PACK stays on it. With none, nothing is copied.
    game.menuCursor = 4;
    press(Key::Enter);
    EXPECT_STREQ(config.levelPackName, "two.tlp");
    packList = PackList{};
    strcpy(config.levelPackName, "mine.tlp");
    press(Key::Enter);
    EXPECT_STREQ(config.levelPackName, "mine.tlp");
}

TEST_F(Shell, ResolutionOffersWhatTheScreenShowsAndTheScreensOwnSize)
{
    int32_t sizes[RESOLUTION_CHOICES][2];
    auto listed = [&](int width, int height) {
        std::string text;
        const int count = resolutionChoices(width, height, sizes);
        for (int i = 0; i < count; ++i) {
            text += std::to_string(sizes[i][0]) + "x" + std::to_string(sizes[i][1]) + " ";
        }
        return text;
    };
    EXPECT_EQ(listed(1366, 768), "640x480 800x600 1024x768 1366x768 ");
    EXPECT_EQ(listed(1280, 1024), "640x480 800x600 1024x768 1152x864 1280x800 1280x1024 ");
    EXPECT_EQ(listed(2560, 1440), "640x480 800x600 1024x768 1152x864 1280x800 1366x768 1920x1080 2560x1440 ");
    EXPECT_EQ(listed(0, 0), "640x480 800x600 1024x768 1152x864 1280x800 1366x768 1920x1080 ") << "unknown screen";
}

TEST_F(Shell, DisplayOptionAndAltEnterSwitchFullScreenAndWindowAtAnyTime)
{
    toMenu();
    game.menuCursor = 0;
    setKey(Key::Alt, true);
    press(Key::Enter);   // Alt+Enter in the menu: the display, not NEW GAME
    EXPECT_EQ(config.windowed, 1);
    EXPECT_EQ(displayChanges, 1);
    EXPECT_EQ(game.state, ShellState::Menu);
    setKey(Key::Alt, false);

    enterState(ShellState::Options);
    game.menuCursor = 1;
    press(Key::Enter);
    EXPECT_EQ(config.windowed, 0);
    EXPECT_EQ(displayChanges, 2);
    game.menuCursor = 0;
    press(Key::Enter);   // a new resolution in full screen leaves the window alone
    EXPECT_EQ(displayChanges, 2);
    game.menuCursor = 1;
    press(Key::Enter);
    EXPECT_EQ(displayChanges, 3);
    game.menuCursor = 0;
    press(Key::Enter);   // in a window, the window follows the new size
    EXPECT_EQ(displayChanges, 4);
    press(Key::Escape);
    game.menuCursor = 0;
    press(Key::Enter);   // NEW GAME, in a window
    ASSERT_EQ(game.state, ShellState::Ready);
    setKey(Key::Alt, true);
    press(Key::Enter);
    setKey(Key::Alt, false);
    EXPECT_EQ(config.windowed, 0) << "in a game too";
}

TEST_F(Shell, ReadyPhaseHoldsTheBallUntilExactly2500ms)
{
    newGame();
    const double start = field.levelStartTime;
    EXPECT_EQ(soundPlayCount(SAMPLE_START), 1);
    setKey(Key::MouseLeft, true);   // fire is refused during the ready phase
    runUntil(start + 2500);
    EXPECT_TRUE(field.ballHeld);
    EXPECT_FALSE(musicPlaying);
    EXPECT_DOUBLE_EQ(field.balls[0].y, -8.5);
    setKey(Key::MouseLeft, false);
    frameAt(start + 2501);
    EXPECT_TRUE(musicPlaying);

    // Launch under mouse control, after the ready phase: seen at the end of a
    // frame, done by the next one.
    setKey(Key::MouseLeft, true);
    frameAt(start + 2511);
    EXPECT_TRUE(field.ballHeld);
    frameAt(start + 2521);
    EXPECT_FALSE(field.ballHeld);
    EXPECT_TRUE(field.balls[0].movingUp);
}

TEST_F(Shell, EscapeEndsTheGameQuietlyAndTheMenuReturnsAtLevelOne)
{
    newGame();
    runUntil(fakeNow + 3000);
    ASSERT_TRUE(musicPlaying);
    soundCalls.clear();
    press(Key::Escape);
    EXPECT_EQ(game.state, ShellState::AskEnd) << "Escape asks first";
    press(Key::Left);   // from NO to YES
    press(Key::Enter);
    EXPECT_EQ(field.lives, 0);
    const double over = fakeNow;
    runUntil(over + 1900);
    EXPECT_FALSE(game.inMenu) << "GAME OVER stays 2000 ms";
    runUntil(over + 2100);
    EXPECT_TRUE(game.inMenu);
    EXPECT_EQ(field.levelNumber, 1);
    EXPECT_EQ(field.lives, 3);
    EXPECT_EQ(field.score, 0);
    EXPECT_EQ(soundPlayCount(SAMPLE_GAME_OVER), 0);
    for (const SoundCall& call : soundCalls) {
        EXPECT_NE(call.what, "stopStream");
    }
}

TEST_F(Shell, ClearingTheLastLevelReturnsToTheMenuAtLevelZero)
{
    newGame();
    runUntil(fakeNow + 3000);
    field.levelCleared = true;
    frameAt(fakeNow + 10);
    EXPECT_EQ(field.levelNumber, 2);
    EXPECT_FALSE(game.inMenu);
    EXPECT_EQ(soundPlayCount(SAMPLE_START), 2);
    runUntil(fakeNow + 3000);
    field.levelCleared = true;
    const int before = playFrames;
    frameAt(fakeNow + 10);
    EXPECT_TRUE(game.inMenu);
    EXPECT_EQ(field.levelNumber, 0);
    EXPECT_EQ(playFrames, before + 1) << "that frame still draws the play scene";
}

TEST_F(Shell, TheMusicRestartsInTheFrameThatLoadsTheNextLevel)
{
    newGame();
    runUntil(fakeNow + 3000);
    field.levelCleared = true;
    soundCalls.clear();
    frameAt(fakeNow + 10);
    ASSERT_EQ(field.levelNumber, 2);
    int stopped = -1;
    int started = -1;
    for (int i = 0; i < static_cast<int>(soundCalls.size()); ++i) {
        if (soundCalls[i].what == "stopStream") {
            stopped = i;
        } else if (soundCalls[i].what == "playStream") {
            started = i;
        }
    }
    EXPECT_GE(stopped, 0) << "loading stops the stream";
    EXPECT_GT(started, stopped) << "and the same frame starts it again";
    EXPECT_TRUE(musicPlaying);
    EXPECT_TRUE(field.ballHeld) << "the new level's ball rests on the paddle";
}

TEST_F(Shell, ALostLifePausesTwoSeconds)
{
    newGame();
    runUntil(fakeNow + 3000);
    for (Ball& ball : field.balls) {
        ball.active = false;
    }
    field.ballCount = 0;
    frameAt(fakeNow + 10);
    EXPECT_EQ(field.lives, 2);
    EXPECT_TRUE(field.lifeLostPause);
    EXPECT_EQ(soundPlayCount(SAMPLE_LOSE), 1);
    const double began = field.lifeLostTime;
    runUntil(began + 2000);
    EXPECT_TRUE(field.lifeLostPause);
    frameAt(began + 2001);
    EXPECT_FALSE(field.lifeLostPause);
}

TEST_F(Shell, QuitWritesTheSettingsAndEndsSuccessfully)
{
    toMenu();
    game.menuCursor = 3;
    setKey(Key::Enter, true);
    frameAt(fakeNow + 10);
    EXPECT_EQ(exitStatus, 0);
    std::ifstream in("config.ini");
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "1024 768\n1\n0\ntwo.tlp\n");
}

static std::string readText(const char* path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// --window and --pack choose for one run: QUIT keeps config.ini's own display
// and pack, unless the player chose again in the game.
TEST_F(Shell, QuitKeepsWhatTheOptionsChoseForOneRunOutOfConfigIni)
{
    toMenu();
    runOnly.display = true;
    runOnly.pack = true;
    strcpy(runOnly.packAsRead, "one.tlp");
    config.windowed = 1;
    game.menuCursor = 3;
    press(Key::Enter);
    EXPECT_EQ(readText("config.ini"), "1024 768\n1\n0\none.tlp\n");

    exitStatus = -1;
    toggleDisplay();
    toggleDisplay();   // the player's own choice: a window
    press(Key::Enter);
    EXPECT_EQ(readText("config.ini"), "1024 768\n1\n0\none.tlp\n1\n");
}

TEST_F(Shell, ABrokenPackAtNewGameKeepsTheMenu)
{
    std::ofstream("Levels Packs/two.tlp") << "2\n1 1 50 1\n0 0 x";
    toMenu();
    game.menuCursor = 0;
    testing::internal::CaptureStdout();
    press(Key::Enter);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(game.inMenu);
    EXPECT_NE(out.find("two.tlp"), std::string::npos) << out;
    EXPECT_NE(std::string(game.menuMessage).find("two.tlp"), std::string::npos) << "and on screen";
    EXPECT_EQ(soundPlayCount(SAMPLE_START), 0);
}

TEST_F(Shell, CameraAnglesTurnTheView)
{
    setCameraAngles(0, 0);
    EXPECT_DOUBLE_EQ(engine.cameraDirection[2], -1);
    setCameraAngles(0, 0.3);
    EXPECT_LT(engine.cameraDirection[1], 0) << "a positive pitch looks down";
    setCameraAngles(0.5 / 5, 0);
    EXPECT_NEAR(engine.cameraDirection[0], std::sin(0.1), 1e-6);
}

// ---------------------------------------------------------------------------
// Reading a level from the pack
// ---------------------------------------------------------------------------

TEST_F(Shell, LevelsAreTakenByPositionNotByTheirStoredNumbers)
{
    std::ofstream(dir / "Levels Packs" / "two.tlp") << "3\n" + emptyLevel(7, 1) + emptyLevel(8, 2) + emptyLevel(9, 3);
    field.levelNumber = 3;
    field.levelCount = 3;
    frameClock.clockNow = 4321.9;   // the frame's clock: the loader reads none of its own
    fakeNow = 9999;
    ASSERT_TRUE(loadLevelOfPack());
    EXPECT_EQ(field.levelNumber, 3);
    EXPECT_EQ(field.bricks[5 * 11].type, 3);
    EXPECT_EQ(field.levelStartTime, 4321);
    EXPECT_EQ(swaps, 1);
    EXPECT_FALSE(musicPlaying);
    ASSERT_FALSE(soundCalls.empty());
    EXPECT_EQ(soundCalls.back().what, "stopStream");
    EXPECT_TRUE(engine.lights[0].enabled && !engine.lights[1].enabled);
}

TEST_F(Shell, ADamagedPackIsReportedAndChangesNothing)
{
    std::string text = "2\n" + emptyLevel(1, 7) + emptyLevel(2, 7);
    text.resize(text.size() - 40);   // the second level's grid ends early
    std::ofstream(dir / "Levels Packs" / "two.tlp") << text;
    field.levelNumber = 2;
    field.bricks[7].present = true;
    field.score = 55;
    const PlayField before = field;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(loadLevelOfPack());
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_NE(said.find("Levels Packs/two.tlp"), std::string::npos) << said;
    EXPECT_NE(said.find("level 2"), std::string::npos) << said;
    EXPECT_EQ(memcmp(&before.bricks, &field.bricks, sizeof field.bricks), 0);
    EXPECT_EQ(field.paddle.x, before.paddle.x);
    EXPECT_EQ(swaps, 0);
    EXPECT_TRUE(soundCalls.empty());

    std::ofstream(dir / "Levels Packs" / "two.tlp") << "1\n" + emptyLevel(1, 7);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(loadLevelOfPack()) << "a level past the end is a format error too";
    testing::internal::GetCapturedStdout();
}

TEST_F(Shell, NewGameOnAPackThatHasGoneStaysInTheMenuWithTheReason)
{
    strcpy(config.levelPackName, "missing.tlp");
    toMenu();
    game.menuCursor = 0;
    testing::internal::CaptureStdout();
    press(Key::Enter);
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_EQ(exitStatus, -1) << "the game goes on";
    EXPECT_TRUE(game.inMenu);
    EXPECT_EQ(std::string(game.menuMessage), "Cannot open Levels Packs/missing.tlp: No such file or directory");
    EXPECT_NE(said.find(game.menuMessage), std::string::npos);
    EXPECT_EQ(soundPlayCount(SAMPLE_START), 0);
}
