// game/shell/command_line: what the game takes on its command line: --help, --version, --replay FILE, --pack NAME,
// --level N, --window, a pack file and the X options GLUT reads itself (-display, -geometry, -sync...). Anything
// else that looks like an option is refused.
#pragma once

// Answers --help, --version and a refused line (see platform/cmdline.h): the exit status, or -1 when the
// game starts. argv is left as it is for glutInit.
int answerGameCommandLine(int argc, char** argv);
