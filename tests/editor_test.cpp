// Level editor logic without a window: pointer positions on the scene plane in, state and pack files out.
#include "tests/editor_fixture.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

// ---------------------------------------------------------------------------
// Pointer mapping, screens and the click dispatch
// ---------------------------------------------------------------------------

TEST(EditorPointer, WindowPixelsMapOntoTheScenePlane)
{
    double x = 0, y = 0;
    windowToScene(480, 325, 960, 650, x, y);
    EXPECT_NEAR(x, 0, 1e-9);
    EXPECT_NEAR(y, 0, 1e-9);
    windowToScene(0, 0, 960, 650, x, y);
    EXPECT_NEAR(x, -42.8, 0.05);
    EXPECT_NEAR(y, 29.0, 0.05);
    // A window squashed to height 0 maps like height 1 rather than dividing by zero.
    windowToScene(10, 0, 960, 0, x, y);
    EXPECT_TRUE(std::isfinite(x) && std::isfinite(y));

    // Resized narrower, the window still shows the scene's whole width (scaled down); wider, its height.
    windowToScene(0, 0, 480, 650, x, y);
    EXPECT_NEAR(x, -42.8, 0.05);
    windowToScene(0, 0, 1920, 650, x, y);
    EXPECT_NEAR(y, 29.0, 0.05);
    double wx = 0, wy = 0;
    sceneToWindow(-42.8, 29.0, 480, 650, wx, wy);
    EXPECT_NEAR(wx, 0, 0.5);
    EXPECT_GT(sceneFieldOfView(480, 650), FIELD_OF_VIEW);
    EXPECT_EQ(sceneFieldOfView(960, 650), FIELD_OF_VIEW);
}

TEST_F(EditorTest, StartScreenHidesEditButtonsAndTheyStayInert)
{
    EXPECT_EQ(currentScreen(ed), EditorScreen::StartScreen);
    for (int b : {NextLevelButton, PreviousLevelButton, SaveButton, GreyHitsButton}) {
        leftAt(ed, buttonAt(ed, b));
        EXPECT_FALSE(ed.buttons[b].hovered);
    }
    EXPECT_FALSE(ed.loadFailed);
    EXPECT_EQ(ed.greyHits, 0);
    EXPECT_TRUE(fs::is_empty("Levels Packs"));
    EXPECT_EQ(ed.status[0], '\0');
}

TEST_F(EditorTest, ButtonEdgesAreOutside)
{
    const EditorButton& b = ed.buttons[NewPackButton];
    updateHover(ed, b.x + b.halfWidth, b.y);
    EXPECT_FALSE(b.hovered);
    updateHover(ed, b.x, b.y - b.halfHeight);
    EXPECT_FALSE(b.hovered);
    updateHover(ed, b.x + b.halfWidth - 0.01, b.y + b.halfHeight - 0.01);
    EXPECT_TRUE(b.hovered);
}

TEST_F(EditorTest, OnlyTheOpenFormsButtonsReactAndHoverOutlivesTheClick)
{
    press(ed, LoadPackButton);
    EXPECT_EQ(currentScreen(ed), EditorScreen::PackListForm);
    // "Create" shares its place with "Load"; only "Load" is tested on this form.
    updateHover(ed, ed.buttons[CreateButton].x, ed.buttons[CreateButton].y);
    EXPECT_TRUE(ed.buttons[LoadButton].hovered);
    EXPECT_FALSE(ed.buttons[CreateButton].hovered);
    press(ed, CancelListButton);
    EXPECT_EQ(currentScreen(ed), EditorScreen::StartScreen);
    // Without a motion the flags stay: a second click acts on "Cancel" again, which is harmless.
    pressLeft(ed);
    EXPECT_EQ(currentScreen(ed), EditorScreen::StartScreen);
}

// ---------------------------------------------------------------------------
// Palette and grid
// ---------------------------------------------------------------------------

