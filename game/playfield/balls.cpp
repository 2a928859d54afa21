// game/playfield/balls: ball motion, the wall, paddle and brick bounces, the
// speed-up, slot promotion, the lost-life reset and the nudge of a ball
// caught in a loop.
#include "game/playfield/playfield.h"

#include "game/playfield/playfield_internal.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double BRICK_FACE_SLOWDOWN = 1.5;   // top and bottom faces are judged on a longer step
// A ratio computed as a hair above 1 may stand for exactly 1 (the ball lands
// on the face at the end of the step); rounding must not let it step inside.
constexpr double NEAR_ALLOWANCE = 1e-9;

void setHorizontal(Ball& ball, bool right)
{
    ball.movingRight = right;
    ball.movingLeft = !right;
}

void setVertical(Ball& ball, bool up)
{
    ball.movingUp = up;
    ball.movingDown = !up;
}

double distance(double x0, double y0, double x1, double y1)
{
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    return std::sqrt(dx * dx + dy * dy);
}

// A face is near when the ball reaches it within the step: on it already
// (ratio 0) up to exactly at the step's end (ratio 1).
bool near(double ratio) { return ratio >= 0 && ratio <= 1 + NEAR_ALLOWANCE; }

}   // namespace

bool restsOnPaddle(const PlayField& field, const Ball& ball)
{
    return field.ballHeld && ball.y == field.paddle.y + field.paddle.halfHeight + BALL_RADIUS;
}

void moveBall(PlayField& field, int slot, double tick)
{
    Ball& ball = field.balls[slot];
    if (field.ballHeld) {
        field.paddle.halfWidth = PADDLE_HALF_WIDTH;
        field.laserArmed = false;
        ball.x = field.paddle.x;
        ball.y = field.paddle.y + field.paddle.halfHeight + BALL_RADIUS;
    } else {
        if (field.bounceCount > SPEED_UP_BOUNCES - 1) {
            field.speedFactor = field.speedFactor < SPEED_MAX ? field.speedFactor + SPEED_STEP : SPEED_MAX;
            field.bounceCount = 0;
        }

        const double d = field.speedFactor * tick;
        if (ball.movingRight) {
            ball.x += ball.speedX * d;
        }
        if (ball.movingLeft) {
            ball.x -= ball.speedX * d;
        }
        if (ball.movingUp) {
            ball.y += ball.speedY * d;
        }
        if (ball.movingDown) {
            ball.y -= ball.speedY * d;
        }
        ball.idleTicks += tick;
        ball.bricklessTicks += tick;
    }
}

void bounceOffWalls(PlayField& field, int slot, PlayEvents& events)
{
    Ball& ball = field.balls[slot];
    if (ball.x >= RIGHT_WALL - BALL_RADIUS) {
        ball.x = RIGHT_WALL - BALL_RADIUS;
        setHorizontal(ball, false);
        reportSound(events, SAMPLE_WALL);
        ++field.bounceCount;
    }
    if (ball.x <= LEFT_WALL + BALL_RADIUS) {
        ball.x = LEFT_WALL + BALL_RADIUS;
        setHorizontal(ball, true);
        reportSound(events, SAMPLE_WALL);
        ++field.bounceCount;
    }
    if (ball.y >= CEILING - BALL_RADIUS) {
        ball.y = CEILING - BALL_RADIUS;
        setVertical(ball, false);
        reportSound(events, SAMPLE_WALL);
        ++field.bounceCount;
    }
    // Only a ball still in play can be lost, so ballCount keeps matching the active slots.
    if (ball.y <= FLOOR_Y + BALL_RADIUS && ball.active) {
        --field.ballCount;
        ball.active = false;
    }
}

void bounceOffPaddle(PlayField& field, int slot, PlayEvents& events)
{
    Ball& ball = field.balls[slot];
    const Paddle& paddle = field.paddle;
    // A lost ball below a sinking paddle must not come back to life.
    if (!ball.active) {
        return;
    }
    const double px = paddle.x;
    const double py = paddle.y;
    const double pw = paddle.halfWidth;
    const double ph = paddle.halfHeight;
    const double r = BALL_RADIUS;
    if (!(ball.y - r <= py + ph && ball.y + r >= py - ph && ball.x + r > px - pw && ball.x - r < px + pw)) {
        return;
    }

    setVertical(ball, true);
    ball.y = py + ph + r;
    ball.idleTicks = 0;

    // The band edges are judged in single precision, so a ball placed at 30 %
    // of the paddle counts as 30 although the double quotient falls just short.
    const float p = static_cast<float>((ball.x - (px - pw)) * 100 / (2 * pw));
    struct Band {
        bool right;
        double speedX, speedY;
    };
    Band band;
    if (p < 10) {
        band = {false, 0.7, 0.3};
    } else if (p < 30) {
        band = {false, 0.6, 0.4};
    } else if (p < 50) {
        band = {false, 0.4, 0.6};
    } else if (p <= 70) {
        band = {true, 0.4, 0.6};
    } else if (p <= 90) {
        band = {true, 0.6, 0.4};
    } else {
        band = {true, 0.7, 0.3};
    }
    setHorizontal(ball, band.right);
    ball.speedX = band.speedX;
    ball.speedY = band.speedY;

    if (field.catchActive) {
        field.ballHeld = true;
    }
    reportSound(events, SAMPLE_BAR);
}

