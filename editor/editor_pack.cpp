// editor/editor_pack: the new-pack and pack-list forms and the four pack file operations.
//
// Every file operation either succeeds or leaves the open pack, the level in memory and its edits as they
// were, with the reason on the status line and on standard output: the editor never ends on a file error.
#include "editor/editor.h"

#include "platform/dirlist.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// A check's verdict speaks of a level of the pack it ran on; another pack makes it meaningless.
void forgetCheck(Editor& ed)
{
    stopCheck(ed, "");
    ed.check.noteLines = 0;
}

// The pack the editor works on; restored as a whole when switching to another pack fails.
struct OpenPack {
    char packPath[PACK_PATH_SIZE];
    int levelNumber;
    int levelCount;
    PackVersion packVersion;
};

OpenPack rememberPack(const Editor& ed)
{
    OpenPack p{};
    memcpy(p.packPath, ed.packPath, sizeof p.packPath);
    p.levelNumber = ed.levelNumber;
    p.levelCount = ed.levelCount;
    p.packVersion = ed.packVersion;
    return p;
}

void restorePack(Editor& ed, const OpenPack& p)
{
    memcpy(ed.packPath, p.packPath, sizeof ed.packPath);
    ed.levelNumber = p.levelNumber;
    ed.levelCount = p.levelCount;
    ed.packVersion = p.packVersion;
}

// Complete levels in the pack at path, read to its end; -1 when it ends inside a level or holds a bad
// value (reported when that level is opened).
int countLevelsHeld(const char* path)
{
    PackScan scan;
    if (!openPackScan(path, scan).ok()) {
        return -1;
    }
    PackLevel level;
    PackResult result;
    while (readNextLevel(scan, level, result)) {}
    closePackScan(scan);
    return result.ok() ? scan.levelsRead : -1;
}

// A count line the file cannot back: the editor works with the levels that are there.
void checkLevelCount(Editor& ed)
{
    const int held = countLevelsHeld(ed.packPath);
    if (held < 1 || (ed.levelCount >= 1 && ed.levelCount <= held)) {
        return;
    }
    char note[STATUS_SIZE];
    snprintf(note, sizeof note,
             "%s says it holds %d levels, but the file holds %d: working with those (a save writes %d).", ed.packPath,
             ed.levelCount, held, held);
    ed.levelCount = held;
    reportFailure(ed, note);
}

// "Levels Packs/" + name + suffix into packPath; false when it would not fit.
bool setPackPath(Editor& ed, const char* name, const char* suffix)
{
    const int length = snprintf(ed.packPath, sizeof ed.packPath, "%s%s%s", PACK_FOLDER_PATH, name, suffix);
    return length > 0 && length < static_cast<int>(sizeof ed.packPath);
}

// Windows refuses these as file names, with any extension.
bool reservedDeviceName(const char* name)
{
    static const char* const RESERVED[] = {"CON", "PRN", "AUX", "NUL"};
    char stem[8] = {};
    size_t length = 0;
    while (name[length] && name[length] != '.') {
        if (length == sizeof stem - 1) {
            return false;
        }
        stem[length] = static_cast<char>(toupper(static_cast<unsigned char>(name[length])));
        ++length;
    }
    for (const char* r : RESERVED) {
        if (strcmp(stem, r) == 0) {
            return true;
        }
    }
    return length == 4 && (strncmp(stem, "COM", 3) == 0 || strncmp(stem, "LPT", 3) == 0) && stem[3] >= '1' &&
           stem[3] <= '9';
}

char* typedName(Editor& ed) { return ed.buttons[NameFieldButton].label; }

}   // namespace

// ---------------------------------------------------------------------------
// File operations
// ---------------------------------------------------------------------------

