// platform/input_fake: the scripted input backend for tests.
#pragma once

#include "platform/input.h"

struct FakeInput {
    bool down[static_cast<int>(Key::Count)] = {};   // scripted key states
    int pointerX = 0;                               // scripted pointer, screen pixels
    int pointerY = 0;
    int warps = 0;                                  // warpPointer calls since reset
    bool hidden = false;
};

extern FakeInput fakeInput;

void setKey(Key key, bool isDown);
void resetFakeInput();
