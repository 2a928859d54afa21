// game/textures/window_icon: a program's window named for the desktop and
// given the icon the asset generator drew into Textures/ (its sizes in the
// catalogue). A missing or unreadable icon file is left out; the window
// keeps its name.
#include "game/textures/textures.h"
#include "levelpack/catalogue.h"
#include "platform/window.h"

#include <cstdio>

void identifyProgramWindow(const char* instance, const char* className)
{
    Texture images[WINDOW_ICON_COUNT];
    WindowIcon icons[WINDOW_ICON_COUNT];
    int count = 0;
    for (int i = 0; i < WINDOW_ICON_COUNT; ++i) {
        char path[64];
        snprintf(path, sizeof path, WINDOW_ICON_FORMAT, WINDOW_ICON_SIZES[i]);
        if (loadTga(path, images[i])) {
            icons[count++] = {images[i].width, images[i].height, images[i].bytesPerPixel, images[i].pixels.get()};
        }
    }
    identifyWindow(instance, className, icons, count);
}
