// editor/editor_edit: the palette, painting cells (strokes, rows, clearing), the three level properties and
// moving between levels.
#include "editor/editor.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <utility>

namespace {

const float BRICK_COLOURS[BRICK_CODE_MAX + 1][3] = {
    {0, 0, 0},               // 0 empty
    {1, 0, 0},               // 1 Red
    {0, 0, 1},               // 2 Blue
    {1, 0.5f, 0},            // 3 Orange
    {0.8f, 0.2f, 0.8f},      // 4 Pink
    {0, 1, 0},               // 5 Green
    {0.4f, 0.4f, 1},         // 6 LightBlue
    {1, 1, 1},               // 7 White
    {0.4f, 0.4f, 0.4f},      // 8 Grey
    {0.52f, 0.55f, 0.62f},   // 9 Iron: the bluish steel of the game's plates, lighter than grey stone
};

const char* const BRICK_NAMES[BRICK_CODE_MAX + 1] = {
    "Eraser", "Red", "Blue", "Orange", "Pink", "Green", "Light blue", "White", "Grey", "Iron",
};

bool formOpen(const Editor& ed) { return ed.newPackFormOpen || ed.packListOpen; }

// Paints cell n (its whole row when the stroke fills rows) with the stroke's code.
void paintCell(Editor& ed, int n)
{
    const EditHistory& h = ed.history;
    const int first = h.strokeFillsRows ? n - n % GRID_COLUMNS : n;
    const int last = h.strokeFillsRows ? first + GRID_COLUMNS - 1 : n;
    bool changed = false;
    for (int i = first; i <= last; ++i) {
        EditorCell& cell = ed.grid[i];
        if (cell.code != h.strokeCode) {
            cell.code = h.strokeCode;
            cell.present = h.strokeCode != 0;
            changed = true;
        }
    }
    if (changed) {
        strokeChanged(ed);
    }
}

void beginStroke(Editor& ed, int code, bool fillRows)
{
    endStroke(ed);
    if (formOpen(ed) || questionOpen(ed) || ed.hoveredCell == -1) {
        return;   // a form panel hides the grid: a click on it must not change cells the user cannot see
    }
    ed.history.strokeOpen = true;
    ed.history.strokeCode = code;
    ed.history.strokeFillsRows = fillRows;
    paintCell(ed, ed.hoveredCell);
}

// Whether the segment from (x0, y0) to (x1, y1) passes through the open rectangle of cell c (positions
// relative to the grid origin). Liang-Barsky clipping; touching an edge or a corner is not passing through.
bool segmentCrossesCell(double x0, double y0, double x1, double y1, const EditorCell& c)
{
    double t0 = 0, t1 = 1;
    const double from[2] = {x0, y0};
    const double delta[2] = {x1 - x0, y1 - y0};
    const double low[2] = {c.x - c.halfWidth, c.y - c.halfHeight};
    const double high[2] = {c.x + c.halfWidth, c.y + c.halfHeight};
    for (int axis = 0; axis < 2; ++axis) {
        if (delta[axis] == 0) {
            if (!(low[axis] < from[axis] && from[axis] < high[axis])) {
                return false;
            }
            continue;
        }
        double a = (low[axis] - from[axis]) / delta[axis];
        double b = (high[axis] - from[axis]) / delta[axis];
        if (a > b) {
            std::swap(a, b);
        }
        t0 = std::max(t0, a);
        t1 = std::min(t1, b);
    }
    return delta[0] == 0 && delta[1] == 0 ? true : t0 < t1;
}

}   // namespace

double swatchX(int i) { return 25.0 + 8.0 * (i / 5); }

double swatchY(int i) { return 10.0 - 4.9 * (i % 5); }

void brickColour(int code, float rgb[3])
{
    // The reader admits only 0..9; anything else is drawn like an empty cell rather than reading
    // outside the table.
    const float* c = (code >= 0 && code <= BRICK_CODE_MAX) ? BRICK_COLOURS[code] : BRICK_COLOURS[0];
    rgb[0] = c[0];
    rgb[1] = c[1];
    rgb[2] = c[2];
}

const char* brickName(int code) { return code >= 0 && code <= BRICK_CODE_MAX ? BRICK_NAMES[code] : ""; }

