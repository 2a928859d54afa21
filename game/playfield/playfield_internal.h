// game/playfield/playfield_internal: steps shared between the play-rule files.
#pragma once

#include "game/playfield/playfield.h"

// laser.cpp: the laser test of one standing brick in the pass.
bool laserMeetsBrick(const Brick& brick);

// laser.cpp: one falling brick's step with the crush test against paddle;
// true when it crushed the paddle.
bool stepFallingBrick(Brick& brick, const Paddle& paddle);
