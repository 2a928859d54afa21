// game/shell/frame: the whole life of the running game, one call per frame.
// Clock and time step, then the current state's row of the table: its step,
// its renderer, and finally the input poll.
#include "game/playfield/samples.h"
#include "game/render/engine.h"
#include "game/render/lights.h"
#include "game/render/picture.h"
#include "game/shell/config.h"
#include "game/shell/gamestate.h"
#include "game/shell/shell.h"
#include "platform/sound.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

// ---------------------------------------------------------------------------
// Loading and splash
// ---------------------------------------------------------------------------

void loadingStep()
{
    loadPlayerRecords();
    fillRenderInputs();
    shellSeams.runLoading();
    // Once, for whoever waits for the game to be up (the windowed tests, the
    // start-up benchmark): the picture size the splash lays its logo out for.
    printf("%d/%d\n", config.screenWidth, config.screenHeight);
    printf("%f\n", static_cast<double>(config.screenWidth) / config.screenHeight);
    if (playback.active) {
        startPlayback();   // no splash, no menu: the replay's game at once
        return;
    }
    if (directPlay.active) {
        startDirectPlay();   // the same for a level asked for on the command line
        return;
    }
    enterState(ShellState::Splash);
}

void splashStep()
{
    if (!game.splashClockStarted) {
        game.splashStartTime = frameClock.clockNow;
        game.splashClockStarted = true;
    }
    // The splash light fades in from the third second, 0.005 a tick.
    if (frameClock.clockNow - game.splashStartTime > 2000 && game.splashFade < 1.0) {
        const float fade = static_cast<float>(game.splashFade);
        setLightColour(SPLASH_LIGHT, fade, fade, fade);
        game.splashFade = std::fmin(1.0, game.splashFade + 0.005 * frameClock.tick);
    }
    if (!game.splashSoundDone) {
        playCue(SAMPLE_MORVI);
        game.splashSoundDone = true;
    }
    if (frameClock.clockNow - game.splashStartTime > SPLASH_TIME) {
        endSplash();
    }
}

// ---------------------------------------------------------------------------
// Menu
// ---------------------------------------------------------------------------

void menuStep()
{
    const int last = menuLineCount() - 1;
    if (game.menuCursor < 0) {
        game.menuCursor = 0;
    } else if (game.menuCursor > last) {
        game.menuCursor = last;
    }

    if (!game.menuJingleDone) {
        playCue(SAMPLE_PRES);
        game.menuJingleDone = true;
    }
    if (game.state == ShellState::Menu) {
        saveSettingsIfChanged();   // back on the main menu from the options or a game
    }

    renderInputs.menuMarkerScale = placeMenuLightsAt(menuLineY(game.menuCursor), engine.cameraPosition);
    game.menuSpin += 2 * frameClock.tick;

    if (frameClock.clockNow - game.menuIdleSince > DEMO_IDLE_TIME && !startDemo()) {
        game.menuIdleSince = frameClock.clockNow;   // no pack to show: ask again in a while
    }
}

// ---------------------------------------------------------------------------
// Game
// ---------------------------------------------------------------------------

// The HUD's moving parts: READY sinks 1.4 units a second through the ready
// phase; the exit's zig-zags turn 25 to 29 degrees a tick.
void animateHud()
{
    if (game.state == ShellState::Ready) {
        game.readySlide -= 0.02 * frameClock.tick;
    } else {
        game.readySlide = 0;
    }
    if (field.warpOpen) {
        static const double steps[4] = {25, 26, 27, 29};
        for (int k = 0; k < 4; ++k) {
            game.exitSpin[k] = std::fmod(game.exitSpin[k] + steps[k] * frameClock.tick, 360.0);
        }
    }
}

// Where the view stands after a step: under mouse control it turns with the paddle.
void aimCamera()
{
    if (config.mouseControl) {
        turnWithPaddle();
        setCameraAngles(cameraYaw * MOUSE_VIEW_SCALE, cameraPitch * MOUSE_VIEW_SCALE);
    } else {
        setCameraAngles(cameraYaw, cameraPitch);
    }
}

void gameStep()
{
    setLightPosition(SPLASH_LIGHT, 0, 0, -20, 0);
    setLightDirection(SPLASH_LIGHT, 0, 0, -1);
    if (playback.active) {
        playRecordedFrames();
        if (!playback.active) {
            return;   // watched from the table, and over: the table shows again
        }
        placePlayLights(field);
        aimCamera();
        enterState(playState(static_cast<int32_t>(playback.shownClock - field.levelStartTime)));
        animateHud();
        return;
    }

    if (directPlayHolds()) {
        watchDirectPlay();
        animateHud();
        return;
    }

    // The rules take the player's command of the last frame, advance a cleared
    // level (which may end the game: the pack completed, or it broke under
    // us, and the menu shows why), then play or hold the field.
    const FrameTimes times = playTimes();
    // This value stands for the whole frame, even when a level is loaded: the
    // frame of a level advance still plays, which restarts the music.
    const int32_t elapsed = static_cast<int32_t>(times.clockNow - field.levelStartTime);
    clearEvents(playEvents);
    const FrameOutcome outcome = stepGame(field, playerCommand, times, packLevels, playEvents);
    recordGameFrame(times, playerCommand);
    frameClock.playClock = times.clockNow;
    playerCommand = PlayerCommand{};
    applyPlayEvents(playEvents);
    clearEvents(playEvents);
    watchDirectPlay();
    if (outcome != FrameOutcome::Playing) {
        returnToMenu(0);   // a completed pack: the next loadLevel clears levelCleared
        return;
    }
    placePlayLights(field);
    aimCamera();

    enterState(playState(elapsed));
    animateHud();

    if (field.lives <= 0) {
        if (frameClock.clockNow - game.lastAliveTime > PAUSE_TIME && !directPlay.active) {
            returnToMenu(1);
            return;
        }
    } else {
        game.lastAliveTime = static_cast<int32_t>(frameClock.clockNow);
    }
    // What the input at the end of this frame acts on: a level loaded above is
    // in its ready phase already, a lost life has begun its pause.
    enterState(playState(static_cast<int32_t>(times.clockNow - field.levelStartTime)));
}

