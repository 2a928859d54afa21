// game/shell/records_files: scores.txt, continue.txt and settings.ini — their
// text, their readers (which take nothing on trust) and their writers (through
// the one safe replace), and setting aside a file that was refused.
//
// scores.txt:                                    continue.txt:
//   tessivar scores 1                              tessivar continue 1
//   name ALICE                  (the last name)    <hash> <level> <pack>
//   pack <hash> <pack>                             ...
//   <score> <level> <from> <fall> <date> <replay or -> <name>
//   ...                                          settings.ini:
//   end                                            <setting> = <value>, one a line
// A hash is 16 hexadecimal digits; lines starting with # are comments.
#include "game/shell/records.h"

#include "levelpack/safefile.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr size_t LINE_MAX_BYTES = 512;
constexpr int SET_ASIDE_TRIES = 100;
constexpr const char* SCORES_HEADER = "tessivar scores 1";
constexpr const char* CONTINUE_HEADER = "tessivar continue 1";

// ---------------------------------------------------------------------------
// Lines and values
// ---------------------------------------------------------------------------

// The file's lines without their ends; false (and why) for bytes no text file
// of ours holds, or a line too long to be one of ours.
bool splitLines(const std::string& text, std::vector<std::string>& lines, std::string& why)
{
    lines.clear();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::string where = "line " + std::to_string(lines.size() + 1);
        if (line.size() > LINE_MAX_BYTES) {
            why = where + " is longer than " + std::to_string(LINE_MAX_BYTES) + " bytes";
            return false;
        }
        for (unsigned char c : line) {
            if ((c < 0x20 && c != '\t') || c == 0x7f) {
                why = where + " holds a control byte";
                return false;
            }
        }
        lines.push_back(line);
        start = end + 1;
    }
    return true;
}

bool skippable(const std::string& line) { return line.empty() || line[0] == '#'; }

// A whole decimal number from low to high, no sign, no blanks.
bool wholeNumber(const std::string& text, int64_t low, int64_t high, int64_t& value)
{
    if (text.empty() || text.size() > 12) {
        return false;
    }
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + (c - '0');
    }
    return value >= low && value <= high;
}

bool hashValueOf(const std::string& text, uint64_t& hash)
{
    if (text.size() != 16) {
        return false;
    }
    hash = 0;
    for (char c : text) {
        const int digit = c >= '0' && c <= '9' ? c - '0' : (c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1);
        if (digit < 0) {
            return false;
        }
        hash = hash << 4 | static_cast<uint64_t>(digit);
    }
    return true;
}

std::string hashText(uint64_t hash)
{
    char text[17];
    snprintf(text, sizeof text, "%016" PRIx64, hash);
    return text;
}

// A pack's file name as config.ini can keep it: one word, no folder.
bool goodPackName(const std::string& name)
{
    if (name.empty() || name.size() > 99 || name == "." || name == "..") {
        return false;
    }
    for (unsigned char c : name) {
        if (c <= ' ' || c == '/' || c == 0x7f) {
            return false;
        }
    }
    return true;
}

bool goodPlayerName(const std::string& name)
{
    if (name.empty() || name.size() > static_cast<size_t>(PLAYER_NAME_MAX) || name.front() == ' ' ||
        name.back() == ' ') {
        return false;
    }
    for (char c : name) {
        if (c == '\0' || !strchr(NAME_ALPHABET, c)) {
            return false;
        }
    }
    return true;
}

// A replay file below the working folder: no blank, not absolute, no "..".
bool goodReplayPath(const std::string& path)
{
    if (path.empty() || path.size() > static_cast<size_t>(REPLAY_PATH_MAX) || path[0] == '/' || path == "-") {
        return false;
    }
    for (unsigned char c : path) {
        if (c <= ' ' || c == 0x7f) {
            return false;
        }
    }
    return path != ".." && path.rfind("../", 0) != 0 && path.find("/../") == std::string::npos &&
           (path.size() < 3 || path.compare(path.size() - 3, 3, "/..") != 0);
}

bool goodDate(const std::string& date)
{
    if (date.size() != 10 || date[4] != '-' || date[7] != '-') {
        return false;
    }
    int64_t year = 0;
    int64_t month = 0;
    int64_t day = 0;
    return wholeNumber(date.substr(0, 4), 0, 9999, year) && wholeNumber(date.substr(5, 2), 1, 12, month) &&
           wholeNumber(date.substr(8, 2), 1, 31, day);
}

