// The play rules at any frame rate: long frames are sub-stepped, so a slow
// machine plays the game a fast one does; and the faults that showed only at
// some steps (a ball entering a brick on an exact ratio or at a corner, a
// ball looping forever) stay mended.
#include "game/playfield/bot.h"
#include "game/playfield/check.h"
#include "game/playfield/playfield.h"

#include "levelpack/levelpack.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <string>

namespace {

const double FRAME_RATES[] = {2.5, 5, 10, 24, 30, 47, 60, 70, 144, 240};

// A field in play: ball 0 moving, paddle at home, and one brick far in the
// bottom-left corner so that the level is not cleared.
void emptyField()
{
    field = PlayField{};
    for (int i = 0; i < BRICK_COUNT; ++i) {
        placeBrick(field.bricks[i], i);
    }
    field.paddle = {PADDLE_HOME_X, PADDLE_HOME_Y, PADDLE_HALF_WIDTH, PADDLE_HALF_HEIGHT};
    field.balls[0] = {true, 40, 0, false, true, false, true, 0.4, 0.6, 0};
    field.ballCount = 1;
    field.ballHeld = false;
    field.lives = 3;
    field.levelNumber = 1;
    field.greyHits = 1;
    field.bricks[21 * GRID_COLUMNS].present = true;
    field.bricks[21 * GRID_COLUMNS].type = Green;
    seedRandom(field.random, 3);
}

void stand(int row, int column, int type)
{
    Brick& b = field.bricks[row * GRID_COLUMNS + column];
    b.present = true;
    b.type = type;
}

// Plays frames at fps for seconds of play; the clock starts at 10 s.
void play(double fps, double seconds)
{
    PlayEvents events;
    double clock = 10000;
    const double frameMs = 1000 / fps;
    for (double t = 0; t < seconds * 1000; t += frameMs) {
        clearEvents(events);
        stepPlayFrame(frameMs * TICKS_PER_SECOND / 1000, clock, clock + frameMs, events);
        clock += frameMs;
    }
}

int standing()
{
    int n = 0;
    for (const Brick& b : field.bricks) {
        n += b.present;
    }
    return n;
}

bool insideStandingBrick(const Ball& ball)
{
    for (const Brick& b : field.bricks) {
        if (b.present && std::fabs(ball.x - b.x) < b.halfWidth && std::fabs(ball.y - b.y) < b.halfHeight) {
            return true;
        }
    }
    return false;
}

TEST(FrameRate, EveryBallThatReachesThePaddleBouncesOffIt)
{
    for (double fps : FRAME_RATES) {
        for (double speedFactor : {1.0, 2.0, 3.0}) {
            for (double startY : {0.0, 0.37, 1.91}) {
                emptyField();
                field.speedFactor = speedFactor;
                field.balls[0].y = startY;
                field.balls[0].x = 40;
                field.balls[0].movingRight = false;   // straight down under the paddle is enough:
                field.balls[0].speedX = 0;            // only the vertical step matters here
                PlayEvents events;
                const double frameMs = 1000 / fps;
                for (double clock = 10000; clock < 12000 && field.balls[0].movingDown; clock += frameMs) {
                    stepPlayFrame(frameMs * TICKS_PER_SECOND / 1000, clock, clock + frameMs, events);
                    clearEvents(events);
                }
                EXPECT_EQ(field.lives, 3) << fps << " fps, speed " << speedFactor << ", from " << startY;
                EXPECT_TRUE(field.balls[0].movingUp) << fps << " fps, speed " << speedFactor << ", from " << startY;
            }
        }
    }
}

TEST(FrameRate, AHeldBallTouchesNoBrickHoweverLongTheFrame)
{
    emptyField();
    for (int column = 0; column < GRID_COLUMNS; ++column) {
        for (int row = 14; row < GRID_ROWS; ++row) {
            stand(row, column, Red);
        }
    }
    field.ballHeld = true;
    const int before = standing();
    PlayEvents events;
    stepPlayFrame(94.5, 10000, 11350, events);   // one 1.35 s frame
    stepPlayPhase(94.5, 11350, events);          // and one step as long, not split
    EXPECT_EQ(standing(), before);
    EXPECT_EQ(field.score, 0);
}

TEST(FrameRate, CapsulesAreCaughtAndFallingBricksCrushAtAnyRate)
{
    for (double fps : FRAME_RATES) {
        emptyField();
        field.ballHeld = true;
        Brick& capsule = field.bricks[10 * GRID_COLUMNS + 5];   // x 40.075, over the still paddle
        capsule.capsuleFalling = true;
        capsule.capsuleType = Slow;
        field.capsuleInFlight = true;
        play(fps, 3);
        EXPECT_FALSE(field.capsuleInFlight) << fps << " fps";
        EXPECT_EQ(field.score, 1000) << fps << " fps: caught, not lost";

        emptyField();
        field.ballHeld = true;
        field.fallMode = true;
        Brick& falling = field.bricks[12 * GRID_COLUMNS + 5];
        falling.brickFalling = true;
        play(fps, 3);
        EXPECT_TRUE(field.paddleCrushed) << fps << " fps";
    }
}

TEST(FrameRate, ALaserShotBreaksOneBrickOfAColumnAtAnyRate)
{
    for (double fps : FRAME_RATES) {
        emptyField();
        field.ballHeld = true;
        for (int row = 2; row < GRID_ROWS; ++row) {
            stand(row, 5, Blue);
        }
        const int before = standing();
        field.laserArmed = true;
        field.laserActive = true;
        field.laserX = field.bricks[5].x;
        field.laserY = PADDLE_HOME_Y;
        play(fps, 2);
        EXPECT_EQ(standing(), before - 1) << fps << " fps";
        EXPECT_FALSE(field.bricks[21 * GRID_COLUMNS + 5].present) << fps << " fps: the lowest one";
    }
}

TEST(Bricks, ABallLandingExactlyOnAFaceBouncesThereAndNeverEntersTheBrick)
{
    // At speed 1.25 with speeds 0.4/0.6 the rise per step (0.75) equals the
    // bottom face's window, so the distance runs 1.5 windows, exactly 1, exactly 0.
    for (double speedFactor : {1.25, 2.5}) {
        emptyField();
        stand(21, 5, Iron);
        const Brick& b = field.bricks[21 * GRID_COLUMNS + 5];
        const double rise = 0.6 * speedFactor;
        field.speedFactor = speedFactor;
        field.balls[0] = {true, b.x, b.y - b.halfHeight - 3 * rise, false, true, true, false, 0.4, 0.6, 0};
        PlayEvents events;
        Ball probe = field.balls[0];
        probe.y = b.y - b.halfHeight - rise;   // exactly one window short: near, bounce now
        std::swap(probe, field.balls[0]);
        EXPECT_TRUE(ballMeetsBrick(0, 21 * GRID_COLUMNS + 5, 1.0)) << "speed " << speedFactor;
        std::swap(probe, field.balls[0]);
        for (int k = 0; k < 6; ++k) {
            stepPlayPhase(1.0, 10000 + k, events);
            EXPECT_FALSE(insideStandingBrick(field.balls[0])) << "speed " << speedFactor << ", step " << k;
        }
        EXPECT_TRUE(field.balls[0].movingDown) << "speed " << speedFactor;
    }
}

TEST(Bricks, ABallComingDiagonallyAtACornerBouncesInsteadOfCuttingThrough)
{
    // Up and right at the bottom-left corner, 0.95 and 0.9 of a step short:
    // the corner is farther than either face's window, yet the step would end
    // inside, having crossed the left face last.
    emptyField();
    stand(15, 5, Red);
    const Brick& b = field.bricks[15 * GRID_COLUMNS + 5];
    field.speedFactor = 2;
    const double stepX = 0.4 * 2;
    const double stepY = 0.6 * 2;
    field.balls[0] = {
        true, b.x - b.halfWidth - 0.95 * stepX, b.y - b.halfHeight - 0.9 * stepY, false, true, true, false, 0.4, 0.6,
        0};
    PlayEvents events;
    updateBricks(1.0, events);   // the pass before the step sees the corner coming
    EXPECT_FALSE(b.present) << "the ball met the brick";
    EXPECT_TRUE(field.balls[0].movingLeft && field.balls[0].movingUp) << "turned back off the left face";
    stepPlayPhase(1.0, 10000, events);
    EXPECT_FALSE(insideStandingBrick(field.balls[0]));
}

TEST(SoftLock, ABallLoopingAboveAnIronRowIsNudgedFreeAfterThirtySeconds)
{
    // Row 1 is iron but for column 5; at speed 3 the bounces off the gap's
    // corners close it, and the ball slides along the ceiling forever.
    emptyField();
    for (int column = 0; column < GRID_COLUMNS; ++column) {
        if (column != 5) {
            stand(1, column, Iron);
        }
    }
    stand(15, 2, Green);
    field.speedFactor = 3;
    field.balls[0] = {true, 30, CEILING - BALL_RADIUS, false, true, false, true, 0.7, 0.3, 0};
    play(70, 29);
    EXPECT_GT(field.balls[0].y, 51) << "caught above the row until the nudge";
    EXPECT_EQ(field.speedFactor, 3.0) << "nothing changes before it";
    play(70, 20);
    EXPECT_LT(field.balls[0].y, 49) << "the nudge let it through the gap";
}

// ---------------------------------------------------------------------------
// Whole runs: a million ball steps at 70 frames a second
// ---------------------------------------------------------------------------

// A centre that ends a step on a face, up to rounding, is on the face.
constexpr double ROUNDING = 1e-9;

struct StepWatch {
    Ball before[BALL_SLOTS];
    bool standing[BRICK_COUNT];
    int64_t ballSteps = 0;
    int64_t inside = 0;    // a step ended with a ball's centre inside a standing brick
    int64_t crossed = 0;   // a step's path cut through a brick that stood
};

void rememberStep(StepWatch& watch)
{
    for (int slot = 0; slot < BALL_SLOTS; ++slot) {
        watch.before[slot] = field.balls[slot];
    }
    for (int i = 0; i < BRICK_COUNT; ++i) {
        watch.standing[i] = field.bricks[i].present;
    }
}

// The segment from a to b passes through the open box of brick.
bool cuts(const Ball& a, const Ball& b, const Brick& brick)
{
    double t0 = 0;
    double t1 = 1;
    const double from[2] = {a.x, a.y};
    const double by[2] = {b.x - a.x, b.y - a.y};
    const double lo[2] = {brick.x - brick.halfWidth + ROUNDING, brick.y - brick.halfHeight + ROUNDING};
    const double hi[2] = {brick.x + brick.halfWidth - ROUNDING, brick.y + brick.halfHeight - ROUNDING};
    for (int axis = 0; axis < 2; ++axis) {
        if (by[axis] == 0) {
            if (!(lo[axis] < from[axis] && from[axis] < hi[axis])) {
                return false;
            }
            continue;
        }
        double enter = (lo[axis] - from[axis]) / by[axis];
        double leave = (hi[axis] - from[axis]) / by[axis];
        if (enter > leave) {
            std::swap(enter, leave);
        }
        t0 = std::max(t0, enter);
        t1 = std::min(t1, leave);
    }
    return t0 < t1;
}

void watchStep(void* context)
{
    StepWatch& watch = *static_cast<StepWatch*>(context);
    for (int slot = 0; slot < BALL_SLOTS; ++slot) {
        const Ball& ball = field.balls[slot];
        const Ball& was = watch.before[slot];
        // A ball resting on the paddle, or one that just changed slots, did not step.
        if (!ball.active || !was.active || field.ballHeld || std::fabs(ball.x - was.x) > 3 ||
            std::fabs(ball.y - was.y) > 3) {
            continue;
        }
        ++watch.ballSteps;
        for (int i = 0; i < BRICK_COUNT; ++i) {
            if (!watch.standing[i]) {
                continue;
            }
            const Brick& brick = field.bricks[i];
            if (std::fabs(ball.x - brick.x) < brick.halfWidth - ROUNDING &&
                std::fabs(ball.y - brick.y) < brick.halfHeight - ROUNDING) {
                ++watch.inside;
            } else if (cuts(was, ball, brick)) {
                ++watch.crossed;
            }
        }
    }
    rememberStep(watch);
}

PackLevel randomLevel(std::mt19937& random)
{
    PackLevel level;
    level.levelNumber = 1;
    level.greyHits = 2;
    level.bonusChance = 20;
    std::uniform_int_distribution<int> code(0, 12);
    for (int i = 0; i < GRID_CELLS; ++i) {
        const int c = code(random);
        level.bricks[i] = c > 9 ? 0 : c;   // every code, iron and grey as often as the rest
    }
    return level;
}

TEST(WholeRuns, AMillionBallStepsNeverEndInsideABrickNorCutThroughOne)
{
    StepWatch watch;
    BotOptions options;
    options.maxSeconds = 300;
    const auto run = [&](const PackLevel& level) {
        field = PlayField{};
        rememberStep(watch);
        playLevelWithBot(level, options, watchStep, &watch);
    };
    // Every shipped level once each way, then random levels.
    const std::string folder = std::string(TESSIVAR_SOURCE_DIR) + "/assets/Levels Packs/";
    for (const char* pack : {"starter.tlp", "arcade.tlp", "classic.tlp"}) {
        PackLevel level;
        for (level.levelNumber = 1; readPackLevel(folder + pack, level).ok(); ++level.levelNumber) {
            for (bool fallMode : {false, true}) {
                options.fallMode = fallMode;
                run(level);
            }
        }
    }
    const int64_t shippedSteps = watch.ballSteps;
    std::mt19937 random(11);
    options.maxSeconds = 120;
    for (unsigned int seed = 1; watch.ballSteps < shippedSteps + 1000000; ++seed) {
        options.seed = seed;
        options.fallMode = seed % 2;
        run(randomLevel(random));
    }
    EXPECT_GT(shippedSteps, 100000);
    EXPECT_EQ(watch.inside, 0) << "of " << watch.ballSteps << " ball steps";
    EXPECT_EQ(watch.crossed, 0) << "of " << watch.ballSteps << " ball steps";
}

}   // namespace
