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

constexpr int MENU_PRESSES = PRESS_ORDER_SIZE + PAD_PRESS_ORDER_SIZE;

// One poll of every device, as the states use it. Refilled every frame.
struct Controls {
    MenuKey menu[MENU_PRESSES];   // menu presses in order: the keyboard's, then the pads'
    int menuCount = 0;
    MenuKey pad[PAD_PRESS_ORDER_SIZE];   // the pads' alone
    int padCount = 0;
    KeyName named[PRESS_ORDER_SIZE];   // keyboard presses by name, Alt+Enter left out
    int namedCount = 0;
    int displayToggles = 0;   // Alt+Enter presses
    int anyPresses = 0;       // of every key and button: clears the menu's message
    int skips = 0;            // presses that end the splash: any key but M, any button
    int mutes = 0;            // M
    int pausePresses = 0;     // P (or the key chosen), Start
    bool escape = false;      // Escape or B pressed since the last poll
    int fires = 0;            // launch/fire actions asked for: one a press, or one while held
    bool keyLeft = false;     // the keys of play for the paddle, keyboard control
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
        presses += keyPresses(Key::Fire) + keyPresses(Key::MouseMiddle);
        held = held || keyDown(Key::Fire) || keyDown(Key::MouseMiddle);
    } else {
        presses += keyPresses(Key::MouseLeft);
        held = held || keyDown(Key::MouseLeft);
    }
    return presses > 0 ? presses : (held ? 1 : 0);
}

MenuKey menuKeyOf(Key key)
{
    switch (key) {
        case Key::Up: return MenuKey::Up;
        case Key::Down: return MenuKey::Down;
        case Key::Left: return MenuKey::Left;
        case Key::Right: return MenuKey::Right;
        case Key::Enter: return MenuKey::Enter;
        default: return MenuKey::Back;
    }
}

MenuKey menuKeyOf(PadButton button)
{
    switch (button) {
        case PadButton::Up: return MenuKey::Up;
        case PadButton::Down: return MenuKey::Down;
        case PadButton::Left: return MenuKey::Left;
        case PadButton::Right: return MenuKey::Right;
        case PadButton::A: return MenuKey::Enter;
        default: return MenuKey::Back;
    }
}

bool isAlt(const char* name) { return strcmp(name, "Alt_L") == 0 || strcmp(name, "Alt_R") == 0; }

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
        if (key == Key::Up || key == Key::Down || key == Key::Left || key == Key::Right || key == Key::Enter ||
            key == Key::Escape) {
            controls.menu[controls.menuCount++] = menuKeyOf(key);
        }
        if (key == Key::MouseLeft || key == Key::MouseMiddle || key == Key::MouseRight) {
            ++controls.skips;
        }
    }
    PadButton buttons[PAD_PRESS_ORDER_SIZE];
    const int buttonCount = gamepadPressOrder(buttons, PAD_PRESS_ORDER_SIZE);
    for (int i = 0; i < buttonCount; ++i) {
        if (buttons[i] != PadButton::Start) {
            controls.menu[controls.menuCount++] = menuKeyOf(buttons[i]);
            controls.pad[controls.padCount++] = menuKeyOf(buttons[i]);
        }
    }
    KeyName named[PRESS_ORDER_SIZE];
    const int namedCount = namedPresses(named, PRESS_ORDER_SIZE);
    bool namedAlt = keyDown(Key::Alt);
    for (int i = 0; i < namedCount; ++i) {
        const char* name = named[i].text;
        namedAlt = namedAlt || isAlt(name);
        if (isAlt(name) || (namedAlt && strcmp(name, "Return") == 0)) {
            continue;   // Alt+Enter is the display's
        }
        if (strcmp(name, "m") == 0) {
            ++controls.mutes;
        } else {
            ++controls.skips;
        }
        controls.named[controls.namedCount++] = named[i];
    }
    controls.skips += buttonCount;
    controls.anyPresses = keyCount + buttonCount;
}

void gatherControls(Controls& controls)
{
    gatherMenuKeys(controls);
    controls.pausePresses = keyPresses(Key::Pause) + gamepadPresses(PadButton::Start);
    // Presses only: the Escape that answered END THIS GAME? must not ask again while it is held.
    controls.escape = keyPresses(Key::Escape) > 0 || gamepadPresses(PadButton::B) > 0;
    controls.fires = fireRequests();
    controls.keyLeft = keyDown(Key::MoveLeft);
    controls.keyRight = keyDown(Key::MoveRight);
    controls.recentre = pressedOrDown(Key::Home);
    const bool padLeft = gamepadDown(PadButton::Left);
    const bool padRight = gamepadDown(PadButton::Right);
    controls.padAxis = padLeft != padRight ? (padRight ? 1.0 : -1.0) : gamepadStickX();
}

