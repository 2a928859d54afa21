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
#include "platform/cmdline.h"
#include "platform/userfolder.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

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

// A brick of code at (x, y) in its colour; iron as the game shows it, a steel plate with a seam and rivets.
void brickQuad(int code, double x, double y, double halfWidth, double halfHeight)
{
    float rgb[3];
    brickColour(code, rgb);
    glColor3fv(rgb);
    quad(x, y, halfWidth, halfHeight);
    if (code != BRICK_CODE_MAX) {
        return;
    }
    const double inset = 0.3 * halfHeight;
    glColor3f(rgb[0] * 0.6f, rgb[1] * 0.6f, rgb[2] * 0.6f);
    glBegin(GL_LINE_LOOP);
    glVertex2d(x - halfWidth + inset, y - halfHeight + inset);
    glVertex2d(x + halfWidth - inset, y - halfHeight + inset);
    glVertex2d(x + halfWidth - inset, y + halfHeight - inset);
    glVertex2d(x - halfWidth + inset, y + halfHeight - inset);
    glEnd();
    glColor3f(0.78f, 0.62f, 0.28f);   // brass
    const double rivet = 0.12 * halfHeight;
    for (const double dx : {-1.0, 1.0}) {
        for (const double dy : {-1.0, 1.0}) {
            quad(x + dx * (halfWidth - 0.6 * inset), y + dy * (halfHeight - 0.6 * inset), rivet, rivet);
        }
    }
}

