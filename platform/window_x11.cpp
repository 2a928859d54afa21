// platform/window_x11: WM_CLASS and _NET_WM_ICON on the current GL context's
// window. _NET_WM_ICON is a CARDINAL array of width, height and then the
// pixels as ARGB, top row first; Xlib passes format-32 data as longs.
#include "platform/window.h"

#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <string>
#include <vector>

void identifyWindow(const char* instance, const char* className, const WindowIcon* icons, int count)
{
    Display* display = glXGetCurrentDisplay();
    const Window window = glXGetCurrentDrawable();
    if (!display || window == 0) {
        return;
    }
    std::string name = instance;
    std::string kind = className;
    XClassHint hint;
    hint.res_name = name.data();
    hint.res_class = kind.data();
    XSetClassHint(display, window, &hint);

    std::vector<unsigned long> data;
    for (int i = 0; i < count; ++i) {
        const WindowIcon& icon = icons[i];
        const int bytes = icon.bytesPerPixel;
        if (!icon.pixels || icon.width <= 0 || icon.height <= 0 || icon.width > 1024 || icon.height > 1024 ||
            (bytes != 3 && bytes != 4)) {
            continue;
        }
        data.push_back(static_cast<unsigned long>(icon.width));
        data.push_back(static_cast<unsigned long>(icon.height));
        for (int y = icon.height - 1; y >= 0; --y) {
            const uint8_t* row = icon.pixels + static_cast<size_t>(y) * icon.width * bytes;
            for (int x = 0; x < icon.width; ++x) {
                const uint8_t* p = row + static_cast<size_t>(x) * bytes;
                const unsigned long alpha = bytes == 4 ? p[3] : 255;
                data.push_back(alpha << 24 | static_cast<unsigned long>(p[0]) << 16 |
                               static_cast<unsigned long>(p[1]) << 8 | p[2]);
            }
        }
    }
    if (!data.empty()) {
        const Atom property = XInternAtom(display, "_NET_WM_ICON", False);
        XChangeProperty(display, window, property, XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()));
    }
    XFlush(display);
}
