// platform/input: the keyboard and the mouse as the game polls them once per
// frame. A poll gathers everything since the previous one: which keys are down
// now, and every press in between, however short, in the order they came, so a
// tap that starts and ends between two frames is still seen once. Also whether
// the game window has the keyboard focus, and the absolute pointer. The real
// backend talks to the X server (input_x11.cpp); tests install the scripted one
// (input_fake.cpp).
#pragma once

enum class Key {
    Escape,
    Down,
    Up,
    Enter,
    Left,
    Right,
    Space,
    P,
    F11,
    F12,
    Pad1,   // numeric keypad 1
    Pad2,   // numeric keypad 2
    Alt,    // the left Alt key (Alt+Enter)
    Home,
    MouseLeft,
    MouseMiddle,
    MouseRight,
    Other,   // any other key, or a mouse button past the third (not the wheel): "press any key"
    Count
};

constexpr int PRESS_ORDER_SIZE = 64;   // presses one poll keeps in order; more are still counted

// Connects to the input device; window is the game window (an X window id), whose focus
// windowFocused reports (0: taken as always focused). False when there is no device:
// every key then reads as up.
bool inputInit(unsigned long window);

// Gathers what happened since the previous poll; the questions below answer for it.
void inputPoll();

// True while key was held down at the last poll.
bool keyDown(Key key);

// Presses of key between the previous poll and the last one (a key held since reads 0).
int keyPresses(Key key);

// The last poll's presses in the order they happened; writes at most capacity, returns how many.
int pressOrder(Key* out, int capacity);

// The game window had the keyboard focus at the last poll.
bool windowFocused();

// The pointer's position in pixels of the game window (of the screen when the
// window is unknown), origin at the top left.
void pointerPosition(int& x, int& y);

// Moves the pointer to (x, y) in pixels of the game window (as pointerPosition counts).
void warpPointer(int x, int y);

// Hides the pointer over the game window.
void hidePointer();

// Puts the X server in the input seam (platform/seams.h); until then every key reads as up.
void useX11Input();
