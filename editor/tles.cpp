// editor/tles: the level editor program. Opens the "TLES" window, draws the editor record every frame and
// feeds pointer and key events to the window-free editor logic (editor/editor.h).
//
// [SECTION] Window mapping: reshape, scene point <-> window pixel
// [SECTION] Drawing: quads, grid, palette, buttons, forms
// [SECTION] Texts
// [SECTION] Frame function and input callbacks
// [SECTION] Entry point
//
// Frame state: no depth test, no lighting, no texturing; everything is a flat quad drawn in order, so later
// quads cover earlier ones. The model-view matrix is the identity between frames.
#include <GL/freeglut.h>

#include "editor/editor.h"
#include "platform/userfolder.h"

#include <cstdio>
#include <cstdlib>

namespace {

// ---------------------------------------------------------------------------
// [SECTION] Window mapping
// ---------------------------------------------------------------------------

const GLdouble IDENTITY[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

void reshape(int width, int height)
{
    if (height == 0) {
        height = 1;
    }
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(FIELD_OF_VIEW, static_cast<double>(width) / height, 1.0, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    editor.windowWidth = width;
    editor.windowHeight = height;
}

// Window pixel (origin bottom left) where the unturned camera shows scene point (x, y); texts use it so
// they stay put while the scene turns.
void windowPosition(double x, double y, double& wx, double& wy)
{
    GLdouble projection[16];
    GLint viewport[4];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLdouble wz = 0;
    if (gluProject(x, y, -CAMERA_DISTANCE, IDENTITY, projection, viewport, &wx, &wy, &wz) == GL_FALSE) {
        wx = wy = -1000;   // off the window: the text is skipped
    }
}

// ---------------------------------------------------------------------------
// [SECTION] Drawing
// ---------------------------------------------------------------------------

void quad(double x, double y, double halfWidth, double halfHeight)
{
    glBegin(GL_QUADS);
    glVertex2d(x - halfWidth, y - halfHeight);
    glVertex2d(x + halfWidth, y - halfHeight);
    glVertex2d(x + halfWidth, y + halfHeight);
    glVertex2d(x - halfWidth, y + halfHeight);
    glEnd();
}

void drawGrid()
{
    glPushMatrix();
    glTranslated(GRID_ORIGIN_X, GRID_ORIGIN_Y, 0);
    float rgb[3];
    for (const EditorCell& cell : editor.grid) {
        if (cell.present) {
            brickColour(cell.code, rgb);
            glColor3fv(rgb);
            quad(cell.x, cell.y, cell.halfWidth, cell.halfHeight);
        } else {
            glColor3f(0.4f, 0.4f, 0.4f);
            quad(cell.x, cell.y, cell.halfWidth + 0.1, cell.halfHeight + 0.1);
            glColor3f(0, 0, 0);
            quad(cell.x, cell.y, cell.halfWidth, cell.halfHeight);
        }
    }
    glPopMatrix();
}

void drawPalette()
{
    float rgb[3];
    for (int i = 0; i < SWATCH_COUNT; ++i) {
        const double x = swatchX(i);
        const double y = swatchY(i);
        if (i == editor.brush) {
            glColor3f(0.8f, 0.8f, 0.8f);
            quad(x, y, 4.0, 2.6);
        } else if (i == editor.hoveredSwatch) {
            glColor3f(0.5f, 0.5f, 0.5f);
            quad(x, y, 4.0, 2.6);
        }
        if (i == 0) {
            glColor3f(1, 1, 1);
            quad(x, y, 3.6, 2.2);
        }
        brickColour(i, rgb);
        glColor3fv(rgb);
        quad(x, y, SWATCH_HALF_WIDTH, SWATCH_HALF_HEIGHT);
    }
}

void drawButton(int index, bool focused = false)
{
    const EditorButton& b = editor.buttons[index];
    if (focused) {
        glColor3f(0.6f, 0, 0);
    } else if (b.hovered) {
        glColor3f(0.6f, 0.6f, 0.6f);
    } else {
        glColor3f(0.3f, 0.3f, 0.3f);
    }
    quad(b.x, b.y, b.halfWidth, b.halfHeight);
}

void drawFormPanel()
{
    glColor3f(0.5f, 0.5f, 0.5f);
    quad(0, 0, 10, 5);
}

// ---------------------------------------------------------------------------
// [SECTION] Texts
// ---------------------------------------------------------------------------

// Draws s at window pixel (x, y), origin bottom left, in the current colour.
void drawText(const char* s, double x, double y)
{
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(0, editor.windowWidth, 0, editor.windowHeight);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glRasterPos2d(x, y);
    for (const char* c = s; *c; ++c) {
        glutBitmapCharacter(GLUT_BITMAP_8_BY_13, static_cast<unsigned char>(*c));
    }
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

void drawLabel(int index)
{
    const EditorButton& b = editor.buttons[index];
    double bx = 0, by = 0;
    windowPosition(b.x - b.halfWidth, b.y, bx, by);
    drawText(b.label, bx + 3, by - 3);
}

void drawTexts()
{
    char buffer[100];
    double cx = 0, cy = 0;
    windowPosition(0, 0, cx, cy);
    const EditorScreen screen = currentScreen(editor);
    const int top = editor.windowHeight;

    if (screen == EditorScreen::PackListForm) {
        glColor3f(1, 1, 1);
        drawText(editor.packNames > 0 ? editor.PackList[editor.packIndex] : "(no level pack found)", cx - 30,
                 cy + 16);
    }
    if (screen == EditorScreen::StartScreen) {
        glColor3f(1, 0, 0);
        if (editor.loadFailed) {
            drawText("Error loading level pack, make a new one", cx - 150, cy);
        } else {
            drawText("Load a level pack or make a new one", cx - 140, cy);
        }
    }
    glColor3f(1, 1, 1);
    drawText("TLES: Tessivar Level Editor System", 10, top - 20);

    switch (screen) {
    case EditorScreen::PackListForm:
        for (int i : {LoadButton, CancelListButton, LessButton, MoreButton}) {
            drawLabel(i);
        }
        break;
    case EditorScreen::NewPackForm:
        for (int i = CreateButton; i <= NameFieldButton; ++i) {
            drawLabel(i);
        }
        drawText("Level Pack name:", cx - 100, cy + 36);
        drawText("Number of new levels", cx - 80, cy + 16);
        snprintf(buffer, sizeof buffer, "%d", editor.newLevelCount);
        drawText(buffer, cx - 5, cy - 8);
        break;
    case EditorScreen::EditScreen:
        snprintf(buffer, sizeof buffer, "Total levels in file: %d", editor.levelCount);
        drawText(buffer, 10, top - 40);
        snprintf(buffer, sizeof buffer, "Current level: %d", editor.levelNumber);
        drawText(buffer, 10, top - 60);
        for (int i = NextLevelButton; i <= LoadPackButton; ++i) {
            drawLabel(i);
        }
        break;
    case EditorScreen::StartScreen:
        drawLabel(NewPackButton);
        drawLabel(LoadPackButton);
        break;
    }

    if (editor.packLoaded) {
        double wx = 0, wy = 0;
        if (editor.modified) {
            glColor3f(1, 0, 0);
            windowPosition(-13, 28, wx, wy);
            drawText("Click in Save to store the changes", wx, wy);
        }
        glColor3f(1, 1, 1);
        windowPosition(-15, -24, wx, wy);
        snprintf(buffer, sizeof buffer, "%d", editor.greyHits);
        drawText(buffer, wx + 3, wy - 3);
        windowPosition(4, -24, wx, wy);
        snprintf(buffer, sizeof buffer, "%d%%", editor.bonusChance);
        drawText(buffer, wx + 3, wy - 3);
        windowPosition(20, -24, wx, wy);
        snprintf(buffer, sizeof buffer, "%d", editor.background);
        drawText(buffer, wx + 3, wy - 3);
    }

    // Failures (red) and confirmations (green) of the pack operations.
    if (editor.status[0] != '\0') {
        if (editor.statusIsError) {
            glColor3f(1, 0.2f, 0.2f);
        } else {
            glColor3f(0.4f, 1, 0.4f);
        }
        drawText(editor.status, 10, 10);
    }
}

// ---------------------------------------------------------------------------
// [SECTION] Frame function and input callbacks
// ---------------------------------------------------------------------------

void frame()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushMatrix();
    gluLookAt(0, 0, CAMERA_DISTANCE, 0, 0, 0, 0, 1, 0);
    glRotated(editor.spinAngle, 1, 0, 0);
    advanceSpin(editor);

    if (editor.packLoaded) {
        drawGrid();
    }
    drawButton(NewPackButton);
    drawButton(LoadPackButton);
    if (editor.packLoaded) {
        for (int i = NextLevelButton; i <= BackgroundButton; ++i) {
            drawButton(i);
        }
    }
    drawPalette();
    if (editor.newPackFormOpen) {
        drawFormPanel();
        for (int i = CreateButton; i <= MoreButton; ++i) {
            drawButton(i);
        }
        drawButton(NameFieldButton, editor.nameFocused);
    } else if (editor.packListOpen) {
        drawFormPanel();
        for (int i : {LessButton, MoreButton, LoadButton, CancelListButton}) {
            drawButton(i);
        }
    }
    glPopMatrix();

    drawTexts();
    glutSwapBuffers();
}

// Pointer moved with no button held: map it onto the scene plane as the unturned camera sees it.
void passiveMotion(int x, int y)
{
    GLdouble projection[16];
    GLint viewport[4];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLdouble px = 0, py = 0, pz = 0;
    if (gluUnProject(x, viewport[3] - y, 0, IDENTITY, projection, viewport, &px, &py, &pz) == GL_FALSE) {
        return;
    }
    // The unprojected point lies on the near plane at distance 1; the scene plane is CAMERA_DISTANCE away.
    updateHover(editor, px * CAMERA_DISTANCE, py * CAMERA_DISTANCE);
}

void mouse(int button, int state, int, int)
{
    if (state != GLUT_DOWN) {
        return;
    }
    if (button == GLUT_LEFT_BUTTON) {
        pressLeft(editor);
    } else if (button == GLUT_RIGHT_BUTTON) {
        pressRight(editor);
    }
}

void keyboard(unsigned char key, int, int)
{
    if (key == 27) {
        exit(0);
    }
    pressKey(editor, key);
}

}   // namespace

// ---------------------------------------------------------------------------
// [SECTION] Entry point
// ---------------------------------------------------------------------------

int main(int argc, char** argv)
{
    // Messages must reach a log as they happen.
    setvbuf(stdout, nullptr, _IOLBF, 0);
    if (!enterUserFolder()) {
        return 1;
    }
    const char* display = getenv("DISPLAY");
    if (!display || !*display) {
        printf("No display: DISPLAY is not set. TLES needs an X display (a desktop session, or Xvfb).\n");
        return 1;
    }
    initEditor(editor);
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGBA | GLUT_DEPTH);
    glutInitWindowPosition(0, 0);
    glutInitWindowSize(editor.windowWidth, editor.windowHeight);
    glutCreateWindow("TLES");

    glutDisplayFunc(frame);
    glutIdleFunc(frame);
    glutReshapeFunc(reshape);
    glutMouseFunc(mouse);
    glutPassiveMotionFunc(passiveMotion);
    glutKeyboardFunc(keyboard);
    glutMainLoop();
    return 0;
}
