// editor/editor_state: the button table, screens, pointer mapping, hover test, click dispatch and keys.
#include "editor/editor.h"

#include <cctype>
#include <algorithm>
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
    // Wide enough for their labels in the start-size window.
    {"New level pack", 24.2, 27, 5.8, 1},
    {"Load level pack", 36.4, 27, 6, 1},
    {"Create", 5, -3, 4, 1},
    {"Cancel", -5, -3, 4, 1},
    {"<", -4, 0, 1, 1},
    {">", 4, 0, 1, 1},
    {"", 4.5, 3.7, 9.5, 1},   // the name field: about 22 characters in the start-size window
    {"Load", 5, -3, 4, 1},
    {"Cancel", -5, -3, 4, 1},
    // The editing tools, in a column left of the grid.
    {"Undo", -36.2, 21, 4.8, 1},
    {"Redo", -25.8, 21, 4.8, 1},
    {"Clear level", -31, 18.6, 10, 1},
    {"Insert level after", -31, 14.2, 10, 1},
    {"Duplicate level", -31, 11.8, 10, 1},
    {"Delete level", -31, 9.4, 10, 1},
    {"Move level up", -31, 7.0, 10, 1},
    {"Move level down", -31, 4.6, 10, 1},
    {"Check level", -31, 0.2, 10, 1},
    // The question's answers; their labels are set by each question.
    {"", -11, -1.5, 5, 1},
    {"", 0, -1.5, 5, 1},
    {"", 11, -1.5, 5, 1},
    {"Play level (F5)", -31, 2.4, 10, 1},
};

const int NEW_PACK_GROUP[] = {CreateButton, CancelNewButton, LessButton, MoreButton, NameFieldButton};
const int PACK_LIST_GROUP[] = {LoadButton, CancelListButton, LessButton, MoreButton};
const int EDIT_GROUP[] = {
    NextLevelButton,      PreviousLevelButton, SaveButton,   GreyHitsButton, BonusChanceButton, BackgroundButton,
    NewPackButton,        LoadPackButton,      UndoButton,   RedoButton,     ClearLevelButton,  InsertLevelButton,
    DuplicateLevelButton, DeleteLevelButton,   MoveUpButton, MoveDownButton, CheckButton,       PlayButton};

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

char* typedName(Editor& ed) { return ed.buttons[NameFieldButton].label; }

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

double sceneHalfHeight(int width, int height)
{
    height = std::max(height, 1);
    width = std::max(width, 1);
    // The near plane at distance 1 spans tan(fov / 2) above and below the axis. A window narrower than the
    // start size's shape widens the view until the start size's whole width fits: the scene scales down
    // rather than losing its sides.
    const double atStart = std::tan(FIELD_OF_VIEW * 0.5 * M_PI / 180.0);
    const double startAspect = static_cast<double>(EDITOR_WINDOW_WIDTH) / EDITOR_WINDOW_HEIGHT;
    const double aspect = static_cast<double>(width) / height;
    return aspect >= startAspect ? atStart : atStart * startAspect / aspect;
}

double sceneFieldOfView(int width, int height) { return 2 * std::atan(sceneHalfHeight(width, height)) * 180.0 / M_PI; }

void windowToScene(int px, int py, int width, int height, double& sceneX, double& sceneY)
{
    height = std::max(height, 1);
    width = std::max(width, 1);
    // The scene plane lies CAMERA_DISTANCE times further away than the near plane at distance 1.
    const double halfHeight = sceneHalfHeight(width, height);
    const double aspect = static_cast<double>(width) / height;
    const double ndcX = 2.0 * px / width - 1.0;
    const double ndcY = 2.0 * (height - py) / height - 1.0;
    sceneX = ndcX * halfHeight * aspect * CAMERA_DISTANCE;
    sceneY = ndcY * halfHeight * CAMERA_DISTANCE;
}