TEST_F(EditorTest, PaintingCellsWithTheBrush)
{
    createThroughForm("grid", 1);
    ASSERT_EQ(currentScreen(ed), EditorScreen::EditScreen);

    // A swatch click selects and paints nothing.
    leftAt(ed, swatchAt(3));
    EXPECT_EQ(ed.brush, 3);
    EXPECT_EQ(ed.hoveredSwatch, -1);
    EXPECT_FALSE(ed.modified);

    // The eraser on an empty cell changes nothing.
    leftAt(ed, swatchAt(0));
    leftAt(ed, cellAt(4, 4));
    EXPECT_FALSE(ed.modified);

    leftAt(ed, swatchAt(3));
    leftAt(ed, cellAt(4, 4));
    EXPECT_TRUE(ed.modified);
    EXPECT_EQ(ed.grid[4 * 11 + 4].code, 3);
    EXPECT_TRUE(ed.grid[4 * 11 + 4].present);

    // Saving clears modified; painting the same code again does not set it.
    press(ed, SaveButton);
    ASSERT_FALSE(ed.modified);
    leftAt(ed, cellAt(4, 4));
    EXPECT_FALSE(ed.modified);

    // The eraser on a brick empties it and sets modified.
    leftAt(ed, swatchAt(0));
    leftAt(ed, cellAt(4, 4));
    EXPECT_TRUE(ed.modified);
    EXPECT_EQ(ed.grid[4 * 11 + 4].code, 0);
    EXPECT_FALSE(ed.grid[4 * 11 + 4].present);
}

TEST_F(EditorTest, GapsAndHiddenCellsArePaintedNever)
{
    createThroughForm("gaps", 1);
    leftAt(ed, swatchAt(5));
    // Between columns 0 and 1 (x -15.8 .. -15.7) and between rows 0 and 1.
    updateHover(ed, -15.75, 24.5);
    EXPECT_EQ(ed.hoveredCell, -1);
    updateHover(ed, -17.5, 23.45);
    EXPECT_EQ(ed.hoveredCell, -1);
    pressLeft(ed);
    EXPECT_FALSE(ed.modified);

    // Cell (13, 5) lies under the form panel: a click on the panel must not change it.
    press(ed, NewPackButton);
    leftAt(ed, cellAt(13, 5));
    EXPECT_EQ(ed.grid[13 * 11 + 5].code, 0);
    EXPECT_FALSE(ed.modified);
    EXPECT_TRUE(ed.newPackFormOpen);
}

TEST_F(EditorTest, PropertiesStepAndWrap)
{
    createThroughForm("props", 1);
    const Point grey = buttonAt(ed, GreyHitsButton);
    const Point bonus = buttonAt(ed, BonusChanceButton);
    const Point background = buttonAt(ed, BackgroundButton);

    // greyHits: no lower step below 1, and a stray 0 from a file stays 0 on a right press.
    ed.greyHits = 1;
    rightAt(ed, grey);
    EXPECT_EQ(ed.greyHits, 1);
    EXPECT_FALSE(ed.modified);
    ed.greyHits = 0;
    rightAt(ed, grey);
    EXPECT_EQ(ed.greyHits, 0);
    leftAt(ed, grey);
    EXPECT_EQ(ed.greyHits, 1);
    EXPECT_TRUE(ed.modified);
    ed.greyHits = INT_MAX;
    leftAt(ed, grey);
    EXPECT_EQ(ed.greyHits, INT_MAX);

    ed.bonusChance = 95;
    leftAt(ed, bonus);
    EXPECT_EQ(ed.bonusChance, 100);
    leftAt(ed, bonus);
    EXPECT_EQ(ed.bonusChance, 0);
    ed.bonusChance = 5;
    rightAt(ed, bonus);
    EXPECT_EQ(ed.bonusChance, 0);
    rightAt(ed, bonus);
    EXPECT_EQ(ed.bonusChance, 100);
    // Off-step values keep their offset: 33, 38 ... 98, then 0; 3 steps down to 100.
    ed.bonusChance = 33;
    for (int i = 0; i < 13; ++i) {
        leftAt(ed, bonus);
    }
    EXPECT_EQ(ed.bonusChance, 98);
    leftAt(ed, bonus);
    EXPECT_EQ(ed.bonusChance, 0);
    ed.bonusChance = 3;
    rightAt(ed, bonus);
    EXPECT_EQ(ed.bonusChance, 100);
    ed.bonusChance = INT_MAX;
    leftAt(ed, bonus);
    EXPECT_EQ(ed.bonusChance, 0);

    ed.background = 1;
    for (int expected : {2, 3, 4, 1}) {
        leftAt(ed, background);
        EXPECT_EQ(ed.background, expected);
    }
    rightAt(ed, background);
    EXPECT_EQ(ed.background, 4);
    rightAt(ed, background);
    EXPECT_EQ(ed.background, 3);
    ed.background = 7;
    leftAt(ed, background);
    EXPECT_EQ(ed.background, 1);
    ed.background = 7;
    rightAt(ed, background);
    EXPECT_EQ(ed.background, 6);
}

