// The editor as a level designer uses it: undo and redo, strokes, the question that guards unsaved work,
// level management, the keys, pack names and the level check through a stand-in tlpcheck.
#include "tests/editor_fixture.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>

namespace {

const Point OUTSIDE = {-30, -28};   // a point over nothing

int cellIndex(int row, int column) { return row * GRID_COLUMNS + column; }

// A pack whose level k has greyHits k + 1 and brick code k in its top-left cell, so each level shows.
std::string distinctPack(int count)
{
    std::string text = std::to_string(count) + "\n";
    for (int k = 1; k <= count; ++k) {
        text += std::to_string(k) + " " + std::to_string(k + 1) + " 50 1\n";
        for (int i = 0; i < GRID_CELLS; ++i) {
            text += std::to_string(i == 0 ? k : 0) + (i % GRID_COLUMNS == GRID_COLUMNS - 1 ? "\n" : " ");
        }
    }
    return text;
}

class EditorSession : public EditorTest {
protected:
    // Opens "Levels Packs/<name>.tlp" holding text through the pack list.
    void open(const char* name, const std::string& text)
    {
        write(std::string("Levels Packs/") + name + ".tlp", text);
        press(ed, LoadPackButton);
        while (strcmp(ed.PackList[ed.packIndex], (std::string(name) + ".tlp").c_str()) != 0) {
            press(ed, MoreButton);
        }
        press(ed, LoadButton);
        ASSERT_TRUE(ed.packLoaded);
    }
    void paint(int code, int row, int column)
    {
        leftAt(ed, swatchAt(code));
        leftAt(ed, cellAt(row, column));
        releaseButton(ed);
    }
};

// ---------------------------------------------------------------------------
// Undo and redo
// ---------------------------------------------------------------------------

TEST_F(EditorSession, UndoAndRedoStepThroughEveryChangeAndModifiedFollowsTheHistory)
{
    createThroughForm("history", 2);
    EXPECT_FALSE(canUndo(ed));
    paint(3, 0, 0);
    leftAt(ed, buttonAt(ed, GreyHitsButton));
    rightAt(ed, buttonAt(ed, BackgroundButton));
    ASSERT_EQ(ed.background, 4);

    press(ed, UndoButton);
    EXPECT_EQ(ed.background, 1);
    pressKey(ed, 26, MOD_CTRL);   // Ctrl+Z
    EXPECT_EQ(ed.greyHits, 1);
    pressKey(ed, 'z', MOD_CTRL);
    EXPECT_EQ(ed.grid[0].code, 0);
    EXPECT_FALSE(ed.grid[0].present);
    EXPECT_FALSE(ed.modified) << "back at the state the pack holds";
    EXPECT_FALSE(canUndo(ed));

    pressKey(ed, 26, MOD_CTRL | MOD_SHIFT);   // Ctrl+Shift+Z
    EXPECT_EQ(ed.grid[0].code, 3);
    EXPECT_TRUE(ed.modified);
    pressKey(ed, 25, MOD_CTRL);   // Ctrl+Y
    EXPECT_EQ(ed.greyHits, 2);

    // Saving moves the point that counts as unmodified; undo can still step back past it.
    press(ed, SaveButton);
    EXPECT_FALSE(ed.modified);
    press(ed, UndoButton);
    EXPECT_TRUE(ed.modified);
    press(ed, RedoButton);
    EXPECT_FALSE(ed.modified);

    // A new change after an undo drops the steps that were undone.
    press(ed, UndoButton);
    paint(5, 1, 1);
    EXPECT_FALSE(canRedo(ed));
    EXPECT_TRUE(ed.modified) << "the saved state can no longer be reached by redo";

    // Another level starts a history of its own.
    press(ed, SaveButton);
    press(ed, NextLevelButton);
    EXPECT_FALSE(canUndo(ed));
    EXPECT_FALSE(canRedo(ed));
}

// ---------------------------------------------------------------------------
// Strokes, row fill, clearing
// ---------------------------------------------------------------------------

TEST_F(EditorSession, ADragPaintsEveryCellPassedOverAsOneUndoStep)
{
    createThroughForm("strokes", 1);
    leftAt(ed, swatchAt(2));
    leftAt(ed, cellAt(0, 0));
    // One motion event across the whole row, as a slow frame delivers it, then down a diagonal.
    dragTo(ed, cellAt(0, 10).x, cellAt(0, 10).y);
    dragTo(ed, cellAt(3, 7).x, cellAt(3, 7).y);
    releaseButton(ed);
    for (int column = 0; column < GRID_COLUMNS; ++column) {
        EXPECT_EQ(ed.grid[cellIndex(0, column)].code, 2) << column;
    }
    EXPECT_EQ(ed.grid[cellIndex(2, 8)].code, 2) << "the diagonal passes through row 2";
    EXPECT_EQ(ed.grid[cellIndex(1, 0)].code, 0);

    // Moving after the release paints nothing.
    dragTo(ed, cellAt(10, 5).x, cellAt(10, 5).y);
    EXPECT_EQ(ed.grid[cellIndex(10, 5)].code, 0);

    undo(ed);
    for (const EditorCell& cell : ed.grid) {
        EXPECT_EQ(cell.code, 0);
    }
    EXPECT_FALSE(ed.modified);
}

TEST_F(EditorSession, RightButtonErasesShiftFillsRowsAndClearLevelIsOneStep)
{
    createThroughForm("rows", 1);
    leftAt(ed, swatchAt(7));
    updateHover(ed, cellAt(4, 2).x, cellAt(4, 2).y);
    pressLeft(ed, MOD_SHIFT);
    releaseButton(ed);
    for (int column = 0; column < GRID_COLUMNS; ++column) {
        EXPECT_EQ(ed.grid[cellIndex(4, column)].code, 7);
    }
    rightAt(ed, cellAt(4, 3));
    dragTo(ed, cellAt(4, 5).x, cellAt(4, 5).y);
    releaseButton(ed);
    EXPECT_EQ(ed.grid[cellIndex(4, 2)].code, 7);
    EXPECT_EQ(ed.grid[cellIndex(4, 3)].code, 0);
    EXPECT_EQ(ed.grid[cellIndex(4, 5)].code, 0);
    EXPECT_EQ(ed.brush, 7) << "the right button erases without changing the brush";
    updateHover(ed, cellAt(4, 0).x, cellAt(4, 0).y);
    pressRight(ed, MOD_SHIFT);
    EXPECT_EQ(ed.grid[cellIndex(4, 10)].code, 0);

    undo(ed);
    paint(9, 21, 10);
    press(ed, ClearLevelButton);
    for (const EditorCell& cell : ed.grid) {
        EXPECT_FALSE(cell.present);
    }
    undo(ed);
    EXPECT_EQ(ed.grid[cellIndex(21, 10)].code, 9);
    EXPECT_EQ(ed.grid[cellIndex(4, 10)].code, 7);

    // Nothing is painted under an open form, neither by a click nor by a drag.
    press(ed, NewPackButton);
    rightAt(ed, cellAt(12, 5));
    dragTo(ed, cellAt(4, 9).x, cellAt(4, 9).y);
    EXPECT_EQ(ed.grid[cellIndex(4, 9)].code, 7);
}

// ---------------------------------------------------------------------------
// Never losing work
// ---------------------------------------------------------------------------

TEST_F(EditorSession, UnsavedChangesAskBeforeAnythingDropsThem)
{
    createThroughForm("ask", 2);
    paint(1, 2, 2);
    const std::string saved = read("Levels Packs/ask.tlp");

    // Next, Previous, Load, New and Esc all stop at the question, the last two before their form opens (one
    // thing on screen at a time); Cancel keeps everything.
    for (int action : {LoadPackButton, NewPackButton, NextLevelButton, PreviousLevelButton}) {
        press(ed, action);
        ASSERT_TRUE(questionOpen(ed));
        // While it is open nothing else reacts: not the grid, not the buttons under the pointer.
        leftAt(ed, cellAt(9, 9));
        leftAt(ed, buttonAt(ed, SaveButton));
        EXPECT_EQ(ed.grid[cellIndex(9, 9)].code, 0);
        leftAt(ed, buttonAt(ed, AnswerCancelButton));
        EXPECT_FALSE(questionOpen(ed));
        EXPECT_EQ(currentScreen(ed), EditorScreen::EditScreen);
    }
    // Discard opens the list without asking again at its Load; Cancel there keeps the edits, asked anew.
    press(ed, LoadPackButton);
    pressKey(ed, 'd');
    ASSERT_TRUE(ed.packListOpen);
    press(ed, CancelListButton);
    EXPECT_TRUE(ed.modified);
    press(ed, LoadPackButton);
    EXPECT_EQ(ed.question.kind, QuestionKind::UnsavedChanges);
    pressKey(ed, 27);
    pressKey(ed, 27);
    ASSERT_TRUE(questionOpen(ed));
    pressKey(ed, 27);
    EXPECT_FALSE(ed.quitRequested);
    EXPECT_TRUE(ed.modified);
    EXPECT_EQ(ed.levelNumber, 1);
    EXPECT_EQ(ed.grid[cellIndex(2, 2)].code, 1);
    EXPECT_EQ(read("Levels Packs/ask.tlp"), saved);

    // Save goes ahead once the level is stored; a save that fails keeps the edits and goes nowhere.
    setReadOnly("Levels Packs/ask.tlp", true);
    press(ed, NextLevelButton);
    leftAt(ed, buttonAt(ed, AnswerFirstButton));
    EXPECT_EQ(ed.levelNumber, 1);
    EXPECT_TRUE(ed.modified);
    EXPECT_TRUE(ed.statusIsError);
    setReadOnly("Levels Packs/ask.tlp", false);
    press(ed, NextLevelButton);
    pressKey(ed, 's');
    EXPECT_EQ(ed.levelNumber, 2);
    PackLevel first;
    first.levelNumber = 1;
    ASSERT_TRUE(readPackLevel("Levels Packs/ask.tlp", first).ok());
    EXPECT_EQ(first.bricks[cellIndex(2, 2)], 1);

    // Discard goes ahead without saving; Esc with nothing unsaved ends the program at once.
    paint(4, 0, 0);
    pressKey(ed, 27);
    leftAt(ed, buttonAt(ed, AnswerSecondButton));
    EXPECT_TRUE(ed.quitRequested);
    PackLevel second;
    second.levelNumber = 2;
    ASSERT_TRUE(readPackLevel("Levels Packs/ask.tlp", second).ok());
    EXPECT_EQ(second.bricks[0], 0);
    ed.quitRequested = false;
    undo(ed);
    pressKey(ed, 27);
    EXPECT_TRUE(ed.quitRequested);
}

TEST_F(EditorSession, CreatingOverAnExistingPackAsksAndCancelKeepsItsBytes)
{
    write("Levels Packs/mine.tlp", distinctPack(3));
    createThroughForm("mine", 1);
    ASSERT_EQ(ed.question.kind, QuestionKind::ReplacePack);
    EXPECT_NE(strstr(ed.question.text, "mine.tlp"), nullptr);
    pressKey(ed, 's');   // not an answer to this question
    pressKey(ed, 27);
    EXPECT_TRUE(ed.newPackFormOpen);
    EXPECT_STREQ(typed(ed), "mine");
    EXPECT_EQ(read("Levels Packs/mine.tlp"), distinctPack(3));
    press(ed, CreateButton);
    pressKey(ed, 'r');
    EXPECT_EQ(read("Levels Packs/mine.tlp"), newPackText(1));
    EXPECT_EQ(currentScreen(ed), EditorScreen::EditScreen);
}

// ---------------------------------------------------------------------------
// Level management
// ---------------------------------------------------------------------------

TEST_F(EditorSession, LevelManagementRewritesThePackAndShowsTheLevelItLeadsTo)
{
    open("manage", distinctPack(3));
    press(ed, NextLevelButton);   // level 2
    press(ed, InsertLevelButton);
    EXPECT_EQ(ed.levelNumber, 3);
    EXPECT_EQ(ed.levelCount, 4);
    EXPECT_EQ(ed.greyHits, 1) << "the new empty level";
    press(ed, PreviousLevelButton);
    press(ed, DuplicateLevelButton);   // level 2 again, as level 3
    EXPECT_EQ(ed.levelNumber, 3);
    EXPECT_EQ(ed.greyHits, 3);
    EXPECT_EQ(ed.grid[0].code, 2);

    // Delete asks, always; the level after the deleted one takes its place.
    press(ed, DeleteLevelButton);
    ASSERT_EQ(ed.question.kind, QuestionKind::DeleteLevel);
    pressKey(ed, 'd');
    EXPECT_EQ(ed.levelCount, 4);
    EXPECT_EQ(ed.levelNumber, 3);
    EXPECT_EQ(ed.greyHits, 1);

    // A move carries the level's unsaved edits along; they save into its new place.
    paint(6, 5, 5);
    press(ed, MoveUpButton);
    EXPECT_EQ(ed.levelNumber, 2);
    EXPECT_TRUE(ed.modified);
    press(ed, SaveButton);
    std::string expected = "4\n";
    const int order[4][2] = {{1, 2}, {0, 1}, {2, 3}, {3, 4}};   // {top-left code, grey hits} by position
    for (int k = 1; k <= 4; ++k) {
        expected += std::to_string(k) + " " + std::to_string(order[k - 1][1]) + " 50 1\n";
        for (int i = 0; i < GRID_CELLS; ++i) {
            const int code = i == 0 ? order[k - 1][0] : (k == 2 && i == cellIndex(5, 5)) ? 6 : 0;
            expected += std::to_string(code) + (i % GRID_COLUMNS == GRID_COLUMNS - 1 ? "\n" : " ");
        }
    }
    EXPECT_EQ(read("Levels Packs/manage.tlp"), expected);
}

TEST_F(EditorSession, RefusedOrFailedLevelChangesLeavePackAndScreenAlone)
{
    open("edges", distinctPack(1));
    const std::string before = read("Levels Packs/edges.tlp");
    EXPECT_FALSE(buttonEnabled(ed, DeleteLevelButton));
    EXPECT_FALSE(buttonEnabled(ed, MoveUpButton));
    EXPECT_FALSE(buttonEnabled(ed, MoveDownButton));
    for (int b : {DeleteLevelButton, MoveUpButton, MoveDownButton}) {
        press(ed, b);
        EXPECT_FALSE(questionOpen(ed));
        EXPECT_NE(ed.status[0], '\0');
    }
    EXPECT_EQ(read("Levels Packs/edges.tlp"), before);

    // Unsaved edits are asked about before an insert; a rewrite that cannot write keeps everything.
    paint(8, 1, 1);
    setReadOnly("Levels Packs/edges.tlp", true);
    press(ed, InsertLevelButton);
    ASSERT_EQ(ed.question.kind, QuestionKind::UnsavedChanges);
    pressKey(ed, 'd');
    EXPECT_TRUE(ed.statusIsError);
    EXPECT_NE(strstr(ed.status, "the pack is unchanged"), nullptr);
    EXPECT_EQ(ed.levelCount, 1);
    EXPECT_EQ(ed.grid[cellIndex(1, 1)].code, 8);
    EXPECT_TRUE(ed.modified);
    EXPECT_EQ(read("Levels Packs/edges.tlp"), before);
}

// A pack whose count line claims more levels than the file holds opens with the levels that are there, and
// no level is added past the largest count.
TEST_F(EditorSession, CountsTheFileCannotBackAreToldAndTheLevelsThereWorkedWith)
{
    std::string text = distinctPack(3);
    text.replace(0, 1, "2147483647");
    open("claims", text);
    EXPECT_EQ(ed.levelCount, 3);
    EXPECT_TRUE(ed.statusIsError);
    EXPECT_NE(strstr(ed.status, "says it holds 2147483647 levels, but the file holds 3"), nullptr) << ed.status;
    press(ed, InsertLevelButton);
    EXPECT_EQ(ed.levelCount, 4);
    EXPECT_EQ(read("Levels Packs/claims.tlp").substr(0, 2), "4\n");

    const std::string before = read("Levels Packs/claims.tlp");
    ed.levelCount = LEVEL_COUNT_MAX;   // as a pack of that many levels would have it
    for (int b : {InsertLevelButton, DuplicateLevelButton}) {
        press(ed, b);
        EXPECT_NE(strstr(ed.status, "the most a pack can count"), nullptr) << ed.status;
        EXPECT_EQ(ed.levelCount, LEVEL_COUNT_MAX) << "never wrapped";
    }
    EXPECT_EQ(read("Levels Packs/claims.tlp"), before);
}

// Another program (a second TLES) writes the pack while a level is open: the next write asks first.
TEST_F(EditorSession, APackChangedOnDiskIsAskedAboutBeforeItIsWrittenOver)
{
    open("shared", distinctPack(2));
    auto otherProgramPaints = [](int level, int code) {
        PackLevel theirs;
        theirs.levelNumber = level;
        ASSERT_TRUE(readPackLevel("Levels Packs/shared.tlp", theirs).ok());
        theirs.levelCount = 2;
        theirs.bricks[5] = code;
        ASSERT_TRUE(savePackLevel("Levels Packs/shared.tlp", theirs).ok());
    };
    paint(7, 3, 3);
    otherProgramPaints(2, 4);
    const std::string theirs = read("Levels Packs/shared.tlp");
    press(ed, SaveButton);
    ASSERT_EQ(ed.question.kind, QuestionKind::PackChanged);
    EXPECT_STREQ(ed.buttons[AnswerFirstButton].label, "Overwrite (O)");
    EXPECT_STREQ(ed.buttons[AnswerSecondButton].label, "Reload (R)");
    pressKey(ed, 27);   // Cancel: nothing written, the edits stay
    EXPECT_FALSE(questionOpen(ed));
    EXPECT_TRUE(ed.modified);
    EXPECT_EQ(read("Levels Packs/shared.tlp"), theirs);

    // Reload shows the level as the pack now holds it.
    otherProgramPaints(1, 6);
    press(ed, SaveButton);
    pressKey(ed, 'r');
    EXPECT_FALSE(questionOpen(ed));
    EXPECT_FALSE(ed.modified);
    EXPECT_EQ(ed.grid[5].code, 6);
    EXPECT_EQ(ed.grid[cellIndex(3, 3)].code, 0);

    // Overwrite writes this level over the pack as it now is: the other program's other levels stay.
    paint(7, 3, 3);
    otherProgramPaints(2, 9);
    press(ed, SaveButton);
    ASSERT_EQ(ed.question.kind, QuestionKind::PackChanged);
    pressKey(ed, 'o');
    EXPECT_FALSE(ed.modified);
    PackLevel first, second;
    first.levelNumber = 1;
    second.levelNumber = 2;
    ASSERT_TRUE(readPackLevel("Levels Packs/shared.tlp", first).ok());
    ASSERT_TRUE(readPackLevel("Levels Packs/shared.tlp", second).ok());
    EXPECT_EQ(first.bricks[cellIndex(3, 3)], 7);
    EXPECT_EQ(second.bricks[5], 9);

    // A level change asks too; once written, the editor's own writes never count as another program's.
    otherProgramPaints(2, 3);
    press(ed, MoveDownButton);
    ASSERT_EQ(ed.question.kind, QuestionKind::PackChanged);
    leftAt(ed, buttonAt(ed, AnswerFirstButton));
    EXPECT_EQ(ed.levelNumber, 2);
    press(ed, MoveUpButton);
    EXPECT_FALSE(questionOpen(ed));
    EXPECT_EQ(ed.levelNumber, 1);
    EXPECT_FALSE(scratchLeft());
}

// ---------------------------------------------------------------------------
// Keys
// ---------------------------------------------------------------------------

TEST_F(EditorSession, KeysPickTheBrushStepLevelsSaveAndGoToATypedLevel)
{
    createThroughForm("keys", 5);
    pressKey(ed, '4');
    EXPECT_EQ(ed.brush, 4);
    pressKey(ed, ']');
    EXPECT_EQ(ed.levelNumber, 2);
    pressSpecialKey(ed, SpecialKey::PageDown);
    EXPECT_EQ(ed.levelNumber, 3);
    pressSpecialKey(ed, SpecialKey::PageUp);
    pressKey(ed, '[');
    EXPECT_EQ(ed.levelNumber, 1);

    leftAt(ed, cellAt(0, 0));
    pressKey(ed, 19, MOD_CTRL);   // Ctrl+S
    EXPECT_FALSE(ed.modified);

    // G, digits, Enter; the digits do not change the brush meanwhile.
    pressKey(ed, 'g');
    pressKey(ed, '4');
    pressKey(ed, 8);
    for (char c : std::string("5\r")) {
        pressKey(ed, static_cast<unsigned char>(c));
    }
    EXPECT_EQ(ed.levelNumber, 5);
    EXPECT_EQ(ed.brush, 4);
    for (char c : std::string("G9\r")) {
        pressKey(ed, static_cast<unsigned char>(c));
    }
    EXPECT_EQ(ed.levelNumber, 5);
    EXPECT_NE(strstr(ed.status, "no level 9"), nullptr);
    pressKey(ed, 'g');
    pressKey(ed, 27);   // Esc ends the typing, not the program
    EXPECT_FALSE(ed.goToOpen);
    EXPECT_FALSE(ed.quitRequested);

    // While a pack name is typed, keys are the name's.
    press(ed, NewPackButton);
    press(ed, NameFieldButton);
    type(ed, "g]2");
    EXPECT_STREQ(typed(ed), "g2");
    EXPECT_EQ(ed.brush, 4);
    EXPECT_FALSE(ed.goToOpen);
}

// ---------------------------------------------------------------------------
// Names and the legend
// ---------------------------------------------------------------------------

TEST(EditorNames, PackNamesAreFileNamesEverywhere)
{
    char reason[STATUS_SIZE];
    for (const char* good : {"a.b-c_D9", "Level.Pack.2", "COM10", "console"}) {
        EXPECT_TRUE(validPackName(good, reason, sizeof reason)) << good;
    }
    for (const char* bad : {"", ".hidden", "a b", "a:b", "con", "NUL.tlp", "com1", "Lpt9.x", "a/b"}) {
        EXPECT_FALSE(validPackName(bad, reason, sizeof reason)) << bad;
        EXPECT_NE(reason[0], '\0');
    }
    EXPECT_FALSE(validPackName(std::string(PACK_NAME_MAX + 1, 'a').c_str(), reason, sizeof reason));
}

TEST(EditorLegend, NamesEachCodeAsTheGameDoes)
{
    const char* expected[] = {"Eraser", "Red",        "Blue",  "Orange", "Pink",
                              "Green",  "Light blue", "White", "Grey",   "Iron"};
    for (int code = 0; code <= BRICK_CODE_MAX; ++code) {
        EXPECT_STREQ(brickName(code), expected[code]);
    }
    EXPECT_STREQ(brickName(10), "");
}

// ---------------------------------------------------------------------------
// The level check
// ---------------------------------------------------------------------------

TEST(EditorCheckLine, EachVerdictOfTheCheckerReads)
{
    CheckRun run;
    ASSERT_TRUE(readCheckLine(
        "Levels Packs/a level pack.tlp level 2: cleared 16/16 runs, median 41.2 s, longest 80.0 s", 2, run));
    EXPECT_EQ(run.tone, CheckTone::Good);
    std::string note;
    for (int i = 0; i < run.noteLines; ++i) {
        EXPECT_LE(strlen(run.note[i]), static_cast<size_t>(CHECK_LINE_CHARS));
        note += std::string(run.note[i]) + " ";
    }
    EXPECT_EQ(note, "Level 2: cleared by 16 of 16 runs, median 41.2 s, longest 80.0 s. ");
    ASSERT_TRUE(readCheckLine("p.tlp level 2: cleared 16/16 runs, median 141.2 s, longest 580.0 s, rating 4 (11/16 "
                              "runs with 3 lives, median 138.5 s)",
                              2, run));
    note.clear();
    for (int i = 0; i < run.noteLines; ++i) {
        note += std::string(run.note[i]) + " ";
    }
    EXPECT_NE(note.find("Rating 4 of 5 (11/16 won with 3 lives, median 138.5 s). "), std::string::npos) << note;

    ASSERT_TRUE(readCheckLine("p.tlp level 2: cleared 14/16 runs, median 41.2 s, longest 1200.0 s, hangs 2", 2, run));
    EXPECT_EQ(run.tone, CheckTone::Bad);
    EXPECT_NE(strstr(run.note[0], "2 of 16 runs"), nullptr);
    ASSERT_TRUE(readCheckLine(
        "p.tlp level 7: cleared 0/16 runs, median 0.0 s, longest 0.0 s, unreachable: row 3 column 4", 7, run));
    EXPECT_EQ(run.tone, CheckTone::Bad);
    ASSERT_TRUE(readCheckLine("p.tlp level 1: cleared 16/16 runs, median 0.0 s, longest 0.0 s, empty", 1, run));
    EXPECT_EQ(run.tone, CheckTone::Warning);

    for (const char* other : {"p.tlp level 3: cleared 1/1 runs, median 1 s, longest 1 s",   // another level
                              "4 levels: 3 cleared by every run, 0 hang, 1 unreachable, 0 empty",
                              "p.tlp level 2: cleared 99999999999999999999/", "", "p.tlp level 2: cleared "}) {
        EXPECT_FALSE(readCheckLine(other, 2, run)) << other;
    }
}

class EditorCheck : public EditorSession {
protected:
    std::string oldPath;
    fs::path bin;

