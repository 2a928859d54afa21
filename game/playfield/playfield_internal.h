// game/playfield/playfield_internal: steps shared between the play-rule files.
#pragma once

#include "game/playfield/playfield.h"

// laser.cpp: the laser test of one standing brick in the pass.
bool laserMeetsBrick(const Brick& brick);

// laser.cpp: the row whose bricks the shot pair hits in this pass (the lowest
// row it has reached), or -1 when it reaches none.
int laserTargetRow();

// laser.cpp: one falling brick's step with the crush test against paddle;
// true when it crushed the paddle.
bool stepFallingBrick(Brick& brick, const Paddle& paddle, double tick, PlayEvents& events);

// balls.cpp: the speed-up the balls' counted bounces bring.
constexpr int SPEED_UP_BOUNCES = 40;   // counted bounces per speed step
constexpr double SPEED_STEP = 0.25;
constexpr double SPEED_MAX = 3.0;