// ---------------------------------------------------------------------------
// New packs and the name entry
// ---------------------------------------------------------------------------

TEST_F(EditorTest, NewPackOfThreeLevelsOpensAtLevelOne)
{
    createThroughForm("three", 3);
    EXPECT_EQ(currentScreen(ed), EditorScreen::EditScreen);
    EXPECT_STREQ(ed.packPath, "Levels Packs/three.tlp");
    EXPECT_EQ(read("Levels Packs/three.tlp"), newPackText(3));
    EXPECT_EQ(ed.levelNumber, 1);
    EXPECT_EQ(ed.levelCount, 3);
    EXPECT_EQ(ed.greyHits, 1);
    EXPECT_EQ(ed.bonusChance, 50);
    EXPECT_EQ(ed.background, 1);
    for (const EditorCell& c : ed.grid) {
        EXPECT_FALSE(c.present);
    }
    EXPECT_NEAR(ed.grid[0].x, -70, 1e-9);
    EXPECT_NEAR(ed.grid[0].y, 52.5, 1e-9);
    // After "Create" the form keeps the count and empties the name.
    press(ed, NewPackButton);
    EXPECT_EQ(ed.newLevelCount, 3);
    EXPECT_STREQ(typed(ed), "");
}

TEST_F(EditorTest, CreateWithAnEmptyNameWritesNothingAndCancelResetsTheForm)
{
    press(ed, NewPackButton);
    press(ed, MoreButton);
    press(ed, CreateButton);
    EXPECT_TRUE(ed.newPackFormOpen);
    EXPECT_TRUE(fs::is_empty("Levels Packs"));

    press(ed, LessButton);
    press(ed, LessButton);
    EXPECT_EQ(ed.newLevelCount, 1);
    press(ed, MoreButton);
    press(ed, NameFieldButton);
    type(ed, "abc");
    press(ed, CancelNewButton);
    EXPECT_FALSE(ed.newPackFormOpen);
    press(ed, NewPackButton);
    EXPECT_EQ(ed.newLevelCount, 1);
    EXPECT_STREQ(typed(ed), "");
}

TEST_F(EditorTest, NameEntryAcceptsItsCharacterSetUpToWhatThePathHolds)
{
    press(ed, NewPackButton);
    pressKey(ed, 'x');   // not focused yet: ignored
    EXPECT_STREQ(typed(ed), "");
    press(ed, NameFieldButton);
    EXPECT_TRUE(ed.nameFocused);
    pressKey(ed, 8);   // Backspace on an empty name
    EXPECT_STREQ(typed(ed), "");
    // Letters, digits, '-', '_' and '.' (never first): a file name everywhere, and one config.ini holds.
    type(ed, ".a:b! c_D9@/-.");
    EXPECT_STREQ(typed(ed), "abc_D9-.");
    pressKey(ed, 8);
    EXPECT_STREQ(typed(ed), "abc_D9-");
    pressKey(ed, 13);
    EXPECT_FALSE(ed.nameFocused);
    pressKey(ed, 'z');
    EXPECT_STREQ(typed(ed), "abc_D9-");

    // Any left press ends typing.
    press(ed, NameFieldButton);
    leftAt(ed, {-30, -28});
    EXPECT_FALSE(ed.nameFocused);

    press(ed, NameFieldButton);
    for (int i = 0; i < 200; ++i) {
        pressKey(ed, 'n');
    }
    EXPECT_EQ(strlen(typed(ed)), static_cast<size_t>(PACK_NAME_MAX));
    press(ed, CreateButton);
    const std::string longest = "Levels Packs/abc_D9-" + std::string(PACK_NAME_MAX - 7, 'n') + ".tlp";
    EXPECT_STREQ(ed.packPath, longest.c_str());
    EXPECT_TRUE(fs::exists(longest));
}

