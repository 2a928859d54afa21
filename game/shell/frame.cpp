// game/shell/frame: the display callback. For now it only clears and swaps;
// the frame loop with its game states replaces this.
#include <GL/freeglut.h>

#include "game/shell/shell.h"

void GameFrame()
{
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glutSwapBuffers();
    glutPostRedisplay();
}