// ---------------------------------------------------------------------------
// Paused
// ---------------------------------------------------------------------------

// Nothing steps; the timers move on with the clock so none of them runs.
void pausedStep() { shiftClocks(frameClock.clockNow - frameClock.clockPrev); }

void render(FrameRenderer which)
{
    if (which != FrameRenderer::Own) {
        fillRenderInputs();
    }
    switch (which) {
        case FrameRenderer::Splash: shellSeams.renderSplash(); break;
        case FrameRenderer::Menu: shellSeams.renderMenu(); break;
        case FrameRenderer::Play: shellSeams.renderPlay(); break;
        case FrameRenderer::Own: break;
    }
}

}   // namespace

// ---------------------------------------------------------------------------
// The state table
// ---------------------------------------------------------------------------

const StateRow STATE_TABLE[SHELL_STATES] = {
    // name       step          renderer               input             pause
    {"Loading", loadingStep, FrameRenderer::Own, InputUse::Ignored, PauseRule::Never},
    {"Splash", splashStep, FrameRenderer::Splash, InputUse::Drain, PauseRule::FocusLossOnly},
    {"Menu", menuStep, FrameRenderer::Menu, InputUse::Menu, PauseRule::Never},
    {"Options", menuStep, FrameRenderer::Menu, InputUse::Menu, PauseRule::Never},
    {"Ready", gameStep, FrameRenderer::Play, InputUse::Game, PauseRule::Anytime},
    {"Play", gameStep, FrameRenderer::Play, InputUse::Game, PauseRule::Anytime},
    {"LifeLost", gameStep, FrameRenderer::Play, InputUse::Game, PauseRule::Anytime},
    {"GameOver", gameStep, FrameRenderer::Play, InputUse::Game, PauseRule::Anytime},
    {"Demo", demoStep, FrameRenderer::Play, InputUse::Demo, PauseRule::Never},
    {"Paused", pausedStep, FrameRenderer::Own, InputUse::Paused, PauseRule::Never},
    {"AskEnd", pausedStep, FrameRenderer::Own, InputUse::Question, PauseRule::Never},
    {"NameEntry", menuStep, FrameRenderer::Menu, InputUse::Typing, PauseRule::Never},
    {"HighScores", menuStep, FrameRenderer::Menu, InputUse::Menu, PauseRule::Never},
    {"Controls", menuStep, FrameRenderer::Menu, InputUse::Menu, PauseRule::Never},
};

void setCameraAngles(double yaw, double pitch) { viewDirection(yaw, pitch, engine.cameraDirection); }

void endSplash()
{
    setLightColour(SPLASH_LIGHT, 1, 1, 1);
    enterState(ShellState::Menu);
}

void returnToMenu(int levelNumber)
{
    // A game that enters its pack's table keeps its replay out of the rotation, named in the table.
    const bool entered = gameEnteredTable();
    gameRecording.keep = entered;
    finishGameRecording();
    if (entered) {
        playerRecords.pendingScore.replay = gameRecording.lastSaved;
    }
    engine.cameraDirection[0] = 0;
    engine.cameraDirection[1] = 0;
    engine.cameraDirection[2] = -1;
    resetForMenu(field, levelNumber);
    musicPlaying = false;
    playerCommand = PlayerCommand{};
    recentreView();
    game.readySlide = 0;
    refreshSelectedPack();
    enterState(entered ? ShellState::NameEntry : ShellState::Menu);
}

void GameFrame()
{
    frameClock.clockNow = shellSeams.readClock();
    frameClock.tick = (frameClock.clockNow - frameClock.clockPrev) * 70 / 1000;

    // The frame draws what the state at its start shows, even when the step
    // moves on (the last play frame of a pack, the last splash frame).
    const ShellState state = game.state;
    const StateRow& row = STATE_TABLE[static_cast<int>(state)];
    row.step();
    const ShellState shown = state == ShellState::Paused || state == ShellState::AskEnd ? game.pausedFrom : state;
    render(STATE_TABLE[static_cast<int>(shown)].renderer);

    handleInput();
    frameClock.clockPrev = frameClock.clockNow;
}