TEST_F(EditorTest, ATypedNameThatHadToChangeSaysHowAndKeepsOneExtension)
{
    press(ed, NewPackButton);
    press(ed, NameFieldButton);
    type(ed, "../evil x;$(id)/");
    EXPECT_NE(strstr(ed.status, "'/' left out"), nullptr) << ed.status;
    type(ed, ".tlp");
    EXPECT_STREQ(typed(ed), "evilxid.tlp");
    press(ed, CreateButton);
    EXPECT_STREQ(ed.packPath, "Levels Packs/evilxid.tlp");
    EXPECT_FALSE(ed.statusIsError);
    EXPECT_NE(strstr(ed.status, "left out of the name as typed: ../ ;$()/"), nullptr) << ed.status;
}

TEST_F(EditorTest, APackThatCannotBeCreatedKeepsTheOpenPackAndTheForm)
{
    createThroughForm("first", 2);
    press(ed, NextLevelButton);
    leftAt(ed, swatchAt(1));
    leftAt(ed, cellAt(2, 2));
    fs::remove_all("Levels Packs");
    fs::create_directories("Levels Packs/taken.tlp");   // a folder where the file should go
    press(ed, NewPackButton);
    ASSERT_EQ(ed.question.kind, QuestionKind::UnsavedChanges);   // asked before the form, never over it
    EXPECT_FALSE(ed.newPackFormOpen);
    pressKey(ed, 'd');   // discarded only once the new pack is open: it never opens
    ASSERT_TRUE(ed.newPackFormOpen);
    press(ed, NameFieldButton);
    type(ed, "taken");
    press(ed, CreateButton);
    EXPECT_FALSE(questionOpen(ed));   // the edits were given up already
    EXPECT_TRUE(ed.newPackFormOpen);
    EXPECT_STREQ(typed(ed), "taken");
    EXPECT_TRUE(ed.statusIsError);
    EXPECT_NE(strstr(ed.status, "Levels Packs/taken.tlp"), nullptr);
    EXPECT_STREQ(ed.packPath, "Levels Packs/first.tlp");
    EXPECT_EQ(ed.levelNumber, 2);
    EXPECT_EQ(ed.levelCount, 2);
    EXPECT_TRUE(ed.modified);
    EXPECT_EQ(ed.grid[2 * 11 + 2].code, 1);
}

// ---------------------------------------------------------------------------
// Moving between levels
// ---------------------------------------------------------------------------

TEST_F(EditorTest, NextOnTheLastAndPreviousOnTheFirstLevelReRead)
{
    createThroughForm("nav", 2);
    PackLevel level;
    level.levelCount = 2;
    level.levelNumber = 2;
    level.greyHits = 7;
    ASSERT_TRUE(savePackLevel("Levels Packs/nav.tlp", level).ok());
    level.levelNumber = 1;
    level.greyHits = 4;
    ASSERT_TRUE(savePackLevel("Levels Packs/nav.tlp", level).ok());

    // Previous on level 1 re-reads it, once its edit is discarded.
    stepBackground(ed, +1);
    press(ed, PreviousLevelButton);
    ASSERT_EQ(ed.question.kind, QuestionKind::UnsavedChanges);
    pressKey(ed, 'D');
    EXPECT_EQ(ed.levelNumber, 1);
    EXPECT_EQ(ed.greyHits, 4);
    EXPECT_EQ(ed.background, 1);
    EXPECT_FALSE(ed.modified);

    press(ed, NextLevelButton);
    EXPECT_EQ(ed.levelNumber, 2);
    EXPECT_EQ(ed.greyHits, 7);
    EXPECT_FALSE(ed.modified);
    // Next on the last level re-reads it, dropping the edit.
    stepGreyHits(ed, +1);
    press(ed, NextLevelButton);
    pressKey(ed, 'd');
    EXPECT_EQ(ed.levelNumber, 2);
    EXPECT_EQ(ed.greyHits, 7);
    EXPECT_FALSE(ed.modified);

    press(ed, PreviousLevelButton);
    EXPECT_EQ(ed.levelNumber, 1);
    EXPECT_EQ(ed.greyHits, 4);
}

