// game/shell/input: polls the keyboard, the mouse and the game controllers
// once per frame and acts by the state's row — menu keys once per press, the
// options, pause, the camera, the player's command for the next game step
// (paddle by keyboard, mouse or pad, launch and fire, Escape), the shadow and
// log switches, Alt+Enter — then puts the pointer back at the anchor (the
// window's centre) so the next frame measures its motion from there. Every
// press since
// the last poll counts, however short; nothing acts while another window has
// the keyboard focus, and the pointer is then left alone.
#include "game/playfield/samples.h"
#include "game/render/engine.h"
#include "game/render/picture.h"
#include "game/shell/config.h"
#include "game/shell/gamestate.h"
#include "game/shell/shell.h"
#include "platform/gamepad.h"
#include "platform/input.h"
#include "platform/sound.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

enum class MenuKey : uint8_t { Up, Down, Enter, Back };

constexpr int MENU_PRESSES = PRESS_ORDER_SIZE + PAD_PRESS_ORDER_SIZE;

// One poll of every device, as the states use it. Refilled every frame.
struct Controls {
    MenuKey menu[MENU_PRESSES];   // menu presses in order: the keyboard's, then the pads'
    int menuCount = 0;
    int displayToggles = 0;   // Alt+Enter presses
    int anyPresses = 0;       // of every key and button: clears the menu's message
    int pausePresses = 0;     // P, Start
    bool escape = false;      // Escape or B pressed since the last poll or held
    int fires = 0;            // launch/fire actions asked for: one a press, or one while held
    bool keyLeft = false;     // the arrows, for keyboard control
    bool keyRight = false;
    bool recentre = false;   // Home: the view back at rest
    double padAxis = 0;      // the pad's d-pad or stick, -1 to 1, in every control mode
};

void menuSound() { playCue(SAMPLE_CURSOR); }

bool pressedOrDown(Key key) { return keyPresses(key) > 0 || keyDown(key); }

// Presses of the control mode's fire keys and of A, or one while any is held.
int fireRequests()
{
    int presses = gamepadPresses(PadButton::A);
    bool held = gamepadDown(PadButton::A);
    if (config.mouseControl == 0) {
        presses += keyPresses(Key::Space) + keyPresses(Key::MouseMiddle);
        held = held || keyDown(Key::Space) || keyDown(Key::MouseMiddle);
    } else {
        presses += keyPresses(Key::MouseLeft);
        held = held || keyDown(Key::MouseLeft);
    }
    return presses > 0 ? presses : (held ? 1 : 0);
}

void gatherMenuKeys(Controls& controls)
{
    Key keys[PRESS_ORDER_SIZE];
    const int keyCount = pressOrder(keys, PRESS_ORDER_SIZE);
    // Alt held, or pressed in this poll before its Enter: Enter switches the display instead.
    bool alt = keyDown(Key::Alt);
    for (int i = 0; i < keyCount; ++i) {
        const Key key = keys[i];
        alt = alt || key == Key::Alt;
        if (key == Key::Enter && alt) {
            ++controls.displayToggles;
            continue;
        }
        if (key == Key::Up || key == Key::Down || key == Key::Enter || key == Key::Escape) {
            controls.menu[controls.menuCount++] = key == Key::Up      ? MenuKey::Up
                                                  : key == Key::Down  ? MenuKey::Down
                                                  : key == Key::Enter ? MenuKey::Enter
                                                                      : MenuKey::Back;
        }
    }
    PadButton buttons[PAD_PRESS_ORDER_SIZE];
    const int buttonCount = gamepadPressOrder(buttons, PAD_PRESS_ORDER_SIZE);
    for (int i = 0; i < buttonCount; ++i) {
        const PadButton button = buttons[i];
        if (button == PadButton::Up || button == PadButton::Down || button == PadButton::A || button == PadButton::B) {
            controls.menu[controls.menuCount++] = button == PadButton::Up     ? MenuKey::Up
                                                  : button == PadButton::Down ? MenuKey::Down
                                                  : button == PadButton::A    ? MenuKey::Enter
                                                                              : MenuKey::Back;
        }
    }
    controls.anyPresses = keyCount + buttonCount;
}

