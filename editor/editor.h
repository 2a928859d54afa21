// editor/editor: the level editor's state, hover tests, click and key handling, its undo history, the
// question that guards unsaved work, its pack and level operations and the level check it runs.
// No GL or GLUT: the tles program draws these records and feeds the callbacks in; the tests drive the
// same functions with scene-plane mouse positions. Pack files go through levelpack/.
//
// Geometry is in scene units on the plane z = 0; the scene origin is the window centre.
#pragma once

#include "levelpack/catalogue.h"
#include "levelpack/levelpack.h"
#include "levelpack/packimport.h"

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

// ---------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------
constexpr int EDITOR_WINDOW_WIDTH = 960;   // start size, pixels
constexpr int EDITOR_WINDOW_HEIGHT = 650;
constexpr double CAMERA_DISTANCE = 70.0;   // eye to scene plane, scene units
constexpr double FIELD_OF_VIEW = 45.0;     // vertical, degrees
constexpr double SPIN_STEP = 4.0;          // start-up turn per frame, degrees
constexpr double SPIN_END = 360.0;

constexpr int BUTTON_COUNT = 28;         // the 15 of the original table, then the editing tools
constexpr int LABEL_SIZE = 100;          // bytes of a button label, terminator included
constexpr int SWATCH_COUNT = 10;         // one per brick code 0..9
constexpr double GRID_ORIGIN_X = 52.5;   // scene point the cell centres are relative to
constexpr double GRID_ORIGIN_Y = -28.0;
constexpr double CELL_HALF_WIDTH = BRICK_HALF_WIDTH;
constexpr double CELL_HALF_HEIGHT = BRICK_HALF_HEIGHT;
constexpr double SWATCH_HALF_WIDTH = 3.5;
constexpr double SWATCH_HALF_HEIGHT = 2.1;

constexpr int PACK_PATH_SIZE = 100;                         // bytes of packPath, terminator included
constexpr int PACK_LIST_CAPACITY = 100;                     // names the pack list holds
constexpr int PACK_NAME_MAX = 82;                           // longest typed or listed name that still fits a path
constexpr const char* PACK_FOLDER_PATH = "Levels Packs/";   // PACK_FOLDER and its separator
constexpr int STATUS_SIZE = 300;                            // bytes of the status line
constexpr int QUESTION_SIZE = 240;                          // bytes of the question's text: two pack names fit
constexpr int GO_TO_DIGITS = 6;                             // longest level number G takes
constexpr int CHECK_NOTE_LINES = 6;                         // lines of the check's verdict under its button
constexpr int CHECK_LINE_CHARS = 27;                        // characters per verdict line: the width of the tool column
constexpr size_t CHECK_OUTPUT_MAX = 16384;                  // bytes of the checker's output kept; the rest is drained
constexpr const char* CHECKER_NAME = "tlpcheck";
constexpr const char* GAME_NAME = "tessivar";
constexpr char ELLIPSIS = '\x85';   // one character cell that the window draws as an ellipsis
constexpr int REFUSED_KEPT = 32;    // characters left out of a typed name that its note repeats

// Modifier bits of a key or mouse press, as the window reports them.
constexpr int MOD_SHIFT = 1;
constexpr int MOD_CTRL = 2;
constexpr int MOD_ALT = 4;

// The buttons in their fixed order; the index is the click dispatch order.
enum ButtonId {
    NextLevelButton,        // 0
    PreviousLevelButton,    // 1
    SaveButton,             // 2
    GreyHitsButton,         // 3
    BonusChanceButton,      // 4
    BackgroundButton,       // 5
    NewPackButton,          // 6
    LoadPackButton,         // 7
    CreateButton,           // 8
    CancelNewButton,        // 9
    LessButton,             // 10 "<"
    MoreButton,             // 11 ">"
    NameFieldButton,        // 12: its label is the typed pack name
    LoadButton,             // 13
    CancelListButton,       // 14
    UndoButton,             // 15: the editing tools, left of the grid
    RedoButton,             // 16
    ClearLevelButton,       // 17
    InsertLevelButton,      // 18
    DuplicateLevelButton,   // 19
    DeleteLevelButton,      // 20
    MoveUpButton,           // 21
    MoveDownButton,         // 22
    CheckButton,            // 23
    AnswerFirstButton,      // 24: the question's answers, labelled by the question
    AnswerSecondButton,     // 25: only for three-answer questions
    AnswerCancelButton,     // 26
    PlayButton,             // 27: the level tried in the game, in the tool column above Check
};