TEST_F(EditorTest, AFailedReadKeepsTheLevelItsNumberAndItsEdits)
{
    createThroughForm("gone", 3);
    stepGreyHits(ed, +1);
    fs::remove("Levels Packs/gone.tlp");
    press(ed, NextLevelButton);
    pressKey(ed, 'd');
    EXPECT_EQ(ed.levelNumber, 1);
    EXPECT_EQ(ed.greyHits, 2);
    EXPECT_TRUE(ed.modified);
    EXPECT_TRUE(ed.loadFailed);
    EXPECT_TRUE(ed.statusIsError);
    EXPECT_EQ(currentScreen(ed), EditorScreen::EditScreen);
}

// ---------------------------------------------------------------------------
// The pack list
// ---------------------------------------------------------------------------

TEST_F(EditorTest, PackListIsSortedWrapsAndLoadsTheChosenPack)
{
    write("Levels Packs/b.tlp", newPackText(2));
    write("Levels Packs/a.tlp", newPackText(4));
    write("Levels Packs/notes.txt", "not a pack");
    press(ed, LoadPackButton);
    ASSERT_EQ(ed.packNames, 2);
    EXPECT_EQ(ed.lastPackIndex, 1);
    EXPECT_STREQ(ed.PackList[0], "a.tlp");
    EXPECT_STREQ(ed.PackList[1], "b.tlp");
    press(ed, MoreButton);
    EXPECT_EQ(ed.packIndex, 1);
    press(ed, MoreButton);
    EXPECT_EQ(ed.packIndex, 0);
    press(ed, LessButton);
    EXPECT_EQ(ed.packIndex, 1);
    press(ed, LoadButton);
    EXPECT_FALSE(ed.packListOpen);
    EXPECT_STREQ(ed.packPath, "Levels Packs/b.tlp");
    EXPECT_EQ(ed.levelCount, 2);
    EXPECT_EQ(ed.levelNumber, 1);

    // Another pack while one is open: level 1 and its own count.
    press(ed, NextLevelButton);
    press(ed, LoadPackButton);
    press(ed, MoreButton);
    press(ed, LoadButton);
    EXPECT_STREQ(ed.packPath, "Levels Packs/a.tlp");
    EXPECT_EQ(ed.levelCount, 4);
    EXPECT_EQ(ed.levelNumber, 1);

    // A shorter listing brings the index back inside the list.
    fs::remove("Levels Packs/b.tlp");
    ed.packIndex = 1;
    press(ed, LoadPackButton);
    EXPECT_EQ(ed.packIndex, 0);
}

TEST_F(EditorTest, ListingStopsAtItsCapacityAndSkipsNamesTooLongToOpen)
{
    for (int i = 0; i < PACK_LIST_CAPACITY + 5; ++i) {
        char name[40];
        snprintf(name, sizeof name, "Levels Packs/p%03d.tlp", i);
        write(name, newPackText(1));
    }
    write("Levels Packs/" + std::string(PACK_NAME_MAX - 3, 'a') + ".tlp", newPackText(1));   // 83 characters
    write("Levels Packs/" + std::string(PACK_NAME_MAX - 4, 'a') + ".tlp", newPackText(1));   // 82: fits
    listPackFiles(ed);
    EXPECT_EQ(ed.packNames, PACK_LIST_CAPACITY);
    EXPECT_EQ(ed.lastPackIndex, PACK_LIST_CAPACITY - 1);
    EXPECT_EQ(strlen(ed.PackList[0]), static_cast<size_t>(PACK_NAME_MAX));
    EXPECT_STREQ(ed.PackList[1], "p000.tlp");
    ed.packIndex = 0;
    loadSelectedPack(ed);
    EXPECT_TRUE(ed.packLoaded);
}

