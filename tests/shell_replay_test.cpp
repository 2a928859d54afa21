// The game's replays and the menu's demo, driven like the states: a game
// played with scripted input is saved into replays/, plays back in the window
// to the same end, and re-runs headless; the folder keeps the last twenty; a
// changed pack is refused; the demo plays on a field of its own.
#include "game/render/picture.h"
#include "tests/shell_fixture.h"

#include <algorithm>
#include <chrono>

namespace {

class Replays : public Shell {
protected:
    // A game under mouse control, frames of uneven length, the mouse swinging,
    // clicks, a pause, then Escape and GAME OVER back to the menu. Returns
    // the score the game ended with.
    int32_t playAGame()
    {
        toPlay();
        for (int i = 0; i < 900; ++i) {
            fakeInput.pointerX = anchorX() + ((i / 45) % 2 ? 7 : -7);
            fakeInput.pointerY = anchorY() + (i % 50 == 0 ? 3 : 0);
            if (i % 97 == 0) {
                tapKey(Key::MouseLeft);
            }
            if (i == 400) {
                tapKey(Key::Pause);
                runFor(700);
                tapKey(Key::Pause);
            }
            frameAt(fakeNow + 9 + (i % 3) * 3.25);
        }
        fakeInput.pointerX = anchorX();
        press(Key::Escape);
        tapNamedKey("y");   // END THIS GAME? YES
        frameAt(fakeNow + 10);
        frameAt(fakeNow + 10);
        EXPECT_EQ(game.state, ShellState::GameOver);
        const int32_t score = field.score;
        runFor(PAUSE_TIME + 100);
        EXPECT_EQ(game.state, score > 0 ? ShellState::NameEntry : ShellState::Menu);
        return score;
    }

    // The program started again, with --replay path.
    void startWithReplay(const std::string& path)
    {
        game = GameState{};
        field = PlayField{};
        frameClock = FrameClock{};
        engine.loaded = false;
        playback = Playback{};
        exitStatus = -1;
        std::string failure;
        ASSERT_TRUE(readPlaybackFile(path, failure)) << failure;
        ASSERT_TRUE(preparePlayback(failure)) << failure;
        frameAt(fakeNow + 100);   // loading, then the replay's game at once
        ASSERT_EQ(game.state, ShellState::Ready);
    }
};

}   // namespace

TEST_F(Replays, AGameIsSavedAndPlaysBackInTheWindowToTheSameEnd)
{
    const int32_t score = playAGame();
    ASSERT_GT(score, 0);
    ASSERT_FALSE(gameRecording.lastSaved.empty());
    // The pack's first table game: its replay is kept out of the rotation and watched from the table.
    EXPECT_EQ(gameRecording.lastSaved.rfind("replays/kept-", 0), 0u) << gameRecording.lastSaved;
    tapKey(Key::Enter);   // the name offered
    frameAt(fakeNow + 10);
    ASSERT_EQ(game.state, ShellState::HighScores);
    ASSERT_EQ(findTable(playerRecords.scores, playerRecords.gamePack)->entries[0].replay, gameRecording.lastSaved);
    const int mouse = config.mouseControl;
    config.mouseControl = 0;
    tapKey(Key::Enter);   // watch the game on the cursor's row
    frameAt(fakeNow + 10);
    frameAt(fakeNow + 10);
    EXPECT_EQ(renderInputs.banner, PlayBanner::Replay);
    for (int i = 0; i < 4000 && playback.active; ++i) {
        frameAt(fakeNow + 25);
    }
    EXPECT_EQ(exitStatus, -1) << "the game goes on";
    EXPECT_EQ(field.score, 0);
    EXPECT_EQ(game.state, ShellState::HighScores);
    EXPECT_EQ(config.mouseControl, 0) << "the player's control mode, not the replay's";
    config.mouseControl = mouse;
    Replay saved;
    std::string failure;
    ASSERT_TRUE(readReplayFile(gameRecording.lastSaved, saved, failure)) << failure;
    EXPECT_EQ(saved.end.score, score);
    EXPECT_EQ(saved.start.packName, "two.tlp");
    EXPECT_EQ(saved.start.control, ControlMode::Mouse);
    ReplayCursor cursor = firstReplayFrame(saved);
    FrameTimes times;
    PlayerCommand command;
    double longest = 0;
    while (nextReplayFrame(cursor, times, command)) {
        longest = std::max(longest, times.clockNow - times.clockPrev);
    }
    EXPECT_LT(longest, 20) << "the pause is left out of the game's clock";
    const ReplayRun headless = runReplay(saved, "Levels Packs/two.tlp");
    ASSERT_TRUE(headless.ran) << headless.failure;
    EXPECT_TRUE(sameEnd(headless.end, saved.end)) << describeEnd(headless.end) << " / " << describeEnd(saved.end);

    // Played back at another frame rate, paused for a while: the same end, then the program ends with 0.
    startWithReplay(gameRecording.lastSaved);
    EXPECT_EQ(renderInputs.banner, PlayBanner::Replay);
    runFor(4000, 25);
    EXPECT_EQ(game.state, ShellState::Play);
    tapKey(Key::Pause);
    frameAt(fakeNow + 25);
    const uint32_t framesAtPause = playback.end.frames;
    runFor(3000, 25);
    EXPECT_EQ(playback.end.frames, framesAtPause) << "nothing plays while paused";
    tapKey(Key::Pause);
    for (int i = 0; i < 4000 && exitStatus < 0; ++i) {
        frameAt(fakeNow + 25);
    }
    EXPECT_EQ(exitStatus, 0);
    EXPECT_TRUE(sameEnd(playback.end, saved.end)) << describeEnd(playback.end) << " / " << describeEnd(saved.end);
    EXPECT_EQ(playback.end.score, score);

    // Escape ends it at once; a replay of a pack that has changed since is refused before anything opens.
    startWithReplay(gameRecording.lastSaved);
    runFor(500);
    press(Key::Escape);
    EXPECT_EQ(exitStatus, 0);
    EXPECT_TRUE(playback.finished);
    std::ofstream("Levels Packs/two.tlp", std::ios::app) << "\n";
    playback = Playback{};
    ASSERT_TRUE(readPlaybackFile(gameRecording.lastSaved, failure));
    EXPECT_FALSE(preparePlayback(failure));
    EXPECT_NE(failure.find("changed"), std::string::npos) << failure;
    EXPECT_FALSE(playback.active);
}

