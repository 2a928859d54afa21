// platform/input_x11: key and pointer polling against the X server.
// A connection of our own (beside GLUT's) asks for the keyboard map and the
// pointer at the moment of the call, so the game sees the state "now" rather
// than a queue of events. Limits: keys are global to the display, as the
// design's polling expects; the pointer is hidden through GLUT.
#include "platform/input.h"

#include <GL/freeglut.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace {

struct X11Input {
    Display* display = nullptr;
    Window root = 0;
    KeyCode codes[static_cast<int>(Key::Count)] = {};   // 0 for the mouse buttons
};

X11Input x11;

unsigned int pointerMask()
{
    Window rootReturn, child;
    int rootX, rootY, winX, winY;
    unsigned int mask = 0;
    if (!x11.display ||
        !XQueryPointer(x11.display, x11.root, &rootReturn, &child, &rootX, &rootY, &winX, &winY, &mask)) {
        return 0;
    }
    return mask;
}

}   // namespace

bool inputInit()
{
    x11.display = XOpenDisplay(nullptr);
    if (!x11.display) {
        return false;
    }
    x11.root = DefaultRootWindow(x11.display);
    const KeySym syms[static_cast<int>(Key::Count)] = {XK_Escape, XK_Down, XK_Up,  XK_Return, XK_Left,
                                                        XK_Right,  XK_space, XK_F11, XK_F12,    XK_KP_1,
                                                        XK_KP_2,   0,        0,      0};
    for (int i = 0; i < static_cast<int>(Key::Count); ++i) {
        x11.codes[i] = syms[i] ? XKeysymToKeycode(x11.display, syms[i]) : 0;
    }
    return true;
}

bool keyDown(Key key)
{
    if (!x11.display) {
        return false;
    }
    switch (key) {
    case Key::MouseLeft:
        return pointerMask() & Button1Mask;
    case Key::MouseMiddle:
        return pointerMask() & Button2Mask;
    case Key::MouseRight:
        return pointerMask() & Button3Mask;
    default:
        break;
    }
    const KeyCode code = x11.codes[static_cast<int>(key)];
    if (code == 0) {
        return false;
    }
    char keys[32];
    XQueryKeymap(x11.display, keys);
    return (keys[code / 8] >> (code % 8)) & 1;
}

void pointerPosition(int& x, int& y)
{
    x = 0;
    y = 0;
    Window rootReturn, child;
    int winX, winY;
    unsigned int mask;
    if (x11.display) {
        XQueryPointer(x11.display, x11.root, &rootReturn, &child, &x, &y, &winX, &winY, &mask);
    }
}

void warpPointer(int x, int y)
{
    if (!x11.display) {
        return;
    }
    XWarpPointer(x11.display, None, x11.root, 0, 0, 0, 0, x, y);
    XFlush(x11.display);
}

void hidePointer() { glutSetCursor(GLUT_CURSOR_NONE); }