TEST_F(EditorTest, LoadingFromAnEmptyOrBrokenListKeepsTheOpenPack)
{
    press(ed, LoadPackButton);
    EXPECT_EQ(ed.packNames, 0);
    press(ed, LoadButton);
    EXPECT_TRUE(ed.loadFailed);
    EXPECT_EQ(currentScreen(ed), EditorScreen::StartScreen);

    createThroughForm("good", 2);
    press(ed, NextLevelButton);
    leftAt(ed, swatchAt(6));
    leftAt(ed, cellAt(1, 1));
    write("Levels Packs/hbad.tlp", "2\n1 1 50 1\n0 0 oops\n");
    press(ed, LoadPackButton);
    pressKey(ed, 'd');
    ASSERT_STREQ(ed.PackList[1], "hbad.tlp");
    ed.packIndex = 1;
    press(ed, LoadButton);
    EXPECT_TRUE(ed.statusIsError);
    EXPECT_NE(strstr(ed.status, "oops"), nullptr);
    EXPECT_STREQ(ed.packPath, "Levels Packs/good.tlp");
    EXPECT_EQ(ed.levelNumber, 2);
    EXPECT_EQ(ed.levelCount, 2);
    EXPECT_TRUE(ed.modified);
    EXPECT_EQ(read("Levels Packs/hbad.tlp"), "2\n1 1 50 1\n0 0 oops\n");

    // The edit still goes into level 2 of the pack it came from.
    press(ed, SaveButton);
    PackLevel level;
    level.levelNumber = 2;
    ASSERT_TRUE(readPackLevel("Levels Packs/good.tlp", level).ok());
    EXPECT_EQ(level.bricks[12], 6);
}

TEST_F(EditorTest, AFirstLevelNumberedOtherwiseIsEditedAsLevelOne)
{
    std::string text = newPackText(2);
    text[2] = '2';   // "2\n2 1 50 1\n..." : the first level claims to be number 2
    write("Levels Packs/odd.tlp", text);
    press(ed, LoadPackButton);
    press(ed, LoadButton);
    EXPECT_EQ(ed.levelNumber, 1);
    leftAt(ed, swatchAt(9));
    leftAt(ed, cellAt(0, 0));
    press(ed, SaveButton);
    PackLevel second;
    second.levelNumber = 2;
    ASSERT_TRUE(readPackLevel("Levels Packs/odd.tlp", second).ok());
    EXPECT_EQ(second.bricks[0], 0);
}

// ---------------------------------------------------------------------------
// Saving
// ---------------------------------------------------------------------------

TEST_F(EditorTest, SaveWritesThroughAScratchFileAndReReads)
{
    createThroughForm("save", 2);
    press(ed, NextLevelButton);
    leftAt(ed, swatchAt(8));
    leftAt(ed, cellAt(21, 10));
    stepBonusChance(ed, -1);
    press(ed, SaveButton);
    EXPECT_FALSE(ed.modified);
    EXPECT_FALSE(scratchLeft());
    EXPECT_FALSE(ed.statusIsError);
    EXPECT_EQ(ed.levelNumber, 2);
    EXPECT_EQ(ed.bonusChance, 45);
    EXPECT_EQ(ed.grid[241].code, 8);

    std::string expected = newPackText(2);
    const size_t second = expected.find("2 1 50 1\n");
    expected.replace(second, 9, "2 1 45 1\n");
    expected.replace(expected.size() - 2, 1, "8");
    EXPECT_EQ(read("Levels Packs/save.tlp"), expected);

    // An unchanged save reproduces the file byte for byte.
    press(ed, SaveButton);
    EXPECT_EQ(read("Levels Packs/save.tlp"), expected);
}

