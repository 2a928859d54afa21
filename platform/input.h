// platform/input: whether a key or mouse button is down at this moment, and
// the absolute pointer. The game polls these once per frame; nothing reacts
// to input events. The real backend queries the X server (input_x11.cpp);
// tests link the scripted backend (input_fake.cpp).
#pragma once

enum class Key {
    Escape,
    Down,
    Up,
    Enter,
    Left,
    Right,
    Space,
    F11,
    F12,
    Pad1,        // numeric keypad 1
    Pad2,        // numeric keypad 2
    MouseLeft,
    MouseMiddle,
    MouseRight,
    Count
};

// Connects to the input device; false when there is none (every key then reads as up).
bool inputInit();

// True while key is held down at the moment of the call.
bool keyDown(Key key);

// The pointer's position in screen pixels, origin at the top left.
void pointerPosition(int& x, int& y);

// Moves the pointer to (x, y) in screen pixels.
void warpPointer(int x, int y);

// Hides the pointer over the game window.
void hidePointer();
