// game/shell/states: changing state, pausing and resuming, and what the
// player is told. The table of what each state does lives with the frame loop.
#include "game/shell/gamestate.h"

#include "platform/sound.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

void enterState(ShellState state)
{
    if (state == game.state) {
        return;
    }
    game.state = state;
    const ShellState shown = state == ShellState::Paused ? game.pausedFrom : state;
    game.splashActive = shown == ShellState::Loading || shown == ShellState::Splash;
    game.inMenu =
        game.splashActive || shown == ShellState::Menu || shown == ShellState::Options || shown == ShellState::Demo;
    game.optionsShown = shown == ShellState::Options;
    if (game.inMenu) {
        game.menuIdleSince = frameClock.clockNow;   // the demo waits from here
    }
    traceLine("state %s", STATE_TABLE[static_cast<int>(state)].name);
}

ShellState playState(int32_t elapsed)
{
    if (field.lives <= 0) {
        return ShellState::GameOver;
    }
    if (elapsed <= READY_TIME) {
        return ShellState::Ready;
    }
    return field.lifeLostPause ? ShellState::LifeLost : ShellState::Play;
}

void pauseGame()
{
    if (game.state == ShellState::Paused || STATE_TABLE[static_cast<int>(game.state)].pause == PauseRule::Never) {
        return;
    }
    game.pausedFrom = game.state;
    enterState(ShellState::Paused);
    soundPause(true);
}

void resumeGame()
{
    if (game.state != ShellState::Paused) {
        return;
    }
    soundPause(false);
    enterState(game.pausedFrom);
}

void shiftClocks(double ms)
{
    // The play clock leaves the pause out. The whole-millisecond clocks move
    // by whole milliseconds; what is left over waits for the next paused
    // frame, so no time is lost or gained.
    frameClock.pausedMs += ms;
    game.pauseCarry += ms;
    const double whole = std::floor(game.pauseCarry);
    game.pauseCarry -= whole;
    game.lastAliveTime += static_cast<int32_t>(whole);
    game.splashStartTime += ms;
}

void showMenuMessage(const char* text)
{
    snprintf(game.menuMessage, sizeof game.menuMessage, "%s", text);
    printf("%s\n", text);
    fflush(stdout);
}

void traceLine(const char* format, ...)
{
    if (!game.trace) {
        return;
    }
    printf("trace: ");
    va_list args;
    va_start(args, format);
    vprintf(format, args);
    va_end(args);
    printf("\n");
    fflush(stdout);
}
