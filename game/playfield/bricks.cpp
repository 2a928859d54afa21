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
void addScore(PlayField& field, int64_t points)
{
    const int64_t sum = int64_t{field.score} + points;
    field.score = static_cast<int32_t>(std::clamp<int64_t>(sum, INT32_MIN, INT32_MAX));
}

int32_t rollCapsuleType(PlayField& field)
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
void splitBall(PlayField& field)
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
// face (at a corner too) rather than a side, at the share of the step it
// gets there. A step that ends on a face, or within endAllowance of the
// step's end short of it, does not count.
int brickInTheWay(const PlayField& field, const Ball& ball, double dx, double dy, bool& vertical, double& at,
                  double endAllowance)
{
    const double xLow = std::min(ball.x, ball.x + dx);
    const double xHigh = std::max(ball.x, ball.x + dx);
    const double yLow = std::min(ball.y, ball.y + dy);
    const double yHigh = std::max(ball.y, ball.y + dy);
    constexpr double START_ALLOWANCE = 1e-9;
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
            if (enter < std::min(tx1, ty1) && enter >= -START_ALLOWANCE && enter < soonest - endAllowance) {
                soonest = enter;
                first = i;
                vertical = ty0 >= tx0;
            }
        }
    }
    at = std::max(0.0, soonest);
    return first;
}

// The last look's allowance: a ratio computed a hair above 1 may stand for a
// step that ends exactly on a face.
constexpr double LOOK_ALLOWANCE = 1e-9;

// The standing brick that holds (x, y) strictly inside, or -1.
int brickAround(const PlayField& field, double x, double y)
{
    for (int row = 0; row < GRID_ROWS; ++row) {
        const Brick& rowStart = field.bricks[row * GRID_COLUMNS];
        if (std::fabs(y - rowStart.y) >= rowStart.halfHeight) {
            continue;
        }
        for (int column = 0; column < GRID_COLUMNS; ++column) {
            const Brick& brick = field.bricks[row * GRID_COLUMNS + column];
            if (brick.present && std::fabs(x - brick.x) < brick.halfWidth && std::fabs(y - brick.y) < brick.halfHeight) {
                return row * GRID_COLUMNS + column;
            }
        }
    }
    return -1;
}

// Where the ball's coming step of d (speed factor times ticks) would end as
// moveBall will take it, heading right/up as given, put back by the walls and
// the ceiling.
void courseEnd(const Ball& ball, double d, bool right, bool up, double& x, double& y)
{
    x = std::clamp(ball.x + (right ? 1 : -1) * ball.speedX * d, LEFT_WALL + BALL_RADIUS, RIGHT_WALL - BALL_RADIUS);
    y = std::min(ball.y + (up ? 1 : -1) * ball.speedY * d, CEILING - BALL_RADIUS);
}

// The standing brick that course would carry the ball into first, or -1.
int brickOnCourse(const PlayField& field, const Ball& ball, double d, bool right, bool up, bool& vertical)
{
    double x = 0;
    double y = 0;
    courseEnd(ball, d, right, up, x, y);
    double at = 0;
    return brickInTheWay(field, ball, x - ball.x, y - ball.y, vertical, at, LOOK_ALLOWANCE);
}

// The brick tests judge each brick on its own, so two of them can turn a
// ball back and forth in one pass and send it into a third, or let it cut a
// corner that no face's window covers. A ball whose coming step would end
// inside a standing brick, or cut through one, turns away from the face it
// would cross, else on the other axis, else back along both. A step that
// would end inside a brick hits that brick, as it would once the ball was in
// it; a corner merely cut is no hit. With every course blocked (a pocket
// smaller than the step) the course stays: the move stops at the face and
// the next pass bounces the ball off it.
void keepOutOfBricks(PlayField& field, int slot, double tick, PlayEvents& events)
{
    Ball& ball = field.balls[slot];
    // The step as the next moveBall takes it, with the speed-up that the
    // counted bounces (this meeting's too) bring.
    const auto stepLength = [&](int bounces) {
        const bool speedUp = field.bounceCount + bounces > SPEED_UP_BOUNCES - 1;
        return (speedUp ? std::min(field.speedFactor + SPEED_STEP, SPEED_MAX) : field.speedFactor) * tick;
    };
    const bool right = ball.movingRight;
    const bool up = ball.movingUp;
    bool vertical = false;
    const int met = brickOnCourse(field, ball, stepLength(0), right, up, vertical);
    if (met < 0) {
        return;
    }
    double endX = 0;
    double endY = 0;
    courseEnd(ball, stepLength(0), right, up, endX, endY);
    const int entered = brickAround(field, endX, endY);
    const double d = stepLength(entered >= 0 ? 1 : 0);
    const bool turns[3][2] = {{vertical ? right : !right, vertical ? !up : up},
                              {vertical ? !right : right, vertical ? up : !up},
                              {!right, !up}};
    int choice = -1;
    for (int k = 0; k < 3 && choice < 0; ++k) {
        bool ignored = false;
        if (brickOnCourse(field, ball, d, turns[k][0], turns[k][1], ignored) < 0) {
            choice = k;
        }
    }
    if (choice < 0) {
        return;
    }
    ball.movingRight = turns[choice][0];
    ball.movingLeft = !turns[choice][0];
    ball.movingUp = turns[choice][1];
    ball.movingDown = !turns[choice][1];
    if (entered >= 0) {
        if (field.bricks[entered].type != Iron) {
            ball.idleTicks = 0;
            ball.bricklessTicks = 0;
        }
        hitBrick(field, entered, events);
    }
}

}   // namespace

