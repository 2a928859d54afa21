// platform/input_fake: keys, focus and pointer as a test scripts them.
#include "platform/input_fake.h"

#include "platform/seams.h"

FakeInput fakeInput;

namespace {

void addPress(Key key)
{
    if (fakeInput.pendingCount < PRESS_ORDER_SIZE) {
        fakeInput.pending[fakeInput.pendingCount++] = key;
    }
}

}   // namespace

void setKey(Key key, bool isDown)
{
    bool& down = fakeInput.down[static_cast<int>(key)];
    if (isDown && !down) {
        addPress(key);
    }
    down = isDown;
}

void tapKey(Key key) { addPress(key); }

void resetFakeInput() { fakeInput = FakeInput{}; }

namespace {

bool fakeInit(unsigned long) { return true; }

void fakePoll()
{
    for (int i = 0; i < static_cast<int>(Key::Count); ++i) {
        fakeInput.polledDown[i] = fakeInput.down[i];
        fakeInput.polledPresses[i] = 0;
    }
    for (int i = 0; i < fakeInput.pendingCount; ++i) {
        fakeInput.polledOrder[i] = fakeInput.pending[i];
        ++fakeInput.polledPresses[static_cast<int>(fakeInput.pending[i])];
    }
    fakeInput.polledCount = fakeInput.pendingCount;
    fakeInput.pendingCount = 0;
    fakeInput.polledFocus = fakeInput.focused;
    ++fakeInput.polls;
}

bool fakeKeyDown(Key key) { return fakeInput.polledDown[static_cast<int>(key)]; }
int fakeKeyPresses(Key key) { return fakeInput.polledPresses[static_cast<int>(key)]; }

int fakePressOrder(Key* out, int capacity)
{
    int n = 0;
    for (; n < fakeInput.polledCount && n < capacity; ++n) {
        out[n] = fakeInput.polledOrder[n];
    }
    return n;
}

bool fakeWindowFocused() { return fakeInput.polledFocus; }

void fakePointerPosition(int& x, int& y)
{
    x = fakeInput.pointerX;
    y = fakeInput.pointerY;
}
void fakeWarpPointer(int x, int y)
{
    fakeInput.pointerX = x;
    fakeInput.pointerY = y;
    ++fakeInput.warps;
}
void fakeHidePointer() { fakeInput.hidden = true; }

}   // namespace

void useFakeInput()
{
    inputDevice = {fakeInit,       fakePoll,          fakeKeyDown,         fakeKeyPresses,
                   fakePressOrder, fakeWindowFocused, fakePointerPosition, fakeWarpPointer,
                   fakeHidePointer};
    resetFakeInput();
}