// The first count words of line, split at single blanks, and the rest after them.
bool splitWords(const std::string& line, int count, std::vector<std::string>& words, std::string& rest)
{
    words.clear();
    size_t at = 0;
    for (int i = 0; i < count; ++i) {
        const size_t blank = line.find(' ', at);
        if (blank == std::string::npos) {
            return false;
        }
        words.push_back(line.substr(at, blank - at));
        at = blank + 1;
    }
    rest = line.substr(at);
    return true;
}

bool samePack(const PackId& a, const PackId& b) { return a.hash == b.hash && a.name == b.name; }

// ---------------------------------------------------------------------------
// scores.txt
// ---------------------------------------------------------------------------

bool decodeEntry(const std::string& line, ScoreEntry& entry, std::string& why)
{
    std::vector<std::string> words;
    std::string rest;
    if (!splitWords(line, 6, words, rest)) {
        why = "a game needs its score, level, starting level, fall mode, date, replay and name";
        return false;
    }
    int64_t score = 0;
    int64_t level = 0;
    int64_t from = 0;
    int64_t fall = 0;
    if (!wholeNumber(words[0], 1, INT32_MAX, score)) {
        why = "the score is not a number from 1 to 2147483647";
    } else if (!wholeNumber(words[1], 1, INT32_MAX, level)) {
        why = "the level reached is not a number from 1 to 2147483647";
    } else if (!wholeNumber(words[2], 1, level, from)) {
        why = "the starting level is not a number from 1 to the level reached";
    } else if (!wholeNumber(words[3], 0, 1, fall)) {
        why = "the fall mode is neither 0 nor 1";
    } else if (!goodDate(words[4])) {
        why = "the date is not YYYY-MM-DD";
    } else if (words[5] != "-" && !goodReplayPath(words[5])) {
        why = "the replay is not a file name below this folder";
    } else if (!goodPlayerName(rest)) {
        why = "the name is not 1 to 12 of A-Z, 0-9, blank, '-' and '.'";
    } else {
        entry.score = static_cast<int32_t>(score);
        entry.level = static_cast<int32_t>(level);
        entry.fromLevel = static_cast<int32_t>(from);
        entry.fallMode = fall != 0;
        entry.date = words[4];
        entry.replay = words[5] == "-" ? std::string() : words[5];
        entry.name = rest;
        return true;
    }
    return false;
}

bool decodePackLine(const std::string& line, const char* lead, PackId& pack, std::string& why)
{
    std::vector<std::string> words;
    std::string rest;
    const int leading = lead ? 1 : 0;
    if (!splitWords(line, leading + 1, words, rest) || (lead && words[0] != lead)) {
        why = lead ? std::string("expected \"") + lead + " <hash> <pack>\"" : "expected \"<hash> <level> <pack>\"";
        return false;
    }
    if (!hashValueOf(words[leading], pack.hash)) {
        why = "the pack's hash is not 16 hexadecimal digits";
        return false;
    }
    pack.name = rest;
    if (!lead) {
        return true;   // the caller splits the level from the name
    }
    if (!goodPackName(pack.name)) {
        why = "the pack's name is not a file name";
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// settings.ini
// ---------------------------------------------------------------------------

struct SettingLine {
    const char* name;
    int32_t Settings::*number;   // a number setting, or null
    int64_t low, high;
    int key;   // a key setting: its index in Settings::keys; -1 otherwise
};

const SettingLine SETTING_LINES[] = {
    {"sound volume", &Settings::soundVolume, 0, VOLUME_STEPS, -1},
    {"music volume", &Settings::musicVolume, 0, VOLUME_STEPS, -1},
    {"muted", nullptr, 0, 1, -1},
    {"mouse speed", &Settings::mouseSpeed, MOUSE_SPEED_MIN, MOUSE_SPEED_MAX, -1},
    {"key left", nullptr, 0, 0, 0},
    {"key right", nullptr, 0, 0, 1},
    {"key launch", nullptr, 0, 0, 2},
    {"key pause", nullptr, 0, 0, 3},
};

bool goodKeyName(const std::string& name)
{
    if (name.empty() || name.size() >= static_cast<size_t>(KEY_NAME_SIZE)) {
        return false;
    }
    for (char c : name) {
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')) {
            return false;
        }
    }
    return true;
}

std::string trimmedText(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// ---------------------------------------------------------------------------
// Files
// ---------------------------------------------------------------------------

enum class FileRead { Missing, Read, Unreadable };

// The whole of a small file; Unreadable (and why) for a file that cannot be
// read, is no plain file (a folder, a FIFO is never waited on) or is too large.
FileRead readSmallFile(const char* path, std::string& text, std::string& why)
{
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) {
            return FileRead::Missing;
        }
        why = strerror(errno);
        return FileRead::Unreadable;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        why = "it is not a plain file";
        return FileRead::Unreadable;
    }
    text.clear();
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            why = strerror(errno);
            close(fd);
            return FileRead::Unreadable;
        }
        if (n == 0) {
            break;
        }
        if (text.size() + static_cast<size_t>(n) > RECORDS_FILE_MAX) {
            close(fd);
            why = "it is larger than " + std::to_string(RECORDS_FILE_MAX >> 20) + " MB";
            return FileRead::Read;   // read, and refused as damaged: no file of ours grows that large
        }
        text.append(buffer, static_cast<size_t>(n));
    }
    close(fd);
    return FileRead::Read;
}

