// game/playfield/bricks: the brick pass, brick hits with the capsule roll, and
// the effects of caught capsules.
#include "game/playfield/playfield.h"

#include "game/playfield/playfield_internal.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr int CATCH_POINTS = 1000;
constexpr double LOST_BELOW_PADDLE = 8.0;   // capsules and falling bricks end this far under the paddle

// Points for destroying a one-hit brick, by code; codes without an entry give none.
int32_t pointsFor(int32_t type)
{
    static const int32_t points[] = {0, 90, 100, 60, 110, 80, 70, 50};
    return (type >= 0 && type < 8) ? points[type] : 0;
}

// A pack may number its first level near the integer limit, and Grey points
// grow with the level number: the score stops at the largest value instead of wrapping.
void addScore(int64_t points)
{
    const int64_t sum = int64_t{field.score} + points;
    field.score = static_cast<int32_t>(std::clamp<int64_t>(sum, INT32_MIN, INT32_MAX));
}

int32_t rollCapsuleType()
{
    const long m = drawRandom(field.random) % 100;
    if (m <= 3) {
        return Break;
    }
    if (m >= 5 && m <= 8) {
        return ExtraLife;
    }
    int32_t t = static_cast<int32_t>(drawRandom(field.random) % 6 + 1);
    if (t == ExtraLife) {
        t = Slow;
    }
    if (t == Disrupt && field.ballCount > 1) {
        t = Laser;
    }
    return t;
}

// Three balls from one: the copies start where the source ball is, in its
// direction, and part because their speed ratios differ.
void splitBall(PlayEvents& events)
{
    // Slot 0 may have fallen out earlier in this frame; take the ball still in
    // play, so ballCount keeps matching the active slots. With none, nothing splits.
    int source = -1;
    for (int slot = 0; slot < BALL_SLOTS && source < 0; ++slot) {
        if (field.balls[slot].active) {
            source = slot;
        }
    }
    if (source < 0) {
        return;
    }
    if (source != 0) {
        field.balls[0] = field.balls[source];
    }
    field.balls[1] = field.balls[0];
    field.balls[2] = field.balls[0];
    field.balls[1].speedX = 0.8;
    field.balls[1].speedY = 0.2;
    field.balls[2].speedX = 0.4;
    field.balls[2].speedY = 0.6;
    field.ballCount = 3;
    reportLightEnabled(events, 0, true);
    reportLightEnabled(events, 1, true);
    reportLightEnabled(events, 2, true);
}

// The part (t0, t1) of a step in which a coordinate moving from p by d lies
// strictly between lo and hi; empty when t0 >= t1.
void openSpan(double p, double d, double lo, double hi, double& t0, double& t1)
{
    if (d == 0) {
        const bool inside = lo < p && p < hi;
        t0 = inside ? -INFINITY : INFINITY;
        t1 = inside ? INFINITY : -INFINITY;
        return;
    }
    const double a = (lo - p) / d;
    const double b = (hi - p) / d;
    t0 = std::min(a, b);
    t1 = std::max(a, b);
}

// The standing brick the ball's coming step (dx, dy) would carry it into
// first, or -1. vertical says whether it comes in through the top or bottom
// face (at a corner too) rather than a side.
int brickInTheWay(const Ball& ball, double dx, double dy, bool& vertical)
{
    const double xLow = std::min(ball.x, ball.x + dx);
    const double xHigh = std::max(ball.x, ball.x + dx);
    const double yLow = std::min(ball.y, ball.y + dy);
    const double yHigh = std::max(ball.y, ball.y + dy);
    constexpr double END_ALLOWANCE = 1e-9;
    int first = -1;
    double soonest = 1;
    for (int row = 0; row < GRID_ROWS; ++row) {
        const Brick& rowStart = field.bricks[row * GRID_COLUMNS];
        if (rowStart.y + rowStart.halfHeight <= yLow || rowStart.y - rowStart.halfHeight >= yHigh) {
            continue;
        }
        for (int column = 0; column < GRID_COLUMNS; ++column) {
            const int i = row * GRID_COLUMNS + column;
            const Brick& brick = field.bricks[i];
            if (!brick.present || brick.x + brick.halfWidth <= xLow || brick.x - brick.halfWidth >= xHigh) {
                continue;
            }
            double tx0, tx1, ty0, ty1;
            openSpan(ball.x, dx, brick.x - brick.halfWidth, brick.x + brick.halfWidth, tx0, tx1);
            openSpan(ball.y, dy, brick.y - brick.halfHeight, brick.y + brick.halfHeight, ty0, ty1);
            const double enter = std::max(tx0, ty0);
            // Only a ball outside now that would be inside during the step;
            // one that ends the step on a face (up to rounding) stays outside.
            if (enter < std::min(tx1, ty1) && enter >= -END_ALLOWANCE && enter < soonest - END_ALLOWANCE) {
                soonest = enter;
                first = i;
                vertical = ty0 >= tx0;
            }
        }
    }
    return first;
}

