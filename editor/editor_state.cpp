// editor/editor_state: the button table, screens, pointer mapping, hover test, click dispatch and keys.
#include "editor/editor.h"

#include <cmath>
#include <cstdio>
#include <cstring>

Editor editor;

namespace {

struct ButtonRow {
    const char* label;
    double x, y, halfWidth, halfHeight;
};

const ButtonRow BUTTON_TABLE[BUTTON_COUNT] = {
    {"Next level", 26, 22.5, 5, 1},
    {"Previous level", 27, 20.1, 6, 1},
    {"Save", 26, 17.8, 5, 1},
    {"Grey hits: ", -18, -24, 6, 1},
    {"Bonus probability: ", -1, -24, 10, 1},
    {"Background: ", 16, -24, 6, 1},
    {"New level pack", 25, 27, 5, 1},
    {"Load level pack", 35.5, 27, 5, 1},
    {"Create", 5, -3, 4, 1},
    {"Cancel", -5, -3, 4, 1},
    {"<", -4, 0, 1, 1},
    {">", 4, 0, 1, 1},
    {"", 6, 3.7, 3, 1},
    {"Load", 5, -3, 4, 1},
    {"Cancel", -5, -3, 4, 1},
};

const int NEW_PACK_GROUP[] = {CreateButton, CancelNewButton, LessButton, MoreButton, NameFieldButton};
const int PACK_LIST_GROUP[] = {LoadButton, CancelListButton, LessButton, MoreButton};

bool insideButton(const EditorButton& b, double x, double y)
{
    return std::fabs(x - b.x) < b.halfWidth && std::fabs(y - b.y) < b.halfHeight;
}

void hoverGroup(Editor& ed, const int* group, int size)
{
    for (int i = 0; i < size; ++i) {
        EditorButton& b = ed.buttons[group[i]];
        b.hovered = insideButton(b, ed.mouseX, ed.mouseY);
    }
}

void setStatus(Editor& ed, const char* text, bool isError)
{
    snprintf(ed.status, sizeof ed.status, "%s", text);
    ed.statusIsError = isError;
}

}   // namespace

void initEditor(Editor& ed)
{
    ed = Editor{};
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        const ButtonRow& row = BUTTON_TABLE[i];
        EditorButton& b = ed.buttons[i];
        b.x = row.x;
        b.y = row.y;
        b.halfWidth = row.halfWidth;
        b.halfHeight = row.halfHeight;
        b.hovered = false;
        snprintf(b.label, sizeof b.label, "%s", row.label);
    }
}

EditorScreen currentScreen(const Editor& ed)
{
    if (ed.newPackFormOpen) {
        return EditorScreen::NewPackForm;
    }
    if (ed.packListOpen) {
        return EditorScreen::PackListForm;
    }
    return ed.packLoaded ? EditorScreen::EditScreen : EditorScreen::StartScreen;
}

void windowToScene(int px, int py, int width, int height, double& sceneX, double& sceneY)
{
    if (height < 1) {
        height = 1;
    }
    if (width < 1) {
        width = 1;
    }
    // The near plane at distance 1 spans tan(fov / 2) above and below the axis; the scene plane lies
    // CAMERA_DISTANCE times further away.
    const double halfHeight = std::tan(FIELD_OF_VIEW * 0.5 * M_PI / 180.0);
    const double aspect = static_cast<double>(width) / height;
    const double ndcX = 2.0 * px / width - 1.0;
    const double ndcY = 2.0 * (height - py) / height - 1.0;
    sceneX = ndcX * halfHeight * aspect * CAMERA_DISTANCE;
    sceneY = ndcY * halfHeight * CAMERA_DISTANCE;
}

void updateHover(Editor& ed, double x, double y)
{
    ed.mouseX = x;
    ed.mouseY = y;
    for (EditorButton& b : ed.buttons) {
        b.hovered = false;
    }
    switch (currentScreen(ed)) {
    case EditorScreen::PackListForm:
        hoverGroup(ed, PACK_LIST_GROUP, 4);
        break;
    case EditorScreen::NewPackForm:
        hoverGroup(ed, NEW_PACK_GROUP, 5);
        break;
    case EditorScreen::EditScreen: {
        const int group[] = {0, 1, 2, 3, 4, 5, 6, 7};
        hoverGroup(ed, group, 8);
        break;
    }
    case EditorScreen::StartScreen: {
        // Buttons 0 to 5 are not drawn here and have no pack to act on, so they stay inert.
        const int group[] = {NewPackButton, LoadPackButton};
        hoverGroup(ed, group, 2);
        break;
    }
    }
    updateSwatchHover(ed);
    updateCellHover(ed);
}

void pressLeft(Editor& ed)
{
    ed.nameFocused = false;
    int pressed = -1;
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        if (ed.buttons[i].hovered) {
            pressed = i;
            break;
        }
    }
    switch (pressed) {
    case NextLevelButton: nextLevel(ed); break;
    case PreviousLevelButton: previousLevel(ed); break;
    case SaveButton: saveButton(ed); break;
    case GreyHitsButton: stepGreyHits(ed, +1); break;
    case BonusChanceButton: stepBonusChance(ed, +1); break;
    case BackgroundButton: stepBackground(ed, +1); break;
    case NewPackButton: openNewPackForm(ed); break;
    case LoadPackButton: openPackList(ed); break;
    case CreateButton: createPack(ed); break;
    case CancelNewButton: cancelNewPack(ed); break;
    case LessButton:
        if (ed.newPackFormOpen) {
            if (ed.newLevelCount > 1) {
                --ed.newLevelCount;
            }
        } else {
            stepPackIndex(ed, -1);
        }
        break;
    case MoreButton:
        if (ed.newPackFormOpen) {
            ++ed.newLevelCount;
        } else {
            stepPackIndex(ed, +1);
        }
        break;
    case NameFieldButton: ed.nameFocused = true; break;
    case LoadButton: loadSelectedPack(ed); break;
    case CancelListButton: closePackList(ed); break;
    default: paletteGridClick(ed); break;
    }
}

void pressRight(Editor& ed)
{
    if (ed.buttons[GreyHitsButton].hovered) {
        stepGreyHits(ed, -1);
    } else if (ed.buttons[BonusChanceButton].hovered) {
        stepBonusChance(ed, -1);
    } else if (ed.buttons[BackgroundButton].hovered) {
        stepBackground(ed, -1);
    }
}

void pressKey(Editor& ed, unsigned char key)
{
    if (ed.nameFocused) {
        typeNameKey(ed, key);
    }
}

void advanceSpin(Editor& ed)
{
    ed.spinAngle = ed.spinAngle < SPIN_END ? ed.spinAngle + SPIN_STEP : SPIN_END;
}

void reportFailure(Editor& ed, const char* text)
{
    printf("%s\n", text);
    fflush(stdout);
    setStatus(ed, text, true);
}

void reportSuccess(Editor& ed, const char* text)
{
    setStatus(ed, text, false);
}
