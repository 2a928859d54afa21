// platform/input_x11: keys, buttons, focus and pointer from the X server.
// A connection of our own (beside GLUT's) listens to XInput2's raw key and
// button events on the root window, which arrive whatever window is under the
// pointer and however short the press, and asks at each poll for the keyboard
// map, the pointer and the input focus. Without XInput2 (or before 2.0) a press
// is a key seen down at a poll that was up at the one before, as plain polling
// gives. Limits: raw events are global to the display, so the shell ignores
// them while the game window lacks the focus; the pointer is hidden through GLUT.
#include "platform/input.h"
#include "platform/seams.h"

#include <GL/freeglut.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>

#include <cstring>

namespace {

constexpr int KEY_COUNT = static_cast<int>(Key::Count);
constexpr int MAX_ANCESTORS = 16;

struct X11Input {
    Display* display = nullptr;
    Window root = 0;
    Window window = 0;                    // the game window; 0 = focus not tracked
    int xiOpcode = -1;                    // XInput2's major opcode; -1 = plain polling
    KeyCode codes[KEY_COUNT] = {};        // 0 for the mouse buttons
    KeyCode otherCodes[KEY_COUNT] = {};   // a second key that counts as the same (right Alt), or 0
    unsigned char buttonMap[256] = {};    // physical button -> logical (left-handed mice)
    bool rawDown[KEY_COUNT] = {};         // as the raw events left each key
    bool down[KEY_COUNT] = {};            // at the last poll
    int presses[KEY_COUNT] = {};          // between the last two polls
    Key order[PRESS_ORDER_SIZE] = {};
    int orderCount = 0;
    bool focused = true;
    Window focusSeen = 0;   // the window the cached answer of relatedToOurs is for
    bool focusSeenOurs = false;
    int pointerX = 0;   // in the game window's pixels (the screen's when it is unknown)
    int pointerY = 0;
    unsigned int pointerMask = 0;
    XErrorHandler previousHandler = nullptr;
};

X11Input x11;

// A window the focus question walks through can vanish under us; such errors
// on our own connection are expected and ignored, others go where they went.
int ignoreOwnErrors(Display* display, XErrorEvent* error)
{
    if (display == x11.display) {
        return 0;
    }
    return x11.previousHandler ? x11.previousHandler(display, error) : 0;
}

Key keyOfButton(int logical)
{
    switch (logical) {
        case 1: return Key::MouseLeft;
        case 2: return Key::MouseMiddle;
        case 3: return Key::MouseRight;
        case 4:
        case 5:
        case 6:
        case 7: return Key::Count;   // the wheel turns; it presses nothing
        default: return Key::Other;
    }
}

Key keyOfCode(int code)
{
    for (int i = 0; i < KEY_COUNT; ++i) {
        if ((x11.codes[i] != 0 && x11.codes[i] == code) || (x11.otherCodes[i] != 0 && x11.otherCodes[i] == code)) {
            return static_cast<Key>(i);
        }
    }
    return Key::Other;
}

void notePress(Key key)
{
    const int i = static_cast<int>(key);
    if (x11.rawDown[i]) {
        return;   // a repeat of a key already down is not a new press
    }
    x11.rawDown[i] = true;
    ++x11.presses[i];
    if (x11.orderCount < PRESS_ORDER_SIZE) {
        x11.order[x11.orderCount++] = key;
    }
}

void noteRawEvent(XGenericEventCookie& cookie)
{
    const XIRawEvent* raw = static_cast<const XIRawEvent*>(cookie.data);
    Key key = Key::Count;
    if (cookie.evtype == XI_RawKeyPress || cookie.evtype == XI_RawKeyRelease) {
        key = keyOfCode(raw->detail);
    } else if (raw->detail > 0 && raw->detail < 256) {
        key = keyOfButton(x11.buttonMap[raw->detail]);
    }
    if (key == Key::Count) {
        return;
    }
    if (cookie.evtype == XI_RawKeyPress || cookie.evtype == XI_RawButtonPress) {
        notePress(key);
    } else {
        x11.rawDown[static_cast<int>(key)] = false;
    }
}

void drainEvents()
{
    while (XPending(x11.display) > 0) {
        XEvent event;
        XNextEvent(x11.display, &event);
        XGenericEventCookie& cookie = event.xcookie;
        if (cookie.type != GenericEvent || cookie.extension != x11.xiOpcode || !XGetEventData(x11.display, &cookie)) {
            continue;
        }
        noteRawEvent(cookie);
        XFreeEventData(x11.display, &cookie);
    }
}

bool startRawEvents()
{
    int event = 0;
    int error = 0;
    if (!XQueryExtension(x11.display, "XInputExtension", &x11.xiOpcode, &event, &error)) {
        x11.xiOpcode = -1;
        return false;
    }
    int major = 2;
    int minor = 2;
    if (XIQueryVersion(x11.display, &major, &minor) != Success || major < 2) {
        x11.xiOpcode = -1;
        return false;
    }
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawKeyPress);
    XISetMask(bits, XI_RawKeyRelease);
    XISetMask(bits, XI_RawButtonPress);
    XISetMask(bits, XI_RawButtonRelease);
    XIEventMask mask;
    mask.deviceid = XIAllMasterDevices;
    mask.mask_len = sizeof bits;
    mask.mask = bits;
    XISelectEvents(x11.display, x11.root, &mask, 1);
    XFlush(x11.display);
    return true;
}

