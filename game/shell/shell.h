// game/shell/shell: the game program's start-up and its program-wide shell values.
#pragma once

#include "game/playfield/playfield.h"   // musicPlaying, which loadLevel clears

// Plays a cue on the channel the catalogue gives it.
void playCue(SampleSlot slot);
