// game/shell/command_line: the game's command line (see command_line.h).
#include "game/shell/command_line.h"

#include "platform/cmdline.h"

namespace {

const char* const USAGE =
    "usage: tessivar [--help] [--version] [--replay FILE] [--pack NAME] [--level N] [--window]\n"
    "                [FILE.tlp] [X options]\n"
    "  Opens the game full screen (or in a window, as config.ini says).\n"
    "  --replay FILE  plays a recorded game back, then ends\n"
    "  --pack NAME    selects the pack NAME (with or without .tlp) of the packs folder\n"
    "  --level N      plays level N of the pack straight away, and ends when that game ends\n"
    "  --window       opens in a window, whatever config.ini says\n"
    "  FILE.tlp       brings the pack into the packs folder (checked first) and selects it\n"
    "  The X options are GLUT's: -display NAME, -geometry WxH+X+Y, -sync,\n"
    "  -iconic, -direct, -indirect, -gldebug.\n";

const OptionSpec GAME_OPTIONS[] = {
    {"--replay", true}, {"--pack", true}, {"--level", true}, {"--window", false}, {nullptr, false}};

}   // namespace

int answerGameCommandLine(int argc, char** argv)
{
    // A file name (the desktop's "open with") is taken and left alone.
    return answerCommandLine(readCommandLine(argc, argv, GAME_OPTIONS, true), "tessivar", USAGE);
}