// Keys the window reports apart from characters.
enum class SpecialKey { PageUp, PageDown, F5, Other };

// What a press asked for, held while the question about unsaved work is open.
enum class PendingAction {
    None,
    NextLevel,
    PreviousLevel,
    GoToLevel,    // Question::targetLevel
    LoadPack,     // the name the pack list shows
    CreatePack,   // the typed name
    Quit,
    InsertLevel,
    DuplicateLevel,
    DeleteLevel,
    CheckLevel,
    SaveLevel,   // the writes below are asked again when the pack changed on disk
    MoveLevelUp,
    MoveLevelDown,
    OpenPackList,      // the pack list comes up once unsaved edits are dealt with
    OpenNewPackForm,   // so does the new-pack form
    PlayLevel,         // the game plays the saved level: Save, or Discard (the level read again), first
};

enum class QuestionKind {
    None,
    UnsavedChanges,    // Save / Discard / Cancel
    ReplacePack,       // Replace / Cancel: Create with the name of an existing pack
    DeleteLevel,       // Delete / Cancel
    SaveBeforeCheck,   // Save / Cancel: the check plays the pack as saved
    PackChanged,       // Overwrite / Reload / Cancel: another program wrote the pack since it was read
    ImportClash,       // Replace / Keep both / Cancel: a pack file opened has the name of a different pack
};

// Save, Replace, Delete or Overwrite; Discard, Reload or Keep both; Cancel.
enum class Answer { First, Second, Cancel };

// Which part of a text too long for its place gives way to the ellipsis.
enum class Elide { End, Middle, Start };

// How the check's verdict reads: drawn in white, green, orange or red.
enum class CheckTone { Neutral, Good, Warning, Bad };

enum class EditorScreen { StartScreen, NewPackForm, PackListForm, EditScreen };

// ---------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------

// A clickable rectangle; filled once at start-up, hovered by the hover test.
struct EditorButton {
    double x = 0, y = 0;                    // centre, scene units
    double halfWidth = 0, halfHeight = 0;   // scene units
    bool hovered = false;
    char label[LABEL_SIZE] = {};
};

// One grid cell of the level in memory; every field is set by readLevel.
struct EditorCell {
    bool present = false;                   // holds a brick (code != 0)
    double x = 0, y = 0;                    // centre relative to the grid origin, scene units
    double halfWidth = 0, halfHeight = 0;   // scene units; zero until the first read, so nothing hovers
    int code = 0;                           // brick code 0..9
};

// The level as the undo history keeps it.
struct LevelSnapshot {
    int greyHits = 0;
    int bonusChance = 0;
    int background = 1;
    int8_t codes[GRID_CELLS] = {};   // brick codes 0..9, row-major
};

// Undo history of the level on screen; started afresh whenever a level is read, kept by a save.
struct EditHistory {
    std::vector<LevelSnapshot> states;   // [0] as read, then one per change; empty before the first read
    int current = 0;                     // index of the state on screen
    int saved = 0;                       // index of the state the pack holds; -1 once that state is gone
    bool strokeOpen = false;             // a drag with a mouse button held is painting
    bool strokePushed = false;           // the open stroke has its own state, amended as it paints
    int strokeCode = 0;                  // code the stroke paints (0 for the right button)
    bool strokeFillsRows = false;        // Shift was held: every cell painted fills its row
};

// The one-line question over the screen; open while kind is not None. Everything else waits for it.
struct Question {
    QuestionKind kind = QuestionKind::None;
    PendingAction action = PendingAction::None;   // what goes ahead on Save or Discard
    int targetLevel = 0;                          // for GoToLevel
    char text[QUESTION_SIZE] = {};
};

// The pack checker started by "Check level", as a child process; one at a time.
struct CheckRun {
    bool running = false;
    pid_t pid = -1;
    int output = -1;                                          // read end of the child's standard output, non-blocking
    bool outputEnded = false;                                 // the pipe reached its end; the child is reaped next
    int level = 0;                                            // level checked, 1-based
    double startedAt = -1;                                    // clock of the first poll, ms; -1 until then
    int shownSeconds = -1;                                    // seconds the "Checking..." note last showed
    std::string text;                                         // what it printed, at most CHECK_OUTPUT_MAX bytes
    char note[CHECK_NOTE_LINES][CHECK_LINE_CHARS + 1] = {};   // the verdict, shown under the button
    int noteLines = 0;
    CheckTone tone = CheckTone::Neutral;
};

