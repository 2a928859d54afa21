// game/shell/input: polls the keys and the pointer once per frame and acts —
// menu keys once per press, the options, paddle and camera by keyboard or
// mouse, launch and fire, the shadow and log switches — then puts the pointer
// back at the anchor so the next frame measures its motion from there.
#include "game/playfield/playfield.h"
#include "game/playfield/samples.h"
#include "game/render/engine.h"
#include "game/shell/config.h"
#include "game/shell/gamestate.h"
#include "game/shell/shell.h"
#include "platform/input.h"
#include "platform/sound.h"

#include <cstdio>
#include <cstring>

namespace {

void menuSound() { soundPlaySample(SAMPLE_CURSOR, 2); }

void newGame()
{
    game.inMenu = false;
    if (!loadLevelOfPack()) {
        // A broken pack: loadLevel has said what and where; stay in the menu.
        game.inMenu = true;
        return;
    }
    field.paddle.x = PADDLE_HOME_X;
    warpPointer(CURSOR_ANCHOR_X, CURSOR_ANCHOR_Y);
    cameraYaw = 0;
    cameraPitch = 0;
    soundPlaySample(SAMPLE_START, 1);
}

void quit()
{
    if (!writeConfig(CONFIG_FILE, config)) {
        printf("Cannot open config file.\n");
        shellSeams.exitProgram(1);
        return;
    }
    // Leaving through QUIT is a normal, successful end.
    shellSeams.exitProgram(0);
}

void mainMenuAction()
{
    switch (game.menuCursor) {
    case 0:
        newGame();
        break;
    case 1:
        game.optionsShown = true;
        menuSound();
        break;
    case 2:
        quit();
        break;
    default:
        break;   // a cursor moved past the end this frame selects nothing
    }
}

void optionsAction()
{
    switch (game.menuCursor) {
    case 0:
        game.resolutionIndex = (game.resolutionIndex >= RESOLUTION_CHOICES - 1) ? 0 : game.resolutionIndex + 1;
        config.screenWidth = RESOLUTIONS[game.resolutionIndex][0];
        config.screenHeight = RESOLUTIONS[game.resolutionIndex][1];
        shellSeams.createShadowMap();
        shellSeams.reshape(config.screenWidth, config.screenHeight);
        menuSound();
        break;
    case 1:
        config.fallMode = config.fallMode == 0 ? 1 : 0;
        menuSound();
        break;
    case 2:
        config.mouseControl = config.mouseControl == 1 ? 0 : 1;
        menuSound();
        break;
    case 3:
        // With no pack found there is nothing to choose: the configured name stays.
        if (packList.count == 0) {
            break;
        }
        packList.packIndex = packList.packIndex < packList.lastPackIndex ? packList.packIndex + 1 : 0;
        memcpy(config.levelPackName, packList.names[packList.packIndex], PACK_NAME_SIZE);
        menuSound();
        break;
    case 4:
        game.optionsShown = false;
        menuSound();
        break;
    default:
        break;
    }
}

// Launches the held ball, or fires the laser when it is armed and free.
void fire()
{
    clearEvents(playEvents);
    launchOrFire(playEvents);
    applyPlayEvents(playEvents);
    clearEvents(playEvents);
}

void keyboardControl(int px, int py)
{
    (void)py;
    cameraYaw -= static_cast<double>(CURSOR_ANCHOR_X - px) / 200;
    if (!game.inMenu) {
        if (keyDown(Key::MouseLeft)) {
            moveCamera(5);
        }
        if (keyDown(Key::MouseRight)) {
            moveCamera(-5);
        }
    }
    Paddle& paddle = field.paddle;
    const bool free = !field.lifeLostPause && !field.paddleCrushed;
    if (keyDown(Key::Left) && free && paddle.x - paddle.halfWidth > LEFT_WALL) {
        paddle.x -= KEYBOARD_PADDLE_SPEED * frameClock.tick;
    }
    if (keyDown(Key::Right) && free) {
        if (paddle.x + paddle.halfWidth < RIGHT_WALL) {
            paddle.x += KEYBOARD_PADDLE_SPEED * frameClock.tick;
        } else if (field.warpOpen) {
            takeExit();
        }
    }
    if (keyDown(Key::Space) || keyDown(Key::MouseMiddle)) {
        fire();
    }
}

void mouseControl(int px)
{
    const double d = px - CURSOR_ANCHOR_X;
    Paddle& paddle = field.paddle;
    if (!field.paddleCrushed) {
        cameraYaw += d / 200;
        paddle.x += d * 0.125;
    }
    const bool pastLeft = paddle.x - paddle.halfWidth < LEFT_WALL;
    const bool pastRight = paddle.x + paddle.halfWidth > RIGHT_WALL;
    if (pastLeft || pastRight) {
        cameraYaw -= d / 200;
        paddle.x -= d * 0.125;
        if (pastRight && field.warpOpen) {
            takeExit();
        }
    }
    if (keyDown(Key::MouseLeft) && field.levelElapsed > READY_TIME) {
        fire();
    }
}

void playControls()
{
    int px = 0;
    int py = 0;
    pointerPosition(px, py);
    cameraPitch -= static_cast<double>(CURSOR_ANCHOR_Y - py) / 200;
    if (cameraPitch > MAX_PITCH) {
        cameraPitch = MAX_PITCH;
    } else if (cameraPitch < -MAX_PITCH) {
        cameraPitch = -MAX_PITCH;
    }
    if (config.mouseControl == 0) {
        keyboardControl(px, py);
    } else {
        mouseControl(px);
    }
}

}   // namespace

void moveCamera(int steps)
{
    for (int i = 0; i < 3; ++i) {
        engine.cameraPosition[i] += engine.cameraDirection[i] * steps * 0.1;
    }
}

void handleInput()
{
    if (keyDown(Key::Escape) && !game.inMenu) {
        field.lives = 0;
    }

    if (keyDown(Key::Down)) {
        if (game.inMenu && !game.downLatch) {
            game.menuCursor += 1;
            game.downLatch = true;
            menuSound();
        }
    } else {
        game.downLatch = false;
    }

    if (keyDown(Key::Up)) {
        if (game.inMenu && !game.upLatch) {
            game.menuCursor -= 1;
            game.upLatch = true;
            menuSound();
        }
    } else {
        game.upLatch = false;
    }

    if (!keyDown(Key::Enter)) {
        game.enterLatch = false;
    } else if (game.inMenu && !game.enterLatch) {
        const bool quitting = !game.optionsShown && game.menuCursor == 2;
        if (!quitting) {
            game.enterLatch = true;
        }
        if (game.optionsShown) {
            optionsAction();
        } else {
            mainMenuAction();
        }
    }

    if (field.levelElapsed > READY_TIME && field.lives > 0) {
        playControls();
    }

    if (keyDown(Key::F11)) {
        engine.shadowsEnabled = true;
    }
    if (keyDown(Key::F12)) {
        engine.shadowsEnabled = false;
    }
    if (keyDown(Key::Pad1)) {
        engine.logEnabled = true;
    }
    if (keyDown(Key::Pad2)) {
        engine.logEnabled = false;
    }

    warpPointer(CURSOR_ANCHOR_X, CURSOR_ANCHOR_Y);
}
