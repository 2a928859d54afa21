// editor/editor_history: undo and redo of every grid and property change of the level on screen.
//
// The history is a list of whole-level snapshots (about 260 bytes each) with a cursor: simple to keep
// right, and a designer's thousands of steps cost a few megabytes at most. `modified` is true exactly when
// the cursor is not on the state the pack holds, so undoing back to a save clears it.
#include "editor/editor.h"

namespace {

LevelSnapshot snapshotOf(const Editor& ed)
{
    LevelSnapshot s;
    s.greyHits = ed.greyHits;
    s.bonusChance = ed.bonusChance;
    s.background = ed.background;
    for (int n = 0; n < GRID_CELLS; ++n) {
        s.codes[n] = static_cast<int8_t>(ed.grid[n].code);
    }
    return s;
}

void showState(Editor& ed, const LevelSnapshot& s)
{
    ed.greyHits = s.greyHits;
    ed.bonusChance = s.bonusChance;
    ed.background = s.background;
    for (int n = 0; n < GRID_CELLS; ++n) {
        ed.grid[n].code = s.codes[n];
        ed.grid[n].present = s.codes[n] != 0;
    }
}

void followHistory(Editor& ed) { ed.modified = ed.history.current != ed.history.saved; }

// Drops the redo steps and appends the level on screen as the current state.
void pushState(Editor& ed)
{
    EditHistory& h = ed.history;
    h.states.resize(h.current + 1);
    if (h.saved > h.current) {
        h.saved = -1;   // the saved state was undone and is now overwritten: nothing on screen matches it
    }
    h.states.push_back(snapshotOf(ed));
    ++h.current;
    followHistory(ed);
}

}   // namespace

void startHistory(Editor& ed)
{
    EditHistory& h = ed.history;
    h.states.assign(1, snapshotOf(ed));
    h.current = 0;
    h.saved = 0;
    h.strokeOpen = false;
    h.strokePushed = false;
    followHistory(ed);
}

void commitEdit(Editor& ed)
{
    endStroke(ed);
    if (ed.history.states.empty()) {
        ed.modified = true;   // no level read yet: nothing to step back to
        return;
    }
    pushState(ed);
}

void strokeChanged(Editor& ed)
{
    EditHistory& h = ed.history;
    if (h.states.empty()) {
        ed.modified = true;
        return;
    }
    if (!h.strokePushed) {
        h.strokePushed = true;
        pushState(ed);
    } else {
        h.states[h.current] = snapshotOf(ed);
    }
}

void endStroke(Editor& ed)
{
    ed.history.strokeOpen = false;
    ed.history.strokePushed = false;
}

bool canUndo(const Editor& ed) { return ed.history.current > 0; }

bool canRedo(const Editor& ed) { return ed.history.current + 1 < static_cast<int>(ed.history.states.size()); }

void undo(Editor& ed)
{
    endStroke(ed);
    if (!canUndo(ed)) {
        return;
    }
    --ed.history.current;
    showState(ed, ed.history.states[ed.history.current]);
    followHistory(ed);
}

void redo(Editor& ed)
{
    endStroke(ed);
    if (!canRedo(ed)) {
        return;
    }
    ++ed.history.current;
    showState(ed, ed.history.states[ed.history.current]);
    followHistory(ed);
}

void markSaved(Editor& ed)
{
    if (ed.history.states.empty()) {
        startHistory(ed);
        return;
    }
    // A save stores exactly what is on screen; make the current state say so even if the re-read differed.
    ed.history.states[ed.history.current] = snapshotOf(ed);
    ed.history.saved = ed.history.current;
    followHistory(ed);
}