// Renames path to the first free <path>.damaged, <path>.damaged-2, ...; the name it took, or empty.
std::string setAside(const char* path)
{
    for (int i = 1; i <= SET_ASIDE_TRIES; ++i) {
        std::string aside = std::string(path) + DAMAGED_SUFFIX;
        if (i > 1) {
            aside += "-" + std::to_string(i);
        }
        struct stat info {};
        if (lstat(aside.c_str(), &info) == 0) {
            continue;   // an earlier damaged file keeps its name
        }
        if (rename(path, aside.c_str()) == 0) {
            return aside;
        }
        return {};
    }
    return {};
}

// Reads a records file with decode; what to tell the player about it.
template <typename Decode>
RecordsLoad loadRecords(const char* path, const char* what, Decode decode)
{
    RecordsLoad load;
    std::string text;
    std::string why;
    const FileRead read = readSmallFile(path, text, why);
    if (read == FileRead::Missing) {
        return load;
    }
    if (read == FileRead::Unreadable) {
        load.damaged = true;
        load.writable = false;
        load.message = std::string(path) + " cannot be read (" + why + "): " + what + " are not kept this time.";
        return load;
    }
    if (why.empty() && decode(text, load, why)) {
        return load;
    }
    load.damaged = true;
    const std::string aside = setAside(path);
    if (aside.empty()) {
        load.writable = false;
        load.message = std::string(path) + " is damaged (" + why + ") and could not be set aside (" + strerror(errno) +
                       "): " + what + " are not kept this time.";
    } else {
        load.message =
            std::string(path) + " is damaged (" + why + "); it is kept as " + aside + " and " + what + " start afresh.";
    }
    return load;
}

bool saveText(const char* path, const std::string& text, std::string& failure)
{
    return replaceFile(
        path,
        [&](FILE* out, std::string& failed) {
            if (fwrite(text.data(), 1, text.size(), out) != text.size()) {
                failed = fileFailure("write", path);
                return false;
            }
            return true;
        },
        failure);
}

}   // namespace

// ---------------------------------------------------------------------------
// Text
// ---------------------------------------------------------------------------

std::string encodeScoreBook(const ScoreBook& book)
{
    std::string text = "# Tessivar's high scores: each pack's table (the pack's name and content hash), best first.\n";
    text += std::string(SCORES_HEADER) + "\n";
    if (!book.lastName.empty()) {
        text += "name " + book.lastName + "\n";
    }
    for (const ScoreTable& table : book.tables) {
        if (table.entries.empty()) {
            continue;
        }
        text += "pack " + hashText(table.pack.hash) + " " + table.pack.name + "\n";
        for (const ScoreEntry& e : table.entries) {
            text += std::to_string(e.score) + " " + std::to_string(e.level) + " " + std::to_string(e.fromLevel) + " " +
                    (e.fallMode ? "1" : "0") + " " + e.date + " " + (e.replay.empty() ? "-" : e.replay) + " " + e.name +
                    "\n";
        }
    }
    return text + "end\n";
}

namespace {

// The frame both record files share: comments and blank lines anywhere, the header first, each
// record line given to take (which says why it refuses one), an "end" line last and nothing after it.
template <typename Take>
bool walkRecordLines(const std::string& text, const char* header, const char* kind, Take take, std::string& why)
{
    std::vector<std::string> lines;
    if (!splitLines(text, lines, why)) {
        return false;
    }
    bool headerSeen = false;
    bool ended = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const std::string where = "line " + std::to_string(i + 1) + ": ";
        if (skippable(line)) {
            continue;
        }
        if (ended) {
            why = where + "more follows the end";
            return false;
        }
        if (!headerSeen) {
            if (line != header) {
                const std::string family = std::string("tessivar ") + kind + " ";
                why = line.rfind(family, 0) == 0 ? where + "a format this version cannot read"
                                                 : where + "not a " + kind + " file";
                return false;
            }
            headerSeen = true;
        } else if (line == "end") {
            ended = true;
        } else if (!take(line, why)) {
            why = where + why;
            return false;
        }
    }
    if (!headerSeen) {
        why = "it is empty";
        return false;
    }
    if (!ended) {
        why = "it ends early (no \"end\" line)";
        return false;
    }
    return true;
}

}   // namespace

