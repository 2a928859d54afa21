// editor/editor_question: never losing work. Every action that would drop unsaved edits, replace a pack or
// delete a level goes through requestAction, which either acts at once or opens the one-line question and
// keeps the action until it is answered.
#include "editor/editor.h"

#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace {

// Actions that read another level (or end the program) and so would drop unsaved edits.
bool dropsEdits(PendingAction action)
{
    switch (action) {
        case PendingAction::NextLevel:
        case PendingAction::PreviousLevel:
        case PendingAction::GoToLevel:
        case PendingAction::LoadPack:
        case PendingAction::CreatePack:
        case PendingAction::Quit:
        case PendingAction::InsertLevel:
        case PendingAction::DuplicateLevel:
        case PendingAction::OpenPackList:   // asked before the list is shown, never over it
        case PendingAction::OpenNewPackForm:
        case PendingAction::PlayLevel: return true;   // the game plays the level as saved
        case PendingAction::None:
        case PendingAction::DeleteLevel:   // its own question says the level goes, edits and all
        case PendingAction::CheckLevel:    // asks to save instead: the check plays the saved pack
        case PendingAction::SaveLevel:
        case PendingAction::MoveLevelUp:   // a moved level keeps its edits
        case PendingAction::MoveLevelDown: return false;
    }
    return false;
}

void setLabel(Editor& ed, int button, const char* label)
{
    snprintf(ed.buttons[button].label, sizeof ed.buttons[button].label, "%s", label);
}

void ask(Editor& ed, QuestionKind kind, PendingAction action, int targetLevel, const char* text)
{
    Question& q = ed.question;
    q.kind = kind;
    q.action = action;
    q.targetLevel = targetLevel;
    snprintf(q.text, sizeof q.text, "%s", text);
    const char* first = "Save (S)";
    const char* second = "";
    if (kind == QuestionKind::ReplacePack) {
        first = "Replace (R)";
    } else if (kind == QuestionKind::DeleteLevel) {
        first = "Delete (D)";
    } else if (kind == QuestionKind::PackChanged) {
        first = "Overwrite (O)";
        second = "Reload (R)";
    } else if (kind == QuestionKind::UnsavedChanges) {
        second = "Discard (D)";
    } else if (kind == QuestionKind::ImportClash) {
        first = "Replace (R)";
        second = "Keep both (K)";
    }
    setLabel(ed, AnswerFirstButton, first);
    setLabel(ed, AnswerSecondButton, second);
    setLabel(ed, AnswerCancelButton, "Cancel (Esc)");
    endStroke(ed);
    ed.goToOpen = false;
    // The answers take the place of whatever the pointer was on.
    for (EditorButton& b : ed.buttons) {
        b.hovered = false;
    }
}

void closeQuestion(Editor& ed) { ed.question = Question{}; }

// The pack "Create" would make from the typed name, or false (with a note) when the name is refused.
bool plannedPackPath(Editor& ed, char* path, size_t size)
{
    const char* name = ed.buttons[NameFieldButton].label;
    char reason[STATUS_SIZE];
    if (!validPackName(name, reason, sizeof reason)) {
        reportFailure(ed, reason);
        return false;
    }
    const int length = snprintf(path, size, "%s%s%s", PACK_FOLDER_PATH, name, PACK_EXTENSION);
    return length > 0 && static_cast<size_t>(length) < size;
}

// Create, once unsaved edits are dealt with: a pack of that name already there is replaced only on "Replace".
void proceedToCreate(Editor& ed)
{
    if (ed.buttons[NameFieldButton].label[0] == '\0') {
        return;   // the form stays open, as with nothing typed
    }
    char path[PACK_PATH_SIZE];
    if (!plannedPackPath(ed, path, sizeof path)) {
        return;
    }
    struct stat existing {};
    if (stat(path, &existing) == 0 && S_ISREG(existing.st_mode)) {   // anything else is reported when creating
        const char* file = path + strlen(PACK_FOLDER_PATH);
        char text[QUESTION_SIZE];
        snprintf(text, sizeof text, "Replace %s with %d empty level%s?", file, ed.newLevelCount,
                 ed.newLevelCount == 1 ? "" : "s");
        ask(ed, QuestionKind::ReplacePack, PendingAction::CreatePack, 0, text);
        return;
    }
    createPack(ed);
}

void proceed(Editor& ed, PendingAction action, int targetLevel)
{
    switch (action) {
        case PendingAction::None: break;
        case PendingAction::NextLevel: nextLevel(ed); break;
        case PendingAction::PreviousLevel: previousLevel(ed); break;
        case PendingAction::GoToLevel: goToLevel(ed, targetLevel); break;
        case PendingAction::LoadPack: loadSelectedPack(ed); break;
        case PendingAction::CreatePack: proceedToCreate(ed); break;
        case PendingAction::Quit: ed.quitRequested = true; break;
        case PendingAction::InsertLevel: changeLevels(ed, LevelChange::InsertEmptyAfter); break;
        case PendingAction::DuplicateLevel: changeLevels(ed, LevelChange::DuplicateAfter); break;
        case PendingAction::DeleteLevel: {
            if (refuseLevelChange(ed, LevelChange::Delete)) {
                break;
            }
            char text[QUESTION_SIZE];
            snprintf(text, sizeof text, "Delete level %d of %d%s?", ed.levelNumber, ed.levelCount,
                     ed.modified ? ", unsaved changes and all" : " from the pack");
            ask(ed, QuestionKind::DeleteLevel, action, 0, text);
            break;
        }
        case PendingAction::CheckLevel: startCheck(ed); break;
        case PendingAction::SaveLevel: saveButton(ed); break;
        case PendingAction::MoveLevelUp: changeLevels(ed, LevelChange::MoveUp); break;
        case PendingAction::MoveLevelDown: changeLevels(ed, LevelChange::MoveDown); break;
        case PendingAction::OpenPackList: openPackList(ed); break;
        case PendingAction::OpenNewPackForm: openNewPackForm(ed); break;
        case PendingAction::PlayLevel:
            // Discarded edits: what the game plays is what the editor shows.
            if (!ed.modified || reloadLevel(ed)) {
                startPlayTest(ed);
            }
            break;
    }
}