void drawGrid()
{
    glPushMatrix();
    glTranslated(GRID_ORIGIN_X, GRID_ORIGIN_Y, 0);
    for (const EditorCell& cell : editor.grid) {
        if (cell.present) {
            brickQuad(cell.code, cell.x, cell.y, cell.halfWidth, cell.halfHeight);
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
        brickQuad(i, x, y, SWATCH_HALF_WIDTH, SWATCH_HALF_HEIGHT);
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

// The panels of the two forms and of the question, centred on the scene origin (scene units).
constexpr double FORM_HALF_WIDTH = 15;
constexpr double FORM_HALF_HEIGHT = 5;
constexpr double QUESTION_HALF_WIDTH = 20;
constexpr double QUESTION_TOP = 4.5;   // the answers stand below its text, at y -1.5
constexpr double QUESTION_BOTTOM = -3.5;

void drawFormPanel()
{
    glColor3f(0.5f, 0.5f, 0.5f);
    quad(0, 0, FORM_HALF_WIDTH, FORM_HALF_HEIGHT);
}

// The question takes the place of any form: one thing to answer on screen at a time.
// Where the question's panel stands and its text in lines: the start size's panel, or in a small window
// one grown (wider, then taller) until the text reads in a few lines.
struct QuestionLayout {
    double halfWidth = QUESTION_HALF_WIDTH;   // scene units
    double top = QUESTION_TOP;
    std::vector<std::string> lines;
};
QuestionLayout layoutQuestion();

void drawQuestion()
{
    const QuestionLayout layout = layoutQuestion();
    glColor3f(0.5f, 0.5f, 0.5f);
    quad(0, (layout.top + QUESTION_BOTTOM) / 2, layout.halfWidth, (layout.top - QUESTION_BOTTOM) / 2);
    drawButton(AnswerFirstButton);
    if (editor.buttons[AnswerSecondButton].label[0] != '\0') {
        drawButton(AnswerSecondButton);
    }
    drawButton(AnswerCancelButton);
}

const int TOOL_BUTTONS[] = {UndoButton,        RedoButton,   ClearLevelButton, InsertLevelButton, DuplicateLevelButton,
                            DeleteLevelButton, MoveUpButton, MoveDownButton,   CheckButton,       PlayButton};

// ---------------------------------------------------------------------------
// [SECTION] Texts
// ---------------------------------------------------------------------------

constexpr double FONT_CELL_WIDTH = 8;   // pixels of a GLUT_BITMAP_8_BY_13 character cell
constexpr double TEXT_DROP = 3;         // baseline below the middle of a line, pixels: the text sits centred
constexpr double LINE_PITCH = 15;       // pixels from one line of text to the next
constexpr double MARGIN = 3;            // pixels between a text and the edge of its button or panel

// The ellipsis the font lacks, as one character cell: three dots on the baseline (rows from the bottom).
const GLubyte ELLIPSIS_BITMAP[13] = {0, 0, 0xDB, 0xDB, 0, 0, 0, 0, 0, 0, 0, 0, 0};

// Draws s at window pixel (x, y), origin bottom left, in the current colour.
void drawText(const std::string& s, double x, double y)
{
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(0, editor.windowWidth, 0, editor.windowHeight);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glRasterPos2d(x, y);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (const char c : s) {
        if (c == ELLIPSIS) {
            glBitmap(8, 13, 0, 2, static_cast<GLfloat>(FONT_CELL_WIDTH), 0, ELLIPSIS_BITMAP);
        } else {
            glutBitmapCharacter(GLUT_BITMAP_8_BY_13, static_cast<unsigned char>(c));
        }
    }
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

constexpr double TITLE_Y = 27.6;    // scene y of the top line; the level count and number follow below
constexpr double LINE_STEP = 1.8;   // scene units from one of those lines to the next

// Pixels of scene length `length` at the current window size.
double pixelsOf(double length)
{
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    windowPosition(0, 0, x0, y0);
    windowPosition(length, 0, x1, y1);
    return x1 - x0;
}

// Character cells that fit in a scene length, margins taken off both sides.
int cellsIn(double length) { return static_cast<int>((pixelsOf(length) - 2 * MARGIN) / FONT_CELL_WIDTH); }

// s fitted between scene x left and left + width, on the line through scene y: from the left, or centred.
void drawSceneLine(const std::string& s, double left, double y, double width, Elide where, bool centred = false)
{
    const std::string shown = fitText(s, cellsIn(width), where);
    double wx = 0, wy = 0;
    windowPosition(left, y, wx, wy);
    const double slack = centred ? (pixelsOf(width) - FONT_CELL_WIDTH * shown.size()) / 2 : MARGIN;
    drawText(shown, wx + slack, wy - TEXT_DROP);
}

// A button's label (or text, for a button that shows a value beside its name), always inside it.
void drawLabel(int index, const std::string& text)
{
    const EditorButton& b = editor.buttons[index];
    drawSceneLine(text, b.x - b.halfWidth, b.y, 2 * b.halfWidth, Elide::End);
}
void drawLabel(int index) { drawLabel(index, editor.buttons[index].label); }

// Scene x of the window's right edge.
double sceneRight()
{
    double x = 0, y = 0;
    windowToScene(editor.windowWidth, 0, editor.windowWidth, editor.windowHeight, x, y);
    return x;
}

// Scene x where the tool column begins; the texts above it line up with it at any window shape.
double toolColumnLeft() { return editor.buttons[UndoButton].x - editor.buttons[UndoButton].halfWidth; }

// Each code's key and name under the palette, in the palette's two columns.
void drawLegend()
{
    if (pixelsOf(1.4) < LINE_PITCH - 3) {
        return;   // a window too small for the rows to stand apart: the swatches say it alone
    }
    char line[32];
    glColor3f(0.8f, 0.8f, 0.8f);
    const double left = swatchX(0) - SWATCH_HALF_WIDTH;
    const double width = sceneRight() - left;
    for (int code = 0; code < SWATCH_COUNT; ++code) {
        snprintf(line, sizeof line, "%d %s", code, brickName(code));
        const double x = swatchX(code) - SWATCH_HALF_WIDTH;
        const double room = code < 5 ? swatchX(5) - swatchX(0) : left + width - x;
        drawSceneLine(line, x, -13.6 - 1.4 * (code % 5), room, Elide::End);
    }
    glColor3f(0.55f, 0.55f, 0.55f);
    drawSceneLine("Drag paints, right erases,", left, -20.5, width, Elide::End);
    drawSceneLine("Shift+click fills the row.", left, -21.8, width, Elide::End);
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
        drawSceneLine(editor.check.note[i], check.x - check.halfWidth, check.y - 2.2 - 1.4 * i, 2 * check.halfWidth,
                      Elide::End);
    }
}

// The question's text in as many lines as fit above its answers, then the answers.
constexpr int QUESTION_LINE_CHARS = 50;   // a line of the question at its most, characters
constexpr int QUESTION_LINES_MAX = 4;

QuestionLayout layoutQuestion()
{
    QuestionLayout layout;
    const double unit = pixelsOf(1);
    const double wanted = (QUESTION_LINE_CHARS * FONT_CELL_WIDTH + 4 * MARGIN) / unit / 2;
    layout.halfWidth = std::clamp(wanted, QUESTION_HALF_WIDTH, std::max(QUESTION_HALF_WIDTH, sceneRight() - 0.5));
    const int chars = static_cast<int>((pixelsOf(2 * layout.halfWidth) - 4 * MARGIN) / FONT_CELL_WIDTH);
    layout.lines = wrapText(editor.question.text, chars, QUESTION_LINES_MAX);
    const EditorButton& answer = editor.buttons[AnswerFirstButton];
    const double needed = (3 * MARGIN + LINE_PITCH * static_cast<double>(layout.lines.size())) / unit;
    layout.top = std::max(QUESTION_TOP, answer.y + answer.halfHeight + needed);
    return layout;
}

void drawQuestionTexts()
{
    glColor3f(1, 1, 1);
    const QuestionLayout layout = layoutQuestion();
    double left = 0, top = 0, unusedX = 0, answersTop = 0;
    windowPosition(-layout.halfWidth, layout.top, left, top);
    const EditorButton& first = editor.buttons[AnswerFirstButton];
    windowPosition(0, first.y + first.halfHeight, unusedX, answersTop);
    // The lines stand in the middle of the room above the answers.
    const double room = top - answersTop - 2 * MARGIN;
    const double firstLine = top - MARGIN - (room - LINE_PITCH * static_cast<double>(layout.lines.size())) / 2 - 11;
    for (size_t i = 0; i < layout.lines.size(); ++i) {
        drawText(layout.lines[i], left + 2 * MARGIN, firstLine - LINE_PITCH * static_cast<double>(i));
    }
    drawLabel(AnswerFirstButton);
    if (editor.buttons[AnswerSecondButton].label[0] != '\0') {
        drawLabel(AnswerSecondButton);
    }
    drawLabel(AnswerCancelButton);
}

// The pack list: the name shown (whole, or shortened in its middle), where it stands in the list, the buttons.
void drawPackListTexts()
{
    const double inside = 2 * FORM_HALF_WIDTH;
    if (editor.packNames > 0) {
        drawSceneLine(editor.PackList[editor.packIndex], -FORM_HALF_WIDTH, 3.2, inside, Elide::Middle, true);
        char place[32];
        snprintf(place, sizeof place, "%d of %d", editor.packIndex + 1, editor.packNames);
        drawSceneLine(place, -3, 0, 6, Elide::End, true);
    } else {
        drawSceneLine("(no level pack found)", -FORM_HALF_WIDTH, 3.2, inside, Elide::End, true);
    }
    for (int i : {LoadButton, CancelListButton, LessButton, MoreButton}) {
        drawLabel(i);
    }
}

// The new-pack form: the name field shows the end of a long name, where typing goes on.
void drawNewPackTexts()
{
    const EditorButton& field = editor.buttons[NameFieldButton];
    const double labelWidth = field.x - field.halfWidth + FORM_HALF_WIDTH;
    drawSceneLine("Pack name:", -FORM_HALF_WIDTH, field.y, labelWidth, Elide::End);
    std::string name = field.label;
    if (editor.nameFocused) {
        name += '_';
    }
    drawSceneLine(name, field.x - field.halfWidth, field.y, 2 * field.halfWidth, Elide::Start);
    const EditorButton& less = editor.buttons[LessButton];
    drawSceneLine("Levels:", -FORM_HALF_WIDTH, less.y, less.x - less.halfWidth + FORM_HALF_WIDTH, Elide::End);
    char count[16];
    snprintf(count, sizeof count, "%d", editor.newLevelCount);
    drawSceneLine(count, -3, less.y, 6, Elide::End, true);
    for (int i = CreateButton; i <= MoreButton; ++i) {
        drawLabel(i);
    }
}

// The editing screen's texts, kept under a form or a question so that nothing loses its label.
void drawEditTexts()
{
    char buffer[100];
    // Above the tool column, in its width.
    // Left of the reminder above the grid, then left of the grid.
    const double left = toolColumnLeft();
    snprintf(buffer, sizeof buffer, "Total levels in file: %d", editor.levelCount);
    drawSceneLine(buffer, left, TITLE_Y - LINE_STEP, -13 - left, Elide::End);
    snprintf(buffer, sizeof buffer, "Current level: %d", editor.levelNumber);
    drawSceneLine(buffer, left, TITLE_Y - 2 * LINE_STEP, GRID_ORIGIN_X - 20 * CELL_PITCH_X - 2 - left, Elide::End);
    const struct {
        int button;
        const char* format;
        int value;
    } values[] = {{GreyHitsButton, "%s%d", editor.greyHits},
                  {BonusChanceButton, "%s%d%%", editor.bonusChance},
                  {BackgroundButton, "%s%d", editor.background}};
    for (int i = NextLevelButton; i <= LoadPackButton; ++i) {
        drawLabel(i);
    }
    for (const auto& v : values) {
        snprintf(buffer, sizeof buffer, v.format, editor.buttons[v.button].label, v.value);
        drawLabel(v.button, buffer);
    }
    drawToolTexts();
    // Above the grid: the level number being typed, or else the reminder of unsaved changes.
    const double end = editor.buttons[NewPackButton].x - editor.buttons[NewPackButton].halfWidth;
    if (editor.goToOpen) {
        glColor3f(1, 1, 0.3f);
        snprintf(buffer, sizeof buffer, "Go to level: %s_  (Enter, Esc)", editor.goToText);
        drawSceneLine(buffer, -13, 28, end + 13, Elide::End);
    } else if (editor.modified) {
        glColor3f(1, 0, 0);
        drawSceneLine("Click in Save to store the changes", -13, 28, end + 13, Elide::End);
    }
    glColor3f(1, 1, 1);
}

void drawTexts()
{
    const EditorScreen screen = currentScreen(editor);
    const bool asking = questionOpen(editor);
    glColor3f(1, 1, 1);
    const double titleLeft = toolColumnLeft();
    const double titleEnd = -13;   // where the reminder of unsaved changes begins
    drawSceneLine("TLES: Tessivar Level Editor System", titleLeft, TITLE_Y, titleEnd - titleLeft, Elide::End);
    if (editor.packLoaded) {
        drawEditTexts();
    } else {
        drawLabel(NewPackButton);
        drawLabel(LoadPackButton);
        if (screen == EditorScreen::StartScreen || asking) {
            glColor3f(1, 0, 0);
            drawSceneLine(editor.loadFailed ? "Error loading level pack, make a new one"
                                            : "Load a level pack or make a new one",
                          -20, 0, 40, Elide::End, true);
            glColor3f(1, 1, 1);
        }
    }
    if (!asking && screen == EditorScreen::PackListForm) {
        drawPackListTexts();
    } else if (!asking && screen == EditorScreen::NewPackForm) {
        drawNewPackTexts();
    }
    drawLegend();

    // Failures (red) and confirmations (green) of the pack operations.
    if (editor.status[0] != '\0') {
        if (editor.statusIsError) {
            glColor3f(1, 0.2f, 0.2f);
        } else {
            glColor3f(0.4f, 1, 0.4f);
        }
        drawText(fitText(editor.status, static_cast<int>((editor.windowWidth - 20) / FONT_CELL_WIDTH), Elide::End), 10,
                 10);
    }
    if (asking) {
        drawQuestionTexts();
    }
}

// ---------------------------------------------------------------------------
// [SECTION] Frame function and input callbacks
// ---------------------------------------------------------------------------

void frame()
{
    pollCheck(editor, glutGet(GLUT_ELAPSED_TIME));
    if (pollPlayTest(editor)) {
        glutPopWindow();   // the game has gone: the editor in front again
        glutShowWindow();
    }
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
    if (questionOpen(editor)) {
        drawQuestion();
    } else if (editor.newPackFormOpen) {
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
                         : key == GLUT_KEY_F5        ? SpecialKey::F5
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

bool geometryGiven = false;   // -geometry on the command line: GLUT places and sizes the window

// Opens the "TLES" window at the editor's size (or as -geometry says), named and iconed for the desktop, with
// every callback; the desktop may resize it, and the scene scales with it.
void openWindow()
{
    if (!geometryGiven) {   // -geometry has set both
        glutInitWindowPosition(0, 0);
        glutInitWindowSize(editor.windowWidth, editor.windowHeight);
    }
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
void endCheckAtExit()
{
    stopCheck(editor, "");
    stopPlayTest(editor);
}

const char* const USAGE =
    "usage: tles [--help] [--version] [X options] [PACK.tlp]\n"
    "  Opens the level editor. PACK.tlp, a pack file from anywhere, is checked, copied into the packs\n"
    "  folder (asking first when a different pack there has its name) and opened.\n"
    "  The X options are GLUT's: -display NAME, -geometry WxH+X+Y, -sync, -iconic, -direct, -indirect,\n"
    "  -gldebug.\n";

const OptionSpec NO_OWN_OPTIONS[] = {{nullptr, false}};

std::string fromStartFolder(const std::string& path)
{
    if (!path.empty() && path[0] == '/') {
        return path;
    }
    char here[PATH_MAX];
    return getcwd(here, sizeof here) ? std::string(here) + "/" + path : path;
}

}   // namespace

// ---------------------------------------------------------------------------
// [SECTION] Entry point
// ---------------------------------------------------------------------------

int main(int argc, char** argv)
{
    // Messages must reach a log as they happen.
    setvbuf(stdout, nullptr, _IOLBF, 0);
    ignoreFileSizeSignal();
    const CommandLine line = readCommandLine(argc, argv, NO_OWN_OPTIONS, true);
    if (const int status = answerCommandLine(line, "tles", USAGE); status >= 0) {
        return status;
    }
    if (line.operands.size() > 1) {
        fprintf(stderr, "tles: one pack at a time\n%s", USAGE);
        return EXIT_USAGE;
    }
    // Named from where the program was started, which it leaves for its own folder.
    const std::string packFile = line.operands.empty() ? "" : fromStartFolder(line.operands[0]);
    if (!enterUserFolder()) {
        return 1;
    }
    const auto given = [&line](const char* option) {
        return std::find_if(line.glutArguments.begin(), line.glutArguments.end(),
                            [option](const char* a) { return strcmp(a, option) == 0; }) != line.glutArguments.end();
    };
    geometryGiven = given("-geometry");
    const char* display = getenv("DISPLAY");
    if (!given("-display") && (!display || !*display)) {
        printf("No display: DISPLAY is not set. TLES needs an X display (a desktop session, or Xvfb).\n");
        return 1;
    }
    initEditor(editor);
    atexit(endCheckAtExit);
    if (!packFile.empty()) {
        openPackFromFile(editor, packFile);
    }
    std::vector<char*> glutArguments = line.glutArguments;
    glutArguments.push_back(nullptr);
    int glutCount = static_cast<int>(glutArguments.size()) - 1;
    // A window closed by the desktop while there are unsaved edits comes back with the question.
    for (bool reopened = false;; reopened = true) {
        glutInit(&glutCount, glutArguments.data());
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