TEST_F(EditorTest, AFailedSaveKeepsThePackTheEditsAndModified)
{
    createThroughForm("keep", 2);
    const std::string before = read("Levels Packs/keep.tlp");
    leftAt(ed, swatchAt(4));
    leftAt(ed, cellAt(3, 3));
    setReadOnly("Levels Packs/keep.tlp", true);
    press(ed, SaveButton);
    EXPECT_TRUE(ed.modified);
    EXPECT_TRUE(ed.statusIsError);
    EXPECT_NE(strstr(ed.status, "Save failed"), nullptr);
    EXPECT_NE(strstr(ed.status, "Levels Packs/keep.tlp: it is read-only"), nullptr) << ed.status;
    EXPECT_EQ(ed.grid[3 * 11 + 3].code, 4);
    EXPECT_EQ(read("Levels Packs/keep.tlp"), before);

    // A pack that has gone away is not recreated by a save.
    fs::remove("Levels Packs/keep.tlp");
    press(ed, SaveButton);
    EXPECT_TRUE(ed.modified);
    EXPECT_FALSE(fs::exists("Levels Packs/keep.tlp"));
    EXPECT_FALSE(scratchLeft());

    write("Levels Packs/keep.tlp", before);
    press(ed, SaveButton);
    EXPECT_FALSE(ed.modified);
    PackLevel level;
    level.levelNumber = 1;
    ASSERT_TRUE(readPackLevel("Levels Packs/keep.tlp", level).ok());
    EXPECT_EQ(level.bricks[3 * 11 + 3], 4);
}

}   // namespace

// ---------------------------------------------------------------------------
// A pack file given to the program
// ---------------------------------------------------------------------------

TEST_F(EditorTest, APackFileIsCheckedBroughtInAndOpenedOrItsClashAsked)
{
    fs::create_directories("mail");
    const std::string theirs = newPackText(3);
    write("mail/bad.tlp", "2\n1 1 50 1\n");
    openPackFromFile(ed, "mail/bad.tlp");
    EXPECT_TRUE(ed.statusIsError);
    EXPECT_NE(strstr(ed.status, "Not opened: mail/bad.tlp: the file ends"), nullptr) << ed.status;
    EXPECT_FALSE(ed.packLoaded);
    EXPECT_FALSE(fs::exists("Levels Packs/bad.tlp"));

    write("mail/their pack.tlp", theirs);
    openPackFromFile(ed, "mail/their pack.tlp");
    EXPECT_STREQ(ed.packPath, "Levels Packs/their_pack.tlp");
    EXPECT_EQ(ed.levelCount, 3);
    EXPECT_NE(strstr(ed.status, "comes in as \"their_pack.tlp\""), nullptr) << ed.status;

    // The person's own pack of that name: asked, and kept whatever the answer.
    write("Levels Packs/their_pack.tlp", newPackText(1));
    openPackFromFile(ed, "mail/their pack.tlp");
    ASSERT_EQ(ed.question.kind, QuestionKind::ImportClash);
    EXPECT_NE(strstr(ed.question.text, "their_pack-2.tlp"), nullptr) << ed.question.text;
    pressKey(ed, 27);
    EXPECT_EQ(read("Levels Packs/their_pack.tlp"), newPackText(1));
    EXPECT_FALSE(fs::exists("Levels Packs/their_pack-2.tlp"));
    openPackFromFile(ed, "mail/their pack.tlp");
    pressKey(ed, 'k');
    EXPECT_STREQ(ed.packPath, "Levels Packs/their_pack-2.tlp");
    EXPECT_EQ(read("Levels Packs/their_pack-2.tlp"), theirs);
    EXPECT_EQ(read("Levels Packs/their_pack.tlp"), newPackText(1));
}

TEST(EditorTexts, LongTextsFitTheirPlaceWithOneEllipsisCell)
{
    const std::string e(1, ELLIPSIS);
    EXPECT_EQ(fitText("Load level pack", 15, Elide::End), "Load level pack");
    EXPECT_EQ(fitText("Load level pack", 8, Elide::End), "Load le" + e);
    EXPECT_EQ(fitText("mypack_long_name.tlp", 11, Elide::Middle), "mypac" + e + "e.tlp");
    EXPECT_EQ(fitText("a_long_typed_name", 6, Elide::Start), e + "_name");
    EXPECT_EQ(fitText("caf\xC3\xA9\n", 10, Elide::End), "caf???");   // the font shows ASCII only
    EXPECT_EQ(fitText("x", 0, Elide::End), "");
    const std::vector<std::string> lines = wrapText("Your packs already hold a different pack.tlp here", 20, 2);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Your packs already");
    EXPECT_EQ(lines[1], "hold a different pa" + e);
    EXPECT_EQ(wrapText("short", 20, 3), std::vector<std::string>{"short"});
}
