// game/shell/pages: the menu's pages beyond the main lines — OPTIONS' sound
// lines, CONTROLS, HIGH SCORES and the name typed into a table — laid out for
// the renderer, and what the game keeps for its player: read by the first
// frame, the volumes and keys put to the devices, each file written when what
// it keeps has changed. No GL; the devices come in through the seams.
#include "game/playfield/replay.h"
#include "game/playfield/samples.h"
#include "game/render/engine.h"
#include "game/shell/config.h"
#include "game/shell/gamestate.h"
#include "game/shell/shell.h"
#include "platform/input.h"
#include "platform/sound.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <unistd.h>

PlayerRecords playerRecords;

namespace {

// ---------------------------------------------------------------------------
// Layout: world units at z 20, as the menu's camera sees them
// ---------------------------------------------------------------------------
constexpr float LINE_X = 35;            // where the menus' lines begin
constexpr float CONTROL_VALUE_X = 60;   // where CONTROLS' keys and speed stand
constexpr float PAGE_TOP = 20;          // the first line
constexpr float LINE_STEP = 5;          // between the lines of the main menu and CONTROLS
constexpr float OPTIONS_STEP = 4;       // OPTIONS' nine lines stand closer
constexpr float TITLE_Y = 31.8f;        // a page's title, between the lines and the menu's spinning brick
constexpr float ROWS_TOP = 23;          // HIGH SCORES' first row
constexpr float ROW_STEP = 2.6f;
constexpr float ROW_SCALE = 0.012f;   // the table in small mono letters: its columns line up
constexpr float HINT_SCALE = 0.013f;
constexpr float SUBLINE_SCALE = 0.0105f;   // OPTIONS' line under the pack's name
constexpr float BOTTOM_Y = -10;       // a page's hint, or the failure in its place
constexpr float TOP_MESSAGE_Y = 32;   // OPTIONS' failure, above its lines
constexpr float RETURN_Y = -6;        // HIGH SCORES' RETURN, under the rows
constexpr float NAME_SCALE = 0.03f;
constexpr int TABLE_ROW_WIDTH = 60;   // characters of a table row, padded so the rows line up

const char* const KEY_LABELS[BOUND_KEY_COUNT] = {"MOVE LEFT", "MOVE RIGHT", "LAUNCH / FIRE", "PAUSE"};

void menuSound() { playCue(SAMPLE_CURSOR); }

MenuText& addText(float x, float y, const char* text, TextColour colour = TextColour::White)
{
    RenderInputs& in = renderInputs;
    MenuText& item = in.menuTexts[std::min(in.menuTextCount, RENDER_TEXTS - 1)];
    in.menuTextCount = std::min(in.menuTextCount + 1, RENDER_TEXTS);
    item = MenuText{};
    item.x = x;
    item.y = y;
    item.colour = colour;
    snprintf(item.text, sizeof item.text, "%s", text);
    return item;
}

MenuText& addCentred(float y, float scale, const char* text, TextColour colour = TextColour::White)
{
    MenuText& item = addText(40, y, text, colour);
    item.centred = true;
    item.scale = scale;
    return item;
}

std::string upper(std::string text)
{
    for (char& c : text) {
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

// The options' LEVELS PACK line has room for PACK_NAME_SHOWN characters of a name: a longer one keeps its
// start and its end (the extension) around "...".
constexpr size_t PACK_NAME_SHOWN = 13;

std::string shownPackName(const std::string& name)
{
    std::string shown = upper(name);
    if (shown.size() > PACK_NAME_SHOWN) {
        const size_t tail = (PACK_NAME_SHOWN - 3) / 2;
        const size_t head = PACK_NAME_SHOWN - 3 - tail;
        shown = shown.substr(0, head) + "..." + shown.substr(shown.size() - tail);
    }
    return shown;
}

const ScoreTable* shownTable() { return findTable(playerRecords.scores, playerRecords.shownPack); }

int shownRows()
{
    const ScoreTable* table = shownTable();
    return table ? static_cast<int>(table->entries.size()) : 0;
}

// ---------------------------------------------------------------------------
// The devices
// ---------------------------------------------------------------------------

void applyKeyBindings(std::vector<std::string>& notes)
{
    Settings& settings = playerRecords.settings;
    for (int i = 0; i < BOUND_KEY_COUNT; ++i) {
        if (!bindKey(BOUND_KEYS[i], settings.keys[i])) {
            notes.push_back(std::string(SETTINGS_FILE) + ": this keyboard has no key " + settings.keys[i] + "; " +
                            KEY_LABELS[i] + " stays on " + DEFAULT_KEY_NAMES[i] + ".");
            snprintf(settings.keys[i], KEY_NAME_SIZE, "%s", DEFAULT_KEY_NAMES[i]);
            bindKey(BOUND_KEYS[i], settings.keys[i]);
        }
    }
}

void saveContinuePoints()
{
    std::string failure;
    if (playerRecords.continuesWritable && !saveContinueBook(CONTINUE_FILE, playerRecords.continues, failure)) {
        printf("Continue point not saved: %s.\n", failure.c_str());
    }
}

void finishNameEntry()
{
    PlayerRecords& records = playerRecords;
    records.pendingScore.name = records.nameEntry.name;
    records.scores.lastName = records.nameEntry.name;
    std::vector<std::string> before;
    if (const ScoreTable* table = findTable(records.scores, records.gamePack)) {
        for (const ScoreEntry& e : table->entries) {
            before.push_back(e.replay);
        }
    }
    const int place = addScore(records.scores, records.gamePack, records.pendingScore);
    // The game pushed out of the table takes its kept replay with it; a file the player put there stays.
    const std::string keptPrefix = std::string(REPLAY_FOLDER) + "/" + KEPT_REPLAY_PREFIX;
    for (const std::string& file : before) {
        if (file.compare(0, keptPrefix.size(), keptPrefix) == 0 && !replayInTables(records.scores, file)) {
            unlink(file.c_str());
        }
    }
    std::string failure;
    if (records.scoresWritable && !saveScoreBook(SCORES_FILE, records.scores, failure)) {
        showMenuMessage(("High score not saved: " + failure + ".").c_str());
    }
    traceLine("name %s", records.nameEntry.name.c_str());
    showHighScores(records.gamePack, place);
}

NameKey nameKeyOf(MenuKey key)
{
    switch (key) {
        case MenuKey::Up: return NameKey::Up;
        case MenuKey::Down: return NameKey::Down;
        case MenuKey::Left: return NameKey::Left;
        case MenuKey::Right: return NameKey::Right;
        case MenuKey::Enter: return NameKey::Done;
        case MenuKey::Back: return NameKey::Erase;
    }
    return NameKey::Done;
}

// The keyboard's keys as they act on a name; false for a key that does nothing there.
bool nameKeyOf(const char* name, NameKey& key, char& typed)
{
    static const struct {
        const char* name;
        NameKey key;
    } KEYS[] = {{"Return", NameKey::Done},     {"KP_Enter", NameKey::Done}, {"Escape", NameKey::Done},
                {"BackSpace", NameKey::Erase}, {"Delete", NameKey::Erase},  {"Left", NameKey::Left},
                {"Right", NameKey::Right},     {"Up", NameKey::Up},         {"Down", NameKey::Down}};
    for (const auto& k : KEYS) {
        if (strcmp(name, k.name) == 0) {
            key = k.key;
            return true;
        }
    }
    typed = nameCharOfKey(name);
    key = NameKey::Type;
    return typed != 0;
}

// ---------------------------------------------------------------------------
// Pages
// ---------------------------------------------------------------------------

void fillMainPage()
{
    MainLine lines[MAIN_LINES_MAX];
    const int count = mainMenuLines(lines);
    for (int i = 0; i < count; ++i) {
        char text[64];
        switch (lines[i]) {
            case MainLine::NewGame: snprintf(text, sizeof text, "NEW GAME"); break;
            case MainLine::Continue:
                snprintf(text, sizeof text, "CONTINUE FROM ROUND %d",
                         static_cast<int>(continueLevel(playerRecords.continues, playerRecords.selectedPack)));
                break;
            case MainLine::HighScores: snprintf(text, sizeof text, "HIGH SCORES"); break;
            case MainLine::Options: snprintf(text, sizeof text, "OPTIONS"); break;
            case MainLine::Quit: snprintf(text, sizeof text, "QUIT"); break;
        }
        addText(LINE_X, static_cast<float>(menuLineY(i)), text);
    }
    renderInputs.menuMessageY = static_cast<float>(menuLineY(count - 1)) - 6;
}

void fillOptionsPage()
{
    const Settings& settings = playerRecords.settings;
    char text[RENDER_TEXT_SIZE];
    auto y = [](int line) { return static_cast<float>(menuLineY(line)); };
    addText(LINE_X, y(0), "RESOLUTION: ");
    snprintf(text, sizeof text, "%d", static_cast<int>(config.screenWidth));
    addText(52, y(0), text);
    addText(58, y(0), "x");
    snprintf(text, sizeof text, "%d", static_cast<int>(config.screenHeight));
    addText(59, y(0), text);
    addText(LINE_X, y(1), config.windowed ? "DISPLAY: WINDOW" : "DISPLAY: FULL SCREEN");
    addText(LINE_X, y(2), config.fallMode ? "FALL MODE: ON" : "FALL MODE: OFF");
    addText(LINE_X, y(3), config.mouseControl ? "CONTROL MODE: MOUSE" : "CONTROL MODE: KEYBOARD");
    addText(LINE_X, y(4), "LEVELS PACK: ");
    const std::string pack(config.levelPackName, strnlen(config.levelPackName, PACK_NAME_SIZE));
    addText(55, y(4), shownPackName(pack).c_str());
    // Below it, smaller: how many levels, and how hard.
    if (game.packLevels <= 0) {
        snprintf(text, sizeof text, "CANNOT BE READ");
    } else if (game.packRatingLow <= 0) {
        snprintf(text, sizeof text, "%d LEVEL%s, NOT RATED", static_cast<int>(game.packLevels),
                 game.packLevels == 1 ? "" : "S");
    } else if (game.packRatingLow == game.packRatingHigh) {
        snprintf(text, sizeof text, "%d LEVEL%s, RATED %d OF 5", static_cast<int>(game.packLevels),
                 game.packLevels == 1 ? "" : "S", static_cast<int>(game.packRatingLow));
    } else {
        snprintf(text, sizeof text, "%d LEVELS, RATED %d TO %d OF 5", static_cast<int>(game.packLevels),
                 static_cast<int>(game.packRatingLow), static_cast<int>(game.packRatingHigh));
    }
    // As large as the gap to the next line allows: its letters stand between the two lines' letters.
    addText(55, y(4) - 1.5f, text).scale = SUBLINE_SCALE;
    const char* muted = settings.muted ? "  (MUTED: M)" : "";
    snprintf(text, sizeof text, "SOUND VOLUME: %d%s", static_cast<int>(settings.soundVolume), muted);
    addText(LINE_X, y(5), text);
    snprintf(text, sizeof text, "MUSIC VOLUME: %d%s", static_cast<int>(settings.musicVolume), muted);
    addText(LINE_X, y(6), text);
    addText(LINE_X, y(7), "CONTROLS");
    addText(LINE_X, y(8), "RETURN");
    renderInputs.menuMessageY = TOP_MESSAGE_Y;
}

void fillControlsPage()
{
    const Settings& settings = playerRecords.settings;
    char text[RENDER_TEXT_SIZE];
    for (int i = 0; i < BOUND_KEY_COUNT; ++i) {
        const float y = static_cast<float>(menuLineY(i));
        snprintf(text, sizeof text, "%s:", KEY_LABELS[i]);
        addText(LINE_X, y, text);
        if (game.capturing == i) {
            addText(CONTROL_VALUE_X, y, "PRESS A KEY", TextColour::Red);
        } else {
            addText(CONTROL_VALUE_X, y, upper(settings.keys[i]).c_str());
        }
    }
    addText(LINE_X, static_cast<float>(menuLineY(4)), "MOUSE SPEED:");
    snprintf(text, sizeof text, "%d", static_cast<int>(settings.mouseSpeed));
    addText(CONTROL_VALUE_X, static_cast<float>(menuLineY(4)), text);
    addText(LINE_X, static_cast<float>(menuLineY(5)), "RETURN");
    if (!game.menuMessage[0]) {
        if (game.capturing >= 0) {
            snprintf(text, sizeof text, "PRESS THE NEW KEY FOR %s  -  ESCAPE KEEPS %s", KEY_LABELS[game.capturing],
                     upper(settings.keys[game.capturing]).c_str());
        } else {
            snprintf(text, sizeof text, "ENTER: CHOOSE A NEW KEY  -  LEFT / RIGHT: MOUSE SPEED (5: AS EVER)");
        }
        addCentred(BOTTOM_Y, HINT_SCALE, text);
    }
    renderInputs.menuMessageY = BOTTOM_Y;
}

void fillScoresPage()
{
    addCentred(TITLE_Y, TEXT_SCALE, "HIGH SCORES");
    addCentred(TITLE_Y - 3.2f, HINT_SCALE, upper(playerRecords.shownPack.name).c_str(), TextColour::Grey);
    const ScoreTable* table = shownTable();
    const int rows = shownRows();
    char text[RENDER_TEXT_SIZE];
    if (rows == 0) {
        addCentred(15, TEXT_SCALE, "NO GAMES YET", TextColour::Grey);
    } else {
        snprintf(text, sizeof text, "%-*s", TABLE_ROW_WIDTH, "        SCORE  NAME          ROUND  DATE");
        MenuText& header = addCentred(ROWS_TOP + ROW_STEP, ROW_SCALE, text, TextColour::Red);
        header.font = 1;
    }
    for (int i = 0; i < rows; ++i) {
        const ScoreEntry& e = table->entries[i];
        char notes[48] = "";
        if (e.fallMode || e.fromLevel > 1) {
            snprintf(notes, sizeof notes, "%s%s", e.fallMode ? "FALL " : "",
                     e.fromLevel > 1 ? ("FROM " + std::to_string(e.fromLevel)).c_str() : "");
        }
        char row[160];
        snprintf(row, sizeof row, "%2d. %9d  %-12s  %5d  %-10s  %s", i + 1, static_cast<int>(e.score), e.name.c_str(),
                 static_cast<int>(e.level), e.date.c_str(), notes);
        snprintf(text, sizeof text, "%-*.*s", TABLE_ROW_WIDTH, TABLE_ROW_WIDTH, row);
        MenuText& item = addCentred(ROWS_TOP - ROW_STEP * i, ROW_SCALE, text,
                                    i == game.menuCursor ? TextColour::Red : TextColour::White);
        item.font = 1;
    }
    addText(LINE_X, RETURN_Y, "RETURN");
    if (!game.menuMessage[0] && game.menuCursor < rows) {
        const bool kept = !table->entries[game.menuCursor].replay.empty();
        addCentred(BOTTOM_Y, HINT_SCALE, kept ? "ENTER: WATCH THIS GAME" : "NO REPLAY WAS KEPT OF THIS GAME",
                   TextColour::White);
    }
    renderInputs.menuMarkers = game.menuCursor >= rows;   // a row is marked red
    renderInputs.menuMessageY = BOTTOM_Y;
}

void fillNamePage()
{
    const PlayerRecords& records = playerRecords;
    char text[RENDER_TEXT_SIZE];
    addCentred(31, TEXT_SCALE, "NEW HIGH SCORE", TextColour::Red);
    snprintf(text, sizeof text, "%d POINTS  -  ROUND %d", static_cast<int>(records.pendingScore.score),
             static_cast<int>(records.pendingScore.level));
    addCentred(26.5f, 0.016f, text);
    addCentred(19, TEXT_SCALE, "ENTER YOUR NAME");
    // Twelve places, each with its line; the cursor's line is drawn bold.
    char slots[PLAYER_NAME_MAX + 1];
    memset(slots, '_', PLAYER_NAME_MAX);
    slots[PLAYER_NAME_MAX] = '\0';
    addCentred(9, NAME_SCALE, slots, TextColour::Grey).font = 1;
    snprintf(text, sizeof text, "%-*s", PLAYER_NAME_MAX, records.nameEntry.name.c_str());
    MenuText& name = addCentred(9, NAME_SCALE, text);
    name.font = 1;
    name.mark = static_cast<int8_t>(records.nameEntry.cursor);
    addCentred(1, HINT_SCALE, "TYPE A NAME, OR WITH THE D-PAD: UP / DOWN A LETTER, LEFT / RIGHT ITS PLACE",
               TextColour::White);
    addCentred(-2.5f, HINT_SCALE, "ENTER OR A: DONE  -  BACKSPACE OR B: ERASE");
    renderInputs.menuMarkers = false;
    renderInputs.menuMessageY = BOTTOM_Y;
}

}   // namespace

// ---------------------------------------------------------------------------
// What is kept
// ---------------------------------------------------------------------------

void loadPlayerRecords()
{
    playerRecords = PlayerRecords{};
    PlayerRecords& records = playerRecords;
    std::vector<std::string> said;
    const RecordsLoad scores = loadScoreBook(SCORES_FILE, records.scores);
    const RecordsLoad continues = loadContinueBook(CONTINUE_FILE, records.continues);
    const RecordsLoad settings = loadSettings(SETTINGS_FILE, records.settings);
    records.scoresWritable = scores.writable;
    records.continuesWritable = continues.writable;
    records.settingsWritable = settings.writable;
    for (const RecordsLoad* load : {&scores, &continues, &settings}) {
        if (!load->message.empty()) {
            said.push_back(load->message);
        }
        said.insert(said.end(), load->notes.begin(), load->notes.end());
    }
    applyKeyBindings(said);
    for (const std::string& line : said) {
        printf("%s\n", line.c_str());
    }
    if (!said.empty()) {
        showMenuMessage(said.front().c_str());   // the first on screen, all of them on standard output
    }
    applySoundSettings();
    refreshSelectedPack();
    records.shownPack = records.selectedPack;
}

void refreshSelectedPack()
{
    PackId& pack = playerRecords.selectedPack;
    pack.name.assign(config.levelPackName, strnlen(config.levelPackName, PACK_NAME_SIZE));
    std::string failure;
    if (!packContentHash(std::string(PACK_FOLDER) + "/" + pack.name, pack.hash, failure)) {
        pack.hash = 0;   // unreadable: no table or continue point is its
    }
}

void applySoundSettings()
{
    const Settings& settings = playerRecords.settings;
    soundSetVolumes(settings.muted ? 0 : settings.soundVolume, settings.muted ? 0 : settings.musicVolume);
    int samples = 0;
    int music = 0;
    soundVolumes(samples, music);
    traceLine("volume sound %d music %d", samples, music);
}

void toggleMute()
{
    playerRecords.settings.muted = !playerRecords.settings.muted;
    playerRecords.settingsChanged = true;
    applySoundSettings();
}

void saveSettingsIfChanged()
{
    PlayerRecords& records = playerRecords;
    if (!records.settingsChanged || !records.settingsWritable) {
        return;
    }
    records.settingsChanged = false;   // a failure is told once; the next change tries again
    std::string failure;
    if (!saveSettings(SETTINGS_FILE, records.settings, failure)) {
        showMenuMessage(("Sound and control settings not saved: " + failure + ".").c_str());
    }
}

void noteLevelBegun()
{
    PlayerRecords& records = playerRecords;
    if (records.gameCounts && noteLevelReached(records.continues, records.gamePack, field.levelNumber)) {
        saveContinuePoints();
    }
}

bool gameEnteredTable()
{
    PlayerRecords& records = playerRecords;
    const bool counts = records.gameCounts;
    records.gameCounts = false;
    if (!counts || tablePlace(records.scores, records.gamePack, field.score) < 0) {
        return false;
    }
    ScoreEntry& entry = records.pendingScore;
    entry = ScoreEntry{};
    entry.score = field.score;
    entry.level = std::max(field.levelNumber, 1);
    entry.fromLevel = std::clamp(records.gameFromLevel, 1, entry.level);
    entry.fallMode = field.fallMode;
    entry.date = dateOf(time(nullptr));
    entry.replay.clear();   // named once the replay is saved
    startNameEntry(records.nameEntry, records.scores.lastName);
    traceLine("high score %d", static_cast<int>(entry.score));
    return true;
}

// ---------------------------------------------------------------------------
// Lines
// ---------------------------------------------------------------------------

int mainMenuLines(MainLine* out)
{
    int count = 0;
    out[count++] = MainLine::NewGame;
    if (continueLevel(playerRecords.continues, playerRecords.selectedPack) > 1) {
        out[count++] = MainLine::Continue;
    }
    out[count++] = MainLine::HighScores;
    out[count++] = MainLine::Options;
    out[count++] = MainLine::Quit;
    return count;
}

int menuLineCount()
{
    switch (game.state) {
        case ShellState::Menu: {
            MainLine lines[MAIN_LINES_MAX];
            return mainMenuLines(lines);
        }
        case ShellState::Options: return OPTION_LINES;
        case ShellState::Controls: return CONTROL_LINES;
        case ShellState::HighScores: return shownRows() + 1;
        default: return 1;
    }
}

double menuLineY(int line)
{
    switch (game.state) {
        case ShellState::Options: return PAGE_TOP - OPTIONS_STEP * line;
        case ShellState::HighScores: return line < shownRows() ? TITLE_Y : RETURN_Y;   // the rows are marked red
        case ShellState::NameEntry: return TITLE_Y;
        default: return PAGE_TOP - LINE_STEP * line;
    }
}

bool optionsStep(int direction, bool wrap)
{
    Settings& settings = playerRecords.settings;
    int32_t* volume = game.menuCursor == 5   ? &settings.soundVolume
                      : game.menuCursor == 6 ? &settings.musicVolume
                                             : nullptr;
    if (!volume) {
        return false;
    }
    const int32_t next = wrap ? (*volume + 1) % (VOLUME_STEPS + 1) : std::clamp(*volume + direction, 0, VOLUME_STEPS);
    if (next != *volume || settings.muted) {
        *volume = next;
        settings.muted = false;   // a volume chosen is a volume to hear
        playerRecords.settingsChanged = true;
        applySoundSettings();
        menuSound();   // at the new volume
    }
    return true;
}

void menuPagePress(MenuKey key)
{
    if (key == MenuKey::Up || key == MenuKey::Down) {
        game.menuCursor += key == MenuKey::Down ? 1 : -1;
        menuSound();
        return;
    }
    if (game.state == ShellState::HighScores) {
        const int rows = shownRows();
        if (key == MenuKey::Enter && game.menuCursor < rows) {
            watchReplay(shownTable()->entries[game.menuCursor].replay, game.menuCursor);
        } else if (key == MenuKey::Enter || key == MenuKey::Back) {
            game.newRow = -1;
            enterState(ShellState::Menu);
            menuSound();
        }
        return;
    }
    // CONTROLS
    Settings& settings = playerRecords.settings;
    const int line = game.menuCursor;
    if (key == MenuKey::Back || (key == MenuKey::Enter && line == CONTROL_LINES - 1)) {
        enterState(ShellState::Options);
        game.menuCursor = 7;   // back on CONTROLS
        menuSound();
    } else if (key == MenuKey::Enter && line < BOUND_KEY_COUNT) {
        game.capturing = line;
        traceLine("choose key %s", KEY_LABELS[line]);
        menuSound();
    } else if (line == BOUND_KEY_COUNT && key != MenuKey::Enter) {
        const int32_t next =
            std::clamp(settings.mouseSpeed + (key == MenuKey::Right ? 1 : -1), MOUSE_SPEED_MIN, MOUSE_SPEED_MAX);
        if (next != settings.mouseSpeed) {
            settings.mouseSpeed = next;
            playerRecords.settingsChanged = true;
            menuSound();
        }
    } else if (line == BOUND_KEY_COUNT) {
        settings.mouseSpeed = settings.mouseSpeed >= MOUSE_SPEED_MAX ? MOUSE_SPEED_MIN : settings.mouseSpeed + 1;
        playerRecords.settingsChanged = true;
        menuSound();
    }
}

void captureKey(const KeyName* named, int namedCount, bool padBack)
{
    Settings& settings = playerRecords.settings;
    const int line = game.capturing;
    if (line < 0 || line >= BOUND_KEY_COUNT) {
        game.capturing = -1;
        return;
    }
    if (padBack) {
        game.capturing = -1;
        menuSound();
        return;
    }
    for (int i = 0; i < namedCount; ++i) {
        const char* name = named[i].text;
        if (strcmp(name, "Escape") == 0) {
            game.capturing = -1;   // the old key stays
            menuSound();
            return;
        }
        if (keyReserved(name)) {
            showMenuMessage((upper(name) + " is kept for what it always does: choose another key.").c_str());
            continue;
        }
        char old[KEY_NAME_SIZE];
        snprintf(old, sizeof old, "%s", settings.keys[line]);
        if (!bindKey(BOUND_KEYS[line], name)) {
            showMenuMessage(("This keyboard has no key " + std::string(name) + ".").c_str());
            continue;
        }
        // A key already in use changes places with the old one.
        for (int other = 0; other < BOUND_KEY_COUNT; ++other) {
            if (other != line && strcmp(settings.keys[other], name) == 0) {
                snprintf(settings.keys[other], KEY_NAME_SIZE, "%s", old);
                bindKey(BOUND_KEYS[other], old);
            }
        }
        snprintf(settings.keys[line], KEY_NAME_SIZE, "%s", name);
        playerRecords.settingsChanged = true;
        game.capturing = -1;
        game.menuMessage[0] = '\0';
        traceLine("key %s: %s", KEY_LABELS[line], name);
        menuSound();
        return;
    }
}

void nameEntryInput(const KeyName* named, int namedCount, const MenuKey* pad, int padCount)
{
    NameEntry& entry = playerRecords.nameEntry;
    for (int i = 0; i < namedCount; ++i) {
        NameKey key = NameKey::Done;
        char typed = 0;
        if (!nameKeyOf(named[i].text, key, typed)) {
            continue;
        }
        menuSound();
        if (typeIntoName(entry, key, typed)) {
            finishNameEntry();
            return;
        }
    }
    for (int i = 0; i < padCount; ++i) {
        menuSound();
        if (typeIntoName(entry, nameKeyOf(pad[i]))) {
            finishNameEntry();
            return;
        }
    }
}

void showHighScores(const PackId& pack, int row)
{
    playerRecords.shownPack = pack;
    game.newRow = row;
    enterState(ShellState::HighScores);
    game.menuCursor = row >= 0 ? row : 0;
    const ScoreTable* table = shownTable();
    traceLine("high scores of %s: %d games", pack.name.c_str(), shownRows());
    for (int i = 0; i < shownRows(); ++i) {
        const ScoreEntry& e = table->entries[i];
        traceLine("row %d: %d %s round %d", i + 1, static_cast<int>(e.score), e.name.c_str(),
                  static_cast<int>(e.level));
    }
}

void fillMenuTexts()
{
    renderInputs.menuTextCount = 0;
    renderInputs.menuMarkers = true;
    switch (game.state == ShellState::Paused ? game.pausedFrom : game.state) {
        case ShellState::Options: fillOptionsPage(); break;
        case ShellState::Controls: fillControlsPage(); break;
        case ShellState::HighScores: fillScoresPage(); break;
        case ShellState::NameEntry: fillNamePage(); break;
        default: fillMainPage(); break;
    }
}