// Where the ball's coming step would end as moveBall will take it (with the
// speed-up it is due, put back by the walls and the ceiling), heading
// right/up as given; the standing brick it would carry the ball into first,
// or -1.
int brickOnCourse(const Ball& ball, double d, bool right, bool up, bool& vertical)
{
    const double x =
        std::clamp(ball.x + (right ? 1 : -1) * ball.speedX * d, LEFT_WALL + BALL_RADIUS, RIGHT_WALL - BALL_RADIUS);
    const double y = std::min(ball.y + (up ? 1 : -1) * ball.speedY * d, CEILING - BALL_RADIUS);
    return brickInTheWay(ball, x - ball.x, y - ball.y, vertical);
}

// The brick tests judge each brick on its own, so two of them can turn a
// ball back and forth in one pass and send it into a third, or let it cut a
// corner that no face's window covers. A ball whose coming step would end
// inside a standing brick, or cut through one, meets that brick now instead:
// it turns away from the face it would cross, else on the other axis, else
// (in a pocket smaller than its step) back along the way it came, which was clear.
void keepOutOfBricks(int slot, double tick, PlayEvents& events)
{
    Ball& ball = field.balls[slot];
    // The step as the next moveBall takes it, with the speed-up that the
    // counted bounces (this meeting's too) bring.
    const auto stepLength = [&](int bounces) {
        const bool speedUp = field.bounceCount + bounces > SPEED_UP_BOUNCES - 1;
        return (speedUp ? std::min(field.speedFactor + SPEED_STEP, SPEED_MAX) : field.speedFactor) * tick;
    };
    bool vertical = false;
    const int met = brickOnCourse(ball, stepLength(0), ball.movingRight, ball.movingUp, vertical);
    if (met < 0) {
        return;
    }
    const double d = stepLength(1);
    const bool right = ball.movingRight;
    const bool up = ball.movingUp;
    const bool turns[3][2] = {{vertical ? right : !right, vertical ? !up : up},
                              {vertical ? !right : right, vertical ? up : !up},
                              {!right, !up}};
    int choice = 2;
    for (int k = 0; k < 2; ++k) {
        bool ignored = false;
        if (brickOnCourse(ball, d, turns[k][0], turns[k][1], ignored) < 0) {
            choice = k;
            break;
        }
    }
    ball.movingRight = turns[choice][0];
    ball.movingLeft = !turns[choice][0];
    ball.movingUp = turns[choice][1];
    ball.movingDown = !turns[choice][1];
    if (field.bricks[met].type != Iron) {
        ball.idleTicks = 0;
    }
    hitBrick(met, events);
}

}   // namespace

