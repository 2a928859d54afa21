// platform/input_fake: keys, focus and pointer as a test scripts them.
#include "platform/input_fake.h"

#include "platform/seams.h"

#include <cstdio>
#include <cstring>

FakeInput fakeInput;

namespace {

constexpr int KEYS = static_cast<int>(Key::Count);

// The names of the keys the real backend reads; "" for the mouse buttons.
constexpr const char* FIXED_NAMES[KEYS] = {"Escape", "Down", "Up",  "Return", "Left", "Right", "space",
                                           "p",      "F11",  "F12", "KP_1",   "KP_2", "Alt_L", "Home",
                                           "",       "",     "",    "Left",   "Right"};

void addPress(Key key)
{
    if (fakeInput.pendingCount < PRESS_ORDER_SIZE) {
        fakeInput.pending[fakeInput.pendingCount++] = key;
    }
}

void addNamedPress(const char* name)
{
    if (fakeInput.pendingNameCount < PRESS_ORDER_SIZE) {
        snprintf(fakeInput.pendingNames[fakeInput.pendingNameCount++].text, KEY_NAME_SIZE, "%s", name);
    }
}

bool onKey(int i, const char* name) { return name[0] && strcmp(fakeInput.names[i].text, name) == 0; }

// The keyboard key called name goes down, up, or down and up before the next poll:
// every Key on it follows, and a press tells the name.
void setPhysical(const char* name, bool isDown, bool tap)
{
    bool held = false;
    for (int i = 0; i < KEYS; ++i) {
        held = held || (onKey(i, name) && fakeInput.down[i]);
    }
    if (!tap && (!isDown || held)) {
        for (int i = 0; i < KEYS; ++i) {
            if (onKey(i, name) && !isDown) {
                fakeInput.down[i] = false;
            }
        }
        return;
    }
    for (int i = 0; i < KEYS; ++i) {
        if (onKey(i, name)) {
            addPress(static_cast<Key>(i));
            fakeInput.down[i] = fakeInput.down[i] || !tap;
        }
    }
    addNamedPress(name);
}

}   // namespace

void setKey(Key key, bool isDown)
{
    const int i = static_cast<int>(key);
    if (fakeInput.names[i].text[0] == '\0') {   // a mouse button
        if (isDown && !fakeInput.down[i]) {
            addPress(key);
        }
        fakeInput.down[i] = isDown;
        return;
    }
    const KeyName name = fakeInput.names[i];
    setPhysical(name.text, isDown, false);
}

void tapKey(Key key)
{
    const int i = static_cast<int>(key);
    if (fakeInput.names[i].text[0] == '\0') {
        addPress(key);
        return;
    }
    const KeyName name = fakeInput.names[i];
    setPhysical(name.text, true, true);
}

void setNamedKey(const char* name, bool isDown) { setPhysical(name, isDown, false); }

void tapNamedKey(const char* name) { setPhysical(name, true, true); }

void resetFakeInput()
{
    fakeInput = FakeInput{};
    for (int i = 0; i < KEYS; ++i) {
        snprintf(fakeInput.names[i].text, KEY_NAME_SIZE, "%s", FIXED_NAMES[i]);
    }
}

namespace {

bool fakeInit(unsigned long) { return true; }

void fakePoll()
{
    for (int i = 0; i < KEYS; ++i) {
        fakeInput.polledDown[i] = fakeInput.down[i];
        fakeInput.polledPresses[i] = 0;
    }
    for (int i = 0; i < fakeInput.pendingCount; ++i) {
        fakeInput.polledOrder[i] = fakeInput.pending[i];
        ++fakeInput.polledPresses[static_cast<int>(fakeInput.pending[i])];
    }
    fakeInput.polledCount = fakeInput.pendingCount;
    fakeInput.pendingCount = 0;
    for (int i = 0; i < fakeInput.pendingNameCount; ++i) {
        fakeInput.polledNames[i] = fakeInput.pendingNames[i];
    }
    fakeInput.polledNameCount = fakeInput.pendingNameCount;
    fakeInput.pendingNameCount = 0;
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

int fakeNamedPresses(KeyName* out, int capacity)
{
    int n = 0;
    for (; n < fakeInput.polledNameCount && n < capacity; ++n) {
        out[n] = fakeInput.polledNames[n];
    }
    return n;
}

// Any name is a key of the scripted keyboard but an empty one.
bool fakeBindKey(Key key, const char* name)
{
    if (!name[0] || strlen(name) >= KEY_NAME_SIZE) {
        return false;
    }
    snprintf(fakeInput.names[static_cast<int>(key)].text, KEY_NAME_SIZE, "%s", name);
    return true;
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
    inputDevice = {fakeInit,         fakePoll,    fakeKeyDown,       fakeKeyPresses,      fakePressOrder,
                   fakeNamedPresses, fakeBindKey, fakeWindowFocused, fakePointerPosition, fakeWarpPointer,
                   fakeHidePointer};
    resetFakeInput();
}
