// editor/editor: the level editor's state, hover tests, click and key handling, and its pack operations.
// No GL or GLUT: the tles program draws these records and feeds the callbacks in; the tests drive the
// same functions with scene-plane mouse positions. Pack files go through levelpack/.
//
// Geometry is in scene units on the plane z = 0; the scene origin is the window centre.
#pragma once

#include "levelpack/levelpack.h"

// ---------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------
constexpr int EDITOR_WINDOW_WIDTH = 960;       // start size, pixels
constexpr int EDITOR_WINDOW_HEIGHT = 650;
constexpr double CAMERA_DISTANCE = 70.0;      // eye to scene plane, scene units
constexpr double FIELD_OF_VIEW = 45.0;        // vertical, degrees
constexpr double SPIN_STEP = 4.0;             // start-up turn per frame, degrees
constexpr double SPIN_END = 360.0;

constexpr int BUTTON_COUNT = 15;
constexpr int LABEL_SIZE = 100;               // bytes of a button label, terminator included
constexpr int SWATCH_COUNT = 10;              // one per brick code 0..9
constexpr double GRID_ORIGIN_X = 52.5;        // scene point the cell centres are relative to
constexpr double GRID_ORIGIN_Y = -28.0;
constexpr double CELL_HALF_WIDTH = 1.7;
constexpr double CELL_HALF_HEIGHT = 1.0;
constexpr double SWATCH_HALF_WIDTH = 3.5;
constexpr double SWATCH_HALF_HEIGHT = 2.1;

constexpr int PACK_PATH_SIZE = 100;           // bytes of packPath, terminator included
constexpr int PACK_LIST_CAPACITY = 100;       // names the pack list holds
constexpr int PACK_NAME_MAX = 82;             // longest typed or listed name that still fits a path
constexpr const char* PACK_FOLDER_PATH = "Levels Packs/";
constexpr const char* PACK_EXTENSION = ".tlp";
constexpr const char* TEMP_FILE = "temp.dat"; // scratch file of every save, in the working directory
constexpr int STATUS_SIZE = 300;              // bytes of the status line

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
};

enum class EditorScreen { StartScreen, NewPackForm, PackListForm, EditScreen };

// ---------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------

// A clickable rectangle; filled once at start-up, hovered by the hover test.
struct EditorButton {
    double x = 0, y = 0;                  // centre, scene units
    double halfWidth = 0, halfHeight = 0; // scene units
    bool hovered = false;
    char label[LABEL_SIZE] = {};
};

// One grid cell of the level in memory; every field is set by readLevel.
struct EditorCell {
    bool present = false;                 // holds a brick (code != 0)
    double x = 0, y = 0;                  // centre relative to the grid origin, scene units
    double halfWidth = 0, halfHeight = 0; // scene units; zero until the first read, so nothing hovers
    int code = 0;                         // brick code 0..9
};

// Everything the editor knows. One instance for the whole run (editor); the tests make their own.
struct Editor {
    int windowWidth = EDITOR_WINDOW_WIDTH;    // pixels, updated on reshape
    int windowHeight = EDITOR_WINDOW_HEIGHT;
    double spinAngle = 0;                     // start-up turn of the scene, degrees
    bool packLoaded = false;                  // a level has been read; never goes back
    bool loadFailed = false;                  // a read failed; changes the start prompt
    bool newPackFormOpen = false;
    bool packListOpen = false;
    bool nameFocused = false;                 // keys go into the pack name
    bool modified = false;                    // edits not yet saved
    int levelCount = 0;                       // levels in the open pack
    int levelNumber = 0;                      // level being edited, 1-based; 0 = read from the file's start
    int greyHits = 0;
    int bonusChance = 0;                      // percent
    int background = 1;
    int brush = 0;                            // code a cell click paints; 0 erases
    int hoveredSwatch = -1;
    int hoveredCell = -1;
    int newLevelCount = 1;                    // levels a new pack gets, never below 1
    char packPath[PACK_PATH_SIZE] = {};       // "Levels Packs/<name>", empty until a pack is open
    char PackList[PACK_LIST_CAPACITY][PACK_PATH_SIZE] = {};   // file names (no folder) of the last listing
    int packNames = 0;                        // names stored by the last listing
    int lastPackIndex = 0;                    // packNames - 1, or 0 when none was found
    int packIndex = 0;                        // name the pack list shows
    EditorButton buttons[BUTTON_COUNT];
    EditorCell grid[GRID_CELLS];
    double mouseX = 0, mouseY = 0;            // pointer on the scene plane, scene units
    char status[STATUS_SIZE] = {};            // last failure or confirmation, shown at the bottom
    bool statusIsError = false;
};

