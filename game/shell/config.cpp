// game/shell/config: config.ini and level pack discovery.
#include "game/shell/config.h"

#include "levelpack/intreader.h"
#include "levelpack/safefile.h"
#include "platform/dirlist.h"

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

Config config;
PackList packList;

namespace {

// One setting of config.ini: the next integer, taken when it lies in [low, high]. A number outside is
// reported as it was read and the setting keeps the value it had (its default), so no wrapped value is
// ever played or written back. False when there is no integer to read.
bool readSetting(IntReader& in, const char* name, int64_t low, int64_t high, int64_t& setting)
{
    int64_t value = 0;
    if (readWideInt(in, value) != ReadOutcome::Value) {
        return false;
    }
    if (value >= low && value <= high) {
        setting = value;
        return true;
    }
    // Past 32 bits the reader keeps the number's text, which a saturated value no longer matches.
    const bool wide = value > INT32_MAX || value < INT32_MIN;
    const std::string read = wide && !in.badToken.empty() ? in.badToken : std::to_string(value);
    printf("config.ini: the %s %s is out of range (%lld to %lld); using %lld.\n", name, read.c_str(),
           static_cast<long long>(low), static_cast<long long>(high), static_cast<long long>(setting));
    return true;
}

// The display after the four values: a file without it means full screen.
void readDisplayValue(IntReader& in, Config& cfg)
{
    int64_t windowed = cfg.windowed;
    readSetting(in, "display", 0, UINT8_MAX, windowed);
    cfg.windowed = static_cast<uint8_t>(windowed);
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
        printf("%s: %s; starting with the default settings.\n", path, strerror(errno));
        return false;
    }
    // A folder opens but reads as nothing: it is no more a config.ini than a missing file.
    struct stat info {};
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) {
        fclose(file);
        printf("%s: not a settings file (a folder?); starting with the default settings.\n", path);
        return false;
    }
    // The level format's reader: a value that is no integer stays unread, so
    // it and everything after it keep their defaults and the word is read as
    // the pack name.
    IntReader in = readerOverFile(file);
    int64_t width = cfg.screenWidth;
    int64_t height = cfg.screenHeight;
    int64_t mouse = cfg.mouseControl;
    int64_t fall = cfg.fallMode;
    bool reading = readSetting(in, "window width", 1, INT32_MAX, width);
    // Once an integer fails, the following ones fail at the same place.
    reading = reading && readSetting(in, "window height", 1, INT32_MAX, height);
    reading = reading && readSetting(in, "control mode", 0, UINT8_MAX, mouse);
    reading = reading && readSetting(in, "fall mode", 0, UINT8_MAX, fall);
    cfg.screenWidth = static_cast<int32_t>(width);
    cfg.screenHeight = static_cast<int32_t>(height);
    cfg.mouseControl = static_cast<uint8_t>(mouse);
    cfg.fallMode = static_cast<uint8_t>(fall);
    bool tooLong = false;
    readWord(in, cfg.levelPackName, sizeof cfg.levelPackName, tooLong);
    // The display follows a pack name, as writeConfig puts it (a name that reads as empty has none).
    if (reading && cfg.levelPackName[0]) {
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
    // Through the safe replace: a failure anywhere leaves the old file as it was.
    std::string why;
    const bool written = replaceFile(
        path,
        [&](FILE* out, std::string& failed) {
            const int nameLength = static_cast<int>(strnlen(cfg.levelPackName, sizeof cfg.levelPackName));
            if (fprintf(out, "%d %d\n%d\n%d\n%.*s\n", cfg.screenWidth, cfg.screenHeight, cfg.mouseControl, cfg.fallMode,
                        nameLength, cfg.levelPackName) < 0 ||
                writeDisplayValue(out, cfg) < 0) {
                failed = fileFailure("write", path);
                return false;
            }
            return true;
        },
        why);
    if (!written && failure) {
        *failure = why;
    }
    return written;
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