// The game started by "Play level", as a child process; one at a time.
struct PlayTest {
    bool running = false;
    pid_t pid = -1;
    int level = 0;   // level played, 1-based
};

// Everything the editor knows. One instance for the whole run (editor); the tests make their own.
struct Editor {
    int windowWidth = EDITOR_WINDOW_WIDTH;   // pixels, updated on reshape
    int windowHeight = EDITOR_WINDOW_HEIGHT;
    double spinAngle = 0;      // start-up turn of the scene, degrees
    bool packLoaded = false;   // a level has been read; never goes back
    bool loadFailed = false;   // a read failed; changes the start prompt
    bool newPackFormOpen = false;
    bool packListOpen = false;
    bool nameFocused = false;   // keys go into the pack name
    bool modified = false;      // edits not yet saved
    int levelCount = 0;         // levels in the open pack
    PackVersion packVersion;    // the pack's bytes as last read or written here
    int levelNumber = 0;        // level being edited, 1-based; 0 = read from the file's start
    int greyHits = 0;
    int bonusChance = 0;   // percent
    int background = 1;
    int brush = 0;   // code a cell click paints; 0 erases
    int hoveredSwatch = -1;
    int hoveredCell = -1;
    int newLevelCount = 1;                                    // levels a new pack gets, never below 1
    char packPath[PACK_PATH_SIZE] = {};                       // "Levels Packs/<name>", empty until a pack is open
    char PackList[PACK_LIST_CAPACITY][PACK_PATH_SIZE] = {};   // file names (no folder) of the last listing
    int packNames = 0;                                        // names stored by the last listing
    int lastPackIndex = 0;                                    // packNames - 1, or 0 when none was found
    int packIndex = 0;                                        // name the pack list shows
    EditorButton buttons[BUTTON_COUNT];
    EditorCell grid[GRID_CELLS];
    double mouseX = 0, mouseY = 0;   // pointer on the scene plane, scene units
    char status[STATUS_SIZE] = {};   // last failure or confirmation, shown at the bottom
    bool statusIsError = false;
    EditHistory history;
    Question question;
    bool goToOpen = false;   // G was pressed: digits go into goToText
    char goToText[GO_TO_DIGITS + 1] = {};
    bool quitRequested = false;   // the program ends after the callback that set it
    CheckRun check;
    bool editsReleased = false;   // "Discard" opened the form or list: its Create or Load asks no more
    std::string refusedTyped;     // characters left out of the name being typed, for the note at Create
    PackImport import;            // a pack file given to the program, while its question is open
    PlayTest playTest;
};

extern Editor editor;

// ---------------------------------------------------------------------------
// Screens, hover, clicks and keys (editor_state.cpp)
// ---------------------------------------------------------------------------

// Puts ed in its start state with the button table filled.
void initEditor(Editor& ed);

EditorScreen currentScreen(const Editor& ed);

// The view's vertical field of view (degrees) for a window of width x height: FIELD_OF_VIEW, widened for
// a window narrower than the start size's shape so the whole scene stays in it at any size.
double sceneFieldOfView(int width, int height);
// Scene point under window pixel (px, py), origin top left, for a window of width x height with the camera
// unturned: the pointer mapping the hover test uses, worked out without GL.
void windowToScene(int px, int py, int width, int height, double& sceneX, double& sceneY);
// The way back: the window pixel (origin bottom left, fractional) where that camera shows scene point
// (x, y); texts stand there so that they stay put while the scene turns.
void sceneToWindow(double x, double y, int width, int height, double& windowX, double& windowY);

// Records the pointer at scene point (x, y) and sets the button, swatch and cell hover flags.
void updateHover(Editor& ed, double x, double y);

// A press of the left or right mouse button, acting on the hover state of the last motion; modifiers
// are MOD_* bits.
void pressLeft(Editor& ed, int modifiers = 0);
void pressRight(Editor& ed, int modifiers = 0);

