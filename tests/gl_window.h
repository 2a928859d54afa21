// tests/gl_window: opens the GLUT window that the windowed tests and the render
// benchmark draw into, the way the game asks for it, and waits until it is
// mapped: pixels of an unmapped window are never written.
#pragma once

#include <GL/glew.h>
#include <GL/freeglut.h>

#include <cstdio>
#include <unistd.h>

inline void idleWindowDisplay() {}

// mapRounds: event-loop rounds of 10 ms to let the window be mapped and exposed.
inline void openMappedWindow(const char* title, int width, int height, int mapRounds = 20)
{
    int argc = 1;
    char name[64];
    snprintf(name, sizeof name, "%s", title);
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_ALPHA | GLUT_DEPTH);
    glutInitWindowPosition(0, 0);
    glutInitWindowSize(width, height);
    glutCreateWindow(title);
    glutDisplayFunc(idleWindowDisplay);
    for (int i = 0; i < mapRounds; ++i) {
        glutMainLoopEvent();
        if (mapRounds > 1) {
            usleep(10000);
        }
    }
}
