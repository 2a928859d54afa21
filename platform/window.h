// platform/window: what the desktop knows a program's window by — WM_CLASS
// (instance and class, as the desktop entries' StartupWMClass names them, so
// docks and task switchers tie the window to its entry and icon) and
// _NET_WM_ICON (the icon at several sizes) — set through Xlib on the window of
// the current GL context (GLUT sets neither).
#pragma once

#include <cstdint>

// One picture of the icon: width x height pixels of 3 (RGB) or 4 (RGBA)
// bytes, the bottom row first, as the image loaders decode a TGA file.
struct WindowIcon {
    int width = 0;
    int height = 0;
    int bytesPerPixel = 4;
    const uint8_t* pixels = nullptr;
};

// Names the current window and gives it the icons (count 0: none). Icons of
// another pixel size, or empty, are left out.
void identifyWindow(const char* instance, const char* className, const WindowIcon* icons, int count);
