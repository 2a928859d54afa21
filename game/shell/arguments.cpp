// game/shell/arguments: the game's own command-line options. GLUT's (such as
// -display or -geometry) are left in place for glutInit.
#include "game/shell/shell.h"

#include <cstring>

bool takeGameArguments(int& argc, char** argv, GameArguments& arguments, std::string& failure)
{
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (strcmp(arg, "--replay") == 0) {
            if (i + 1 >= argc || argv[i + 1][0] == '\0') {
                failure = "--replay needs a replay file";
                return false;
            }
            arguments.replayPath = argv[++i];
        } else if (strncmp(arg, "--replay=", 9) == 0 && arg[9] != '\0') {
            arguments.replayPath = arg + 9;
        } else if (strncmp(arg, "--", 2) == 0) {
            failure = std::string("unknown option ") + arg;
            return false;
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    argv[argc] = nullptr;
    return true;
}