bool readLevel(Editor& ed)
{
    PackLevel level;
    level.levelNumber = ed.levelNumber;
    const PackResult result = readPackLevel(ed.packPath, level, &ed.packVersion);
    if (!result.ok()) {
        ed.loadFailed = true;
        reportFailure(ed, ("Cannot read level pack: " + result.message).c_str());
        return false;
    }
    ed.status[0] = '\0';   // an old failure no longer describes what is on screen
    if (ed.levelNumber == 0) {
        ed.levelCount = level.levelCount;
        ed.levelNumber = level.levelNumber;
        if (ed.levelNumber != 1) {
            // What is shown is the first level by position; numbering it otherwise would make the next
            // save write it over a different level.
            char note[STATUS_SIZE];
            snprintf(note, sizeof note, "The first level of %s says it is number %d; edited as level 1.", ed.packPath,
                     ed.levelNumber);
            ed.levelNumber = 1;
            reportSuccess(ed, note);
        }
        checkLevelCount(ed);
    }
    ed.greyHits = level.greyHits;
    ed.bonusChance = level.bonusChance;
    ed.background = level.background;
    for (int n = 0; n < GRID_CELLS; ++n) {
        EditorCell& cell = ed.grid[n];
        const int row = n / GRID_COLUMNS;
        const int column = n % GRID_COLUMNS;
        cell.code = level.bricks[n];
        cell.present = level.bricks[n] != 0;
        cell.x = CELL_PITCH_X * (column - 20);
        cell.y = cellCentreY(row);
        cell.halfWidth = CELL_HALF_WIDTH;
        cell.halfHeight = CELL_HALF_HEIGHT;
    }
    ed.packLoaded = true;
    return true;
}

bool reloadLevel(Editor& ed)
{
    const OpenPack previous = rememberPack(ed);
    ed.levelNumber = 0;   // the count anew, from the file's start
    if (!readLevel(ed)) {
        restorePack(ed, previous);
        return false;
    }
    const int wanted = std::min(previous.levelNumber, ed.levelCount);
    if (wanted > 1) {
        ed.levelNumber = wanted;
        if (!readLevel(ed)) {
            ed.levelNumber = 1;   // level 1 is on screen, as read
        }
    }
    startHistory(ed);
    return true;
}

bool createPackFile(Editor& ed)
{
    const PackResult result = writeNewPack(ed.packPath, ed.newLevelCount);
    if (!result.ok()) {
        reportFailure(ed, ("Cannot create level pack: " + result.message).c_str());
        return false;
    }
    ed.levelNumber = 0;
    return true;
}

void listPackFiles(Editor& ed)
{
    const std::vector<std::string> names = listFiles(PACK_FOLDER_PATH, PACK_EXTENSION);
    ed.packNames = 0;
    for (const std::string& name : names) {
        if (ed.packNames == PACK_LIST_CAPACITY) {
            printf("More than %d level packs in %s: the rest are not listed.\n", PACK_LIST_CAPACITY, PACK_FOLDER_PATH);
            break;
        }
        if (name.size() > static_cast<size_t>(PACK_NAME_MAX)) {
            printf("Level pack name too long to open (over %d characters), not listed: %.*s...\n", PACK_NAME_MAX,
                   PACK_NAME_MAX, name.c_str());
            continue;
        }
        snprintf(ed.PackList[ed.packNames], PACK_PATH_SIZE, "%s", name.c_str());
        ++ed.packNames;
    }
    fflush(stdout);
    ed.lastPackIndex = ed.packNames > 0 ? ed.packNames - 1 : 0;
    // A shorter listing than last time must not leave the list pointing past its end.
    if (ed.packIndex > ed.lastPackIndex) {
        ed.packIndex = 0;
    }
}

bool saveLevel(Editor& ed)
{
    PackLevel level;
    level.levelCount = ed.levelCount;
    level.levelNumber = ed.levelNumber;
    level.greyHits = ed.greyHits;
    level.bonusChance = ed.bonusChance;
    level.background = ed.background;
    for (int n = 0; n < GRID_CELLS; ++n) {
        level.bricks[n] = ed.grid[n].code;
    }
    const PackResult result = savePackLevel(ed.packPath, level, &ed.packVersion);
    if (result.status == PackStatus::ChangedOnDisk) {
        askAboutChangedPack(ed, PendingAction::SaveLevel);
        return false;
    }
    if (!result.ok()) {
        reportFailure(ed, ("Save failed, the pack is unchanged: " + result.message).c_str());
        return false;
    }
    // The level is stored; a failing re-read is reported by readLevel and keeps what is on screen.
    const int saved = ed.levelNumber;
    if (readLevel(ed)) {
        char note[STATUS_SIZE];
        snprintf(note, sizeof note, "Level %d saved in %s", saved, ed.packPath);
        reportSuccess(ed, note);
    }
    return true;
}

// ---------------------------------------------------------------------------
// Forms and buttons
// ---------------------------------------------------------------------------

