// game/shell/command_line: the game's command line (see command_line.h).
#include "game/shell/command_line.h"

#include "platform/cmdline.h"

namespace {

const char* const USAGE =
    "usage: tessivar [--help] [--version] [--replay FILE] [X options]\n"
    "  Opens the game full screen. --replay FILE plays a recorded game back in the window.\n"
    "  The X options are GLUT's: -display NAME, -geometry WxH+X+Y, -sync,\n"
    "  -iconic, -direct, -indirect, -gldebug.\n";

const OptionSpec GAME_OPTIONS[] = {{"--replay", true}, {nullptr, false}};

}   // namespace

int answerGameCommandLine(int argc, char** argv)
{
    // A file name (the desktop's "open with") is taken and left alone.
    return answerCommandLine(readCommandLine(argc, argv, GAME_OPTIONS, true), "tessivar", USAGE);
}