// The write the changed pack interrupted, done again whatever the pack now holds.
void overwrite(Editor& ed, PendingAction retry)
{
    ed.packVersion.known = false;
    switch (retry) {
        case PendingAction::InsertLevel: changeLevels(ed, LevelChange::InsertEmptyAfter); break;
        case PendingAction::DuplicateLevel: changeLevels(ed, LevelChange::DuplicateAfter); break;
        case PendingAction::DeleteLevel: changeLevels(ed, LevelChange::Delete); break;   // asked already
        default: proceed(ed, retry, 0); break;
    }
}

}   // namespace

void askAboutChangedPack(Editor& ed, PendingAction retry)
{
    char text[QUESTION_SIZE];
    snprintf(text, sizeof text, "The pack changed on disk since level %d was read:", ed.levelNumber);
    ask(ed, QuestionKind::PackChanged, retry, 0, text);
    reportFailure(ed, "Another program has written the pack: Overwrite writes over it, Reload shows it as it is now.");
}

void askAboutImport(Editor& ed, const char* text)
{
    ask(ed, QuestionKind::ImportClash, PendingAction::None, 0, text);
    reportSuccess(ed, "Replace gives the pack of that name up for this one; Keep both keeps it.");
}

bool questionOpen(const Editor& ed) { return ed.question.kind != QuestionKind::None; }

void requestAction(Editor& ed, PendingAction action, int targetLevel)
{
    if (questionOpen(ed)) {
        return;
    }
    // Edits already given up to open the form or the list are not asked about again at its Create or Load.
    const bool released =
        ed.editsReleased && (action == PendingAction::LoadPack || action == PendingAction::CreatePack);
    if (ed.modified && ed.packLoaded && !released) {
        char text[QUESTION_SIZE];
        if (action == PendingAction::CheckLevel) {
            snprintf(text, sizeof text, "Check plays the saved pack: save level %d first?", ed.levelNumber);
            ask(ed, QuestionKind::SaveBeforeCheck, action, targetLevel, text);
            return;
        }
        if (dropsEdits(action)) {
            snprintf(text, sizeof text, "Level %d has unsaved changes: save them first?", ed.levelNumber);
            ask(ed, QuestionKind::UnsavedChanges, action, targetLevel, text);
            return;
        }
    }
    proceed(ed, action, targetLevel);
}

void answerQuestion(Editor& ed, Answer answer)
{
    const Question q = ed.question;
    if (q.kind == QuestionKind::None) {
        return;
    }
    closeQuestion(ed);   // before going ahead: the action may ask the next question
    switch (q.kind) {
        case QuestionKind::None: break;
        case QuestionKind::UnsavedChanges:
        case QuestionKind::SaveBeforeCheck:
            if (answer == Answer::First) {
                saveButton(ed);
                if (!ed.modified) {   // a failed save keeps the edits, and the action waits for another try
                    proceed(ed, q.action, q.targetLevel);
                }
            } else if (answer == Answer::Second && q.kind == QuestionKind::UnsavedChanges) {
                ed.editsReleased =
                    q.action == PendingAction::OpenPackList || q.action == PendingAction::OpenNewPackForm;
                proceed(ed, q.action, q.targetLevel);
            } else if (q.kind == QuestionKind::SaveBeforeCheck) {
                snprintf(ed.check.note[0], sizeof ed.check.note[0], "Not checked: level %d", ed.levelNumber);
                snprintf(ed.check.note[1], sizeof ed.check.note[1], "has unsaved changes.");
                ed.check.noteLines = 2;
                ed.check.tone = CheckTone::Warning;
            }
            break;
        case QuestionKind::ReplacePack:
            if (answer == Answer::First) {
                createPack(ed);
            }
            break;
        case QuestionKind::DeleteLevel:
            if (answer == Answer::First) {
                changeLevels(ed, LevelChange::Delete);
            }
            break;
        case QuestionKind::ImportClash:
            if (answer == Answer::Cancel) {
                char note[STATUS_SIZE];
                snprintf(note, sizeof note, "%s not opened: the pack of that name stays as it is.",
                         quoteBytes(ed.import.source).c_str());
                ed.import = PackImport{};
                reportSuccess(ed, note);
            } else {
                finishImport(ed, answer == Answer::First ? ImportChoice::Replace : ImportChoice::KeepBoth);
            }
            break;
        case QuestionKind::PackChanged:
            if (answer == Answer::First) {
                overwrite(ed, q.action);
            } else if (answer == Answer::Second && reloadLevel(ed)) {
                char note[STATUS_SIZE];
                snprintf(note, sizeof note, "Level %d as %s now holds it.", ed.levelNumber, ed.packPath);
                reportSuccess(ed, note);
            }
            break;
    }
}