void openNewPackForm(Editor& ed) { ed.newPackFormOpen = true; }

void typeNameKey(Editor& ed, unsigned char key)
{
    char* name = typedName(ed);
    const size_t length = strlen(name);
    if (key == 8) {
        if (length > 0) {
            name[length - 1] = '\0';
        }
        return;
    }
    if (key == 13) {
        ed.nameFocused = false;
        return;
    }
    char note[STATUS_SIZE];
    if (length >= static_cast<size_t>(PACK_NAME_MAX)) {
        // Longer names would not fit "Levels Packs/<name>.tlp" in packPath.
        snprintf(note, sizeof note, "A pack name has at most %d characters.", PACK_NAME_MAX);
        reportSuccess(ed, note);
        return;
    }
    if (packNameCharacterAllowed(static_cast<char>(key), length == 0)) {
        name[length] = static_cast<char>(key);
        name[length + 1] = '\0';
        return;
    }
    // Left out, and said so at once and again at Create: the name made is never a surprise.
    const std::string shown = quoteBytes(std::string(1, static_cast<char>(key)));
    if (ed.refusedTyped.size() < static_cast<size_t>(REFUSED_KEPT)) {
        ed.refusedTyped += shown;
    }
    snprintf(note, sizeof note, "'%s' left out: a pack name takes letters, digits, '-', '_' and '.'%s.", shown.c_str(),
             key == '.' ? " (not first: the file would be hidden)" : "");
    reportSuccess(ed, note);
}

std::string packFileName(const char* typed)
{
    const std::string name = typed;
    const size_t extension = strlen(PACK_EXTENSION);
    const bool hasExtension =
        name.size() > extension && name.compare(name.size() - extension, extension, PACK_EXTENSION) == 0;
    return hasExtension ? name : name + PACK_EXTENSION;
}

bool validPackName(const char* name, char* reason, size_t reasonSize)
{
    const size_t length = strlen(name);
    const char* why = nullptr;
    if (length == 0) {
        why = "Type a name for the pack first.";
    } else if (length > static_cast<size_t>(PACK_NAME_MAX)) {
        why = "Cannot create level pack: the name is too long.";
    } else if (name[0] == '.') {
        why = "A pack name cannot begin with '.'.";
    } else if (reservedDeviceName(name)) {
        why = "That name is reserved for a device on Windows: choose another.";
    }
    for (size_t i = 0; !why && i < length; ++i) {
        if (!packNameCharacterAllowed(name[i], false)) {
            why = "Pack names take letters, digits, '-', '_' and '.' only.";
        }
    }
    if (why && reason && reasonSize > 0) {
        snprintf(reason, reasonSize, "%s", why);
    }
    return why == nullptr;
}

void createPack(Editor& ed)
{
    char* name = typedName(ed);
    if (name[0] == '\0') {
        return;
    }
    char reason[STATUS_SIZE];
    if (!validPackName(name, reason, sizeof reason)) {
        reportFailure(ed, reason);
        return;
    }
    const OpenPack previous = rememberPack(ed);
    if (!setPackPath(ed, packFileName(name).c_str(), "")) {
        restorePack(ed, previous);
        reportFailure(ed, "Cannot create level pack: the name is too long.");
        return;
    }
    // On failure the form stays open with the name, so it can be corrected.
    if (!createPackFile(ed)) {
        restorePack(ed, previous);
        return;
    }
    ed.newPackFormOpen = false;
    if (!readLevel(ed)) {
        restorePack(ed, previous);
    } else {
        startHistory(ed);
        forgetCheck(ed);
        char note[STATUS_SIZE];
        const int length = snprintf(note, sizeof note, "Created %s with %d level%s", ed.packPath, ed.levelCount,
                                    ed.levelCount == 1 ? "" : "s");
        if (!ed.refusedTyped.empty() && length > 0 && static_cast<size_t>(length) < sizeof note) {
            snprintf(note + length, sizeof note - length, " (left out of the name as typed: %s)",
                     ed.refusedTyped.c_str());
        }
        reportSuccess(ed, note);
    }
    name[0] = '\0';
    ed.refusedTyped.clear();
    ed.editsReleased = false;
}