TEST_F(Replays, TheFolderKeepsTheLastTwentyGamesAndEveryOtherFile)
{
    fs::create_directories("replays");
    const auto base = fs::file_time_type::clock::now();
    for (int i = 0; i < 24; ++i) {
        // Names that sort otherwise than their age: the rotation goes by when each was written.
        const fs::path path = "replays/game-" + std::to_string(100 - i) + ".replay";
        std::ofstream(path) << "x";
        fs::last_write_time(path, base - std::chrono::hours(48) + std::chrono::minutes(i));
    }
    std::ofstream("replays/" + replayFileName(0, true)) << "x";
    std::ofstream("replays/mine.replay") << "x";
    fs::create_directory("replays/game-0.replay");   // not a file the game wrote
    fs::last_write_time("replays/game-0.replay", base - std::chrono::hours(72));

    EXPECT_EQ(pruneReplays("replays", REPLAYS_KEPT), 4);
    for (int i = 0; i < 24; ++i) {
        EXPECT_EQ(fs::exists("replays/game-" + std::to_string(100 - i) + ".replay"), i >= 4) << i;
    }
    EXPECT_TRUE(fs::exists("replays/" + replayFileName(0, true)));
    EXPECT_TRUE(fs::exists("replays/mine.replay"));
    EXPECT_TRUE(fs::is_directory("replays/game-0.replay"));
    EXPECT_EQ(replayFileName(0, false).rfind(ROTATING_REPLAY_PREFIX, 0), 0u);
    EXPECT_EQ(replayFileName(0, true).rfind(KEPT_REPLAY_PREFIX, 0), 0u);
}

TEST_F(Replays, TheMenuShowsADemoAfterThirtySecondsAndAnyPressEndsIt)
{
    toMenu();
    const int32_t level = field.levelNumber;
    const int32_t lives = field.lives;
    runFor(DEMO_IDLE_TIME - 1000);
    tapKey(Key::Other);   // a key the menu has no use for still counts as the player being there
    runFor(DEMO_IDLE_TIME - 100);
    EXPECT_EQ(game.state, ShellState::Menu);
    runFor(200);
    ASSERT_EQ(game.state, ShellState::Demo);
    EXPECT_EQ(demo.field.levelNumber, 1);

    const size_t sounds = soundCalls.size();
    const int frames = playFrames;
    runFor(READY_TIME + 1500);
    EXPECT_GT(playFrames, frames) << "the play scene shows the demo";
    EXPECT_EQ(renderInputs.field, &demo.field);
    EXPECT_EQ(renderInputs.banner, PlayBanner::Demo);
    EXPECT_FALSE(demo.field.ballHeld) << "the bot launched";
    EXPECT_EQ(soundCalls.size(), sounds) << "the demo is silent";
    EXPECT_EQ(field.levelNumber, level);
    EXPECT_EQ(field.lives, lives);

    const int cursor = game.menuCursor;
    tapKey(Key::Enter);
    frameAt(fakeNow + 10);
    EXPECT_EQ(game.state, ShellState::Menu) << "back at once";
    EXPECT_EQ(game.menuCursor, cursor);
    frameAt(fakeNow + 10);
    EXPECT_EQ(game.state, ShellState::Menu) << "the press did nothing else";
    EXPECT_EQ(renderInputs.field, &field);

    // Left alone, the next demo plays the next level and ends by itself.
    runFor(DEMO_IDLE_TIME + 100);
    ASSERT_EQ(game.state, ShellState::Demo);
    EXPECT_EQ(demo.field.levelNumber, 2);
    for (int waited = 0; game.state == ShellState::Demo && waited <= DEMO_LONGEST + PAUSE_TIME; waited += 100) {
        runFor(100);
    }
    EXPECT_EQ(game.state, ShellState::Menu);
    EXPECT_TRUE(engine.lights[1].enabled) << "the menu's lights are back";
}