void gatherControls(Controls& controls)
{
    gatherMenuKeys(controls);
    controls.pausePresses = keyPresses(Key::P) + gamepadPresses(PadButton::Start);
    controls.escape = pressedOrDown(Key::Escape) || gamepadPresses(PadButton::B) > 0 || gamepadDown(PadButton::B);
    controls.fires = fireRequests();
    controls.keyLeft = keyDown(Key::Left);
    controls.keyRight = keyDown(Key::Right);
    controls.recentre = pressedOrDown(Key::Home);
    const bool padLeft = gamepadDown(PadButton::Left);
    const bool padRight = gamepadDown(PadButton::Right);
    controls.padAxis = padLeft != padRight ? (padRight ? 1.0 : -1.0) : gamepadStickX();
}

// ---------------------------------------------------------------------------
// Menus
// ---------------------------------------------------------------------------

void clampCursor()
{
    const int last = game.state == ShellState::Options ? OPTION_LINES - 1 : 2;
    game.menuCursor = std::clamp(game.menuCursor, 0, last);
}

}   // namespace

bool newGame()
{
    startGameRecording(configuredPackPath());
    unsigned int seed = 0;
    if (!loadLevelOfPack(&seed)) {
        return false;   // a broken pack: the menu says what and where
    }
    recordGameStart(seed, frameClock.playClock);
    playerCommand = PlayerCommand{};
    warpPointer(anchorX(), anchorY());
    recentreView();
    game.readySlide = 0;
    playCue(SAMPLE_START);
    enterState(ShellState::Ready);
    return true;
}