// ---------------------------------------------------------------------------
// Menus
// ---------------------------------------------------------------------------

void clampCursor() { game.menuCursor = std::clamp(game.menuCursor, 0, menuLineCount() - 1); }

void quit()
{
    saveSettingsIfChanged();   // says so in the menu when it fails; config.ini is still written
    Config kept = config;
    if (runOnly.display) {
        kept.windowed = runOnly.windowedAsRead;
    }
    if (runOnly.pack) {
        memcpy(kept.levelPackName, runOnly.packAsRead, PACK_NAME_SIZE);
    }
    std::string failure;
    if (writeConfig(CONFIG_FILE, kept, &failure)) {
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

// The main menu's cursor on a line, wherever that line stands now.
void cursorOnLine(MainLine wanted)
{
    MainLine lines[MAIN_LINES_MAX];
    const int count = mainMenuLines(lines);
    for (int i = 0; i < count; ++i) {
        if (lines[i] == wanted) {
            game.menuCursor = i;
        }
    }
}

void mainMenuAction()
{
    MainLine lines[MAIN_LINES_MAX];
    const int count = mainMenuLines(lines);
    if (game.menuCursor < 0 || game.menuCursor >= count) {
        return;
    }
    switch (lines[game.menuCursor]) {
        case MainLine::NewGame:
            traceLine("menu NEW GAME");
            startGame(0);
            break;
        case MainLine::Continue:
            traceLine("menu CONTINUE");
            startGame(continueLevel(playerRecords.continues, playerRecords.selectedPack));
            break;
        case MainLine::HighScores:
            traceLine("menu HIGH SCORES");
            showHighScores(playerRecords.selectedPack, -1);
            menuSound();
            break;
        case MainLine::Options:
            traceLine("menu OPTIONS");
            summariseSelectedPack();
            enterState(ShellState::Options);
            game.menuCursor = 0;   // the options' own first line, not the menu's
            menuSound();
            break;
        case MainLine::Quit:
            traceLine("menu QUIT");
            quit();
            break;
    }
}

void optionsAction()
{
    static const char* const LINES[OPTION_LINES] = {"RESOLUTION",   "DISPLAY",     "FALL MODE",
                                                    "CONTROL MODE", "LEVELS PACK", "SOUND VOLUME",
                                                    "MUSIC VOLUME", "CONTROLS",    "RETURN"};
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
            runOnly.pack = false;
            refreshSelectedPack();
            summariseSelectedPack();
            break;
        case 5:
        case 6: optionsStep(1, true); return;   // its cue sounds at the new volume
        case 7:
            enterState(ShellState::Controls);
            game.menuCursor = 0;
            break;
        default:
            enterState(ShellState::Menu);   // RETURN: back on OPTIONS, where the player came from
            cursorOnLine(MainLine::Options);
            break;
    }
    menuSound();
}

void menuPress(MenuKey key)
{
    if (game.state == ShellState::Controls || game.state == ShellState::HighScores) {
        const ShellState page = game.state;
        menuPagePress(key);
        if (page == ShellState::HighScores && game.state == ShellState::Menu) {
            cursorOnLine(MainLine::HighScores);
        }
        clampCursor();
        return;
    }
    switch (key) {
        case MenuKey::Up:
        case MenuKey::Down:
            game.menuCursor += key == MenuKey::Down ? 1 : -1;
            menuSound();
            break;
        case MenuKey::Left:
        case MenuKey::Right:
            if (game.state == ShellState::Options) {
                optionsStep(key == MenuKey::Right ? 1 : -1, false);
            }
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
    if (game.state == ShellState::Menu || game.state == ShellState::Options) {
        clampCursor();
    }
}

bool onMenuPage()
{
    return game.state == ShellState::Menu || game.state == ShellState::Options || game.state == ShellState::Controls ||
           game.state == ShellState::HighScores;
}

void menuInput(const Controls& controls)
{
    if (game.state == ShellState::Controls && game.capturing >= 0) {
        // The keys of the poll that began the wait were the menu's; from the next one the first key counts.
        bool padBack = false;
        for (int i = 0; i < controls.padCount; ++i) {
            padBack = padBack || controls.pad[i] == MenuKey::Back;
        }
        captureKey(controls.named, controls.namedCount, padBack);
        return;
    }
    for (int i = 0; i < controls.menuCount; ++i) {
        if (!onMenuPage() || (game.state == ShellState::Controls && game.capturing >= 0)) {
            break;   // a game started, a replay shows, or a key is awaited: the rest of this poll was the menu's
        }
        menuPress(controls.menu[i]);
    }
}

void questionInput(const Controls& controls)
{
    for (int i = 0; i < controls.namedCount; ++i) {
        if (strcmp(controls.named[i].text, "y") == 0 || strcmp(controls.named[i].text, "n") == 0) {
            answerEnd(controls.named[i].text[0] == 'y');
            return;
        }
    }
    for (int i = 0; i < controls.menuCount; ++i) {
        switch (controls.menu[i]) {
            case MenuKey::Up:
            case MenuKey::Down:
            case MenuKey::Left:
            case MenuKey::Right:
                game.answerYes = !game.answerYes;
                menuSound();
                break;
            case MenuKey::Enter: answerEnd(game.answerYes); return;
            case MenuKey::Back: answerEnd(false); return;
        }
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
void mouseControl(double pixelsX, double dy)
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
    // MOUSE SPEED: its middle value moves as the game always did.
    const double speed = static_cast<double>(playerRecords.settings.mouseSpeed) / MOUSE_SPEED_DEFAULT;
    const double dx = speed * pixelsX / 200;
    const double dy = measured ? speed * (py - anchorY()) / 200 : 0;
    if (controls.recentre) {
        recentreView();
    }
    if (config.mouseControl == 0) {
        keyboardControl(controls, dx, dy);
    } else {
        mouseControl(pixelsX * speed, dy);
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
        askEnd();
        return;
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
        askEnd();   // NO leaves it paused
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

bool startGame(int32_t level, bool counts)
{
    refreshSelectedPack();
    PlayerRecords& records = playerRecords;
    if (counts && level > 1 && continueLevel(records.continues, records.selectedPack) < level) {
        // Changed on disk since the menu offered it: the edited pack is another pack.
        showMenuMessage((records.selectedPack.name + " has changed since: it has no level to continue from.").c_str());
        return false;
    }
    records.gamePack = records.selectedPack;
    records.gameCounts = counts;
    unsigned int seed = 0;
    if (!loadFirstLevel(level, &seed)) {
        records.gameCounts = false;
        return false;   // a broken pack: the menu says what and where
    }
    recordGameStart(seed, frameClock.playClock);
    records.gameFromLevel = field.levelNumber;
    records.gameBest = highFigure(records.scores, records.gamePack, 0);
    traceLine("game from level %d, high %d", static_cast<int>(field.levelNumber), static_cast<int>(records.gameBest));
    playerCommand = PlayerCommand{};
    warpPointer(anchorX(), anchorY());
    recentreView();
    game.readySlide = 0;
    playCue(SAMPLE_START);
    enterState(ShellState::Ready);
    return true;
}

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
        // Any press only ends the demo: the menu is as it was left (M mutes too, as everywhere).
        if (controls.anyPresses > 0) {
            endDemo();
        }
        if (controls.mutes % 2 == 1) {
            toggleMute();
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
    // M mutes in every state but where keys are typed: a name, or the key of play being chosen.
    const bool typing = row.input == InputUse::Typing || (game.state == ShellState::Controls && game.capturing >= 0);
    if (!typing && controls.mutes % 2 == 1) {
        toggleMute();
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
        case InputUse::Question: questionInput(controls); break;
        case InputUse::Typing:
            nameEntryInput(controls.named, controls.namedCount, controls.pad, controls.padCount);
            break;
        case InputUse::Drain:
            // The splash: any key, click or button ends it, but not one made while it was loading.
            if (game.state == ShellState::Splash && game.splashPolled && controls.skips > 0 &&
                controls.displayToggles == 0) {
                traceLine("splash skipped");
                endSplash();
            }
            game.splashPolled = game.splashPolled || game.state == ShellState::Splash;
            return;   // no keys act and the pointer is left where it is
        case InputUse::Demo:
        case InputUse::Ignored: return;
    }
    switches();
    warpPointer(anchorX(), anchorY());
}