bool decodeScoreBook(const std::string& text, ScoreBook& book, std::string& why)
{
    ScoreBook read;
    const auto take = [&read](const std::string& line, std::string& refusal) {
        if (line.rfind("name ", 0) == 0 && read.tables.empty()) {
            read.lastName = line.substr(5);
            if (!goodPlayerName(read.lastName)) {
                refusal = "the last name is not 1 to 12 of A-Z, 0-9, blank, '-' and '.'";
                return false;
            }
            return true;
        }
        if (line.rfind("pack ", 0) == 0) {
            PackId pack;
            if (!decodePackLine(line, "pack", pack, refusal)) {
                return false;
            }
            for (const ScoreTable& table : read.tables) {
                if (samePack(table.pack, pack)) {
                    refusal = "a second table for " + pack.name;
                    return false;
                }
            }
            if (read.tables.size() >= static_cast<size_t>(RECORDED_PACKS_MAX)) {
                refusal = "more than " + std::to_string(RECORDED_PACKS_MAX) + " tables";
                return false;
            }
            read.tables.push_back({pack, {}});
            return true;
        }
        ScoreEntry entry;
        if (read.tables.empty()) {
            refusal = "a game before any pack";
            return false;
        }
        if (!decodeEntry(line, entry, refusal)) {
            return false;
        }
        std::vector<ScoreEntry>& entries = read.tables.back().entries;
        if (entries.size() >= static_cast<size_t>(TABLE_SIZE)) {
            refusal = "more than " + std::to_string(TABLE_SIZE) + " games in a table";
            return false;
        }
        if (!entries.empty() && entries.back().score < entry.score) {
            refusal = "the games are not best first";
            return false;
        }
        entries.push_back(entry);
        return true;
    };
    if (!walkRecordLines(text, SCORES_HEADER, "scores", take, why)) {
        return false;
    }
    book = read;
    return true;
}

std::string encodeContinueBook(const ContinueBook& book)
{
    std::string text = "# Tessivar's continue points: the furthest level begun in each pack (name and content hash).\n";
    text += std::string(CONTINUE_HEADER) + "\n";
    for (const ContinuePoint& point : book.points) {
        text += hashText(point.pack.hash) + " " + std::to_string(point.level) + " " + point.pack.name + "\n";
    }
    return text + "end\n";
}

bool decodeContinueBook(const std::string& text, ContinueBook& book, std::string& why)
{
    ContinueBook read;
    const auto take = [&read](const std::string& line, std::string& refusal) {
        ContinuePoint point;
        if (!decodePackLine(line, nullptr, point.pack, refusal)) {
            return false;
        }
        const size_t blank = point.pack.name.find(' ');
        int64_t level = 0;
        if (blank == std::string::npos || !wholeNumber(point.pack.name.substr(0, blank), 2, INT32_MAX, level)) {
            refusal = "the level is not a number from 2 to 2147483647";
            return false;
        }
        point.level = static_cast<int32_t>(level);
        point.pack.name = point.pack.name.substr(blank + 1);
        if (!goodPackName(point.pack.name)) {
            refusal = "the pack's name is not a file name";
            return false;
        }
        for (const ContinuePoint& other : read.points) {
            if (samePack(other.pack, point.pack)) {
                refusal = "a second point for " + point.pack.name;
                return false;
            }
        }
        if (read.points.size() >= static_cast<size_t>(RECORDED_PACKS_MAX)) {
            refusal = "more than " + std::to_string(RECORDED_PACKS_MAX) + " packs";
            return false;
        }
        read.points.push_back(point);
        return true;
    };
    if (!walkRecordLines(text, CONTINUE_HEADER, "continue", take, why)) {
        return false;
    }
    book = read;
    return true;
}

