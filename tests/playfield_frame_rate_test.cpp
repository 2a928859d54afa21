// The play rules at any frame rate: long frames are sub-stepped, so a slow
// machine plays the game a fast one does; and the faults that showed only at
// some steps (a ball entering a brick on an exact ratio or at a corner, a
// ball looping forever) stay mended.
#include "game/playfield/bot.h"
#include "game/playfield/check.h"
#include "game/playfield/playfield.h"
#include "tests/playfield_fixture.h"

#include "levelpack/levelpack.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <string>

namespace {

const double FRAME_RATES[] = {2.5, 5, 10, 24, 30, 47, 60, 70, 144, 240};

// A field in play: ball 0 moving down, paddle at home, and one brick far in
// the bottom-left corner so that the level is not cleared.
PlayField emptyField()
{
    PlayField field = openField();
    field.balls[0] = {true, 40, 0, false, true, false, true, 0.4, 0.6, 0};
    field.lives = 3;
    field.levelNumber = 1;
    standBrick(field, brickAt(21, 0), Green);
    seedRandom(field.random, 3);
    return field;
}

void stand(PlayField& field, int row, int column, int type) { standBrick(field, brickAt(row, column), type); }

// Plays frames at fps for seconds of play; the clock starts at 10 s.
void play(PlayField& field, double fps, double seconds)
{
    PlayEvents events;
    double clock = 10000;
    const double frameMs = 1000 / fps;
    for (double t = 0; t < seconds * 1000; t += frameMs) {
        clearEvents(events);
        stepPlayFrame(field, frameMs * TICKS_PER_SECOND / 1000, clock, clock + frameMs, events);
        clock += frameMs;
    }
}

int standing(const PlayField& field)
{
    int n = 0;
    for (const Brick& b : field.bricks) {
        n += b.present;
    }
    return n;
}

bool insideStandingBrick(const PlayField& field, const Ball& ball)
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
                PlayField field = emptyField();
                field.speedFactor = speedFactor;
                // Straight down under the paddle is enough: only the vertical step matters here.
                field.balls[0] = {true, 40, startY, false, false, false, true, 0, 0.6, 0};
                PlayEvents events;
                const double frameMs = 1000 / fps;
                for (double clock = 10000; clock < 12000 && field.balls[0].movingDown; clock += frameMs) {
                    stepPlayFrame(field, frameMs * TICKS_PER_SECOND / 1000, clock, clock + frameMs, events);
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
    PlayField field = emptyField();
    for (int column = 0; column < GRID_COLUMNS; ++column) {
        for (int row = 14; row < GRID_ROWS; ++row) {
            stand(field, row, column, Red);
        }
    }
    field.ballHeld = true;
    const int before = standing(field);
    PlayEvents events;
    stepPlayFrame(field, 94.5, 10000, 11350, events);   // one 1.35 s frame
    stepPlayPhase(field, 94.5, 11350, events);          // and one step as long, not split
    EXPECT_EQ(standing(field), before);
    EXPECT_EQ(field.score, 0);
}

TEST(FrameRate, CapsulesAreCaughtAndFallingBricksCrushAtAnyRate)
{
    for (double fps : FRAME_RATES) {
        PlayField field = emptyField();
        field.ballHeld = true;
        Brick& capsule = field.bricks[brickAt(10, 5)];   // x 40.075, over the still paddle
        capsule.capsuleFalling = true;
        capsule.capsuleType = Slow;
        field.capsuleInFlight = true;
        play(field, fps, 3);
        EXPECT_FALSE(field.capsuleInFlight) << fps << " fps";
        EXPECT_EQ(field.score, 1000) << fps << " fps: caught, not lost";

        PlayField falling = emptyField();
        falling.ballHeld = true;
        falling.fallMode = true;
        falling.bricks[brickAt(12, 5)].brickFalling = true;
        play(falling, fps, 3);
        EXPECT_TRUE(falling.paddleCrushed) << fps << " fps";
    }
}

TEST(FrameRate, ALaserShotBreaksOneBrickOfAColumnAtAnyRate)
{
    for (double fps : FRAME_RATES) {
        PlayField field = emptyField();
        field.ballHeld = true;
        for (int row = 2; row < GRID_ROWS; ++row) {
            stand(field, row, 5, Blue);
        }
        const int before = standing(field);
        field.laserArmed = true;
        field.laserActive = true;
        field.laserX = field.bricks[5].x;
        field.laserY = PADDLE_HOME_Y;
        play(field, fps, 2);
        EXPECT_EQ(standing(field), before - 1) << fps << " fps";
        EXPECT_FALSE(field.bricks[brickAt(21, 5)].present) << fps << " fps: the lowest one";
    }
}

TEST(Bricks, ABallLandingExactlyOnAFaceBouncesThereAndNeverEntersTheBrick)
{
    // At speed 1.25 with speeds 0.4/0.6 the rise per step (0.75) equals the
    // bottom face's window, so the distance runs 1.5 windows, exactly 1, exactly 0.
    for (double speedFactor : {1.25, 2.5}) {
        PlayField field = emptyField();
        stand(field, 21, 5, Iron);
        const Brick& b = field.bricks[brickAt(21, 5)];
        const double rise = 0.6 * speedFactor;
        field.speedFactor = speedFactor;
        PlayField probe = field;   // exactly one window short: near, bounce now
        probe.balls[0] = {true, b.x, b.y - b.halfHeight - rise, false, true, true, false, 0.4, 0.6, 0};
        EXPECT_TRUE(ballMeetsBrick(probe, 0, brickAt(21, 5), 1.0)) << "speed " << speedFactor;

        field.balls[0] = {true, b.x, b.y - b.halfHeight - 3 * rise, false, true, true, false, 0.4, 0.6, 0};
        PlayEvents events;
        for (int k = 0; k < 6; ++k) {
            stepPlayPhase(field, 1.0, 10000 + k, events);
            EXPECT_FALSE(insideStandingBrick(field, field.balls[0])) << "speed " << speedFactor << ", step " << k;
        }
        EXPECT_TRUE(field.balls[0].movingDown) << "speed " << speedFactor;
    }
}

TEST(Bricks, ABallComingDiagonallyAtACornerBouncesInsteadOfCuttingThrough)
{
    // Up and right at the bottom-left corner, 0.95 and 0.9 of a step short:
    // the corner is farther than either face's window, yet the step would end
    // inside, having crossed the left face last.
    PlayField field = emptyField();
    stand(field, 15, 5, Red);
    const Brick& b = field.bricks[brickAt(15, 5)];
    field.speedFactor = 2;
    const double stepX = 0.4 * 2;
    const double stepY = 0.6 * 2;
    field.balls[0] = {
        true, b.x - b.halfWidth - 0.95 * stepX, b.y - b.halfHeight - 0.9 * stepY, false, true, true, false, 0.4, 0.6,
        0};
    PlayEvents events;
    updateBricks(field, 1.0, events);   // the pass before the step sees the corner coming
    EXPECT_FALSE(b.present) << "the ball met the brick";
    EXPECT_TRUE(field.balls[0].movingLeft && field.balls[0].movingUp) << "turned back off the left face";
    stepPlayPhase(field, 1.0, 10000, events);
    EXPECT_FALSE(insideStandingBrick(field, field.balls[0]));
}

TEST(SoftLock, ABallCaughtInALoopIsNudgedAfterThirtySeconds)
{
    // A ball shut in a box of iron meets nothing it can break, ever.
    PlayField field = emptyField();
    for (int row = 5; row <= 9; ++row) {
        for (int column = 3; column <= 7; ++column) {
            if (row == 5 || row == 9 || column == 3 || column == 7) {
                stand(field, row, column, Iron);
            }
        }
    }
    field.speedFactor = 3;
    field.balls[0] = {true, field.bricks[brickAt(7, 5)].x, field.bricks[brickAt(7, 5)].y, false, true, true, false,
                      0.7, 0.3, 0};
    play(field, 70, 29);
    EXPECT_EQ(field.speedFactor, 3.0) << "nothing changes before the nudge";
    EXPECT_EQ(field.balls[0].speedX, 0.7);
    play(field, 70, 2);
    EXPECT_EQ(field.speedFactor, 1.0) << "the nudge slows the game";
    EXPECT_NE(field.balls[0].speedX, 0.7) << "and gives the ball another course";
    EXPECT_FALSE(insideStandingBrick(field, field.balls[0]));
}

TEST(SoftLock, ABallThatOnlyEverMeetsThePaddleIsNudgedAfterAMinute)
{
    // A paddle as wide as the field meets the ball every time; the one brick left is walled in.
    PlayField field = emptyField();
    field.bricks[brickAt(21, 0)].present = false;
    stand(field, 0, 0, Green);
    stand(field, 0, 1, Iron);
    stand(field, 1, 0, Iron);
    stand(field, 1, 1, Iron);
    field.paddle.halfWidth = (RIGHT_WALL - LEFT_WALL) / 2;
    field.paddle.x = (RIGHT_WALL + LEFT_WALL) / 2;
    field.speedFactor = 3;
    play(field, 70, 59);
    EXPECT_EQ(field.speedFactor, 3.0) << "the paddle keeps the ball from counting as stuck";
    play(field, 70, 2);
    EXPECT_EQ(field.speedFactor, 1.0) << "a minute without a brick nudges it all the same";
}

// ---------------------------------------------------------------------------
// Whole runs: a million ball steps, at 70 frames a second and slower
// ---------------------------------------------------------------------------

// A centre that ends a step on a face, up to rounding, is on the face.
constexpr double ROUNDING = 1e-9;

struct StepWatch {
    bool paths = true;   // frames are single steps: check the path too, not only where it ends
    Ball before[BALL_SLOTS];
    bool standing[BRICK_COUNT];
    int64_t ballSteps = 0;
    int64_t inside = 0;    // a step ended with a ball's centre inside a standing brick
    int64_t crossed = 0;   // a step's path cut through a brick that stood
};

void rememberStep(StepWatch& watch, const PlayField& field)
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

void watchStep(const PlayField& field, void* context)
{
    StepWatch& watch = *static_cast<StepWatch*>(context);
    for (int slot = 0; slot < BALL_SLOTS; ++slot) {
        const Ball& ball = field.balls[slot];
        const Ball& was = watch.before[slot];
        // A ball resting on the paddle, or one that just changed slots, did not step.
        if (!ball.active || !was.active || field.ballHeld || std::fabs(ball.x - was.x) > 40 ||
            std::fabs(ball.y - was.y) > 40) {
            continue;
        }
        ++watch.ballSteps;
        for (int i = 0; i < BRICK_COUNT; ++i) {
            const Brick& brick = field.bricks[i];
            if (brick.present && std::fabs(ball.x - brick.x) < brick.halfWidth - ROUNDING &&
                std::fabs(ball.y - brick.y) < brick.halfHeight - ROUNDING) {
                ++watch.inside;
            } else if (watch.paths && watch.standing[i] && cuts(was, ball, brick)) {
                ++watch.crossed;
            }
        }
    }
    rememberStep(watch, field);
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

// Iron rows one row apart, each with a gap or two, and between them corridors
// one row high of breakable bricks and empty cells: where a fast ball has the
// least room to turn.
PackLevel corridorLevel(std::mt19937& random)
{
    PackLevel level;
    level.levelNumber = 1;
    level.greyHits = 2;
    level.bonusChance = 20;
    std::uniform_int_distribution<int> column(0, GRID_COLUMNS - 1);
    std::uniform_int_distribution<int> code(0, 16);
    const int top = std::uniform_int_distribution<int>(0, 6)(random);
    for (int row = top; row < GRID_ROWS - 2; row += 2) {
        for (int c = 0; c < GRID_COLUMNS; ++c) {
            level.bricks[row * GRID_COLUMNS + c] = Iron;
            const int corridor = code(random);
            level.bricks[(row + 1) * GRID_COLUMNS + c] = corridor > 8 ? 0 : corridor;
        }
        level.bricks[row * GRID_COLUMNS + column(random)] = 0;
        level.bricks[row * GRID_COLUMNS + column(random)] = 0;
    }
    return level;
}

TEST(WholeRuns, AMillionBallStepsNeverEndInsideABrickNorCutThroughOne)
{
    StepWatch watch;
    BotOptions options;
    const auto run = [&](const PackLevel& level) {
        rememberStep(watch, PlayField{});
        playLevelWithBot(level, options, watchStep, &watch);
    };
    // Every shipped level once each way at 70 frames a second, then random
    // levels and levels of one-row iron corridors: at 70, at 48 (the longest
    // step a frame plays whole) and at 5 frames a second (sub-stepped frames,
    // where only the ends of frames are seen).
    options.maxSeconds = 300;
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
    struct Mode {
        double fps;
        bool corridors;
        int64_t steps;
    };
    const Mode modes[] = {{70, false, 300000}, {70, true, 300000}, {48, true, 200000}, {5, true, 50000}};
    unsigned int seed = 1;
    for (const Mode& mode : modes) {
        options.fps = mode.fps;
        watch.paths = mode.fps > 47;
        for (const int64_t until = watch.ballSteps + mode.steps; watch.ballSteps < until; ++seed) {
            options.seed = seed;
            options.fallMode = seed % 2;
            run(mode.corridors ? corridorLevel(random) : randomLevel(random));
        }
    }
    EXPECT_GT(shippedSteps, 100000);
    EXPECT_EQ(watch.inside, 0) << "of " << watch.ballSteps << " ball steps";
    EXPECT_EQ(watch.crossed, 0) << "of " << watch.ballSteps << " ball steps";
}

}   // namespace
