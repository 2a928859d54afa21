// platform/gamepad_sdl: game controllers on SDL2. SDL's own event queue tells
// of pads plugged in and pulled out and of every button press in order; the
// state after the queue is read from the open pads. Limits: the right stick,
// the triggers and rumble are not used; with several pads the strongest stick
// wins.
#include "platform/gamepad.h"

#include <SDL.h>

#include <cmath>
#include <cstring>

namespace {

constexpr int BUTTON_COUNT = static_cast<int>(PadButton::Count);

struct Gamepads {
    bool started = false;
    SDL_GameController* pads[GAMEPAD_SLOTS] = {};
    SDL_JoystickID ids[GAMEPAD_SLOTS] = {};
    bool rawDown[BUTTON_COUNT] = {};   // as the events left each button
    bool down[BUTTON_COUNT] = {};      // at the last poll
    int presses[BUTTON_COUNT] = {};
    PadButton order[PAD_PRESS_ORDER_SIZE] = {};
    int orderCount = 0;
    bool stickUp = false;   // the stick is pushed past the menu press line
    bool stickDown = false;
    double stickX = 0;
};

Gamepads pads;

PadButton padButtonOf(int button)
{
    switch (button) {
        case SDL_CONTROLLER_BUTTON_A: return PadButton::A;
        case SDL_CONTROLLER_BUTTON_B: return PadButton::B;
        case SDL_CONTROLLER_BUTTON_START: return PadButton::Start;
        case SDL_CONTROLLER_BUTTON_DPAD_UP: return PadButton::Up;
        case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return PadButton::Down;
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return PadButton::Left;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return PadButton::Right;
        default: return PadButton::Count;
    }
}

void notePress(PadButton button)
{
    ++pads.presses[static_cast<int>(button)];
    if (pads.orderCount < PAD_PRESS_ORDER_SIZE) {
        pads.order[pads.orderCount++] = button;
    }
}

void openPad(int deviceIndex)
{
    const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    int free = -1;
    for (int i = 0; i < GAMEPAD_SLOTS; ++i) {
        if (pads.pads[i] && pads.ids[i] == id) {
            return;   // already open (SDL reports pads present at start-up once more)
        }
        if (!pads.pads[i] && free < 0) {
            free = i;
        }
    }
    if (free < 0) {
        return;
    }
    SDL_GameController* pad = SDL_GameControllerOpen(deviceIndex);
    if (pad) {
        pads.pads[free] = pad;
        pads.ids[free] = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad));
    }
}

void closePad(SDL_JoystickID id)
{
    for (int i = 0; i < GAMEPAD_SLOTS; ++i) {
        if (pads.pads[i] && pads.ids[i] == id) {
            SDL_GameControllerClose(pads.pads[i]);
            pads.pads[i] = nullptr;
        }
    }
}

void handleEvent(const SDL_Event& event)
{
    switch (event.type) {
        case SDL_CONTROLLERDEVICEADDED: openPad(event.cdevice.which); break;
        case SDL_CONTROLLERDEVICEREMOVED: closePad(event.cdevice.which); break;
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP: {
            const PadButton button = padButtonOf(event.cbutton.button);
            if (button == PadButton::Count) {
                break;
            }
            const bool pressed = event.type == SDL_CONTROLLERBUTTONDOWN;
            if (pressed && !pads.rawDown[static_cast<int>(button)]) {
                notePress(button);
            }
            pads.rawDown[static_cast<int>(button)] = pressed;
            break;
        }
        default: break;
    }
}

// -1..1 with the dead zone taken out, so the speed grows from 0 at its edge.
double stickValue(Sint16 raw)
{
    const double value = raw / 32767.0;
    const double size = std::fabs(value);
    if (size <= STICK_DEAD_ZONE) {
        return 0;
    }
    const double scaled = std::fmin(1.0, (size - STICK_DEAD_ZONE) / (1 - STICK_DEAD_ZONE));
    return value < 0 ? -scaled : scaled;
}

// The stick pushed far enough up or down is one menu press until it comes back.
void readStickY(double y)
{
    const bool up = pads.stickUp ? y < -STICK_MENU_RELEASE : y < -STICK_MENU_PRESS;
    const bool downward = pads.stickDown ? y > STICK_MENU_RELEASE : y > STICK_MENU_PRESS;
    if (up && !pads.stickUp) {
        notePress(PadButton::Up);
    }
    if (downward && !pads.stickDown) {
        notePress(PadButton::Down);
    }
    pads.stickUp = up;
    pads.stickDown = downward;
}

void readPads()
{
    bool held[BUTTON_COUNT] = {};
    double stickX = 0;
    double stickY = 0;
    static const SDL_GameControllerButton BUTTONS[BUTTON_COUNT] = {
        SDL_CONTROLLER_BUTTON_A,         SDL_CONTROLLER_BUTTON_B,         SDL_CONTROLLER_BUTTON_START,
        SDL_CONTROLLER_BUTTON_DPAD_UP,   SDL_CONTROLLER_BUTTON_DPAD_DOWN, SDL_CONTROLLER_BUTTON_DPAD_LEFT,
        SDL_CONTROLLER_BUTTON_DPAD_RIGHT};
    for (SDL_GameController* pad : pads.pads) {
        if (!pad) {
            continue;
        }
        for (int b = 0; b < BUTTON_COUNT; ++b) {
            held[b] = held[b] || SDL_GameControllerGetButton(pad, BUTTONS[b]);
        }
        const double x = stickValue(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX));
        const double y = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY) / 32767.0;
        stickX = std::fabs(x) > std::fabs(stickX) ? x : stickX;
        stickY = std::fabs(y) > std::fabs(stickY) ? y : stickY;
    }
    readStickY(stickY);
    held[static_cast<int>(PadButton::Up)] = held[static_cast<int>(PadButton::Up)] || pads.stickUp;
    held[static_cast<int>(PadButton::Down)] = held[static_cast<int>(PadButton::Down)] || pads.stickDown;
    memcpy(pads.down, held, sizeof held);
    pads.stickX = stickX;
}

}   // namespace

bool gamepadInit()
{
    // SDL would otherwise turn SIGINT/SIGTERM into events nobody reads.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    pads.started = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    return pads.started;
}

void gamepadPoll()
{
    memset(pads.presses, 0, sizeof pads.presses);
    pads.orderCount = 0;
    if (!pads.started) {
        return;
    }
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        handleEvent(event);
    }
    readPads();
}

bool gamepadDown(PadButton button) { return pads.down[static_cast<int>(button)]; }
int gamepadPresses(PadButton button) { return pads.presses[static_cast<int>(button)]; }

int gamepadPressOrder(PadButton* out, int capacity)
{
    int n = 0;
    for (; n < pads.orderCount && n < capacity; ++n) {
        out[n] = pads.order[n];
    }
    return n;
}

double gamepadStickX() { return pads.stickX; }

int gamepadCount()
{
    int count = 0;
    for (SDL_GameController* pad : pads.pads) {
        count += pad != nullptr;
    }
    return count;
}

void gamepadShutdown()
{
    for (int i = 0; i < GAMEPAD_SLOTS; ++i) {
        if (pads.pads[i]) {
            SDL_GameControllerClose(pads.pads[i]);
        }
    }
    if (pads.started) {
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    }
    pads = Gamepads{};
}