extern Editor editor;

// ---------------------------------------------------------------------------
// Screens, hover, clicks and keys (editor_state.cpp)
// ---------------------------------------------------------------------------

// Puts ed in its start state with the button table filled.
void initEditor(Editor& ed);

EditorScreen currentScreen(const Editor& ed);

// Scene point under window pixel (px, py), origin top left, for a window of width x height with the camera
// unturned: the pointer mapping the hover test uses, worked out without GL.
void windowToScene(int px, int py, int width, int height, double& sceneX, double& sceneY);

// Records the pointer at scene point (x, y) and sets the button, swatch and cell hover flags.
void updateHover(Editor& ed, double x, double y);

// A press of the left or right mouse button, acting on the hover state of the last motion.
void pressLeft(Editor& ed);
void pressRight(Editor& ed);

// A key other than Esc (the program ends on Esc before this is called).
void pressKey(Editor& ed, unsigned char key);

// Advances the start-up turn by one frame.
void advanceSpin(Editor& ed);

// Shows text on the status line; failures also go to standard output.
void reportFailure(Editor& ed, const char* text);
void reportSuccess(Editor& ed, const char* text);

// ---------------------------------------------------------------------------
// Grid editing and level properties (editor_edit.cpp)
// ---------------------------------------------------------------------------

// Centre of swatch i (code i) on the scene plane.
double swatchX(int i);
double swatchY(int i);

// Editor colour of a brick code (red, green, blue); code 0 is black.
void brickColour(int code, float rgb[3]);

void updateCellHover(Editor& ed);
void updateSwatchHover(Editor& ed);

// Left press that hit no button: pick the hovered swatch, then paint the hovered cell.
void paletteGridClick(Editor& ed);

// direction +1 for a left press, -1 for a right press.
void stepGreyHits(Editor& ed, int direction);
void stepBonusChance(Editor& ed, int direction);
void stepBackground(Editor& ed, int direction);

void nextLevel(Editor& ed);
void previousLevel(Editor& ed);

// ---------------------------------------------------------------------------
// Pack creation, loading and saving (editor_pack.cpp)
// ---------------------------------------------------------------------------

// Reads level levelNumber of packPath (from the file's start when levelNumber is 0). False when the pack
// cannot be opened or is malformed: loadFailed is set, the failure reported, and the level in memory kept.
bool readLevel(Editor& ed);

// Creates packPath with newLevelCount empty levels and sets levelNumber to 0.
bool createPackFile(Editor& ed);

// Lists "Levels Packs/*.tlp" into PackList, sorted.
void listPackFiles(Editor& ed);

// Writes the level in memory into packPath through TEMP_FILE and re-reads it. On failure the pack is
// unchanged, the failure reported and the edits kept.
bool saveLevel(Editor& ed);

// The form buttons and the name entry.
void openNewPackForm(Editor& ed);
void typeNameKey(Editor& ed, unsigned char key);
void createPack(Editor& ed);
void cancelNewPack(Editor& ed);
void openPackList(Editor& ed);
void stepPackIndex(Editor& ed, int direction);
void loadSelectedPack(Editor& ed);
void closePackList(Editor& ed);
void saveButton(Editor& ed);
