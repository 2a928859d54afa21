// The state table driven with a fake clock and scripted input: presses
// shorter than a frame, pause in every state that has one, focus loss, the
// paddle at the walls, and the failures the menu shows.
#include "game/playfield/samples.h"
#include "game/render/picture.h"
#include "tests/shell_fixture.h"

#include <sstream>

namespace {

std::string fileText(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

int soundCallCount(const char* what)
{
    int count = 0;
    for (const SoundCall& call : soundCalls) {
        count += call.what == what;
    }
    return count;
}

// What must not change while the game is paused.
struct Frozen {
    Ball balls[BALL_SLOTS];
    Paddle paddle;
    int32_t lives;
    bool lifeLostPause;
    double cameraYaw;
};

Frozen freeze()
{
    Frozen f{};
    for (int i = 0; i < BALL_SLOTS; ++i) {
        f.balls[i] = field.balls[i];
    }
    f.paddle = field.paddle;
    f.lives = field.lives;
    f.lifeLostPause = field.lifeLostPause;
    f.cameraYaw = cameraYaw;
    return f;
}

void expectFrozen(const Frozen& f)
{
    for (int i = 0; i < BALL_SLOTS; ++i) {
        EXPECT_EQ(f.balls[i].x, field.balls[i].x);
        EXPECT_EQ(f.balls[i].y, field.balls[i].y);
    }
    EXPECT_EQ(f.paddle.x, field.paddle.x);
    EXPECT_EQ(f.lives, field.lives);
    EXPECT_EQ(f.lifeLostPause, field.lifeLostPause);
    EXPECT_EQ(f.cameraYaw, cameraYaw);
}

class States : public Shell {
protected:
    // P tapped between two 50 ms frames, seconds of pause with the mouse
    // moving, P again; returns the state the pause was taken in.
    ShellState pauseFor(double ms)
    {
        const ShellState from = game.state;
        tapKey(Key::Pause);
        frameAt(fakeNow + 50);
        EXPECT_EQ(game.state, ShellState::Paused);
        const Frozen before = freeze();
        for (double t = 0; t < ms; t += 50) {
            fakeInput.pointerX += 40;   // the mouse moves nothing while paused
            frameAt(fakeNow + 50);
        }
        expectFrozen(before);
        EXPECT_EQ(game.state, ShellState::Paused);
        tapKey(Key::Pause);
        frameAt(fakeNow + 50);
        EXPECT_EQ(game.state, from);
        return from;
    }
};

}   // namespace

TEST_F(States, TapsShorterThanAFrameActOnceEachInTheirOrder)
{
    toMenu();
    // 200 ms frames from here, as software rendering gives; every tap falls between two of them.
    tapKey(Key::Down);
    tapKey(Key::Down);
    frameAt(fakeNow + 200);
    EXPECT_EQ(game.menuCursor, 2);
    tapKey(Key::Enter);   // OPTIONS, on its first line ...
    tapKey(Key::Down);
    tapKey(Key::Down);
    tapKey(Key::Enter);   // ... and FALL MODE toggled, in one frame
    frameAt(fakeNow + 200);
    EXPECT_EQ(game.state, ShellState::Options);
    EXPECT_EQ(config.fallMode, 1);
    tapKey(Key::Up);
    tapKey(Key::Up);
    tapKey(Key::Enter);   // the order counts: RESOLUTION, not FALL MODE
    frameAt(fakeNow + 200);
    EXPECT_EQ(config.screenWidth, 1152) << "the size after the one in use";
    EXPECT_EQ(config.fallMode, 1);

    setKey(Key::Down, true);   // held over several frames: one line
    runFor(1000, 200);
    setKey(Key::Down, false);
    frameAt(fakeNow + 200);
    EXPECT_EQ(game.menuCursor, 1);

    for (int i = 0; i < OPTION_LINES; ++i) {
        tapKey(Key::Down);   // past the last line: it stays on RETURN ...
    }
    tapKey(Key::Enter);   // ... which the Enter of the same frame acts on
    frameAt(fakeNow + 200);
    EXPECT_EQ(game.state, ShellState::Menu);
    EXPECT_EQ(game.menuCursor, 2) << "back on OPTIONS";
    EXPECT_EQ(soundPlayCount(SAMPLE_CURSOR), 11 + OPTION_LINES);
}

TEST_F(States, ATapBetweenFramesLaunchesUnderEitherControl)
{
    toPlay();   // a mouse click shorter than a frame launched the ball
    returnToMenu(1);
    config.mouseControl = 0;
    game.menuCursor = 0;
    tapKey(Key::Enter);
    frameAt(fakeNow + 200);
    ASSERT_EQ(game.state, ShellState::Ready);
    runUntil(field.levelStartTime + READY_TIME + 200);
    ASSERT_TRUE(field.ballHeld);
    tapKey(Key::Fire);
    frameAt(fakeNow + 200);
    frameAt(fakeNow + 10);
    EXPECT_FALSE(field.ballHeld);
}

TEST_F(States, APauseStopsTheReadyPhaseWhereItStood)
{
    newGame();
    const double start = field.levelStartTime;
    runUntil(start + 1000);
    EXPECT_EQ(soundCallCount("pause"), 0);
    pauseFor(5000);
    EXPECT_EQ(soundCallCount("pause"), 1);
    EXPECT_EQ(soundCallCount("resume"), 1);
    // 1050 ms of the phase had passed; 1450 are left, whatever the pause took.
    const double resumed = fakeNow;
    runUntil(resumed + 1450);
    EXPECT_EQ(game.state, ShellState::Ready);
    EXPECT_TRUE(field.ballHeld);
    runUntil(resumed + 1470);
    EXPECT_EQ(game.state, ShellState::Play);
}

TEST_F(States, APauseHoldsTheBallsInFlight)
{
    toPlay();
    runFor(300);
    ASSERT_GT(field.balls[0].y, PADDLE_HOME_Y + 1);
    ASSERT_TRUE(musicPlaying);
    pauseFor(3000);
    EXPECT_EQ(soundCallCount("pause"), 1) << "the music holds too";
}

TEST_F(States, APauseStopsTheLifeLostPauseAndTheGameOverWait)
{
    toPlay();
    for (Ball& ball : field.balls) {
        ball.active = false;
    }
    field.ballCount = 0;
    frameAt(fakeNow + 10);
    ASSERT_EQ(game.state, ShellState::LifeLost);
    const double began = field.lifeLostTime;
    runUntil(began + 500);
    pauseFor(4000);
    runUntil(fakeNow + 1400);
    EXPECT_EQ(game.state, ShellState::LifeLost) << "1450 ms of the 2000 were left";
    runUntil(fakeNow + 100);
    EXPECT_EQ(game.state, ShellState::Play);

    tapKey(Key::Escape);
    frameAt(fakeNow + 10);
    tapNamedKey("y");
    frameAt(fakeNow + 10);
    frameAt(fakeNow + 10);
    ASSERT_EQ(game.state, ShellState::GameOver);
    runFor(500);
    pauseFor(4000);
    runFor(1400);
    EXPECT_EQ(game.state, ShellState::GameOver);
    runFor(200);
    EXPECT_EQ(game.state, ShellState::Menu);
}

TEST_F(States, EscapeAsksFirstAndOnlyYesEndsTheGame)
{
    toPlay();
    tapKey(Key::Escape);
    frameAt(fakeNow + 10);
    ASSERT_EQ(game.state, ShellState::AskEnd);
    EXPECT_FALSE(game.answerYes) << "NO is offered first";
    EXPECT_EQ(soundCallCount("pause"), 1);
    const Frozen before = freeze();
    runFor(3000);
    expectFrozen(before);
    setKey(Key::Escape, true);   // Escape again is NO, and held it does not ask again
    runFor(500);
    setKey(Key::Escape, false);
    EXPECT_EQ(game.state, ShellState::Play);
    EXPECT_EQ(soundCallCount("resume"), 1);

    tapKey(Key::Escape);
    frameAt(fakeNow + 10);
    tapKey(Key::Down);   // any arrow moves between YES and NO
    tapKey(Key::Up);
    tapKey(Key::Right);
    tapKey(Key::Enter);
    frameAt(fakeNow + 10);
    EXPECT_EQ(game.state, ShellState::Play) << "three moves: NO again";

    // From a pause, NO leaves it paused; YES ends the game as giving up always did.
    tapKey(Key::Pause);
    frameAt(fakeNow + 10);
    tapKey(Key::Escape);
    frameAt(fakeNow + 10);
    ASSERT_EQ(game.state, ShellState::AskEnd);
    tapNamedKey("n");
    frameAt(fakeNow + 10);
    EXPECT_EQ(game.state, ShellState::Paused);
    tapKey(Key::Escape);
    frameAt(fakeNow + 10);
    tapNamedKey("y");
    frameAt(fakeNow + 10);
    frameAt(fakeNow + 10);
    EXPECT_EQ(field.lives, 0);
    EXPECT_EQ(game.state, ShellState::GameOver);
    EXPECT_EQ(soundCallCount("resume"), 3) << "each NO and the YES let the sound go on";
}

TEST_F(States, LosingTheFocusPausesAndOnlyThePlayerResumes)
{
    toPlay();
    const int warps = fakeInput.warps;
    fakeInput.focused = false;
    frameAt(fakeNow + 10);
    EXPECT_EQ(game.state, ShellState::Paused);
    tapKey(Key::Pause);   // typed into another window
    runFor(1000);
    EXPECT_EQ(game.state, ShellState::Paused);
    EXPECT_EQ(fakeInput.warps, warps) << "the pointer belongs to the window that has the focus";
    fakeInput.focused = true;
    runFor(1000);
    EXPECT_EQ(game.state, ShellState::Paused);
    tapKey(Key::Pause);
    frameAt(fakeNow + 10);
    EXPECT_EQ(game.state, ShellState::Play);

    returnToMenu(1);
    fakeInput.focused = false;
    tapKey(Key::Down);
    frameAt(fakeNow + 10);
    EXPECT_EQ(game.menuCursor, 0) << "keys typed elsewhere do not reach the menu";
    EXPECT_EQ(game.state, ShellState::Menu) << "the menu has nothing to pause";
}

TEST_F(States, TheSplashWaitsWhileAnotherWindowHasTheFocus)
{
    frameAt(100);
    frameAt(200);
    runUntil(5200);
    fakeInput.focused = false;
    frameAt(5210);
    EXPECT_EQ(game.state, ShellState::Paused);
    runUntil(30000);
    fakeInput.focused = true;
    frameAt(30010);
    EXPECT_EQ(game.state, ShellState::Splash) << "it goes on by itself";
    runUntil(30010 + 4950);
    EXPECT_EQ(game.state, ShellState::Splash);
    runUntil(30010 + 5050);
    EXPECT_EQ(game.state, ShellState::Menu);
}

TEST_F(States, ThePaddleEndsEveryStepBetweenTheWalls)
{
    config.mouseControl = 0;
    newGame();
    runUntil(field.levelStartTime + READY_TIME + 10);
    setKey(Key::Right, true);
    frameAt(fakeNow + 10);
    frameAt(fakeNow + 843);   // the key moves the paddle over one 59-tick frame
    EXPECT_DOUBLE_EQ(field.paddle.x + field.paddle.halfWidth, RIGHT_WALL);
    setKey(Key::Right, false);
    setKey(Key::Left, true);
    frameAt(fakeNow + 10);
    frameAt(fakeNow + 2000);
    EXPECT_DOUBLE_EQ(field.paddle.x - field.paddle.halfWidth, LEFT_WALL);
    setKey(Key::Left, false);
    frameAt(fakeNow + 10);

    // Grown at the wall under mouse control, the paddle is pushed in rather than stuck.
    config.mouseControl = 1;
    field.paddle.x = 55;
    field.paddle.halfWidth = PADDLE_HALF_WIDTH_WIDE;
    fakeInput.pointerX = anchorX() - 8;
    frameAt(fakeNow + 10);
    frameAt(fakeNow + 10);
    EXPECT_LE(field.paddle.x + field.paddle.halfWidth, RIGHT_WALL);
    const double x = field.paddle.x;
    fakeInput.pointerX = anchorX() - 8;
    frameAt(fakeNow + 10);
    frameAt(fakeNow + 10);
    EXPECT_DOUBLE_EQ(field.paddle.x, x - 1);
}

// The pointer is measured from the window's centre; the view it turns and
// tilts stops where the field or the spare lives would leave the picture, and
// comes straight back; Home recentres it.
TEST_F(States, TheViewKeepsTheFieldAndTheSpareLivesInSight)
{
    windowState.windowWidth = 800;
    windowState.windowHeight = 600;
    config.mouseControl = 0;
    newGame();
    runUntil(field.levelStartTime + READY_TIME + 10);
    ASSERT_EQ(anchorX(), 400);
    ASSERT_EQ(anchorY(), 300);
    for (int i = 0; i < 100; ++i) {   // a long sweep down, then one right
        fakeInput.pointerY = anchorY() + (i < 50 ? 150 : 0);
        fakeInput.pointerX = anchorX() + (i < 50 ? 0 : 150);
        frameAt(fakeNow + 10);
    }
    EXPECT_TRUE(viewKeepsSight(engine.cameraPosition, cameraYaw, cameraPitch, pictureAspect(), SIGHT_ACROSS));
    EXPECT_TRUE(viewKeepsSight(engine.cameraPosition, 0, cameraPitch, pictureAspect(), SIGHT_UP_DOWN));
    EXPECT_GT(cameraPitch, 0.05);
    EXPECT_GT(cameraYaw, 0.05) << "a tilt at its limit does not stop a turn";
    const double edge = cameraYaw;
    fakeInput.pointerX = anchorX() - 30;
    fakeInput.pointerY = anchorY();
    frameAt(fakeNow + 10);
    EXPECT_NEAR(cameraYaw, edge - 0.15, 1e-9) << "the first move back turns back";

    press(Key::Home);
    EXPECT_EQ(cameraYaw, 0);
    EXPECT_EQ(cameraPitch, 0);
    setKey(Key::MouseLeft, true);   // in as far as it goes
    runFor(2000);
    setKey(Key::MouseLeft, false);
    EXPECT_LT(engine.cameraPosition[2], 100);
    EXPECT_TRUE(viewKeepsSight(engine.cameraPosition, cameraYaw, cameraPitch, pictureAspect()));
    press(Key::Home);
    EXPECT_EQ(engine.cameraPosition[2], REST_EYE[2]);

    // A window that changed measures from its new centre: no jump.
    windowState.reanchor = true;
    fakeInput.pointerX = 0;
    frameAt(fakeNow + 10);
    EXPECT_EQ(cameraYaw, 0);

    // Mouse control at every offered shape: the paddle reaches both walls and the view keeps sight.
    config.mouseControl = 1;
    for (const auto& size : {RESOLUTIONS[0], RESOLUTIONS[4], RESOLUTIONS[5], RESOLUTIONS[6]}) {
        config.screenWidth = size[0];
        config.screenHeight = size[1];
        for (int side : {-1, 1}) {
            for (int i = 0; i < 40; ++i) {
                fakeInput.pointerX = anchorX() + side * 8;
                fakeInput.pointerY = anchorY() + side * 60;
                frameAt(fakeNow + 10);
            }
            EXPECT_NEAR(field.paddle.x,
                        side < 0 ? LEFT_WALL + field.paddle.halfWidth : RIGHT_WALL - field.paddle.halfWidth, 1.0);
            EXPECT_TRUE(viewKeepsSight(engine.cameraPosition, cameraYaw / 5, 0, pictureAspect(), SIGHT_ACROSS))
                << size[0] << "x" << size[1] << " side " << side;
            EXPECT_TRUE(viewKeepsSight(engine.cameraPosition, 0, cameraPitch / 5, pictureAspect(), SIGHT_UP_DOWN));
        }
    }
}

// A pack's first level may call itself 2147483647 (the game takes that number): clearing it ends the pack
// instead of counting one past the largest integer.
TEST_F(States, ALevelNumberedWithTheLargestCountEndsThePack)
{
    std::ofstream("Levels Packs/two.tlp") << "2147483647\n" + emptyLevel(2147483647, 1);
    newGame();
    ASSERT_EQ(field.levelNumber, 2147483647);
    runUntil(field.levelStartTime + READY_TIME + 10);
    field.levelCleared = true;
    frameAt(fakeNow + 10);
    EXPECT_EQ(game.state, ShellState::Menu);
    EXPECT_EQ(field.levelNumber, 0) << "the pack is completed";
}

TEST_F(States, TheMenuShowsAFailureUntilTheNextKey)
{
    std::ofstream("Levels Packs/two.tlp") << "2\n" + emptyLevel(1, 1) + "2 1 50 1\n0 0 x";
    newGame();
    runUntil(field.levelStartTime + READY_TIME + 10);
    testing::internal::CaptureStdout();
    field.levelCleared = true;   // the second level is damaged
    frameAt(fakeNow + 10);
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_EQ(game.state, ShellState::Menu);
    EXPECT_NE(std::string(game.menuMessage).find("Levels Packs/two.tlp"), std::string::npos) << game.menuMessage;
    EXPECT_NE(said.find(game.menuMessage), std::string::npos) << "standard output has it too";
    runFor(500);
    EXPECT_NE(game.menuMessage[0], '\0');
    tapKey(Key::Down);
    frameAt(fakeNow + 10);
    EXPECT_EQ(game.menuMessage[0], '\0');
}

TEST_F(States, AFailedSaveAtQuitKeepsTheOldFileAndSaysWhy)
{
    const std::string old = "800 600\n0\n1\nold.tlp\n";
    std::ofstream("config.ini") << old;
    fs::permissions("config.ini", fs::perms(0444));
    toMenu();
    game.menuCursor = 3;
    testing::internal::CaptureStdout();
    tapKey(Key::Enter);
    frameAt(fakeNow + 10);
    EXPECT_EQ(exitStatus, -1) << "the game stays, so the player sees what failed";
    EXPECT_EQ(fileText("config.ini"), old);
    EXPECT_NE(std::string(game.menuMessage).find("cannot write config.ini: it is read-only"), std::string::npos)
        << game.menuMessage;
    tapKey(Key::Enter);
    frameAt(fakeNow + 10);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(exitStatus, 1) << "QUIT again leaves without saving";
    EXPECT_EQ(fileText("config.ini"), old);
}

TEST_F(States, APackThatCannotBeOpenedAtTheNextLevelReturnsToTheMenu)
{
    std::ofstream("Levels Packs/two.tlp") << "2\n" + emptyLevel(1, 1) + emptyLevel(2, 1);
    newGame();
    runUntil(field.levelStartTime + READY_TIME + 10);
    fs::remove("Levels Packs/two.tlp");
    fs::create_directories("Levels Packs/two.tlp");   // a folder where the pack was
    testing::internal::CaptureStdout();
    field.levelCleared = true;
    frameAt(fakeNow + 10);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(exitStatus, -1);
    EXPECT_EQ(game.state, ShellState::Menu);
    EXPECT_EQ(std::string(game.menuMessage), "Cannot open Levels Packs/two.tlp: it is a folder, not a pack");
}