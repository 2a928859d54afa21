// platform/input_fake: keys and pointer as a test scripts them.
#include "platform/input_fake.h"

FakeInput fakeInput;

void setKey(Key key, bool isDown) { fakeInput.down[static_cast<int>(key)] = isDown; }
void resetFakeInput() { fakeInput = FakeInput{}; }

bool inputInit() { return true; }
bool keyDown(Key key) { return fakeInput.down[static_cast<int>(key)]; }
void pointerPosition(int& x, int& y)
{
    x = fakeInput.pointerX;
    y = fakeInput.pointerY;
}
void warpPointer(int x, int y)
{
    fakeInput.pointerX = x;
    fakeInput.pointerY = y;
    ++fakeInput.warps;
}
void hidePointer() { fakeInput.hidden = true; }
