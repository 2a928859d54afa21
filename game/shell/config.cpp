// game/shell/config: config.ini and level pack discovery.
#include "game/shell/config.h"

#include "levelpack/intreader.h"
#include "platform/dirlist.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

Config config;
PackList packList;

namespace {

// The display after the four values: a file without it means full screen.
void readDisplayValue(IntReader& in, Config& cfg)
{
    int64_t value = 0;
    if (readWideInt(in, value) == ReadOutcome::Value) {
        cfg.windowed = static_cast<uint8_t>(value & 0xFF);
    }
}

// Only a window is written, and only after a pack name; 0 or a negative number on failure.
int writeDisplayValue(FILE* file, const Config& cfg)
{
    return cfg.windowed && cfg.levelPackName[0] ? fprintf(file, "%d\n", cfg.windowed) : 1;
}

}   // namespace

bool readConfig(const char* path, Config& cfg)
{
    FILE* file = fopen(path, "r");
    if (!file) {
        return false;
    }
    // A folder opens but reads as nothing: it is no more a config.ini than a missing file.
    struct stat info {};
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) {
        fclose(file);
        return false;
    }
    // The level format's reader: a value that is no integer stays unread, so
    // it and everything after it keep their defaults and the word is read as
    // the pack name.
    IntReader in = readerOverFile(file);
    int64_t value = 0;
    bool reading = true;   // once an integer fails, the following ones fail at the same place
    if (reading && (reading = readWideInt(in, value) == ReadOutcome::Value)) {
        cfg.screenWidth = static_cast<int32_t>(value);
    }
    if (reading && (reading = readWideInt(in, value) == ReadOutcome::Value)) {
        cfg.screenHeight = static_cast<int32_t>(value);
    }
    if (reading && (reading = readWideInt(in, value) == ReadOutcome::Value)) {
        cfg.mouseControl = static_cast<uint8_t>(value & 0xFF);
    }
    if (reading && (reading = readWideInt(in, value) == ReadOutcome::Value)) {
        cfg.fallMode = static_cast<uint8_t>(value & 0xFF);
    }
    bool tooLong = false;
    readWord(in, cfg.levelPackName, sizeof cfg.levelPackName, tooLong);
    if (reading) {
        readDisplayValue(in, cfg);
    }
    if (tooLong) {
        printf("config.ini: the level pack name is longer than %d characters and was ignored.\n", PACK_NAME_SIZE - 1);
    }
    fclose(file);
    return true;
}

bool writeConfig(const char* path, const Config& cfg, std::string* failure)
{
    // The settings go to a temporary file beside config.ini, which then takes
    // its place in one step: a failure anywhere leaves the old file as it was.
    const std::string temp = std::string(path) + ".tmp";
    // Only a temporary file this call made is removed, never something of that name it found.
    auto fail = [&](const char* what, const std::string& file, FILE* open, bool made = true) {
        const int error = errno;
        if (open) {
            fclose(open);
        }
        if (made) {
            remove(temp.c_str());
        }
        if (failure) {
            *failure = std::string("cannot ") + what + " " + file + ": " + strerror(error);
        }
        return false;
    };
    FILE* file = fopen(temp.c_str(), "w");
    if (!file) {
        return fail("create", temp, nullptr, false);
    }
    struct stat old {};
    if (stat(path, &old) == 0 && S_ISREG(old.st_mode)) {
        fchmod(fileno(file), old.st_mode & 07777);
    }
    const int written = fprintf(file, "%d %d\n%d\n%d\n%s\n", cfg.screenWidth, cfg.screenHeight, cfg.mouseControl,
                                cfg.fallMode, cfg.levelPackName);
    if (written < 0 || writeDisplayValue(file, cfg) < 0 || fflush(file) != 0) {
        return fail("write", temp, file);
    }
    if (fsync(fileno(file)) != 0) {
        return fail("flush to disk", temp, file);
    }
    if (fclose(file) != 0) {
        return fail("write", temp, nullptr);
    }
    if (rename(temp.c_str(), path) != 0) {
        return fail("replace", std::string(path) + " with " + temp, nullptr);
    }
    return true;
}

bool windowSizeUsable(int32_t width, int32_t height, int screenWidth, int screenHeight)
{
    if (width < MIN_WINDOW_WIDTH || height < MIN_WINDOW_HEIGHT) {
        return false;
    }
    // An unknown screen (0) limits nothing.
    return (screenWidth <= 0 || width <= screenWidth) && (screenHeight <= 0 || height <= screenHeight);
}

void checkWindowSize(Config& cfg, int screenWidth, int screenHeight)
{
    if (windowSizeUsable(cfg.screenWidth, cfg.screenHeight, screenWidth, screenHeight)) {
        return;
    }
    const Config defaults;
    int32_t width = defaults.screenWidth;
    int32_t height = defaults.screenHeight;
    if (!windowSizeUsable(width, height, screenWidth, screenHeight) &&
        windowSizeUsable(screenWidth, screenHeight, screenWidth, screenHeight)) {
        width = screenWidth;   // a screen smaller than the default: all of it
        height = screenHeight;
    }
    printf("config.ini: a %dx%d window does not fit this %dx%d screen (or is below %dx%d); using %dx%d.\n",
           static_cast<int>(cfg.screenWidth), static_cast<int>(cfg.screenHeight), screenWidth, screenHeight,
           MIN_WINDOW_WIDTH, MIN_WINDOW_HEIGHT, static_cast<int>(width), static_cast<int>(height));
    cfg.screenWidth = width;
    cfg.screenHeight = height;
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
        // config.ini keeps the name as one word: one with a blank would read back cut short.
        bool blank = false;
        for (size_t k = 0; k < length; ++k) {
            blank = blank || isspace(static_cast<unsigned char>(names[i][k]));
        }
        if (blank) {
            printf("Levels Packs: skipping \"%s\": config.ini cannot keep a name with a blank; rename the file.\n",
                   names[i]);
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