void stopAtBrickFace(PlayField& field, int slot, double fromX, double fromY)
{
    Ball& ball = field.balls[slot];
    Ball from = ball;
    from.x = fromX;
    from.y = fromY;
    const double dx = ball.x - fromX;
    const double dy = ball.y - fromY;
    bool vertical = false;
    double at = 0;
    const int met = brickInTheWay(field, from, dx, dy, vertical, at, 0);
    if (met < 0) {
        return;
    }
    // On the face it crossed, exactly; at a corner on both.
    const Brick& brick = field.bricks[met];
    ball.x = fromX + at * dx;
    ball.y = fromY + at * dy;
    if (vertical) {
        ball.y = dy > 0 ? brick.y - brick.halfHeight : brick.y + brick.halfHeight;
    } else {
        ball.x = dx > 0 ? brick.x - brick.halfWidth : brick.x + brick.halfWidth;
    }
}

void hitBrick(PlayField& field, int index, PlayEvents& events)
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
        addScore(field, int64_t{50} * field.levelNumber);
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
        brick.capsuleType = rollCapsuleType(field);
    } else if (field.fallMode) {
        brick.brickFalling = true;
    }
    brick.present = false;
    reportSound(events, SAMPLE_IMPACT);
    addScore(field, pointsFor(brick.type));
    ++field.bounceCount;
}

void catchCapsule(PlayField& field, int index, PlayEvents& events)
{
    Brick& brick = field.bricks[index];
    if (!brick.capsuleFalling) {
        return;
    }
    field.paddle.halfWidth = PADDLE_HALF_WIDTH;
    field.catchActive = false;
    field.laserArmed = false;
    addScore(field, CATCH_POINTS);
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
        case Disrupt: splitBall(field); break;
        case Break: field.warpOpen = true; break;
        default: break;
    }
}

void updateBricks(PlayField& field, double tick, PlayEvents& events)
{
    field.levelCleared = true;
    Paddle paddle = field.paddle;
    const int laserRow = laserTargetRow(field);

    for (int i = 0; i < BRICK_COUNT; ++i) {
        Brick& brick = field.bricks[i];
        if (brick.present) {
            if (brick.type != Iron) {
                field.levelCleared = false;
            }
            if (i / GRID_COLUMNS == laserRow && laserMeetsBrick(field, brick)) {
                field.laserHit = true;
                hitBrick(field, i, events);
            }
            // A brick destroyed by the laser or an earlier ball still takes
            // the remaining hits of this turn.
            for (int slot = 0; slot < BALL_SLOTS; ++slot) {
                if (field.balls[slot].active && ballMeetsBrick(field, slot, i, tick)) {
                    hitBrick(field, i, events);
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
                catchCapsule(field, i, events);
                paddle = field.paddle;
            }
            continue;
        }
        if (stepFallingBrick(field, brick, paddle, tick, events)) {
            paddle = field.paddle;
        }
    }
    nudgeStuckBalls(field);
    if (tick > 0) {
        for (int slot = 0; slot < BALL_SLOTS; ++slot) {
            if (field.balls[slot].active && !restsOnPaddle(field, field.balls[slot])) {
                keepOutOfBricks(field, slot, tick, events);
            }
        }
    }
    if (field.levelCleared) {
        reportEvent(events, PlayEventType::LevelCleared);
    }
}
