// editor/editor_levels: level management (insert, duplicate, delete, move up and down), each a rewrite of
// the whole pack through the safe replace like a save, and the level number typed after G.
#include "editor/editor.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

bool refuseLevelChange(Editor& ed, LevelChange kind)
{
    char note[STATUS_SIZE];
    if (!ed.packLoaded || ed.packPath[0] == '\0' || ed.levelNumber < 1) {
        snprintf(note, sizeof note, "Open a level first.");
    } else if (kind == LevelChange::Delete && ed.levelCount <= 1) {
        snprintf(note, sizeof note, "A pack keeps at least one level: level %d is its only one.", ed.levelNumber);
    } else if (kind == LevelChange::MoveUp && ed.levelNumber <= 1) {
        snprintf(note, sizeof note, "Level %d is already the first.", ed.levelNumber);
    } else if (kind == LevelChange::MoveDown && ed.levelNumber >= ed.levelCount) {
        snprintf(note, sizeof note, "Level %d is already the last.", ed.levelNumber);
    } else if ((kind == LevelChange::InsertEmptyAfter || kind == LevelChange::DuplicateAfter) &&
               ed.levelCount >= LEVEL_COUNT_MAX) {
        snprintf(note, sizeof note, "The pack holds %d levels, the most a pack can count: no level can be added.",
                 ed.levelCount);
    } else {
        return false;
    }
    reportSuccess(ed, note);
    return true;
}

void changeLevels(Editor& ed, LevelChange kind)
{
    endStroke(ed);
    if (refuseLevelChange(ed, kind)) {
        return;
    }
    char note[STATUS_SIZE];
    const int k = ed.levelNumber;
    const bool grows = kind == LevelChange::InsertEmptyAfter || kind == LevelChange::DuplicateAfter;
    const int newCount = ed.levelCount + (grows ? 1 : kind == LevelChange::Delete ? -1 : 0);
    const PackResult result = changePackLevels(ed.packPath, {kind, k, newCount}, &ed.packVersion);
    if (result.status == PackStatus::ChangedOnDisk) {
        const PendingAction retry = kind == LevelChange::InsertEmptyAfter ? PendingAction::InsertLevel
                                    : kind == LevelChange::DuplicateAfter ? PendingAction::DuplicateLevel
                                    : kind == LevelChange::Delete         ? PendingAction::DeleteLevel
                                    : kind == LevelChange::MoveUp         ? PendingAction::MoveLevelUp
                                                                          : PendingAction::MoveLevelDown;
        askAboutChangedPack(ed, retry);
        return;
    }
    if (!result.ok()) {
        reportFailure(ed, ("Level change failed, the pack is unchanged: " + result.message).c_str());
        return;
    }
    ed.levelCount = newCount;
    switch (kind) {
        case LevelChange::MoveUp:
        case LevelChange::MoveDown:
            // The level on screen is the one that moved: it keeps its edits and its history, only its place
            // changes, so a later save writes it where it now is.
            ed.levelNumber = kind == LevelChange::MoveUp ? k - 1 : k + 1;
            snprintf(note, sizeof note, "Level %d moved %s: it is now level %d of %d.", k,
                     kind == LevelChange::MoveUp ? "up" : "down", ed.levelNumber, newCount);
            reportSuccess(ed, note);
            return;
        case LevelChange::InsertEmptyAfter:
            snprintf(note, sizeof note, "Inserted an empty level %d; the pack holds %d.", k + 1, newCount);
            break;
        case LevelChange::DuplicateAfter:
            snprintf(note, sizeof note, "Level %d copied as level %d; the pack holds %d.", k, k + 1, newCount);
            break;
        case LevelChange::Delete:
            snprintf(note, sizeof note, "Deleted level %d; the pack holds %d.", k, newCount);
            break;
    }
    ed.levelNumber = kind == LevelChange::Delete ? std::min(k, newCount) : k + 1;
    if (readLevel(ed)) {
        startHistory(ed);
        reportSuccess(ed, note);
    }
}

void openGoTo(Editor& ed)
{
    ed.goToOpen = true;
    ed.goToText[0] = '\0';
}

void typeGoToKey(Editor& ed, unsigned char key)
{
    const size_t length = strlen(ed.goToText);
    if (key >= '0' && key <= '9') {
        if (length < static_cast<size_t>(GO_TO_DIGITS)) {
            ed.goToText[length] = static_cast<char>(key);
            ed.goToText[length + 1] = '\0';
        }
    } else if (key == 8 || key == 127) {
        if (length > 0) {
            ed.goToText[length - 1] = '\0';
        }
    } else if (key == 13) {
        ed.goToOpen = false;
        const int level = atoi(ed.goToText);
        if (length > 0 && level != ed.levelNumber) {   // the level on screen stays as it is
            requestAction(ed, PendingAction::GoToLevel, level);
        }
    } else if (key == 27) {
        ed.goToOpen = false;
    }
}
