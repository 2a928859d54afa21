// game/shell/shell: the game program's start-up and its program-wide shell values.
#pragma once

#include "game/playfield/playfield.h"   // musicPlaying, which loadLevel clears

// The fixed screen point the pointer returns to after every frame; half the
// default window size, never following the configured resolution.
constexpr int CURSOR_ANCHOR_X = 512;
constexpr int CURSOR_ANCHOR_Y = 384;

// Plays a cue on the channel the catalogue gives it.
void playCue(SampleSlot slot);

// The GLUT reshape callback; also applied by the RESOLUTION option.
void reshape(int width, int height);
