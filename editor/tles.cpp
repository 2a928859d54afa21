// editor/tles: the level editor program. Opens the "TLES" window, draws the editor record every frame and
// feeds pointer and key events to the window-free editor logic (editor/editor.h).
//
// [SECTION] Window mapping: reshape, scene point <-> window pixel
// [SECTION] Drawing: quads, grid, palette, buttons, forms, the question
// [SECTION] Texts
// [SECTION] Frame function and input callbacks
// [SECTION] Entry point
//
// Frame state: no depth test, no lighting, no texturing; everything is a flat quad drawn in order, so later
// quads cover earlier ones. The model-view matrix is the identity between frames.
#include <GL/freeglut.h>

#include "editor/editor.h"
#include "game/textures/textures.h"   // identifyProgramWindow
#include "levelpack/safefile.h"
#include "platform/userfolder.h"

#include <cstdio>
#include <cstdlib>

namespace {

// ---------------------------------------------------------------------------
// [SECTION] Window mapping
// ---------------------------------------------------------------------------

void reshape(int width, int height)
{
    if (height == 0) {
        height = 1;
    }
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(sceneFieldOfView(width, height), static_cast<double>(width) / height, 1.0, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    editor.windowWidth = width;
    editor.windowHeight = height;
}

// Window pixel (origin bottom left) where the unturned camera shows scene point (x, y).
void windowPosition(double x, double y, double& wx, double& wy)
{
    sceneToWindow(x, y, editor.windowWidth, editor.windowHeight, wx, wy);
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

// The question lies over everything, forms included: a panel with its answers.
void drawQuestion()
{
    glColor3f(0.5f, 0.5f, 0.5f);
    quad(0, 0, 18, 3.5);
    drawButton(AnswerFirstButton);
    if (editor.buttons[AnswerSecondButton].label[0] != '\0') {
        drawButton(AnswerSecondButton);
    }
    drawButton(AnswerCancelButton);
}

const int TOOL_BUTTONS[] = {UndoButton,        RedoButton,   ClearLevelButton, InsertLevelButton, DuplicateLevelButton,
                            DeleteLevelButton, MoveUpButton, MoveDownButton,   CheckButton};

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

// Text at the window position of scene point (x, y).
void drawSceneText(const char* s, double x, double y)
{
    double wx = 0, wy = 0;
    windowPosition(x, y, wx, wy);
    drawText(s, wx, wy);
}

// Each code's key and name under the palette, in the palette's two columns.
void drawLegend()
{
    char line[32];
    glColor3f(0.8f, 0.8f, 0.8f);
    for (int code = 0; code < SWATCH_COUNT; ++code) {
        snprintf(line, sizeof line, "%d %s", code, brickName(code));
        drawSceneText(line, swatchX(code) - SWATCH_HALF_WIDTH, -14.0 - 1.4 * (code % 5));
    }
    glColor3f(0.55f, 0.55f, 0.55f);
    drawSceneText("Drag paints, right erases,", swatchX(0) - SWATCH_HALF_WIDTH, -20.9);
    drawSceneText("Shift+click fills the row.", swatchX(0) - SWATCH_HALF_WIDTH, -22.2);
}

// The tool column's labels (dimmed when the tool cannot act) and the check's verdict under it.
void drawToolTexts()
{
    for (int i : TOOL_BUTTONS) {
        if (buttonEnabled(editor, i)) {
            glColor3f(1, 1, 1);
        } else {
            glColor3f(0.55f, 0.55f, 0.55f);
        }
        drawLabel(i);
    }
    static const float TONES[][3] = {{1, 1, 1}, {0.4f, 1, 0.4f}, {1, 0.7f, 0.2f}, {1, 0.3f, 0.3f}};
    glColor3fv(TONES[static_cast<int>(editor.check.tone)]);
    const EditorButton& check = editor.buttons[CheckButton];
    for (int i = 0; i < editor.check.noteLines; ++i) {
        drawSceneText(editor.check.note[i], check.x - check.halfWidth, check.y - 2.6 - 1.4 * i);
    }
}

void drawQuestionTexts()
{
    glColor3f(1, 1, 1);
    drawSceneText(editor.question.text, -17, 1.2);
    drawLabel(AnswerFirstButton);
    if (editor.buttons[AnswerSecondButton].label[0] != '\0') {
        drawLabel(AnswerSecondButton);
    }
    drawLabel(AnswerCancelButton);
}

// The labels and texts of the screen or form shown; (cx, cy) is the window position of the scene origin.
void drawScreenTexts(EditorScreen screen, double cx, double cy)
{
    char buffer[100];
    const int top = editor.windowHeight;
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
            if (editor.goToOpen) {
                glColor3f(1, 1, 0.3f);
                snprintf(buffer, sizeof buffer, "Go to level: %s_  (Enter, Esc)", editor.goToText);
                drawText(buffer, 200, top - 60);
            }
            drawToolTexts();
            glColor3f(1, 1, 1);
            break;
        case EditorScreen::StartScreen:
            drawLabel(NewPackButton);
            drawLabel(LoadPackButton);
            break;
    }
}

// The reminder of unsaved changes and the three header values, whenever a level is loaded (also under a form).
void drawLevelValues()
{
    char buffer[100];
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

void drawTexts()
{
    double cx = 0, cy = 0;
    windowPosition(0, 0, cx, cy);
    const EditorScreen screen = currentScreen(editor);

    if (screen == EditorScreen::PackListForm) {
        glColor3f(1, 1, 1);
        drawText(editor.packNames > 0 ? editor.PackList[editor.packIndex] : "(no level pack found)", cx - 30, cy + 16);
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
    drawText("TLES: Tessivar Level Editor System", 10, editor.windowHeight - 20);
    drawScreenTexts(screen, cx, cy);
    if (editor.packLoaded) {
        drawLevelValues();
    }
    drawLegend();

    // Failures (red) and confirmations (green) of the pack operations.
    if (editor.status[0] != '\0') {
        if (editor.statusIsError) {
            glColor3f(1, 0.2f, 0.2f);
        } else {
            glColor3f(0.4f, 1, 0.4f);
        }
        drawText(editor.status, 10, 10);
    }
    if (questionOpen(editor)) {
        drawQuestionTexts();
    }
}

// ---------------------------------------------------------------------------
// [SECTION] Frame function and input callbacks
// ---------------------------------------------------------------------------

void frame()
{
    pollCheck(editor, glutGet(GLUT_ELAPSED_TIME));
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
        for (int i : TOOL_BUTTONS) {
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
    if (questionOpen(editor)) {
        drawQuestion();
    }
    glPopMatrix();

    drawTexts();
    glutSwapBuffers();
}

// Scene point under window pixel (x, y), origin top left, as the unturned camera sees it.
bool scenePoint(int x, int y, double& sceneX, double& sceneY)
{
    windowToScene(x, y, editor.windowWidth, editor.windowHeight, sceneX, sceneY);
    return true;
}

// The callbacks end the program here, never inside the logic: a running check is ended with it.
void quitIfAsked()
{
    if (editor.quitRequested) {
        stopCheck(editor, "");
        exit(0);
    }
}

int modifiers()
{
    const int glut = glutGetModifiers();
    return ((glut & GLUT_ACTIVE_SHIFT) ? MOD_SHIFT : 0) | ((glut & GLUT_ACTIVE_CTRL) ? MOD_CTRL : 0) |
           ((glut & GLUT_ACTIVE_ALT) ? MOD_ALT : 0);
}

void passiveMotion(int x, int y)
{
    double sx = 0, sy = 0;
    if (scenePoint(x, y, sx, sy)) {
        updateHover(editor, sx, sy);
    }
}

// Motion with a button held: the stroke paints along the way.
void motion(int x, int y)
{
    double sx = 0, sy = 0;
    if (scenePoint(x, y, sx, sy)) {
        dragTo(editor, sx, sy);
    }
}

void mouse(int button, int state, int, int)
{
    if (state != GLUT_DOWN) {
        releaseButton(editor);
        return;
    }
    if (button == GLUT_LEFT_BUTTON) {
        pressLeft(editor, modifiers());
    } else if (button == GLUT_RIGHT_BUTTON) {
        pressRight(editor, modifiers());
    }
    quitIfAsked();
}

void keyboard(unsigned char key, int, int)
{
    pressKey(editor, key, modifiers());
    quitIfAsked();
}

void special(int key, int, int)
{
    const SpecialKey k = key == GLUT_KEY_PAGE_UP     ? SpecialKey::PageUp
                         : key == GLUT_KEY_PAGE_DOWN ? SpecialKey::PageDown
                                                     : SpecialKey::Other;
    pressSpecialKey(editor, k, modifiers());
    quitIfAsked();
}

// The desktop closes the window (its close button). With nothing unsaved that ends the program as Esc
// does; with unsaved edits the main loop returns and main opens a new window that asks first (freeglut
// cannot open one while it closes another).
void closed()
{
    if (!editor.modified || !editor.packLoaded) {
        stopCheck(editor, "");
        exit(0);
    }
}

// Opens the "TLES" window at the editor's size, named and iconed for the desktop, with every callback; the
// desktop may resize it, and the scene scales with it.
void openWindow()
{
    glutInitWindowPosition(0, 0);
    glutInitWindowSize(editor.windowWidth, editor.windowHeight);
    glutCreateWindow("TLES");
    identifyProgramWindow(EDITOR_WM_INSTANCE, EDITOR_WM_CLASS);
    glutDisplayFunc(frame);
    glutIdleFunc(frame);
    glutReshapeFunc(reshape);
    glutMouseFunc(mouse);
    glutMotionFunc(motion);
    glutPassiveMotionFunc(passiveMotion);
    glutKeyboardFunc(keyboard);
    glutSpecialFunc(special);
    glutCloseFunc(closed);
}

// A running check must not outlive the editor, however the program ends.
void endCheckAtExit() { stopCheck(editor, ""); }

}   // namespace

// ---------------------------------------------------------------------------
// [SECTION] Entry point
// ---------------------------------------------------------------------------

int main(int argc, char** argv)
{
    // Messages must reach a log as they happen.
    setvbuf(stdout, nullptr, _IOLBF, 0);
    ignoreFileSizeSignal();
    if (!enterUserFolder()) {
        return 1;
    }
    const char* display = getenv("DISPLAY");
    if (!display || !*display) {
        printf("No display: DISPLAY is not set. TLES needs an X display (a desktop session, or Xvfb).\n");
        return 1;
    }
    initEditor(editor);
    atexit(endCheckAtExit);
    // A window closed by the desktop while there are unsaved edits comes back with the question.
    for (bool reopened = false;; reopened = true) {
        glutInit(&argc, argv);
        glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGBA | GLUT_DEPTH);
        glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);
        openWindow();
        if (reopened) {
            answerQuestion(editor, Answer::Cancel);   // a question left open gives way to the one about quitting
            requestAction(editor, PendingAction::Quit);
        }
        glutMainLoop();
    }
    return 0;
}
