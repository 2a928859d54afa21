// game/shell/frame: the whole life of the running game, one call per frame.
// Clock and time step, the loading frame, then exactly one of the splash, menu
// or game steps, the frame's renderer, and finally the input poll. The game's
// states are the flags and clocks of GameState and PlayField.
#include "game/playfield/playfield.h"
#include "game/playfield/samples.h"
#include "game/render/engine.h"
#include "game/render/lights.h"
#include "game/shell/config.h"
#include "game/shell/gamestate.h"
#include "game/shell/shell.h"
#include "platform/sound.h"

#include <cmath>

namespace {

// ---------------------------------------------------------------------------
// Splash
// ---------------------------------------------------------------------------
void splashStep()
{
    shellSeams.renderSplash();
    if (!game.splashSoundDone) {
        soundPlaySample(SAMPLE_MORVI, 1);
        game.splashSoundDone = true;
    }
    if (frameClock.clockNow - game.splashStartTime > SPLASH_TIME) {
        game.splashActive = false;
        setLightColour(SPLASH_LIGHT, 1, 1, 1);
    }
}

// ---------------------------------------------------------------------------
// Menu
// ---------------------------------------------------------------------------

void menuStep()
{
    const int last = game.optionsShown ? 4 : 2;
    if (game.menuCursor < 0) {
        game.menuCursor = 0;
    } else if (game.menuCursor > last) {
        game.menuCursor = last;
    }

    if (!game.menuJingleDone) {
        soundPlaySample(SAMPLE_PRES, 1);
        game.menuJingleDone = true;
    }

    placeMenuLights(game.menuCursor, engine.cameraPosition);
    shellSeams.renderMenu();
}

// ---------------------------------------------------------------------------
// Game
// ---------------------------------------------------------------------------

void playStep()
{
    if (!musicPlaying) {
        soundPlayStream(MUSIC_CHANNEL);
        musicPlaying = true;
    }
    clearEvents(playEvents);
    stepPlayFrame(frameClock.tick, frameClock.clockPrev, frameClock.clockNow, playEvents);
    applyPlayEvents(playEvents);
    clearEvents(playEvents);
}

void holdStep()
{
    clearEvents(playEvents);
    holdField(playEvents);
    applyPlayEvents(playEvents);
    clearEvents(playEvents);
}

void gameStep()
{
    if (config.mouseControl) {
        setCameraAngles(cameraYaw / 5, cameraPitch / 5);
    } else {
        setCameraAngles(cameraYaw, cameraPitch);
    }
    setLightPosition(SPLASH_LIGHT, 0, 0, -20, 0);
    setLightDirection(SPLASH_LIGHT, 0, 0, -1);

    // This value stands for the whole frame, even when a level is loaded below:
    // the frame of a level advance still plays, which restarts the music.
    const int32_t elapsed = static_cast<int32_t>(frameClock.clockNow - field.levelStartTime);
    field.levelElapsed = elapsed;

    if (field.levelCleared) {
        field.levelNumber += 1;
        if (field.levelNumber > field.levelCount) {
            returnToMenu(0);   // the pack is completed; the next loadLevel clears levelCleared
        } else if (loadLevelOfPack()) {
            soundPlaySample(SAMPLE_START, 1);
        } else {
            // The pack broke under us: its message is out; back to the menu.
            field.levelCleared = false;
            returnToMenu(0);
            menuStep();
            return;
        }
    }

    if (elapsed <= READY_TIME || field.lives <= 0) {
        holdStep();
    } else {
        playStep();
    }

    if (field.lives <= 0) {
        if (frameClock.clockNow - game.lastAliveTime > PAUSE_TIME) {
            returnToMenu(1);
        }
    } else {
        game.lastAliveTime = static_cast<int32_t>(frameClock.clockNow);
    }
    shellSeams.renderPlay();
}

}   // namespace

void setCameraAngles(double yaw, double pitch)
{
    const double s = std::sin(yaw);
    const double t = -std::tan(pitch);
    const double c = -std::cos(yaw);
    const float n = static_cast<float>(std::sqrt(s * s + t * t + c * c));
    engine.cameraDirection[0] = s / n;
    engine.cameraDirection[1] = t / n;
    engine.cameraDirection[2] = c / n;
}

void returnToMenu(int levelNumber)
{
    engine.cameraDirection[0] = 0;
    engine.cameraDirection[1] = 0;
    engine.cameraDirection[2] = -1;
    field.laserArmed = false;
    musicPlaying = false;
    game.inMenu = true;
    field.lives = 3;
    field.score = 0;
    field.levelNumber = levelNumber;
    engine.cameraPosition[0] = 40;
    engine.cameraPosition[1] = 20;
    engine.cameraPosition[2] = 110;
    cameraYaw = 0;
    cameraPitch = 0;
}

void GameFrame()
{
    frameClock.clockNow = shellSeams.readClock();
    frameClock.tick = (frameClock.clockNow - frameClock.clockPrev) * 70 / 1000;

    if (!engine.loaded) {
        shellSeams.runLoading();
    } else {
        if (!game.splashClockStarted) {
            game.splashStartTime = frameClock.clockNow;
            game.splashClockStarted = true;
        }
        if (game.splashActive) {
            splashStep();
        } else if (game.inMenu) {
            menuStep();
        } else {
            gameStep();
        }
    }

    if (!game.splashActive) {
        handleInput();
    }
    frameClock.clockPrev = frameClock.clockNow;
}