void hitBrick(int index, PlayEvents& events)
{
    Brick& brick = field.bricks[index];
    ++brick.hits;

    const bool ironLike = brick.type == Iron || (brick.type == Grey && brick.hits < field.greyHits);
    if (ironLike) {
        reportSound(events, SAMPLE_IMPACT_IRON);
        ++field.bounceCount;
        return;
    }
    if (brick.type == Grey) {
        brick.present = false;
        reportSound(events, SAMPLE_IMPACT);
        addScore(int64_t{50} * field.levelNumber);
        ++field.bounceCount;
        if (field.fallMode) {
            brick.brickFalling = true;
        }
        return;
    }

    const long n = drawRandom(field.random) % 100 + 1;
    const bool released = n < field.bonusChance && !field.capsuleInFlight;
    if (released) {
        field.capsuleInFlight = true;
        brick.capsuleFalling = true;
        brick.capsuleType = rollCapsuleType();
    } else if (field.fallMode) {
        brick.brickFalling = true;
    }
    brick.present = false;
    reportSound(events, SAMPLE_IMPACT);
    addScore(pointsFor(brick.type));
    ++field.bounceCount;
}

void catchCapsule(int index, PlayEvents& events)
{
    Brick& brick = field.bricks[index];
    if (!brick.capsuleFalling) {
        return;
    }
    field.paddle.halfWidth = PADDLE_HALF_WIDTH;
    field.catchActive = false;
    field.laserArmed = false;
    addScore(CATCH_POINTS);
    brick.capsuleFalling = false;
    field.capsuleInFlight = false;

    switch (brick.capsuleType) {
        case Enlarge: field.paddle.halfWidth = PADDLE_HALF_WIDTH_WIDE; break;
        case Catch: field.catchActive = true; break;
        case Slow:
            if (field.speedFactor >= 1.5) {
                field.speedFactor -= 0.5;
            }
            break;
        case ExtraLife:
            ++field.lives;
            reportSound(events, SAMPLE_LIFE);
            break;
        case Laser:
            field.laserArmed = true;
            field.ballHeld = false;
            break;
        case Disrupt: splitBall(events); break;
        case Break: field.warpOpen = true; break;
        default: break;
    }
}

void updateBricks(double tick, PlayEvents& events)
{
    field.levelCleared = true;
    Paddle paddle = field.paddle;
    const int laserRow = laserTargetRow();

    for (int i = 0; i < BRICK_COUNT; ++i) {
        Brick& brick = field.bricks[i];
        if (brick.present) {
            if (brick.type != Iron) {
                field.levelCleared = false;
            }
            if (i / GRID_COLUMNS == laserRow && laserMeetsBrick(brick)) {
                field.laserHit = true;
                hitBrick(i, events);
            }
            // A brick destroyed by the laser or an earlier ball still takes
            // the remaining hits of this turn.
            for (int slot = 0; slot < BALL_SLOTS; ++slot) {
                if (field.balls[slot].active && ballMeetsBrick(slot, i, tick)) {
                    hitBrick(i, events);
                }
            }
            continue;
        }

        if (brick.capsuleFalling) {
            brick.spin += SPIN_RATE * tick;
            brick.capsuleY -= FALL_SPEED * tick;
        }
        if (field.fallMode && brick.brickFalling) {
            brick.spin += SPIN_RATE * tick;
        }
        if (brick.capsuleY < paddle.y - LOST_BELOW_PADDLE) {
            // Only a capsule that is still falling gives up the one in-flight
            // place; a caught one left far below must not free it for a second.
            if (brick.capsuleFalling) {
                brick.capsuleFalling = false;
                field.capsuleInFlight = false;
            }
            brick.capsuleY = brick.y;
        }
        if (paddle.y < brick.capsuleY && brick.capsuleY <= paddle.y + paddle.halfHeight) {
            if (paddle.x - paddle.halfWidth < brick.x && brick.x < paddle.x + paddle.halfWidth &&
                !field.lifeLostPause) {
                catchCapsule(i, events);
                paddle = field.paddle;
            }
            continue;
        }
        if (stepFallingBrick(brick, paddle, tick, events)) {
            paddle = field.paddle;
        }
    }
    nudgeStuckBalls();
    if (!field.ballHeld && tick > 0) {
        for (int slot = 0; slot < BALL_SLOTS; ++slot) {
            if (field.balls[slot].active) {
                keepOutOfBricks(slot, tick, events);
            }
        }
    }
    if (field.levelCleared) {
        reportEvent(events, PlayEventType::LevelCleared);
    }
}