namespace {

void quit()
{
    std::string failure;
    if (writeConfig(CONFIG_FILE, config, &failure)) {
        shellSeams.exitProgram(0);   // a normal, successful end
        return;
    }
    if (game.saveFailed) {
        printf("Settings not saved: %s.\n", failure.c_str());
        shellSeams.exitProgram(1);   // told once already: the player leaves without saving
        return;
    }
    game.saveFailed = true;
    showMenuMessage(("Settings not saved: " + failure + ". QUIT again leaves without saving.").c_str());
}

void mainMenuAction()
{
    switch (game.menuCursor) {
        case 0:
            traceLine("menu NEW GAME");
            newGame();
            break;
        case 1:
            traceLine("menu OPTIONS");
            summariseSelectedPack();
            enterState(ShellState::Options);
            game.menuCursor = 0;   // the options' own first line, not the menu's
            menuSound();
            break;
        case 2:
            traceLine("menu QUIT");
            quit();
            break;
        default: break;
    }
}

void optionsAction()
{
    static const char* const LINES[OPTION_LINES] = {"RESOLUTION",   "DISPLAY",     "FALL MODE",
                                                    "CONTROL MODE", "LEVELS PACK", "RETURN"};
    traceLine("option %s", LINES[game.menuCursor]);
    switch (game.menuCursor) {
        case 0: stepResolution(); break;
        case 1: toggleDisplay(); break;
        case 2: config.fallMode = config.fallMode == 0 ? 1 : 0; break;
        case 3: config.mouseControl = config.mouseControl == 1 ? 0 : 1; break;
        case 4:
            // With no pack found there is nothing to choose: the configured name stays.
            if (packList.count == 0) {
                return;
            }
            packList.packIndex = packList.packIndex < packList.lastPackIndex ? packList.packIndex + 1 : 0;
            memcpy(config.levelPackName, packList.names[packList.packIndex], PACK_NAME_SIZE);
            summariseSelectedPack();
            break;
        default:
            enterState(ShellState::Menu);   // RETURN: back on OPTIONS, where the player came from
            game.menuCursor = 1;
            break;
    }
    menuSound();
}

void menuPress(MenuKey key)
{
    switch (key) {
        case MenuKey::Up:
        case MenuKey::Down:
            game.menuCursor += key == MenuKey::Down ? 1 : -1;
            menuSound();
            break;
        case MenuKey::Enter:
            if (game.state == ShellState::Options) {
                optionsAction();
            } else {
                mainMenuAction();
            }
            break;
        case MenuKey::Back:
            // Escape (or B) steps back from the options; on the main menu it does nothing.
            if (game.state == ShellState::Options) {
                game.menuCursor = OPTION_LINES - 1;
                optionsAction();
            }
            break;
    }
    clampCursor();
}

void menuInput(const Controls& controls)
{
    for (int i = 0; i < controls.menuCount; ++i) {
        if (game.state != ShellState::Menu && game.state != ShellState::Options) {
            break;   // NEW GAME started: the rest of this poll's presses were meant for the menu
        }
        menuPress(controls.menu[i]);
    }
}

// ---------------------------------------------------------------------------
// Play controls
// ---------------------------------------------------------------------------

// Keyboard control: the mouse looks around, as far as the field and the spare
// lives stay in sight; the buttons move the camera in and out.
void keyboardControl(const Controls& controls, double dx, double dy)
{
    const double pitchChange = std::clamp(cameraPitch + dy, -MAX_PITCH, MAX_PITCH) - cameraPitch;
    cameraYaw += dx * allowedTurn(cameraYaw, cameraPitch, dx, 0, 1);
    cameraPitch += pitchChange * allowedTurn(cameraYaw, cameraPitch, 0, pitchChange, 1);
    if (keyDown(Key::MouseLeft)) {
        moveCamera(5);
    }
    if (keyDown(Key::MouseRight)) {
        moveCamera(-5);
    }
    playerCommand.paddleSpeed = (controls.keyRight ? 1.0 : 0.0) - (controls.keyLeft ? 1.0 : 0.0);
}

// Mouse control: the paddle follows the pointer, 8 pixels to the unit (the
// rules drop a move past a wall whole); the view tilts with the pointer as far
// as the sight allows and turns with the paddle once the step has moved it.
void mouseControl(int pixelsX, double dy)
{
    const double pitchChange = std::clamp(cameraPitch + dy, -MAX_PITCH, MAX_PITCH) - cameraPitch;
    cameraPitch += pitchChange * allowedTurn(cameraYaw, cameraPitch, 0, pitchChange, MOUSE_VIEW_SCALE);
    playerCommand.pointerShift = pixelsX * POINTER_UNITS_PER_PIXEL;
}

// The command for the next game step; the camera at once.
void playControls(const Controls& controls)
{
    int px = 0;
    int py = 0;
    pointerPosition(px, py);
    // A window just resized or switched measures from its new centre next time.
    const bool measured = !windowState.reanchor;
    windowState.reanchor = false;
    const int pixelsX = measured ? px - anchorX() : 0;
    const double dx = static_cast<double>(pixelsX) / 200;
    const double dy = measured ? static_cast<double>(py - anchorY()) / 200 : 0;
    if (controls.recentre) {
        recentreView();
    }
    if (config.mouseControl == 0) {
        keyboardControl(controls, dx, dy);
    } else {
        mouseControl(pixelsX, dy);
    }
    // A pad steers in every mode; with the arrows too, no faster than either.
    playerCommand.paddleSpeed = std::clamp(playerCommand.paddleSpeed + controls.padAxis, -1.0, 1.0);
    playerCommand.fires = static_cast<uint8_t>(std::min(controls.fires, 255));
}

void gameInput(const Controls& controls)
{
    if (playback.active) {
        // A replay takes no commands: Escape ends it, P pauses it.
        if (controls.escape) {
            stopPlayback();
        } else if (controls.pausePresses % 2 == 1) {
            pauseGame();
        }
        return;
    }
    if (controls.escape && field.lives > 0) {
        traceLine("escape");
        playerCommand.forfeit = true;
    }
    if (controls.pausePresses % 2 == 1) {
        pauseGame();
        return;
    }
    if (game.state == ShellState::Play || game.state == ShellState::LifeLost) {
        playControls(controls);
    }
}

void pausedInput(const Controls& controls)
{
    if (controls.escape && playback.active) {
        stopPlayback();
    } else if (controls.escape) {
        playerCommand.forfeit = true;   // leaving the game from the pause: GAME OVER runs its course
        resumeGame();
    } else if (controls.pausePresses % 2 == 1) {
        resumeGame();
    }
}

void switches()
{
    if (pressedOrDown(Key::F11)) {
        engine.shadowsEnabled = true;
    }
    if (pressedOrDown(Key::F12)) {
        engine.shadowsEnabled = false;
    }
    if (pressedOrDown(Key::Pad1)) {
        engine.logEnabled = true;
    }
    if (pressedOrDown(Key::Pad2)) {
        engine.logEnabled = false;
    }
}

}   // namespace