void cancelNewPack(Editor& ed)
{
    ed.newPackFormOpen = false;
    ed.newLevelCount = 1;
    typedName(ed)[0] = '\0';
    ed.refusedTyped.clear();
    ed.editsReleased = false;
}

void openPackList(Editor& ed)
{
    listPackFiles(ed);
    ed.packListOpen = true;
}

void stepPackIndex(Editor& ed, int direction)
{
    if (direction > 0) {
        ed.packIndex = ed.packIndex < ed.lastPackIndex ? ed.packIndex + 1 : 0;
    } else {
        ed.packIndex = ed.packIndex > 0 ? ed.packIndex - 1 : ed.lastPackIndex;
    }
}

void loadSelectedPack(Editor& ed)
{
    ed.packListOpen = false;
    ed.editsReleased = false;
    if (ed.packNames == 0) {
        ed.loadFailed = true;
        reportFailure(ed, "No level pack in \"Levels Packs\": make a new one.");
        return;
    }
    const OpenPack previous = rememberPack(ed);
    if (!setPackPath(ed, ed.PackList[ed.packIndex], "")) {
        restorePack(ed, previous);
        ed.loadFailed = true;
        reportFailure(ed, "Cannot read level pack: the name is too long.");
        return;
    }
    ed.levelNumber = 0;
    // The level on screen stays tied to the pack it came from, so a save cannot write it elsewhere.
    if (!readLevel(ed)) {
        restorePack(ed, previous);
        return;
    }
    startHistory(ed);
    forgetCheck(ed);
}

void closePackList(Editor& ed)
{
    ed.packListOpen = false;
    ed.editsReleased = false;
}

void saveButton(Editor& ed)
{
    if (!ed.packLoaded || ed.packPath[0] == '\0') {
        return;
    }
    endStroke(ed);
    if (saveLevel(ed)) {
        markSaved(ed);   // modified becomes false; undo can still step back past the save
    }
}

// ---------------------------------------------------------------------------
// A pack file from elsewhere
// ---------------------------------------------------------------------------

namespace {

// Opens the pack the import left in the folder at its first level; note says where it came from.
void openImported(Editor& ed, const std::string& note)
{
    const OpenPack previous = rememberPack(ed);
    const std::string name = ed.import.name;
    ed.import = PackImport{};
    if (!setPackPath(ed, name.c_str(), "")) {
        restorePack(ed, previous);
        reportFailure(ed, ("Cannot open " + quoteBytes(name) + ": the name is too long.").c_str());
        return;
    }
    ed.levelNumber = 0;
    if (!readLevel(ed)) {
        restorePack(ed, previous);
        return;
    }
    startHistory(ed);
    forgetCheck(ed);
    if (ed.status[0] == '\0') {   // readLevel's own note about the file comes first
        reportSuccess(ed, note.c_str());
    }
}

}   // namespace

void openPackFromFile(Editor& ed, const std::string& source)
{
    ed.import = planPackImport(source, PACK_FOLDER);
    const PackImport& plan = ed.import;
    const std::string shown = quoteBytes(source);
    switch (plan.state) {
        case ImportState::Refused: {
            const std::string why = "Not opened: " + plan.message;
            ed.import = PackImport{};
            reportFailure(ed, why.c_str());
            return;
        }
        case ImportState::InFolder:
            openImported(ed, "Opened " + quoteBytes(plan.name) + ", already among your packs.");
            return;
        case ImportState::Ready: finishImport(ed, ImportChoice::Replace); return;
        case ImportState::NameTaken: break;
    }
    char text[QUESTION_SIZE];
    snprintf(text, sizeof text, "Your packs already hold a different %s. Replace it, or keep both (this one as %s)?",
             plan.name.c_str(), plan.freeName.empty() ? "a new name" : plan.freeName.c_str());
    askAboutImport(ed, text);
}

void finishImport(Editor& ed, ImportChoice choice)
{
    std::string failure;
    const std::string renamed = ed.import.renamed;
    const std::string source = quoteBytes(ed.import.source);
    if (!finishPackImport(ed.import, choice, failure)) {
        ed.import = PackImport{};
        reportFailure(ed, ("Not opened: " + failure).c_str());
        return;
    }
    std::string note = "Opened " + quoteBytes(ed.import.name) + ", copied into your packs from " + source + ".";
    if (!renamed.empty()) {
        note += " " + renamed + ".";
    }
    openImported(ed, note);
}
