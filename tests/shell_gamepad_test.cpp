// A game played with a game controller: SDL's own virtual pad, plugged in
// through SDL's joystick layer like a real one, driving the real controller
// backend and the shell.
#include "platform/gamepad.h"
#include "tests/shell_fixture.h"

#include <SDL.h>

namespace {

class Gamepad : public Shell {
protected:
    SDL_Joystick* pad = nullptr;

    void SetUp() override
    {
        Shell::SetUp();
        ASSERT_TRUE(gamepadInit()) << SDL_GetError();
        plugIn();
    }
    void TearDown() override
    {
        pullOut();
        gamepadShutdown();
        Shell::TearDown();
    }
    void plugIn()
    {
        const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                                    SDL_CONTROLLER_BUTTON_MAX, 0);
        ASSERT_GE(index, 0) << SDL_GetError();
        pad = SDL_JoystickOpen(index);
        ASSERT_NE(pad, nullptr) << SDL_GetError();
    }
    void pullOut()
    {
        if (!pad) {
            return;
        }
        const SDL_JoystickID id = SDL_JoystickInstanceID(pad);
        SDL_JoystickClose(pad);
        pad = nullptr;
        for (int i = 0; i < SDL_NumJoysticks(); ++i) {
            if (SDL_JoystickGetDeviceInstanceID(i) == id) {
                SDL_JoystickDetachVirtual(i);
            }
        }
    }
    // The button held for one 50 ms frame, then let go for another.
    void pressPad(SDL_GameControllerButton button)
    {
        SDL_JoystickSetVirtualButton(pad, button, 1);
        frameAt(fakeNow + 50);
        SDL_JoystickSetVirtualButton(pad, button, 0);
        frameAt(fakeNow + 50);
    }
    void stick(SDL_GameControllerAxis axis, Sint16 value)
    {
        SDL_JoystickSetVirtualAxis(pad, axis, value);
        frameAt(fakeNow + 50);
    }
};

}   // namespace

TEST_F(Gamepad, MenuNewGameLaunchPauseResumeAndEscape)
{
    toMenu();
    EXPECT_EQ(gamepadCount(), 1);
    pressPad(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    EXPECT_EQ(game.menuCursor, 1);
    stick(SDL_CONTROLLER_AXIS_LEFTY, -30000);   // the stick works the menu too: one line per push
    stick(SDL_CONTROLLER_AXIS_LEFTY, -30000);
    stick(SDL_CONTROLLER_AXIS_LEFTY, 0);
    EXPECT_EQ(game.menuCursor, 0);
    pressPad(SDL_CONTROLLER_BUTTON_A);   // NEW GAME
    ASSERT_EQ(game.state, ShellState::Ready);

    runUntil(field.levelStartTime + READY_TIME + 10);
    ASSERT_EQ(game.state, ShellState::Play);
    ASSERT_NE(config.mouseControl, 0) << "the pad steers under mouse control too";
    stick(SDL_CONTROLLER_AXIS_LEFTX, 20479);   // halfway from the dead zone: half the keyboard's 0.6 a tick
    const double x = field.paddle.x;
    frameAt(fakeNow + 200);
    EXPECT_NEAR(field.paddle.x - x, 0.5 * 0.6 * 14, 0.01);
    stick(SDL_CONTROLLER_AXIS_LEFTX, 0);
    pressPad(SDL_CONTROLLER_BUTTON_A);
    EXPECT_FALSE(field.ballHeld) << "A launches";

    pressPad(SDL_CONTROLLER_BUTTON_START);
    EXPECT_EQ(game.state, ShellState::Paused);
    const double y = field.balls[0].y;
    runFor(1000);
    EXPECT_EQ(field.balls[0].y, y);
    pressPad(SDL_CONTROLLER_BUTTON_START);
    EXPECT_EQ(game.state, ShellState::Play);

    field.score = 500;
    pressPad(SDL_CONTROLLER_BUTTON_B);   // B is Escape: it asks first
    EXPECT_EQ(game.state, ShellState::AskEnd);
    pressPad(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    pressPad(SDL_CONTROLLER_BUTTON_A);   // YES
    EXPECT_EQ(game.state, ShellState::GameOver);
    runFor(2100);
    ASSERT_EQ(game.state, ShellState::NameEntry) << "the pack's first game with points";
    // The d-pad spells the name: Up a letter, Right the next place; A is done.
    for (SDL_GameControllerButton button :
         {SDL_CONTROLLER_BUTTON_DPAD_UP, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, SDL_CONTROLLER_BUTTON_DPAD_UP,
          SDL_CONTROLLER_BUTTON_DPAD_UP, SDL_CONTROLLER_BUTTON_A}) {
        pressPad(button);
    }
    ASSERT_EQ(game.state, ShellState::HighScores);
    EXPECT_EQ(findTable(playerRecords.scores, playerRecords.gamePack)->entries[0].name, "AB");
    pressPad(SDL_CONTROLLER_BUTTON_B);
    EXPECT_EQ(game.state, ShellState::Menu);
}

TEST_F(Gamepad, APadPluggedInWhilePlayingWorksAtOnce)
{
    toMenu();
    pullOut();
    frameAt(fakeNow + 50);
    EXPECT_EQ(gamepadCount(), 0);
    plugIn();
    frameAt(fakeNow + 50);
    EXPECT_EQ(gamepadCount(), 1);
    pressPad(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    pressPad(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    pressPad(SDL_CONTROLLER_BUTTON_A);
    EXPECT_EQ(game.state, ShellState::Options);
    pressPad(SDL_CONTROLLER_BUTTON_B);   // and back, as Escape does on the options screen
    EXPECT_EQ(game.state, ShellState::Menu);
}
