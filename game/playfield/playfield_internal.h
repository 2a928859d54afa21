// game/playfield/playfield_internal: steps shared between the play-rule files.
#pragma once

#include "game/playfield/playfield.h"

#include <cmath>
#include <cstdint>

// A clock reading in whole ms, truncated towards zero; a reading beyond the
// 32-bit range (a replay's, say) stops at its end instead of overflowing.
inline int32_t wholeMilliseconds(double ms)
{
    if (!(ms > INT32_MIN)) {
        return std::isnan(ms) ? 0 : INT32_MIN;
    }
    return ms < INT32_MAX ? static_cast<int32_t>(ms) : INT32_MAX;
}

// laser.cpp: the laser test of one standing brick in the pass.
bool laserMeetsBrick(const PlayField& field, const Brick& brick);

// laser.cpp: the row whose bricks the shot pair hits in this pass (the lowest
// row it has reached), or -1 when it reaches none.
int laserTargetRow(const PlayField& field);

// laser.cpp: one falling brick's step with the crush test against paddle;
// true when it crushed the paddle.
bool stepFallingBrick(PlayField& field, Brick& brick, const Paddle& paddle, double tick, PlayEvents& events);

// bricks.cpp: after a ball's move from (fromX, fromY), a step that would have
// carried it into a standing brick ends on the face it crossed instead; the
// brick pass then bounces it off that face.
void stopAtBrickFace(PlayField& field, int slot, double fromX, double fromY);

// balls.cpp: the ball rests on the paddle (a held ball, carried along by it):
// nothing lies on its way, so the brick tests pass it by.
bool restsOnPaddle(const PlayField& field, const Ball& ball);

// balls.cpp: the speed-up the balls' counted bounces bring.
constexpr int SPEED_UP_BOUNCES = 40;   // counted bounces per speed step
constexpr double SPEED_STEP = 0.25;
constexpr double SPEED_MAX = 3.0;