// Whether `below` is `above` or lies inside it (walking up to the root).
bool within(Window below, Window above)
{
    for (int depth = 0; depth < MAX_ANCESTORS && below != 0; ++depth) {
        if (below == above) {
            return true;
        }
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(x11.display, below, &root, &parent, &children, &count)) {
            return false;
        }
        if (children) {
            XFree(children);
        }
        if (parent == root) {
            return parent == above;
        }
        below = parent;
    }
    return false;
}

// The game window and w are one inside the other (w is ours, a child of
// ours, or a window manager's frame around ours). Asked again only when w changes.
bool relatedToOurs(Window w)
{
    if (w != x11.focusSeen) {
        x11.focusSeen = w;
        x11.focusSeenOurs = within(w, x11.window) || within(x11.window, w);
    }
    return x11.focusSeenOurs;
}

// Keys go to the game window: the focus is on it (or its frame), or the focus
// is the root or PointerRoot, which send keys to the window under the pointer,
// and that is the game's.
bool focusIsOurs(Window pointerChild)
{
    if (x11.window == 0) {
        return true;
    }
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(x11.display, &focus, &revert);
    if (focus == None) {
        return false;
    }
    if (focus == PointerRoot || focus == x11.root) {
        return pointerChild != None && relatedToOurs(pointerChild);
    }
    return relatedToOurs(focus);
}

bool x11Init(unsigned long window)
{
    x11.display = XOpenDisplay(nullptr);
    if (!x11.display) {
        return false;
    }
    x11.previousHandler = XSetErrorHandler(ignoreOwnErrors);
    x11.root = DefaultRootWindow(x11.display);
    x11.window = window;
    const KeySym syms[KEY_COUNT] = {XK_Escape, XK_Down, XK_Up,   XK_Return, XK_Left, XK_Right, XK_space, XK_p, XK_F11,
                                    XK_F12,    XK_KP_1, XK_KP_2, XK_Alt_L,  XK_Home, 0,        0,        0,    0};
    for (int i = 0; i < KEY_COUNT; ++i) {
        x11.codes[i] = syms[i] ? XKeysymToKeycode(x11.display, syms[i]) : 0;
    }
    x11.otherCodes[static_cast<int>(Key::Alt)] = XKeysymToKeycode(x11.display, XK_Alt_R);
    for (int i = 0; i < 256; ++i) {
        x11.buttonMap[i] = static_cast<unsigned char>(i);
    }
    unsigned char map[255];
    const int buttons = XGetPointerMapping(x11.display, map, sizeof map);
    for (int i = 0; i < buttons; ++i) {
        x11.buttonMap[i + 1] = map[i];
    }
    startRawEvents();
    return true;
}