void moveCamera(int steps)
{
    double eye[3];
    for (int i = 0; i < 3; ++i) {
        eye[i] = engine.cameraPosition[i] + engine.cameraDirection[i] * steps * 0.1;
    }
    // Not so near that the spare lives leave the picture, nor far from the room;
    // from a view at a corner of its limits, back towards rest.
    auto fromRest = [](const double* p) {
        return std::hypot(p[0] - REST_EYE[0], p[1] - REST_EYE[1], p[2] - REST_EYE[2]);
    };
    const double aspect = pictureAspect();
    if (viewKeepsSight(eye, cameraYaw, cameraPitch, aspect) ||
        (!viewKeepsSight(engine.cameraPosition, cameraYaw, cameraPitch, aspect) &&
         fromRest(eye) < fromRest(engine.cameraPosition))) {
        std::copy(eye, eye + 3, engine.cameraPosition);
    }
}

void turnWithPaddle()
{
    const double yawChange = (field.paddle.x - PADDLE_HOME_X) / 25 - cameraYaw;
    cameraYaw += yawChange * allowedTurn(cameraYaw, cameraPitch, yawChange, 0, MOUSE_VIEW_SCALE);
}

void handleInput()
{
    const StateRow& row = STATE_TABLE[static_cast<int>(game.state)];
    if (row.input == InputUse::Ignored) {
        return;
    }
    inputPoll();
    gamepadPoll();
    const bool focused = windowFocused();
    const bool lostFocus = game.wasFocused && !focused;
    game.wasFocused = focused;
    if (!focused) {
        if (lostFocus) {
            pauseGame();
        }
        return;   // another window has the keyboard: nothing acts, and the pointer is its own
    }

    Controls controls;
    gatherControls(controls);
    if (row.input == InputUse::Demo) {
        // Any press only ends the demo: the menu is as it was left.
        if (controls.anyPresses > 0) {
            endDemo();
        }
        warpPointer(anchorX(), anchorY());
        return;
    }
    if (controls.anyPresses > 0) {
        game.menuMessage[0] = '\0';
        game.menuIdleSince = frameClock.clockNow;
    }
    for (int i = 0; i < controls.displayToggles; ++i) {
        toggleDisplay();   // in every state
    }
    switch (row.input) {
        case InputUse::Menu: menuInput(controls); break;
        case InputUse::Game: gameInput(controls); break;
        case InputUse::Paused:
            if (STATE_TABLE[static_cast<int>(game.pausedFrom)].pause == PauseRule::FocusLossOnly) {
                resumeGame();   // the splash takes no keys: it goes on when the focus is back
                return;
            }
            pausedInput(controls);
            break;
        case InputUse::Drain:
        case InputUse::Demo:
        case InputUse::Ignored: return;   // the splash: no keys act and the pointer is left where it is
    }
    switches();
    warpPointer(anchorX(), anchorY());
}
