// game/shell/arguments: the game's own command-line options. GLUT's (such as
// -display or -geometry) are left in place for glutInit.
#include "game/shell/shell.h"

#include <cstdlib>
#include <cstring>

namespace {

// The value of option name at argv[i] ("--name VALUE" or "--name=VALUE"); null when argv[i] is not it.
// A missing or empty value is a failure.
const char* optionValue(int argc, char** argv, int& i, const char* name, std::string& failure, bool& failed)
{
    const size_t length = strlen(name);
    const char* arg = argv[i];
    if (strncmp(arg, name, length) != 0) {
        return nullptr;
    }
    if (arg[length] == '=') {
        if (arg[length + 1] != '\0') {
            return arg + length + 1;
        }
    } else if (arg[length] != '\0') {
        return nullptr;   // another option that begins alike
    } else if (i + 1 < argc && argv[i + 1][0] != '\0') {
        return argv[++i];
    }
    failure = std::string(name) + " needs a value";
    failed = true;
    return nullptr;
}

}   // namespace

bool takeGameArguments(int& argc, char** argv, GameArguments& arguments, std::string& failure)
{
    int kept = 1;
    bool failed = false;
    bool optionsEnded = false;
    for (int i = 1; i < argc && !failed; ++i) {
        const char* arg = argv[i];
        const char* value = nullptr;
        if (optionsEnded || arg[0] != '-' || arg[1] == '\0') {
            if (!arguments.packFile.empty()) {
                failure = "one pack file at a time";
                return false;
            }
            arguments.packFile = arg;   // "open with": a pack to bring into the packs folder
        } else if (strcmp(arg, "--") == 0) {
            optionsEnded = true;
        } else if ((value = optionValue(argc, argv, i, "--replay", failure, failed))) {
            arguments.replayPath = value;
        } else if ((value = optionValue(argc, argv, i, "--pack", failure, failed))) {
            arguments.packName = value;
        } else if ((value = optionValue(argc, argv, i, "--level", failure, failed))) {
            char* end = nullptr;
            const long number = strtol(value, &end, 10);
            if (*end != '\0' || number < 1 || number > 1000000) {
                failure = std::string("--level takes a level number from 1, not ") + value;
                return false;
            }
            arguments.levelNumber = static_cast<int32_t>(number);
        } else if (failed) {
            break;
        } else if (strcmp(arg, "--window") == 0) {
            arguments.window = true;
        } else if (strncmp(arg, "--", 2) == 0) {
            failure = std::string("unknown option ") + arg;
            return false;
        } else {
            // GLUT's: -display and -geometry take the next word with them.
            argv[kept++] = argv[i];
            if ((strcmp(arg, "-display") == 0 || strcmp(arg, "-geometry") == 0) && i + 1 < argc) {
                argv[kept++] = argv[++i];
            }
        }
    }
    if (failed) {
        return false;
    }
    if (!arguments.replayPath.empty() && (arguments.levelNumber > 0 || !arguments.packFile.empty())) {
        failure = "a replay plays its own pack and level";
        return false;
    }
    argc = kept;
    argv[argc] = nullptr;
    return true;
}