    void SetUp() override
    {
        EditorSession::SetUp();
        oldPath = getenv("PATH") ? getenv("PATH") : "";
        bin = dir / "bin";
        fs::create_directories(bin);
        setenv("PATH", (bin.string() + ":/usr/bin:/bin").c_str(), 1);
    }
    void TearDown() override
    {
        stopCheck(ed, "");
        setenv("PATH", oldPath.c_str(), 1);
        EditorSession::TearDown();
    }
    // A stand-in tlpcheck: records its arguments, prints output and exits with status.
    void standIn(const std::string& output, int status, const char* before = "")
    {
        const fs::path script = bin / CHECKER_NAME;
        write(script.string(), std::string("#!/bin/sh\n") + before + "echo \"$@\" > \"" + (dir / "args").string() +
                                   "\"\nprintf '" + output + "'\nexit " + std::to_string(status) + "\n");
        fs::permissions(script, fs::perms::owner_all);
    }
    // Polls as frames would, for at most ten seconds.
    void waitForVerdict()
    {
        for (int frame = 0; frame < 1000 && ed.check.running; ++frame) {
            pollCheck(ed, frame * 10.0);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_FALSE(ed.check.running);
    }
    std::string note() const
    {
        std::string text;
        for (int i = 0; i < ed.check.noteLines; ++i) {
            text += std::string(ed.check.note[i]) + " ";
        }
        return text;
    }
};

TEST_F(EditorCheck, TheCheckerIsFoundBesideTheEditorFirstThenOnPath)
{
    standIn("", 0);
    const fs::path beside = dir / "app";
    fs::create_directories(beside);
    std::string found;
    EXPECT_TRUE(findChecker((beside / "tles").c_str(), (":" + bin.string()).c_str(), found));
    EXPECT_EQ(found, (bin / CHECKER_NAME).string());
    fs::copy_file(bin / CHECKER_NAME, beside / CHECKER_NAME);
    EXPECT_TRUE(findChecker((beside / "tles").c_str(), bin.c_str(), found));
    EXPECT_EQ(found, (beside / CHECKER_NAME).string());
    fs::permissions(bin / CHECKER_NAME, fs::perms::owner_read);
    EXPECT_FALSE(findChecker("/nowhere/tles", bin.c_str(), found)) << "a file that cannot run is no checker";
    EXPECT_FALSE(findChecker(nullptr, nullptr, found));
}

TEST_F(EditorCheck, PlayLevelSavesFirstWhenAskedThenTheGamePlaysThatLevelInAWindow)
{
    open("checked", distinctPack(3));
    press(ed, NextLevelButton);
    const fs::path game = bin / GAME_NAME;
    write(game.string(), "#!/bin/sh\necho \"$@\" > \"" + (dir / "args").string() + "\"\n");
    fs::permissions(game, fs::perms::owner_all);
    press(ed, ClearLevelButton);
    ASSERT_TRUE(ed.modified);
    pressSpecialKey(ed, SpecialKey::F5);
    ASSERT_EQ(ed.question.kind, QuestionKind::UnsavedChanges);
    answerQuestion(ed, Answer::First);
    EXPECT_FALSE(ed.modified) << "saved: the game plays what the editor shows";
    ASSERT_TRUE(ed.playTest.running);
    bool back = false;
    for (int frame = 0; frame < 1000 && !back; ++frame) {
        back = pollPlayTest(ed);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(back);
    EXPECT_EQ(read((dir / "args").string()), "--pack checked.tlp --level 2 --window\n");
    EXPECT_NE(std::string(ed.status).find("Back from playing level 2"), std::string::npos) << ed.status;
}

TEST_F(EditorCheck, CheckRunsTheCheckerOnTheSavedLevelAndShowsItsVerdict)
{
    open("checked", distinctPack(3));
    press(ed, NextLevelButton);
    standIn("Levels Packs/checked.tlp level 2: cleared 15/16 runs, median 12.5 s, longest 30.1 s\\n"
            "1 levels: 0 cleared by every run, 0 hang, 0 unreachable, 0 empty\\n",
            0);
    press(ed, CheckButton);
    EXPECT_TRUE(ed.check.running);
    EXPECT_STREQ(ed.buttons[CheckButton].label, "Stop check");
    EXPECT_NE(note().find("Checking level 2"), std::string::npos);
    waitForVerdict();
    EXPECT_EQ(read((dir / "args").string()), "--rate --level 2 Levels Packs/checked.tlp\n");
    EXPECT_EQ(note(), "Level 2: cleared by 15 of 16 runs, median 12.5 s, longest 30.1 s. ");
    EXPECT_EQ(ed.check.tone, CheckTone::Warning);
    EXPECT_STREQ(ed.buttons[CheckButton].label, "Check level");

    // A pack the checker cannot read: its own message.
    standIn("Cannot read levels file: checked.tlp: level 2, brick row 1 column 1: brick code 12\\n", 2);
    press(ed, CheckButton);
    waitForVerdict();
    EXPECT_EQ(ed.check.tone, CheckTone::Bad);
    EXPECT_NE(note().find("Check failed: Cannot read levels"), std::string::npos) << note();

    // Unsaved changes: saved first, or the check is refused with a note.
    paint(3, 3, 3);
    press(ed, CheckButton);
    ASSERT_EQ(ed.question.kind, QuestionKind::SaveBeforeCheck);
    pressKey(ed, 27);
    EXPECT_FALSE(ed.check.running);
    EXPECT_NE(note().find("unsaved changes"), std::string::npos);
    press(ed, CheckButton);
    pressKey(ed, 's');
    EXPECT_FALSE(ed.modified);
    EXPECT_TRUE(ed.check.running);
    waitForVerdict();
}

TEST_F(EditorCheck, ALongCheckCanBeStoppedAndAMissingCheckerIsANote)
{
    open("slow", distinctPack(1));
    standIn("", 0, "sleep 30\n");
    press(ed, CheckButton);
    ASSERT_TRUE(ed.check.running);
    const pid_t child = ed.check.pid;
    pollCheck(ed, 0);
    pollCheck(ed, 2500);
    EXPECT_NE(note().find("2 s"), std::string::npos) << note();
    press(ed, CheckButton);
    EXPECT_FALSE(ed.check.running);
    EXPECT_EQ(note(), "Check stopped. ");
    EXPECT_EQ(kill(child, 0), -1) << "the child is ended and reaped";

    fs::remove(bin / CHECKER_NAME);
    press(ed, CheckButton);
    EXPECT_FALSE(ed.check.running);
    EXPECT_EQ(ed.check.tone, CheckTone::Bad);
    EXPECT_NE(note().find("tlpcheck"), std::string::npos);
}

}   // namespace