// Any key down in the keymap that has no Key of its own.
bool otherKeyDown(const char (&keys)[32])
{
    for (int code = 8; code < 256; ++code) {
        if (((keys[code / 8] >> (code % 8)) & 1) && keyOfCode(code) == Key::Other) {
            return true;
        }
    }
    return false;
}

void x11Poll()
{
    if (!x11.display) {
        return;
    }
    bool wasDown[KEY_COUNT];
    memcpy(wasDown, x11.down, sizeof wasDown);
    memset(x11.presses, 0, sizeof x11.presses);
    x11.orderCount = 0;

    // The keymap first: every event before it is then queued and drained below.
    char keys[32];
    XQueryKeymap(x11.display, keys);
    Window rootReturn = 0;
    Window child = None;
    int winX, winY;
    if (!XQueryPointer(x11.display, x11.root, &rootReturn, &child, &x11.pointerX, &x11.pointerY, &winX, &winY,
                       &x11.pointerMask)) {
        x11.pointerMask = 0;
        child = None;
    }
    // The shell measures the pointer from the window's centre, wherever the window stands.
    Window inner = None;
    int windowX = 0;
    int windowY = 0;
    if (x11.window != 0 && XTranslateCoordinates(x11.display, x11.root, x11.window, x11.pointerX, x11.pointerY,
                                                 &windowX, &windowY, &inner)) {
        x11.pointerX = windowX;
        x11.pointerY = windowY;
    }
    if (x11.xiOpcode >= 0) {
        drainEvents();
    }
    for (int i = 0; i < KEY_COUNT; ++i) {
        const Key key = static_cast<Key>(i);
        bool now = false;
        if (key == Key::MouseLeft) {
            now = x11.pointerMask & Button1Mask;
        } else if (key == Key::MouseMiddle) {
            now = x11.pointerMask & Button2Mask;
        } else if (key == Key::MouseRight) {
            now = x11.pointerMask & Button3Mask;
        } else if (key == Key::Other) {
            now = otherKeyDown(keys);
        } else if (x11.codes[i] != 0) {
            now = (keys[x11.codes[i] / 8] >> (x11.codes[i] % 8)) & 1;
            if (x11.otherCodes[i] != 0) {
                now = now || ((keys[x11.otherCodes[i] / 8] >> (x11.otherCodes[i] % 8)) & 1);
            }
        }
        x11.down[i] = now;
        if (x11.xiOpcode < 0) {
            if (now && !wasDown[i]) {
                notePress(key);
            }
            x11.rawDown[i] = now;
        } else if (!now && x11.presses[i] == 0) {
            // Up in the keymap taken before the drain: its release was among the
            // events, unless it was lost; either way the key is up.
            x11.rawDown[i] = false;
        }
    }
    x11.focused = focusIsOurs(child);
}

bool x11KeyDown(Key key) { return x11.down[static_cast<int>(key)]; }

int x11KeyPresses(Key key) { return x11.presses[static_cast<int>(key)]; }

int x11PressOrder(Key* out, int capacity)
{
    int n = 0;
    for (; n < x11.orderCount && n < capacity; ++n) {
        out[n] = x11.order[n];
    }
    return n;
}

bool x11WindowFocused() { return x11.focused; }

void x11PointerPosition(int& x, int& y)
{
    x = x11.pointerX;
    y = x11.pointerY;
}

void x11WarpPointer(int x, int y)
{
    if (!x11.display) {
        return;
    }
    XWarpPointer(x11.display, None, x11.window != 0 ? x11.window : x11.root, 0, 0, 0, 0, x, y);
    XFlush(x11.display);
    x11.pointerX = x;
    x11.pointerY = y;
}

void x11HidePointer() { glutSetCursor(GLUT_CURSOR_NONE); }

}   // namespace

void useX11Input()
{
    inputDevice = {x11Init,       x11Poll,          x11KeyDown,         x11KeyPresses,
                   x11PressOrder, x11WindowFocused, x11PointerPosition, x11WarpPointer,
                   x11HidePointer};
}