// A character key (Esc is 27, Enter 13, Backspace 8) and the other keys. Esc asks for the program to end
// (quitRequested), after the question when there are unsaved changes.
void pressKey(Editor& ed, unsigned char key, int modifiers = 0);
void pressSpecialKey(Editor& ed, SpecialKey key, int modifiers = 0);

// Whether a tool button can act now (drawn dimmed when not).
bool buttonEnabled(const Editor& ed, int button);

// Advances the start-up turn by one frame.
void advanceSpin(Editor& ed);

// Shows text on the status line; failures also go to standard output.
void reportFailure(Editor& ed, const char* text);
void reportSuccess(Editor& ed, const char* text);

// text as it fits in maxChars cells of the window's font: whole, or cut where says with one ELLIPSIS cell.
// The font shows ASCII only: other bytes come out as '?'.
std::string fitText(const std::string& text, int maxChars, Elide where);

// text in lines of at most maxChars, broken between words where it can; at most maxLines, the last one
// ending in ELLIPSIS when text goes on.
std::vector<std::string> wrapText(const std::string& text, int maxChars, int maxLines);

// ---------------------------------------------------------------------------
// Grid editing and level properties (editor_edit.cpp)
// ---------------------------------------------------------------------------

// Centre of swatch i (code i) on the scene plane.
double swatchX(int i);
double swatchY(int i);

// Editor colour of a brick code (red, green, blue); code 0 is black.
void brickColour(int code, float rgb[3]);

// The legend's name of a brick code, as the game names its bricks ("Eraser" for 0).
const char* brickName(int code);

void updateCellHover(Editor& ed);
void updateSwatchHover(Editor& ed);

// Left press that hit no button: pick the hovered swatch, then start a stroke on the hovered cell.
// fillRow (Shift) paints whole rows.
void paletteGridClick(Editor& ed, bool fillRow = false);

// Right press that hit no button: a stroke that erases.
void eraseClick(Editor& ed, bool fillRow = false);

// The pointer moved to scene point (x, y) with a button held: the open stroke paints every cell on the
// way, then the hover flags follow the pointer.
void dragTo(Editor& ed, double x, double y);

// A mouse button let go: ends the stroke it painted.
void releaseButton(Editor& ed);

// Empties every cell, as one undoable step.
void clearLevel(Editor& ed);

// direction +1 for a left press, -1 for a right press.
void stepGreyHits(Editor& ed, int direction);
void stepBonusChance(Editor& ed, int direction);
void stepBackground(Editor& ed, int direction);

// Move to another level at once, dropping unsaved edits; the requests below ask first.
void nextLevel(Editor& ed);
void previousLevel(Editor& ed);
void goToLevel(Editor& ed, int level);

// ---------------------------------------------------------------------------
// Undo history (editor_history.cpp)
// ---------------------------------------------------------------------------

// Starts the history at the level on screen, which is what the pack holds: modified becomes false.
void startHistory(Editor& ed);

// Records the level on screen as a new step (callers commit only what changed it); modified follows.
void commitEdit(Editor& ed);

// Stroke painting: a cell changed by the open stroke; the stroke's first change makes it a step.
void strokeChanged(Editor& ed);
void endStroke(Editor& ed);

bool canUndo(const Editor& ed);
bool canRedo(const Editor& ed);
void undo(Editor& ed);
void redo(Editor& ed);

// The level on screen is what the pack now holds.
void markSaved(Editor& ed);

// ---------------------------------------------------------------------------
// Never losing work: requests and the question (editor_question.cpp)
// ---------------------------------------------------------------------------

// Does what action asks, or first opens the question it needs (unsaved changes, a pack to replace, a
// level to delete).
void requestAction(Editor& ed, PendingAction action, int targetLevel = 0);

bool questionOpen(const Editor& ed);

// Answers the open question: First is Save, Replace, Delete or Overwrite; Second is Discard, Reload or
// Keep both.
void answerQuestion(Editor& ed, Answer answer);

// Asks what to do now that a write found the pack changed on disk; retry is the write, done again on
// Overwrite.
void askAboutChangedPack(Editor& ed, PendingAction retry);

// Asks whether a pack file opened replaces the different pack of its name or comes in beside it.
void askAboutImport(Editor& ed, const char* text);

// ---------------------------------------------------------------------------
// Level management and the level number typed after G (editor_levels.cpp)
// ---------------------------------------------------------------------------

