// game/shell/gamestate: the one GameState instance and the shell's seams.
#include "game/shell/gamestate.h"

GameState game;
RunOnly runOnly;
ShellSeams shellSeams;
FrameClock frameClock;
bool musicPlaying = false;
