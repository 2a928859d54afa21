// editor/editor_edit: the palette, painting cells, the three level properties and moving between levels.
#include "editor/editor.h"

#include <climits>
#include <cmath>

namespace {

const float BRICK_COLOURS[BRICK_CODE_MAX + 1][3] = {
    {0, 0, 0},          // 0 empty
    {1, 0, 0},          // 1 Red
    {0, 0, 1},          // 2 Blue
    {1, 0.5f, 0},       // 3 Orange
    {0.8f, 0.2f, 0.8f}, // 4 Pink
    {0, 1, 0},          // 5 Green
    {0.4f, 0.4f, 1},    // 6 LightBlue
    {1, 1, 1},          // 7 White
    {0.4f, 0.4f, 0.4f}, // 8 Grey
    {1, 1, 0.2f},       // 9 Iron
};

}   // namespace

double swatchX(int i)
{
    return 25.0 + 8.0 * (i / 5);
}

double swatchY(int i)
{
    return 10.0 - 4.9 * (i % 5);
}

void brickColour(int code, float rgb[3])
{
    // The reader admits only 0..9; anything else is drawn like an empty cell rather than reading
    // outside the table.
    const float* c = (code >= 0 && code <= BRICK_CODE_MAX) ? BRICK_COLOURS[code] : BRICK_COLOURS[0];
    rgb[0] = c[0];
    rgb[1] = c[1];
    rgb[2] = c[2];
}

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
        if (std::fabs(ed.mouseX - swatchX(i)) < SWATCH_HALF_WIDTH && std::fabs(ed.mouseY - swatchY(i)) < SWATCH_HALF_HEIGHT) {
            ed.hoveredSwatch = i;
        }
    }
}

void paletteGridClick(Editor& ed)
{
    if (ed.hoveredSwatch != -1) {
        ed.brush = ed.hoveredSwatch;
        ed.hoveredSwatch = -1;
    }
    // A form panel hides the grid: a click on it must not change cells the user cannot see.
    if (ed.newPackFormOpen || ed.packListOpen) {
        return;
    }
    if (ed.hoveredCell != -1 && ed.grid[ed.hoveredCell].code != ed.brush) {
        EditorCell& cell = ed.grid[ed.hoveredCell];
        ed.modified = true;
        cell.code = ed.brush;
        cell.present = ed.brush != 0;
    }
}

void stepGreyHits(Editor& ed, int direction)
{
    if (direction > 0) {
        if (ed.greyHits < INT_MAX) {   // a value read from a file may sit at the top of the range
            ++ed.greyHits;
            ed.modified = true;
        }
    } else if (ed.greyHits > 1) {
        --ed.greyHits;
        ed.modified = true;
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
    ed.modified = true;
}

void stepBackground(Editor& ed, int direction)
{
    if (direction > 0) {
        ed.background = ed.background >= 4 ? 1 : ed.background + 1;
    } else {
        ed.background = ed.background <= 1 ? 4 : ed.background - 1;
    }
    ed.modified = true;
}

void nextLevel(Editor& ed)
{
    const int oldNumber = ed.levelNumber;
    const bool oldModified = ed.modified;
    ed.modified = false;
    if (ed.levelNumber < ed.levelCount) {
        ++ed.levelNumber;
    }
    // A failed read keeps the level on screen; it must keep its number too, or a later save would
    // write it over another level.
    if (!readLevel(ed)) {
        ed.levelNumber = oldNumber;
        ed.modified = oldModified;
    }
}

void previousLevel(Editor& ed)
{
    const int oldNumber = ed.levelNumber;
    const bool oldModified = ed.modified;
    if (ed.levelNumber > 1) {
        --ed.levelNumber;
        ed.modified = false;
    }
    if (!readLevel(ed)) {
        ed.levelNumber = oldNumber;
        ed.modified = oldModified;
    }
}