TEST(GameArguments, ReplayIsTakenAndGlutsOptionsStay)
{
    char name[] = "tessivar", display[] = "-display", where[] = ":3", replay[] = "--replay", file[] = "a b.replay";
    char* argv[] = {name, display, where, replay, file, nullptr};
    int argc = 5;
    GameArguments arguments;
    std::string failure;
    ASSERT_TRUE(takeGameArguments(argc, argv, arguments, failure)) << failure;
    EXPECT_EQ(arguments.replayPath, "a b.replay");
    ASSERT_EQ(argc, 3);
    EXPECT_STREQ(argv[1], "-display");
    EXPECT_STREQ(argv[2], ":3");
    EXPECT_EQ(argv[3], nullptr);

    char equals[] = "--replay=x.replay";
    char* second[] = {name, equals, nullptr};
    argc = 2;
    ASSERT_TRUE(takeGameArguments(argc, second, arguments, failure));
    EXPECT_EQ(arguments.replayPath, "x.replay");

    // A level straight away, in a window, on a pack given by name; -geometry keeps its value; a pack file.
    char pack[] = "--pack=my pack", level[] = "--level", three[] = "3", window[] = "--window", geometry[] = "-geometry",
         size[] = "800x600", tlp[] = "x.tlp";
    char* fourth[] = {name, pack, level, three, geometry, size, window, tlp, nullptr};
    argc = 8;
    arguments = GameArguments{};
    ASSERT_TRUE(takeGameArguments(argc, fourth, arguments, failure)) << failure;
    EXPECT_EQ(arguments.packName, "my pack");
    EXPECT_EQ(arguments.levelNumber, 3);
    EXPECT_TRUE(arguments.window);
    EXPECT_EQ(arguments.packFile, "x.tlp");
    ASSERT_EQ(argc, 3);
    EXPECT_STREQ(fourth[2], "800x600");

    char unknown[] = "--fast", zero[] = "--level=0";
    for (char* wrong : {replay, unknown, zero}) {
        char* third[] = {name, wrong, nullptr};
        argc = 2;
        EXPECT_FALSE(takeGameArguments(argc, third, arguments, failure));
        EXPECT_FALSE(failure.empty());
    }
}

TEST_F(Replays, ALevelAskedForIsPlayedAtOnceAndTheProgramEndsWithItsGame)
{
    std::string failure;
    EXPECT_FALSE(selectPackByName("three", failure));
    EXPECT_NE(failure.find("two.tlp"), std::string::npos) << "names the packs there: " << failure;
    ASSERT_TRUE(selectPackByName("two", failure)) << failure;
    EXPECT_FALSE(prepareDirectPlay(3, failure));
    EXPECT_NE(failure.find("holds 2 levels"), std::string::npos) << failure;

    // Given up (Escape, YES): GAME OVER shows, then the program ends instead of the menu.
    ASSERT_TRUE(prepareDirectPlay(2, failure)) << failure;
    frameAt(100);
    EXPECT_EQ(game.state, ShellState::Ready);
    EXPECT_EQ(splashFrames, 0);
    EXPECT_EQ(field.levelNumber, 2);
    EXPECT_EQ(field.levelCount, 2);
    runFor(500);
    press(Key::Escape);
    press(Key::Left);   // from NO to YES
    press(Key::Enter);
    EXPECT_EQ(game.state, ShellState::GameOver);
    runFor(PAUSE_TIME + 100);
    EXPECT_EQ(exitStatus, 0);
    EXPECT_EQ(menuFrames, 0);

    // Cleared: the last picture holds (no next level), then the program ends.
    game = GameState{};
    field = PlayField{};
    exitStatus = -1;
    ASSERT_TRUE(prepareDirectPlay(1, failure)) << failure;
    frameAt(fakeNow + 100);
    runUntil(field.levelStartTime + READY_TIME + 10);
    for (Brick& brick : field.bricks) {
        brick.present = false;
    }
    runFor(PAUSE_TIME - 200);
    EXPECT_TRUE(field.levelCleared);
    EXPECT_EQ(field.levelNumber, 1) << "level 2 is not loaded";
    EXPECT_EQ(exitStatus, -1);
    runFor(400);
    EXPECT_EQ(exitStatus, 0);
}
