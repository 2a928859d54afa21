// game/shell/config: config.ini and level pack discovery.
#include "game/shell/config.h"

#include "platform/dirlist.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

Config config;
PackList packList;

namespace {

// Reads like "%d": white space skipped, sign, digits. On failure nothing is
// consumed beyond the white space, so the next read sees the same text.
bool scanInt(FILE* file, int64_t& value)
{
    int c = getc(file);
    while (c != EOF && isspace(c)) {
        c = getc(file);
    }
    if (c != EOF) {
        ungetc(c, file);
    }
    // Remember where the word starts: a failed read leaves it whole for the
    // next read (the pack name), and only one character may be pushed back.
    const long start = ftell(file);
    c = getc(file);
    bool negative = false;
    if (c == '+' || c == '-') {
        negative = (c == '-');
        c = getc(file);
    }
    if (c == EOF || !isdigit(c)) {
        if (start >= 0) {
            fseek(file, start, SEEK_SET);
        }
        return false;
    }
    int64_t magnitude = 0;
    while (c != EOF && isdigit(c)) {
        if (magnitude < (int64_t{1} << 40)) {
            magnitude = magnitude * 10 + (c - '0');
        }
        c = getc(file);
    }
    if (c != EOF) {
        ungetc(c, file);
    }
    value = negative ? -magnitude : magnitude;
    return true;
}

// Reads one word of at most capacity - 1 bytes like "%s"; a longer word is dropped.
bool scanWord(FILE* file, char* out, size_t capacity, bool& tooLong)
{
    int c = getc(file);
    while (c != EOF && isspace(c)) {
        c = getc(file);
    }
    if (c == EOF) {
        return false;
    }
    std::string word;
    tooLong = false;
    while (c != EOF && !isspace(c)) {
        if (word.size() + 1 < capacity) {
            word.push_back(static_cast<char>(c));
        } else {
            tooLong = true;
        }
        c = getc(file);
    }
    if (tooLong) {
        return false;
    }
    memcpy(out, word.c_str(), word.size() + 1);
    return true;
}

}   // namespace

bool readConfig(const char* path, Config& cfg)
{
    FILE* file = fopen(path, "r");
    if (!file) {
        return false;
    }
    int64_t value = 0;
    bool reading = true;   // once an integer fails, the following ones fail at the same place
    if (reading && (reading = scanInt(file, value))) {
        cfg.screenWidth = static_cast<int32_t>(value);
    }
    if (reading && (reading = scanInt(file, value))) {
        cfg.screenHeight = static_cast<int32_t>(value);
    }
    if (reading && (reading = scanInt(file, value))) {
        cfg.mouseControl = static_cast<uint8_t>(value & 0xFF);
    }
    if (reading && (reading = scanInt(file, value))) {
        cfg.fallMode = static_cast<uint8_t>(value & 0xFF);
    }
    bool tooLong = false;
    scanWord(file, cfg.levelPackName, sizeof cfg.levelPackName, tooLong);
    if (tooLong) {
        printf("config.ini: the level pack name is longer than %d characters and was ignored.\n",
               PACK_NAME_SIZE - 1);
    }
    fclose(file);
    return true;
}

bool writeConfig(const char* path, const Config& cfg)
{
    FILE* file = fopen(path, "w");
    if (!file) {
        return false;
    }
    const int written = fprintf(file, "%d %d\n%d\n%d\n%s\n", cfg.screenWidth, cfg.screenHeight, cfg.mouseControl,
                                cfg.fallMode, cfg.levelPackName);
    const bool closed = fclose(file) == 0;
    return written > 0 && closed;
}

void fillPackList(PackList& list, const char* const* names, int nameCount, const Config& cfg)
{
    list = PackList{};
    for (int i = 0; i < nameCount; ++i) {
        const size_t length = strlen(names[i]);
        if (length >= PACK_NAME_SIZE) {
            printf("Levels Packs: skipping \"%s\": the name is longer than %d characters.\n", names[i],
                   PACK_NAME_SIZE - 1);
            continue;
        }
        if (list.count == PACK_LIST_SIZE) {
            printf("Levels Packs: more than %d packs; skipping \"%s\" and the rest.\n", PACK_LIST_SIZE, names[i]);
            break;
        }
        memcpy(list.names[list.count], names[i], length + 1);
        if (strcmp(names[i], cfg.levelPackName) == 0) {
            list.packIndex = list.count;
        }
        list.lastPackIndex = list.count;
        ++list.count;
    }
}

void discoverPacks(PackList& list, const char* folder, const Config& cfg)
{
    const std::vector<std::string> files = listFiles(folder, ".tlp");
    std::vector<const char*> names;
    names.reserve(files.size());
    for (const std::string& file : files) {
        names.push_back(file.c_str());
    }
    fillPackList(list, names.data(), static_cast<int>(names.size()), cfg);
}
