// game/shell/scores: the packs' tables, their continue points and the name
// typed into a table.
#include "game/shell/records.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

bool samePack(const PackId& a, const PackId& b) { return a.hash == b.hash && a.name == b.name; }

ScoreTable* findTableToChange(ScoreBook& book, const PackId& pack)
{
    for (ScoreTable& table : book.tables) {
        if (samePack(table.pack, pack)) {
            return &table;
        }
    }
    return nullptr;
}

int alphabetIndex(char c)
{
    const char* at = strchr(NAME_ALPHABET, c);
    return at && c ? static_cast<int>(at - NAME_ALPHABET) : -1;
}

std::string trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}   // namespace

// ---------------------------------------------------------------------------
// Tables
// ---------------------------------------------------------------------------

const ScoreTable* findTable(const ScoreBook& book, const PackId& pack)
{
    return findTableToChange(const_cast<ScoreBook&>(book), pack);
}

int32_t highFigure(const ScoreBook& book, const PackId& pack, int32_t score)
{
    const ScoreTable* table = findTable(book, pack);
    const int32_t best = table && !table->entries.empty() ? table->entries.front().score : HIGH_WHILE_EMPTY;
    return std::max(best, score);
}

int tablePlace(const ScoreBook& book, const PackId& pack, int32_t score)
{
    if (score <= 0) {
        return -1;
    }
    const ScoreTable* table = findTable(book, pack);
    if (!table) {
        return 0;
    }
    // Below every game of the same score: the earlier one keeps its place.
    int place = 0;
    while (place < static_cast<int>(table->entries.size()) && table->entries[place].score >= score) {
        ++place;
    }
    return place < TABLE_SIZE ? place : -1;
}

int addScore(ScoreBook& book, const PackId& pack, const ScoreEntry& entry)
{
    const int place = tablePlace(book, pack, entry.score);
    if (place < 0) {
        return -1;
    }
    ScoreTable* table = findTableToChange(book, pack);
    if (!table) {
        book.tables.push_back({pack, {}});
        table = &book.tables.back();
    }
    table->entries.insert(table->entries.begin() + place, entry);
    if (table->entries.size() > static_cast<size_t>(TABLE_SIZE)) {
        table->entries.resize(TABLE_SIZE);
    }
    return place;
}

bool replayInTables(const ScoreBook& book, const std::string& file)
{
    for (const ScoreTable& table : book.tables) {
        for (const ScoreEntry& entry : table.entries) {
            if (!entry.replay.empty() && entry.replay == file) {
                return true;
            }
        }
    }
    return false;
}

std::string dateOf(time_t when)
{
    tm local{};
    char text[16] = "1970-01-01";
    if (localtime_r(&when, &local)) {
        strftime(text, sizeof text, "%Y-%m-%d", &local);
    }
    return text;
}

// ---------------------------------------------------------------------------
// Continue points
// ---------------------------------------------------------------------------

int32_t continueLevel(const ContinueBook& book, const PackId& pack)
{
    for (const ContinuePoint& point : book.points) {
        if (samePack(point.pack, pack)) {
            return point.level;
        }
    }
    return 0;
}

bool noteLevelReached(ContinueBook& book, const PackId& pack, int32_t level)
{
    for (ContinuePoint& point : book.points) {
        if (samePack(point.pack, pack)) {
            if (level <= point.level) {
                return false;
            }
            point.level = level;
            return true;
        }
    }
    if (level <= 1 || book.points.size() >= static_cast<size_t>(RECORDED_PACKS_MAX)) {
        return false;   // the first level needs no point; past the file's room the oldest stay
    }
    book.points.push_back({pack, level});
    return true;
}

// ---------------------------------------------------------------------------
// Keys
// ---------------------------------------------------------------------------

bool keyReserved(const char* keyName)
{
    static const char* const KEPT[] = {"Escape", "m",    "M",      "F11",     "F12",   "Home",
                                       "KP_1",   "KP_2", "KP_End", "KP_Down", "Alt_L", "Alt_R"};
    for (const char* kept : KEPT) {
        if (strcmp(keyName, kept) == 0) {
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------------------
// Name entry
// ---------------------------------------------------------------------------

void startNameEntry(NameEntry& entry, const std::string& offered)
{
    entry.name.clear();
    for (char c : offered) {
        if (alphabetIndex(c) >= 0 && entry.name.size() < static_cast<size_t>(PLAYER_NAME_MAX)) {
            entry.name += c;
        }
    }
    entry.cursor = std::min(static_cast<int>(entry.name.size()), PLAYER_NAME_MAX - 1);
    entry.fresh = true;
}

bool typeIntoName(NameEntry& entry, NameKey key, char typed)
{
    std::string& name = entry.name;
    const int length = static_cast<int>(name.size());
    const int lastPlace = std::min(length, PLAYER_NAME_MAX - 1);   // the free place after the name, while there is room
    switch (key) {
        case NameKey::Type: {
            const char c = static_cast<char>(toupper(static_cast<unsigned char>(typed)));
            if (alphabetIndex(c) < 0) {
                return false;
            }
            if (entry.fresh) {
                name.clear();   // typing replaces the name offered
                entry.cursor = 0;
            }
            if (entry.cursor < static_cast<int>(name.size())) {
                name[entry.cursor] = c;
            } else if (name.size() < static_cast<size_t>(PLAYER_NAME_MAX)) {
                name += c;
            }
            entry.cursor = std::min(entry.cursor + 1, std::min(static_cast<int>(name.size()), PLAYER_NAME_MAX - 1));
            break;
        }
        case NameKey::Erase:
            if (entry.cursor < length) {
                name.erase(entry.cursor, 1);
            } else if (length > 0) {
                name.pop_back();
            }
            entry.cursor = std::min(entry.cursor, static_cast<int>(name.size()));
            break;
        case NameKey::Left: entry.cursor = std::max(0, entry.cursor - 1); break;
        case NameKey::Right: entry.cursor = std::min(entry.cursor + 1, lastPlace); break;
        case NameKey::Up:
        case NameKey::Down: {
            const int letters = static_cast<int>(sizeof NAME_ALPHABET) - 1;
            if (entry.cursor >= length) {
                name += key == NameKey::Up ? NAME_ALPHABET[0] : NAME_ALPHABET[letters - 1];
            } else {
                const int step = key == NameKey::Up ? 1 : letters - 1;
                name[entry.cursor] = NAME_ALPHABET[(alphabetIndex(name[entry.cursor]) + step) % letters];
            }
            break;
        }
        case NameKey::Done:
            name = trimmed(name);
            if (name.empty()) {
                name = DEFAULT_PLAYER_NAME;
            }
            entry.cursor = std::min(static_cast<int>(name.size()), PLAYER_NAME_MAX - 1);
            entry.fresh = false;
            return true;
    }
    entry.fresh = false;
    return false;
}

char nameCharOfKey(const char* keyName)
{
    if (keyName[0] && !keyName[1]) {
        const char c = static_cast<char>(toupper(static_cast<unsigned char>(keyName[0])));
        return alphabetIndex(c) >= 0 && c != ' ' ? c : 0;
    }
    if (strcmp(keyName, "space") == 0) {
        return ' ';
    }
    if (strcmp(keyName, "minus") == 0 || strcmp(keyName, "KP_Subtract") == 0) {
        return '-';
    }
    if (strcmp(keyName, "period") == 0 || strcmp(keyName, "KP_Decimal") == 0) {
        return '.';
    }
    if (strncmp(keyName, "KP_", 3) == 0 && keyName[3] >= '0' && keyName[3] <= '9' && !keyName[4]) {
        return keyName[3];
    }
    return 0;
}
