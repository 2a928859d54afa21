// game/shell/shell: the game program's start-up and its program-wide shell values.
#pragma once

#include "game/playfield/playfield.h"   // musicPlaying, which loadLevel clears

#include <cstdint>
#include <string>

// Plays a cue on the channel the catalogue gives it.
void playCue(SampleSlot slot);

// What the command line asks of the game.
struct GameArguments {
    std::string replayPath;   // --replay FILE (or --replay=FILE): play that replay, then end
    std::string packName;     // --pack NAME: the pack of that name in the packs folder
    int32_t levelNumber = 0;  // --level N: play level N straight away, then end; 0: the menu
    bool window = false;      // --window: in a window, whatever config.ini says
    std::string packFile;     // FILE.tlp: brought into the packs folder and selected
};
constexpr const char* GAME_USAGE =
    "usage: tessivar [--replay FILE] [--pack NAME] [--level N] [--window] [FILE.tlp] [X options]";

// Takes the game's own options out of argv, leaving the others (GLUT's, such
// as -display) in order for glutInit. False, with failure saying why, for an
// option it does not know ("--...") or one without its value.
bool takeGameArguments(int& argc, char** argv, GameArguments& arguments, std::string& failure);