bool ballMeetsBrick(PlayField& field, int slot, int index, double tick)
{
    Ball& ball = field.balls[slot];
    const Brick& brick = field.bricks[index];

    // A ball resting on the paddle does not move, so nothing lies on its way;
    // projecting it over a long frame would reach bricks far above. The
    // other balls of a Catch are still in flight.
    if (restsOnPaddle(field, ball)) {
        return false;
    }
    // A frame without elapsed time has no step to predict along.
    const double s = ball.speedX * field.speedFactor * tick;
    if (!(s > 0)) {
        return false;
    }

    const double L = brick.x - brick.halfWidth;
    const double R = brick.x + brick.halfWidth;
    const double B = brick.y - brick.halfHeight;
    const double T = brick.y + brick.halfHeight;
    const double bx = ball.x;
    const double by = ball.y;

    // Every face distance is at least the distance to the brick's box, so a
    // ball beyond the longest near step (1.5 s) cannot meet any face.
    // Skipping it keeps the pass cheap: most balls are far from most bricks.
    const double reach = 2 * BRICK_FACE_SLOWDOWN * s;
    if (L - bx > reach || bx - R > reach || B - by > reach || by - T > reach) {
        return false;
    }

    const double dB = bx > R ? distance(bx, by, R, B) : bx < L ? distance(bx, by, L, B) : std::fabs(by - B);
    const double dT = bx > R ? distance(bx, by, R, T) : bx < L ? distance(bx, by, L, T) : std::fabs(by - T);
    const double dR = by < B ? distance(bx, by, R, B) : by > T ? distance(bx, by, R, T) : std::fabs(bx - R);
    const double dL = by < B ? distance(bx, by, L, B) : by > T ? distance(bx, by, L, T) : std::fabs(bx - L);

    const bool nearL = near(dL / s);
    const bool nearR = near(dR / s);
    const bool nearT = near(dT / BRICK_FACE_SLOWDOWN / s);
    const bool nearB = near(dB / BRICK_FACE_SLOWDOWN / s);

    // Corners first, so a ball grazing a corner turns vertically and keeps its horizontal course.
    if (nearL && nearT && ball.movingDown && ball.movingRight) {
        setVertical(ball, true);
    } else if (nearL && nearB && ball.movingUp && ball.movingRight) {
        setVertical(ball, false);
    } else if (nearR && nearB && ball.movingUp && ball.movingLeft) {
        setVertical(ball, false);
    } else if (nearR && nearT && ball.movingDown && ball.movingLeft) {
        setVertical(ball, true);
    } else if (nearL && ball.movingRight) {
        setHorizontal(ball, false);
    } else if (nearR && ball.movingLeft) {
        setHorizontal(ball, true);
    } else if (nearB && ball.movingUp) {
        setVertical(ball, false);
    } else if (nearT && ball.movingDown) {
        setVertical(ball, true);
    } else {
        return false;
    }
    if (brick.type != Iron) {
        ball.idleTicks = 0;
        ball.bricklessTicks = 0;
    }
    return true;
}

void promoteBallSlots(PlayField& field)
{
    if (field.balls[0].active || field.ballCount != 1) {
        return;
    }
    for (int slot = 1; slot < BALL_SLOTS; ++slot) {
        if (field.balls[slot].active) {
            field.balls[0] = field.balls[slot];
            field.balls[slot].active = false;
            return;
        }
    }
}

void resetLostLife(PlayField& field, double clockNow, PlayEvents& events)
{
    if (field.ballCount != 0) {
        return;
    }
    field.bounceCount = 0;
    field.warpOpen = false;
    field.laserActive = false;
    field.laserArmed = false;
    field.paddleCrushed = false;
    field.catchActive = false;

    Ball& first = field.balls[0];
    first.active = true;
    first.x = field.paddle.x;
    first.y = field.paddle.y + field.paddle.halfHeight + BALL_RADIUS;
    first.speedX = FIRST_SPEED_X;
    first.speedY = FIRST_SPEED_Y;
    first.idleTicks = 0;
    first.bricklessTicks = 0;
    for (int slot = 1; slot < BALL_SLOTS; ++slot) {
        field.balls[slot].active = false;
    }
    field.ballCount = 1;
    --field.lives;
    field.paddle.x = PADDLE_HOME_X;
    field.paddle.y = PADDLE_HOME_Y;
    field.paddle.halfWidth = PADDLE_HALF_WIDTH;
    reportEvent(events, PlayEventType::CameraReset);
    field.speedFactor = 1.0;
    reportEvent(events, PlayEventType::LifeLost);

    if (field.lives < 1) {
        reportEvent(events, PlayEventType::StopMusic);
        reportSound(events, SAMPLE_GAME_OVER);
    } else if (!field.lifeLostPause) {
        field.lifeLostTime = clockNow;
        reportSound(events, SAMPLE_LOSE);
        field.lifeLostPause = true;
        field.ballHeld = true;
    }
}

void nudgeStuckBalls(PlayField& field)
{
    if (field.ballHeld) {
        return;
    }
    // The paddle's own courses, so a nudged ball moves as if it had just left the paddle.
    static const double COURSES[3][2] = {{0.7, 0.3}, {0.6, 0.4}, {0.4, 0.6}};
    for (Ball& ball : field.balls) {
        if (!ball.active || (ball.idleTicks <= STUCK_BALL_TICKS && ball.bricklessTicks <= BRICKLESS_BALL_TICKS)) {
            continue;
        }
        // A loop at a high speed factor can close over a whole row's gaps, so
        // the game slows down too; the new course and side break its period.
        int course = static_cast<int>(drawRandom(field.random) % 3);
        if (COURSES[course][0] == ball.speedX) {
            course = (course + 1) % 3;
        }
        ball.speedX = COURSES[course][0];
        ball.speedY = COURSES[course][1];
        if (drawRandom(field.random) % 2) {
            setHorizontal(ball, !ball.movingRight);
        }
        field.speedFactor = 1.0;
        field.bounceCount = 0;
        ball.idleTicks = 0;
        ball.bricklessTicks = 0;
    }
}
