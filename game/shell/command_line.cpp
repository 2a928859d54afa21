// game/shell/command_line: the game's command line (see command_line.h).
#include "game/shell/command_line.h"

#include "platform/cmdline.h"

namespace {

const char* const USAGE =
    "usage: tessivar [--help] [--version] [X options]\n"
    "  Opens the game full screen. The X options are GLUT's: -display NAME, -geometry WxH+X+Y, -sync,\n"
    "  -iconic, -direct, -indirect, -gldebug.\n";

const OptionSpec NO_OWN_OPTIONS[] = {{nullptr, false}};

}   // namespace

int answerGameCommandLine(int argc, char** argv)
{
    // A file name (the desktop's "open with") is taken and left alone.
    return answerCommandLine(readCommandLine(argc, argv, NO_OWN_OPTIONS, true), "tessivar", USAGE);
}
