// game/shell/shell: the game program's start-up and its program-wide shell values.
#pragma once

#include "game/playfield/playfield.h"   // musicPlaying, which loadLevel clears

#include <string>

// Plays a cue on the channel the catalogue gives it.
void playCue(SampleSlot slot);

// What the command line asks of the game.
struct GameArguments {
    std::string replayPath;   // --replay FILE (or --replay=FILE): play that replay, then end
};
constexpr const char* GAME_USAGE = "usage: tessivar [--replay FILE]";

// Takes the game's own options out of argv, leaving the others (GLUT's, such
// as -display) in order for glutInit. False, with failure saying why, for an
// option it does not know ("--...") or one without its value.
bool takeGameArguments(int& argc, char** argv, GameArguments& arguments, std::string& failure);