std::string encodeSettings(const Settings& settings)
{
    std::string text =
        "# Tessivar's settings beside config.ini: volumes 0-10, muted 0 or 1, mouse speed 1-10 (5: the game's own),\n"
        "# the keys of play by their X names (xev shows them).\n";
    for (const SettingLine& line : SETTING_LINES) {
        text += std::string(line.name) + " = ";
        if (line.number) {
            text += std::to_string(settings.*line.number);
        } else if (line.key >= 0) {
            text += settings.keys[line.key];
        } else {
            text += settings.muted ? "1" : "0";
        }
        text += "\n";
    }
    return text;
}

bool decodeSettings(const std::string& text, Settings& settings, std::vector<std::string>& notes, std::string& why)
{
    std::vector<std::string> lines;
    if (!splitLines(text, lines, why)) {
        return false;
    }
    Settings read = settings;
    bool seen[sizeof SETTING_LINES / sizeof SETTING_LINES[0]] = {};
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string where = "line " + std::to_string(i + 1) + ": ";
        if (skippable(trimmedText(lines[i]))) {
            continue;
        }
        const size_t equals = lines[i].find('=');
        const std::string name = trimmedText(lines[i].substr(0, equals));
        const std::string value =
            equals == std::string::npos ? std::string() : trimmedText(lines[i].substr(equals + 1));
        int known = -1;
        for (size_t k = 0; k < sizeof SETTING_LINES / sizeof SETTING_LINES[0]; ++k) {
            known = name == SETTING_LINES[k].name ? static_cast<int>(k) : known;
        }
        if (equals == std::string::npos || known < 0) {
            notes.push_back(where + "\"" + name.substr(0, 40) + "\" is no setting; left out");
            continue;
        }
        const SettingLine& line = SETTING_LINES[known];
        if (seen[known]) {
            notes.push_back(where + line.name + " is set a second time; the first one stands");
            continue;
        }
        seen[known] = true;
        if (line.key >= 0) {
            if (!goodKeyName(value) || keyReserved(value.c_str())) {
                notes.push_back(where + line.name + " \"" + value.substr(0, 40) + "\" cannot be a key of play; kept " +
                                read.keys[line.key]);
                continue;
            }
            snprintf(read.keys[line.key], KEY_NAME_SIZE, "%s", value.c_str());
            continue;
        }
        int64_t number = 0;
        if (!wholeNumber(value, line.low, line.high, number)) {
            notes.push_back(where + line.name + " \"" + value.substr(0, 40) + "\" is not " + std::to_string(line.low) +
                            " to " + std::to_string(line.high) + "; left out");
            continue;
        }
        if (line.number) {
            read.*line.number = static_cast<int32_t>(number);
        } else {
            read.muted = number != 0;
        }
    }
    // One key for two things would do both at once: the player's keys go back to their defaults.
    for (int a = 0; a < BOUND_KEY_COUNT; ++a) {
        for (int b = a + 1; b < BOUND_KEY_COUNT; ++b) {
            if (strcmp(read.keys[a], read.keys[b]) == 0) {
                notes.push_back(std::string("the key ") + read.keys[a] +
                                " is given to two things; the keys of play are back to their defaults");
                const Settings defaults;
                memcpy(read.keys, defaults.keys, sizeof read.keys);
                a = BOUND_KEY_COUNT;
                break;
            }
        }
    }
    settings = read;
    return true;
}

// ---------------------------------------------------------------------------
// Files
// ---------------------------------------------------------------------------

RecordsLoad loadScoreBook(const char* path, ScoreBook& book)
{
    return loadRecords(path, "the high scores", [&](const std::string& text, RecordsLoad&, std::string& why) {
        return decodeScoreBook(text, book, why);
    });
}

RecordsLoad loadContinueBook(const char* path, ContinueBook& book)
{
    return loadRecords(path, "the continue points", [&](const std::string& text, RecordsLoad&, std::string& why) {
        return decodeContinueBook(text, book, why);
    });
}

RecordsLoad loadSettings(const char* path, Settings& settings)
{
    RecordsLoad load =
        loadRecords(path, "the settings", [&](const std::string& text, RecordsLoad& into, std::string& why) {
            return decodeSettings(text, settings, into.notes, why);
        });
    for (std::string& note : load.notes) {
        note = std::string(path) + " " + note + ".";
    }
    return load;
}

bool saveScoreBook(const char* path, const ScoreBook& book, std::string& failure)
{
    return saveText(path, encodeScoreBook(book), failure);
}

bool saveContinueBook(const char* path, const ContinueBook& book, std::string& failure)
{
    return saveText(path, encodeContinueBook(book), failure);
}

bool saveSettings(const char* path, const Settings& settings, std::string& failure)
{
    return saveText(path, encodeSettings(settings), failure);
}
