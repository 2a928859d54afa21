// platform/input_fake: the scripted input backend for tests. A script sets keys
// down and up and taps them between polls; the next inputPoll hands it over.
// Keys are physical keys by name, as the real backend has them: pressing the
// key named "Left" presses every Key on it (the menu's Left and, bound there,
// the paddle's MoveLeft) and tells the name.
#pragma once

#include "platform/input.h"

struct FakeInput {
    bool down[static_cast<int>(Key::Count)] = {};   // scripted key states
    KeyName names[static_cast<int>(Key::Count)];    // the physical key each Key is on
    Key pending[PRESS_ORDER_SIZE] = {};             // presses since the last poll, in order
    int pendingCount = 0;
    KeyName pendingNames[PRESS_ORDER_SIZE];   // keyboard presses since the last poll, by name
    int pendingNameCount = 0;
    bool focused = true;   // the window has the keyboard focus
    // What the last poll handed over.
    bool polledDown[static_cast<int>(Key::Count)] = {};
    int polledPresses[static_cast<int>(Key::Count)] = {};
    Key polledOrder[PRESS_ORDER_SIZE] = {};
    int polledCount = 0;
    KeyName polledNames[PRESS_ORDER_SIZE];
    int polledNameCount = 0;
    bool polledFocus = true;
    int polls = 0;
    int pointerX = 0;   // scripted pointer, screen pixels
    int pointerY = 0;
    int warps = 0;   // warpPointer calls since reset
    bool hidden = false;
};

extern FakeInput fakeInput;

// Holds key down or lets it go; going down counts as a press.
void setKey(Key key, bool isDown);
// A press and release that both fall between two polls.
void tapKey(Key key);
// The same for a keyboard key by its name ("a", "BackSpace", "Left").
void setNamedKey(const char* name, bool isDown);
void tapNamedKey(const char* name);
void resetFakeInput();
// Puts the scripted device in the input seam, reset.
void useFakeInput();