void sceneToWindow(double x, double y, int width, int height, double& windowX, double& windowY)
{
    height = std::max(height, 1);
    width = std::max(width, 1);
    const double halfHeight = sceneHalfHeight(width, height);
    const double aspect = static_cast<double>(width) / height;
    windowX = (x / (halfHeight * aspect * CAMERA_DISTANCE) + 1.0) * width / 2.0;
    windowY = (y / (halfHeight * CAMERA_DISTANCE) + 1.0) * height / 2.0;
}

void updateHover(Editor& ed, double x, double y)
{
    ed.mouseX = x;
    ed.mouseY = y;
    for (EditorButton& b : ed.buttons) {
        b.hovered = false;
    }
    if (questionOpen(ed)) {
        // Only the answers react while the question is open.
        const bool threeAnswers = ed.buttons[AnswerSecondButton].label[0] != '\0';
        const int answers[] = {AnswerFirstButton, AnswerCancelButton, AnswerSecondButton};
        hoverGroup(ed, answers, threeAnswers ? 3 : 2);
        updateSwatchHover(ed);
        updateCellHover(ed);
        return;
    }
    switch (currentScreen(ed)) {
        case EditorScreen::PackListForm: hoverGroup(ed, PACK_LIST_GROUP, 4); break;
        case EditorScreen::NewPackForm: hoverGroup(ed, NEW_PACK_GROUP, 5); break;
        case EditorScreen::EditScreen: hoverGroup(ed, EDIT_GROUP, sizeof EDIT_GROUP / sizeof EDIT_GROUP[0]); break;
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

namespace {

int pressedButton(const Editor& ed)
{
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        if (ed.buttons[i].hovered) {
            return i;
        }
    }
    return -1;
}

void answerByButton(Editor& ed, int pressed)
{
    if (pressed == AnswerFirstButton) {
        answerQuestion(ed, Answer::First);
    } else if (pressed == AnswerSecondButton) {
        answerQuestion(ed, Answer::Second);
    } else if (pressed == AnswerCancelButton) {
        answerQuestion(ed, Answer::Cancel);
    }
}

void pressLessOrMore(Editor& ed, int direction)
{
    if (!ed.newPackFormOpen) {
        stepPackIndex(ed, direction);
    } else if (direction > 0) {
        ++ed.newLevelCount;
    } else if (ed.newLevelCount > 1) {
        --ed.newLevelCount;
    }
}

void pressCheck(Editor& ed)
{
    if (ed.check.running) {
        stopCheck(ed, "Check stopped.");
    } else {
        requestAction(ed, PendingAction::CheckLevel);
    }
}

// The answer a key gives to the open question, or false when the key is no answer.
bool answerByKey(const Question& q, unsigned char key, Answer& answer)
{
    const int c = tolower(key);
    const bool unsaved = q.kind == QuestionKind::UnsavedChanges;
    const bool clash = q.kind == QuestionKind::ImportClash;
    if (key == 27) {
        answer = Answer::Cancel;
    } else if (c == 's' && (unsaved || q.kind == QuestionKind::SaveBeforeCheck)) {
        answer = Answer::First;
    } else if (c == 'd' && unsaved) {
        answer = Answer::Second;
    } else if ((c == 'r' && (q.kind == QuestionKind::ReplacePack || clash)) ||
               (c == 'd' && q.kind == QuestionKind::DeleteLevel) || (c == 'o' && q.kind == QuestionKind::PackChanged)) {
        answer = Answer::First;
    } else if ((c == 'r' && q.kind == QuestionKind::PackChanged) || (c == 'k' && clash)) {
        answer = Answer::Second;
    } else {
        return false;
    }
    return true;
}

// Ctrl+Z, Ctrl+Shift+Z, Ctrl+Y and Ctrl+S, which arrive as control characters or as letters with Ctrl.
bool pressControlKey(Editor& ed, unsigned char key, int modifiers)
{
    const bool ctrl = (modifiers & MOD_CTRL) != 0;
    const int c = tolower(key);
    const bool editing = currentScreen(ed) == EditorScreen::EditScreen;
    if (key == 26 || (ctrl && c == 'z')) {
        if (editing) {
            (modifiers & MOD_SHIFT) ? redo(ed) : undo(ed);
        }
    } else if (key == 25 || (ctrl && c == 'y')) {
        if (editing) {
            redo(ed);
        }
    } else if (key == 19 || (ctrl && c == 's')) {
        if (editing) {
            saveButton(ed);
        }
    } else {
        return ctrl || (modifiers & MOD_ALT) != 0;   // other chords are no shortcut and type nothing
    }
    return true;
}

}   // namespace

void pressLeft(Editor& ed, int modifiers)
{
    ed.nameFocused = false;
    ed.goToOpen = false;
    endStroke(ed);
    const int pressed = pressedButton(ed);
    if (questionOpen(ed)) {
        answerByButton(ed, pressed);
        return;
    }
    switch (pressed) {
        case NextLevelButton: requestAction(ed, PendingAction::NextLevel); break;
        case PreviousLevelButton: requestAction(ed, PendingAction::PreviousLevel); break;
        case SaveButton: saveButton(ed); break;
        case GreyHitsButton: stepGreyHits(ed, +1); break;
        case BonusChanceButton: stepBonusChance(ed, +1); break;
        case BackgroundButton: stepBackground(ed, +1); break;
        case NewPackButton: requestAction(ed, PendingAction::OpenNewPackForm); break;
        case LoadPackButton: requestAction(ed, PendingAction::OpenPackList); break;
        case CreateButton:
            if (typedName(ed)[0] != '\0') {
                requestAction(ed, PendingAction::CreatePack);
            }
            break;
        case CancelNewButton: cancelNewPack(ed); break;
        case LessButton: pressLessOrMore(ed, -1); break;
        case MoreButton: pressLessOrMore(ed, +1); break;
        case NameFieldButton: ed.nameFocused = true; break;
        case LoadButton: requestAction(ed, PendingAction::LoadPack); break;
        case CancelListButton: closePackList(ed); break;
        case UndoButton: undo(ed); break;
        case RedoButton: redo(ed); break;
        case ClearLevelButton: clearLevel(ed); break;
        case InsertLevelButton: requestAction(ed, PendingAction::InsertLevel); break;
        case DuplicateLevelButton: requestAction(ed, PendingAction::DuplicateLevel); break;
        case DeleteLevelButton: requestAction(ed, PendingAction::DeleteLevel); break;
        case MoveUpButton: changeLevels(ed, LevelChange::MoveUp); break;
        case MoveDownButton: changeLevels(ed, LevelChange::MoveDown); break;
        case CheckButton: pressCheck(ed); break;
        case PlayButton: requestAction(ed, PendingAction::PlayLevel); break;
        case AnswerFirstButton:
        case AnswerSecondButton:
        case AnswerCancelButton: break;   // stale hover of a question already answered
        default: paletteGridClick(ed, (modifiers & MOD_SHIFT) != 0); break;
    }
}

void pressRight(Editor& ed, int modifiers)
{
    endStroke(ed);
    if (questionOpen(ed)) {
        return;
    }
    if (ed.buttons[GreyHitsButton].hovered) {
        stepGreyHits(ed, -1);
    } else if (ed.buttons[BonusChanceButton].hovered) {
        stepBonusChance(ed, -1);
    } else if (ed.buttons[BackgroundButton].hovered) {
        stepBackground(ed, -1);
    } else if (pressedButton(ed) == -1) {
        eraseClick(ed, (modifiers & MOD_SHIFT) != 0);
    }
}

void pressKey(Editor& ed, unsigned char key, int modifiers)
{
    if (questionOpen(ed)) {
        Answer answer;
        if (answerByKey(ed.question, key, answer)) {
            answerQuestion(ed, answer);
        }
        return;
    }
    if (key == 27) {
        if (ed.goToOpen) {
            ed.goToOpen = false;
        } else {
            requestAction(ed, PendingAction::Quit);
        }
        return;
    }
    if (ed.nameFocused) {
        typeNameKey(ed, key);
        return;
    }
    if (ed.goToOpen) {
        typeGoToKey(ed, key);
        return;
    }
    if (pressControlKey(ed, key, modifiers)) {
        return;
    }
    if (key >= '0' && key <= '9') {
        ed.brush = key - '0';   // the palette is on every screen, and so are its keys
        return;
    }
    if (currentScreen(ed) != EditorScreen::EditScreen) {
        return;
    }
    if (key == '[') {
        requestAction(ed, PendingAction::PreviousLevel);
    } else if (key == ']') {
        requestAction(ed, PendingAction::NextLevel);
    } else if (key == 'g' || key == 'G') {
        openGoTo(ed);
    }
}

void pressSpecialKey(Editor& ed, SpecialKey key, int)
{
    if (questionOpen(ed) || ed.nameFocused || ed.goToOpen || currentScreen(ed) != EditorScreen::EditScreen) {
        return;
    }
    if (key == SpecialKey::PageUp) {
        requestAction(ed, PendingAction::PreviousLevel);
    } else if (key == SpecialKey::PageDown) {
        requestAction(ed, PendingAction::NextLevel);
    } else if (key == SpecialKey::F5) {
        requestAction(ed, PendingAction::PlayLevel);
    }
}

bool buttonEnabled(const Editor& ed, int button)
{
    switch (button) {
        case UndoButton: return canUndo(ed);
        case RedoButton: return canRedo(ed);
        case DeleteLevelButton: return ed.levelCount > 1;
        case MoveUpButton: return ed.levelNumber > 1;
        case MoveDownButton: return ed.levelNumber < ed.levelCount;
        default: return true;
    }
}

void advanceSpin(Editor& ed) { ed.spinAngle = ed.spinAngle < SPIN_END ? ed.spinAngle + SPIN_STEP : SPIN_END; }

void reportFailure(Editor& ed, const char* text)
{
    printf("%s\n", text);
    fflush(stdout);
    setStatus(ed, text, true);
}

void reportSuccess(Editor& ed, const char* text) { setStatus(ed, text, false); }

std::string fitText(const std::string& text, int maxChars, Elide where)
{
    std::string shown = text;
    for (char& c : shown) {
        const auto byte = static_cast<unsigned char>(c);
        if (c != ELLIPSIS && (byte < 0x20 || byte >= 0x7F)) {
            c = '?';
        }
    }
    if (maxChars < 1) {
        return "";
    }
    const size_t room = static_cast<size_t>(maxChars);
    if (shown.size() <= room) {
        return shown;
    }
    const size_t kept = room - 1;   // one cell for the ellipsis
    switch (where) {
        case Elide::End: return shown.substr(0, kept) + ELLIPSIS;
        case Elide::Start: return ELLIPSIS + shown.substr(shown.size() - kept);
        case Elide::Middle: break;
    }
    // The end of a file name (its number, its extension) tells names apart as often as its start.
    const size_t tail = kept / 2;
    return shown.substr(0, kept - tail) + ELLIPSIS + shown.substr(shown.size() - tail);
}

std::vector<std::string> wrapText(const std::string& text, int maxChars, int maxLines)
{
    std::vector<std::string> lines;
    if (maxChars < 1 || maxLines < 1) {
        return lines;
    }
    const size_t room = static_cast<size_t>(maxChars);
    size_t at = 0;
    while (at < text.size() && lines.size() < static_cast<size_t>(maxLines)) {
        while (at < text.size() && text[at] == ' ') {
            ++at;
        }
        size_t end = std::min(text.size(), at + room);
        if (end < text.size() && text[end] != ' ') {
            const size_t space = text.rfind(' ', end);
            if (space != std::string::npos && space > at) {
                end = space;   // a word longer than a line is cut instead
            }
        }
        std::string line = text.substr(at, end - at);
        at = end;
        const bool last = lines.size() + 1 == static_cast<size_t>(maxLines);
        if (last && text.find_first_not_of(' ', at) != std::string::npos) {
            line = fitText(line + text.substr(at), maxChars, Elide::End);   // the rest starts at its space
        }
        lines.push_back(fitText(line, maxChars, Elide::End));
    }
    return lines;
}