// Rewrites the whole pack with one change around the current level, then shows the level it leads to
// (the new, the copy, the one after the deleted, the moved one). A failure leaves pack and screen alone.
void changeLevels(Editor& ed, LevelChange kind);

// True, with the reason on the status line, when kind cannot apply to the current level (no level open,
// deleting the only level, moving the first up or the last down, adding one past the largest count).
bool refuseLevelChange(Editor& ed, LevelChange kind);

void openGoTo(Editor& ed);
void typeGoToKey(Editor& ed, unsigned char key);

// ---------------------------------------------------------------------------
// Pack creation, loading and saving (editor_pack.cpp)
// ---------------------------------------------------------------------------

// Reads level levelNumber of packPath (from the file's start when levelNumber is 0) and notes the pack's
// version. From the start, a count line that claims more levels than the file holds (or fewer than one)
// is reported and the levels there are worked with. False when the pack cannot be opened or is malformed:
// loadFailed is set, the failure reported, and the level in memory kept.
bool readLevel(Editor& ed);

// Reads the current level again as the pack now holds it, with the pack's count, dropping unsaved edits.
bool reloadLevel(Editor& ed);

// Creates packPath with newLevelCount empty levels and sets levelNumber to 0.
bool createPackFile(Editor& ed);

// Lists "Levels Packs/*.tlp" into PackList, sorted.
void listPackFiles(Editor& ed);

// Writes the level in memory into packPath and re-reads it. On failure the pack is unchanged, the failure
// reported and the edits kept; when another program wrote the pack since it was read, the question asks
// first.
bool saveLevel(Editor& ed);

// The form buttons and the name entry.
void openNewPackForm(Editor& ed);
void typeNameKey(Editor& ed, unsigned char key);

// Whether a typed name may become a pack: letters, digits, '-', '_' and '.' (not first), and no name a
// desktop system reserves. When not, why goes into reason.
bool validPackName(const char* name, char* reason, size_t reasonSize);

// The file name a typed name makes: ".tlp" added unless it was typed.
std::string packFileName(const char* typed);

// "Create" once any question is answered: makes the pack of the typed name and opens its first level.
void createPack(Editor& ed);
void cancelNewPack(Editor& ed);
void openPackList(Editor& ed);
void stepPackIndex(Editor& ed, int direction);
void loadSelectedPack(Editor& ed);
void closePackList(Editor& ed);
void saveButton(Editor& ed);

// A pack file given on the command line: checked and brought into the packs folder (levelpack/packimport.h),
// then opened at its first level. A damaged file is refused with the reason on the status line; a
// different pack of its name there asks first (Replace, Keep both, Cancel).
void openPackFromFile(Editor& ed, const std::string& source);

// The answer to that question: the import finished as chosen and the pack opened.
void finishImport(Editor& ed, ImportChoice choice);

// ---------------------------------------------------------------------------
// The level check: tlpcheck as a child process (editor_check.cpp)
// ---------------------------------------------------------------------------

// The checker program: beside exeFile first, then on each folder of pathList (':'-separated). False
// when neither holds an executable CHECKER_NAME.
bool findChecker(const char* exeFile, const char* pathList, std::string& found);
// The same for any program of ours (name: "tessivar", "tlpcheck").
bool findProgram(const char* name, const char* exeFile, const char* pathList, std::string& found);

// Starts tlpcheck on the current level of the saved pack, or says on the check note why it cannot.
void startCheck(Editor& ed);

// Reads what the checker printed so far and, once it has ended, shows its verdict. Called every frame
// with the frame's clock in ms; never blocks.
void pollCheck(Editor& ed, double nowMs);

// Ends a running check (the child is killed and reaped) with note as its verdict.
void stopCheck(Editor& ed, const char* note);

// The verdict a tlpcheck line gives for level, as note lines; false when line is no verdict for it.
bool readCheckLine(const char* line, int level, CheckRun& into);

// ---------------------------------------------------------------------------
// Play-testing: the game as a child process (editor_play.cpp)
// ---------------------------------------------------------------------------

// Starts tessivar on the current level of the saved pack, in a window, or says on the status line why it
// cannot. The caller has dealt with unsaved edits (requestAction).
void startPlayTest(Editor& ed);
// True once when the game started has ended (the status line says how); never blocks.
bool pollPlayTest(Editor& ed);
// Ends a game still running (the editor is closing).
void stopPlayTest(Editor& ed);