void updateCellHover(Editor& ed)
{
    ed.hoveredCell = -1;
    const double dx = ed.mouseX - GRID_ORIGIN_X;
    const double dy = ed.mouseY - GRID_ORIGIN_Y;
    for (int n = 0; n < GRID_CELLS; ++n) {
        const EditorCell& c = ed.grid[n];
        if (c.x - c.halfWidth < dx && dx < c.x + c.halfWidth && c.y - c.halfHeight < dy && dy < c.y + c.halfHeight) {
            ed.hoveredCell = n;
        }
    }
}

void updateSwatchHover(Editor& ed)
{
    ed.hoveredSwatch = -1;
    for (int i = 0; i < SWATCH_COUNT; ++i) {
        if (std::fabs(ed.mouseX - swatchX(i)) < SWATCH_HALF_WIDTH &&
            std::fabs(ed.mouseY - swatchY(i)) < SWATCH_HALF_HEIGHT) {
            ed.hoveredSwatch = i;
        }
    }
}

void paletteGridClick(Editor& ed, bool fillRow)
{
    if (ed.hoveredSwatch != -1) {
        ed.brush = ed.hoveredSwatch;
        ed.hoveredSwatch = -1;
    }
    beginStroke(ed, ed.brush, fillRow);
}

void eraseClick(Editor& ed, bool fillRow) { beginStroke(ed, 0, fillRow); }

void releaseButton(Editor& ed) { endStroke(ed); }

void dragTo(Editor& ed, double x, double y)
{
    if (ed.history.strokeOpen) {
        const double x0 = ed.mouseX - GRID_ORIGIN_X, y0 = ed.mouseY - GRID_ORIGIN_Y;
        const double x1 = x - GRID_ORIGIN_X, y1 = y - GRID_ORIGIN_Y;
        // Motion events come far apart at low frame rates: every cell the pointer passed over is painted.
        for (int n = 0; n < GRID_CELLS; ++n) {
            if (segmentCrossesCell(x0, y0, x1, y1, ed.grid[n])) {
                paintCell(ed, n);
            }
        }
    }
    updateHover(ed, x, y);
}

void clearLevel(Editor& ed)
{
    bool changed = false;
    for (EditorCell& cell : ed.grid) {
        changed = changed || cell.code != 0;
        cell.code = 0;
        cell.present = false;
    }
    if (changed) {
        commitEdit(ed);
    }
}

void stepGreyHits(Editor& ed, int direction)
{
    if (direction > 0) {
        if (ed.greyHits < INT_MAX) {   // a value read from a file may sit at the top of the range
            ++ed.greyHits;
            commitEdit(ed);
        }
    } else if (ed.greyHits > 1) {
        --ed.greyHits;
        commitEdit(ed);
    }
}

void stepBonusChance(Editor& ed, int direction)
{
    // Compared before stepping, so values from a file near the ends of the range cannot overflow.
    if (direction > 0) {
        ed.bonusChance = ed.bonusChance > 95 ? 0 : ed.bonusChance + 5;
    } else {
        ed.bonusChance = ed.bonusChance < 5 ? 100 : ed.bonusChance - 5;
    }
    commitEdit(ed);
}

void stepBackground(Editor& ed, int direction)
{
    if (direction > 0) {
        ed.background = ed.background >= 4 ? 1 : ed.background + 1;
    } else {
        ed.background = ed.background <= 1 ? 4 : ed.background - 1;
    }
    commitEdit(ed);
}

namespace {

// Reads level `number` in place of the one on screen. A failed read keeps the level on screen; it must
// keep its number too, or a later save would write it over another level.
void moveToLevel(Editor& ed, int number)
{
    const int oldNumber = ed.levelNumber;
    ed.levelNumber = number;
    if (!readLevel(ed)) {
        ed.levelNumber = oldNumber;
        return;
    }
    startHistory(ed);   // the edits of the level left behind are dropped: modified becomes false
}

}   // namespace

void nextLevel(Editor& ed) { moveToLevel(ed, ed.levelNumber < ed.levelCount ? ed.levelNumber + 1 : ed.levelNumber); }

void previousLevel(Editor& ed) { moveToLevel(ed, ed.levelNumber > 1 ? ed.levelNumber - 1 : ed.levelNumber); }

void goToLevel(Editor& ed, int level)
{
    if (level < 1 || level > ed.levelCount) {
        char note[STATUS_SIZE];
        snprintf(note, sizeof note, "There is no level %d: the pack holds %d.", level, ed.levelCount);
        reportSuccess(ed, note);
        return;
    }
    moveToLevel(ed, level);
}
