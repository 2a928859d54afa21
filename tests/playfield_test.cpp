// The play rules over one PlayField, without a window: bounces, brick hits,
// capsules, laser, falling bricks, slot handling and level loading.
#include "game/playfield/playfield.h"

#include "levelpack/catalogue.h"
#include "levelpack/levelpack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// A field as a level starts: no bricks, ball 0 in play moving up-right, tick 1.
class Field : public ::testing::Test {
protected:
    void SetUp() override
    {
        field = PlayField{};
        for (int i = 0; i < BRICK_COUNT; ++i) {
            Brick& b = field.bricks[i];
            b.x = cellCentreX(i % GRID_COLUMNS);
            b.y = cellCentreY(i / GRID_COLUMNS);
            b.halfWidth = BRICK_HALF_WIDTH;
            b.halfHeight = BRICK_HALF_HEIGHT;
            b.fallY = b.y;
            b.capsuleY = b.y;
        }
        field.paddle = {PADDLE_HOME_X, PADDLE_HOME_Y, PADDLE_HALF_WIDTH, PADDLE_HALF_HEIGHT};
        field.balls[0] = {true, 40, 0, false, true, true, false, FIRST_SPEED_X, FIRST_SPEED_Y};
        field.ballCount = 1;
        field.ballHeld = false;
        field.levelNumber = 2;
        field.greyHits = 1;
        tick = 1.0;
        clearEvents(events);
        seedRandom(field.random, 7);
    }

    PlayEvents events;
    double tick = 1.0;   // the step's length, 70 frames a second

    static Ball& ball(int slot) { return field.balls[slot]; }

    static int brickAt(int row, int column) { return row * 11 + column; }

    static void standBrick(int index, int type)
    {
        field.bricks[index].present = true;
        field.bricks[index].type = type;
    }

    bool played(int slot, int channel) const
    {
        for (int i = 0; i < events.count; ++i) {
            const PlayEvent& e = events.list[i];
            if (e.type == PlayEventType::Sound && e.sample == slot && e.channel == channel) {
                return true;
            }
        }
        return false;
    }
    int sounds(int slot) const
    {
        int n = 0;
        for (int i = 0; i < events.count; ++i) {
            n += events.list[i].type == PlayEventType::Sound && events.list[i].sample == slot;
        }
        return n;
    }
    // Where the rules left a light that follows a ball or a shot this step.
    bool lightOn(int light) const { return events.lights[light].enabledSet && events.lights[light].enabled; }
};

// ---------------------------------------------------------------------------
// Walls, paddle and speed
// ---------------------------------------------------------------------------

TEST_F(Field, PaddleBandsSplitAtTheirEdgesInSinglePrecision)
{
    struct Case {
        double p;
        bool right;
        double speedX, speedY;
    };
    const Case cases[] = {
        {2, false, 0.7, 0.3},  {10, false, 0.6, 0.4}, {20, false, 0.6, 0.4}, {30, false, 0.4, 0.6},
        {45, false, 0.4, 0.6}, {50, true, 0.4, 0.6},  {70, true, 0.4, 0.6},  {75, true, 0.6, 0.4},
        {90, true, 0.6, 0.4},  {95, true, 0.7, 0.3},
    };
    for (const Case& c : cases) {
        ball(0) = {true, 37 + c.p * 6 / 100, -8.7, false, true, false, true, 0.4, 0.6};
        bounceOffPaddle(0, events);
        EXPECT_EQ(ball(0).movingRight, c.right) << "p " << c.p;
        EXPECT_EQ(ball(0).movingLeft, !c.right) << "p " << c.p;
        EXPECT_TRUE(ball(0).movingUp && !ball(0).movingDown);
        EXPECT_EQ(ball(0).speedX, c.speedX) << "p " << c.p;
        EXPECT_EQ(ball(0).speedY, c.speedY) << "p " << c.p;
        EXPECT_EQ(ball(0).y, -8.5);
    }
    EXPECT_EQ(sounds(SAMPLE_BAR), 10);
    EXPECT_EQ(field.bounceCount, 0) << "the paddle does not count";
}

TEST_F(Field, WallsBounceAtTheirExactThresholds)
{
    ball(0).x = 58.0;
    bounceOffWalls(0, events);
    EXPECT_TRUE(ball(0).movingLeft && !ball(0).movingRight);

    ball(0).x = 57.999;
    ball(0).movingLeft = false;
    ball(0).movingRight = true;
    bounceOffWalls(0, events);
    EXPECT_TRUE(ball(0).movingRight) << "just inside: no bounce";

    ball(0).x = 21.999;
    ball(0).movingLeft = true;
    ball(0).movingRight = false;
    bounceOffWalls(0, events);
    EXPECT_TRUE(ball(0).movingRight);
    EXPECT_EQ(ball(0).x, 22.0);

    ball(0).x = 40;
    ball(0).y = 51.5;
    bounceOffWalls(0, events);
    EXPECT_TRUE(ball(0).movingDown);
    EXPECT_EQ(field.bounceCount, 3);
    EXPECT_EQ(sounds(SAMPLE_WALL), 3);

    ball(0).y = -14.5;
    bounceOffWalls(0, events);
    EXPECT_FALSE(ball(0).active);
    EXPECT_EQ(field.ballCount, 0);
    EXPECT_FALSE(lightOn(0));
}

TEST_F(Field, SpeedRisesEveryFortyBouncesUpToThree)
{
    field.bounceCount = 39;
    moveBall(0, tick, events);
    EXPECT_EQ(field.speedFactor, 1.0);
    field.bounceCount = 40;
    moveBall(0, tick, events);
    EXPECT_EQ(field.speedFactor, 1.25);
    EXPECT_EQ(field.bounceCount, 0);
    field.speedFactor = 2.75;
    field.bounceCount = 40;
    moveBall(0, tick, events);
    EXPECT_EQ(field.speedFactor, 3.0);
    field.bounceCount = 40;
    moveBall(0, tick, events);
    EXPECT_EQ(field.speedFactor, 3.0);
}

// ---------------------------------------------------------------------------
// Balls against bricks
// ---------------------------------------------------------------------------

TEST_F(Field, CornerRuleComesBeforeTheSideRule)
{
    const int i = brickAt(10, 5);
    standBrick(i, Red);
    const Brick& b = field.bricks[i];
    // Down and right, just above the top-left corner: near the left and the top face.
    ball(0) = {true, b.x - b.halfWidth - 0.1, b.y + b.halfHeight + 0.1, false, true, false, true, 0.4, 0.6};
    EXPECT_TRUE(ballMeetsBrick(0, i, tick));
    EXPECT_TRUE(ball(0).movingUp);
    EXPECT_TRUE(ball(0).movingRight) << "the corner turns the ball vertically only";

    // Level with the brick's middle, moving right: the left face sends it back.
    ball(0) = {true, b.x - b.halfWidth - 0.2, b.y, false, true, true, false, 0.4, 0.6};
    EXPECT_TRUE(ballMeetsBrick(0, i, tick));
    EXPECT_TRUE(ball(0).movingLeft);
    EXPECT_TRUE(ball(0).movingUp);

    // Moving away from the near face, or a frame without elapsed time: no bounce.
    ball(0) = {true, b.x - b.halfWidth - 0.2, b.y, true, false, true, false, 0.4, 0.6};
    EXPECT_FALSE(ballMeetsBrick(0, i, tick));
    ball(0).movingLeft = false;
    ball(0).movingRight = true;
    tick = 0;
    EXPECT_FALSE(ballMeetsBrick(0, i, tick));
}

// ---------------------------------------------------------------------------
// Slots and lives
// ---------------------------------------------------------------------------

TEST_F(Field, LastBallLeftMovesIntoSlotZero)
{
    for (int slot = 0; slot < 3; ++slot) {
        ball(slot) = {true, 30.0 + slot, 5, false, true, true, false, 0.4, 0.6};
    }
    field.ballCount = 3;
    ball(0).y = -14.6;
    ball(1).y = -14.6;
    bounceOffWalls(0, events);
    bounceOffWalls(1, events);
    promoteBallSlots(events);
    EXPECT_EQ(field.ballCount, 1);
    EXPECT_TRUE(ball(0).active);
    EXPECT_EQ(ball(0).x, 32.0);
    EXPECT_FALSE(ball(1).active);
    EXPECT_FALSE(ball(2).active);
    EXPECT_TRUE(lightOn(0));
    EXPECT_FALSE(lightOn(2));
}

TEST_F(Field, LosingALifeResetsTheFieldAndPausesWithLivesLeft)
{
    field.ballCount = 0;
    ball(0).active = false;
    field.lives = 2;
    field.paddle.x = 30;
    field.speedFactor = 2.5;
    field.laserActive = field.laserArmed = field.warpOpen = field.paddleCrushed = field.catchActive = true;
    resetLostLife(1234, events);
    EXPECT_EQ(field.lives, 1);
    EXPECT_EQ(field.ballCount, 1);
    EXPECT_TRUE(ball(0).active);
    EXPECT_EQ(ball(0).x, 30) << "the ball starts where the paddle was";
    EXPECT_EQ(field.paddle.x, PADDLE_HOME_X);
    EXPECT_EQ(field.speedFactor, 1.0);
    EXPECT_FALSE(field.laserActive || field.laserArmed || field.warpOpen || field.paddleCrushed || field.catchActive);
    EXPECT_TRUE(field.lifeLostPause && field.ballHeld);
    EXPECT_EQ(field.lifeLostTime, 1234);
    EXPECT_TRUE(played(SAMPLE_LOSE, 2));

    // A field with a ball left is not reset.
    resetLostLife(0, events);
    EXPECT_EQ(field.lives, 1);
}

TEST_F(Field, LosingTheLastLifePlaysGameOverNotLostLife)
{
    field.ballCount = 0;
    ball(0).active = false;
    field.lives = 1;
    resetLostLife(0, events);
    EXPECT_EQ(field.lives, 0);
    EXPECT_TRUE(played(SAMPLE_GAME_OVER, 2));
    EXPECT_EQ(sounds(SAMPLE_LOSE), 0);
    ASSERT_GT(events.count, 0);
    EXPECT_TRUE(std::any_of(events.list, events.list + events.count,
                            [](const PlayEvent& e) { return e.type == PlayEventType::StopMusic; }));
    EXPECT_FALSE(field.lifeLostPause);
}

// ---------------------------------------------------------------------------
// Brick hits and capsules
// ---------------------------------------------------------------------------

TEST_F(Field, GreyNeedsItsHitsAndIronStands)
{
    const int grey = brickAt(3, 3);
    standBrick(grey, Grey);
    field.greyHits = 3;
    field.levelNumber = 4;
    hitBrick(grey, events);
    hitBrick(grey, events);
    EXPECT_TRUE(field.bricks[grey].present);
    EXPECT_EQ(sounds(SAMPLE_IMPACT_IRON), 2);
    hitBrick(grey, events);
    EXPECT_FALSE(field.bricks[grey].present);
    EXPECT_EQ(sounds(SAMPLE_IMPACT), 1);
    EXPECT_EQ(field.score, 200);
    EXPECT_EQ(field.bounceCount, 3);
    EXPECT_FALSE(field.bricks[grey].capsuleFalling);

    const int soft = brickAt(3, 4);
    standBrick(soft, Grey);
    field.greyHits = 0;
    hitBrick(soft, events);
    EXPECT_FALSE(field.bricks[soft].present);

    const int iron = brickAt(3, 5);
    standBrick(iron, Iron);
    for (int k = 0; k < 10; ++k) {
        hitBrick(iron, events);
    }
    EXPECT_TRUE(field.bricks[iron].present);
    EXPECT_EQ(field.score, 400);
}

TEST_F(Field, GreyPointsOfAHugeLevelNumberStopAtTheLargestScore)
{
    const int grey = brickAt(3, 3);
    standBrick(grey, Grey);
    field.levelNumber = 2000000000;   // a first level's number is taken from the file as it stands
    field.score = 5;
    hitBrick(grey, events);
    EXPECT_EQ(field.score, INT32_MAX);
}

TEST_F(Field, IronOnlyLevelIsClearedByTheFirstPass)
{
    standBrick(brickAt(0, 0), Iron);
    standBrick(brickAt(4, 7), Iron);
    updateBricks(tick, events);
    EXPECT_TRUE(field.levelCleared);
    standBrick(brickAt(6, 2), Green);
    updateBricks(tick, events);
    EXPECT_FALSE(field.levelCleared);
}

TEST_F(Field, CapsuleOddsFollowBonusChance)
{
    const int i = brickAt(2, 2);
    auto releases = [&](int chance, int tries) {
        field.bonusChance = chance;
        int count = 0;
        for (int k = 0; k < tries; ++k) {
            standBrick(i, Blue);
            field.bricks[i].capsuleFalling = false;
            field.capsuleInFlight = false;
            hitBrick(i, events);
            count += field.bricks[i].capsuleFalling;
        }
        return count;
    };
    EXPECT_EQ(releases(0, 5000), 0);
    EXPECT_EQ(releases(1, 5000), 0);
    const int tries = 20000;
    const double share = static_cast<double>(releases(100, tries)) / tries;
    EXPECT_NEAR(share, 0.99, 0.005);

    // While a capsule falls no brick releases another.
    field.capsuleInFlight = true;
    standBrick(i, Blue);
    field.bricks[i].capsuleFalling = false;
    hitBrick(i, events);
    EXPECT_FALSE(field.bricks[i].capsuleFalling);
}

TEST_F(Field, CapsuleTypesNeverGiveDisruptToSeveralBalls)
{
    const int i = brickAt(2, 2);
    field.bonusChance = 101;
    field.ballCount = 2;
    int counts[8] = {};
    const int tries = 20000;
    for (int k = 0; k < tries; ++k) {
        standBrick(i, Blue);
        field.capsuleInFlight = false;
        hitBrick(i, events);
        ++counts[field.bricks[i].capsuleType];
    }
    EXPECT_EQ(counts[Disrupt], 0);
    EXPECT_EQ(counts[0], 0);
    EXPECT_NEAR(counts[Break] / double(tries), 0.04, 0.006);
    EXPECT_NEAR(counts[ExtraLife] / double(tries), 0.04, 0.006);
    EXPECT_GT(counts[Slow], counts[Catch] * 3 / 2) << "Slow is twice as likely";
}

class Capsules : public Field {
protected:
    int brick = 0;
    void give(int type)
    {
        brick = brickAt(21, 5);
        field.bricks[brick].capsuleFalling = true;
        field.bricks[brick].capsuleType = type;
        field.capsuleInFlight = true;
        catchCapsule(brick, events);
    }
};

TEST_F(Capsules, SlowTakesHalfOffFromOneAndAHalf)
{
    field.speedFactor = 1.25;
    give(Slow);
    EXPECT_EQ(field.speedFactor, 1.25);
    field.speedFactor = 1.5;
    give(Slow);
    EXPECT_EQ(field.speedFactor, 1.0);
    EXPECT_EQ(field.score, 2000);
    EXPECT_FALSE(field.capsuleInFlight);
}

TEST_F(Capsules, DisruptAfterSlotZeroFellStillCountsOnlyRealBalls)
{
    // Slot 0 fell out earlier in the frame; the ball of slot 1 is still in play.
    ball(0).active = false;
    ball(1) = {true, 33, 4, true, false, true, false, 0.4, 0.6};
    field.ballCount = 1;
    give(Disrupt);
    EXPECT_EQ(field.ballCount, 3);
    for (int slot = 0; slot < 3; ++slot) {
        EXPECT_TRUE(ball(slot).active);
        EXPECT_EQ(ball(slot).x, 33);
    }
    EXPECT_EQ(ball(1).speedX, 0.8);
    EXPECT_EQ(ball(1).speedY, 0.2);

    // No ball in play at all: nothing splits, the life is lost as usual.
    for (Ball& b : field.balls) {
        b.active = false;
    }
    field.ballCount = 0;
    give(Disrupt);
    EXPECT_EQ(field.ballCount, 0);
    EXPECT_FALSE(ball(1).active);
}

TEST_F(Field, CapsulesAreCaughtStrictlyInsideThePaddleAndNotDuringThePause)
{
    const int i = brickAt(21, 5);   // x 40.075
    Brick& b = field.bricks[i];
    auto drop = [&](double paddleX) {
        b.capsuleFalling = true;
        b.capsuleType = Catch;
        field.capsuleInFlight = true;
        b.capsuleY = -9.0 + 0.4;   // one tick above the paddle's top
        field.paddle.x = paddleX;
        updateBricks(tick, events);
    };
    drop(b.x - 3);   // centre exactly on the right end
    EXPECT_TRUE(b.capsuleFalling);
    drop(b.x - 2.999);
    EXPECT_FALSE(b.capsuleFalling);
    EXPECT_TRUE(field.catchActive);

    field.catchActive = false;
    field.lifeLostPause = true;
    drop(b.x);
    EXPECT_TRUE(b.capsuleFalling);
    for (int k = 0; k < 30 && b.capsuleFalling; ++k) {
        updateBricks(tick, events);
    }
    EXPECT_FALSE(b.capsuleFalling) << "lost 8 below the paddle";
    EXPECT_FALSE(field.capsuleInFlight);
    EXPECT_FALSE(field.catchActive);
    EXPECT_EQ(b.capsuleY, b.y);
}

TEST_F(Field, ACaughtCapsuleLeftFarBelowDoesNotFreeTheFallingOne)
{
    // Caught while the crushed paddle had sunk; the paddle is home again.
    const int caught = brickAt(20, 2);
    field.bricks[caught].capsuleY = -30;
    const int falling = brickAt(20, 8);
    field.bricks[falling].capsuleFalling = true;
    field.bricks[falling].capsuleY = 5;
    field.capsuleInFlight = true;
    updateBricks(tick, events);
    EXPECT_TRUE(field.capsuleInFlight);
    EXPECT_EQ(field.bricks[caught].capsuleY, field.bricks[caught].y);
}

TEST_F(Field, ALostBallIsNotBouncedBackByASunkenPaddle)
{
    field.paddle.y = -14.2;
    ball(0).y = -14.6;
    bounceOffWalls(0, events);
    bounceOffPaddle(0, events);
    EXPECT_FALSE(ball(0).active);
    EXPECT_EQ(field.ballCount, 0);
    EXPECT_EQ(sounds(SAMPLE_BAR), 0);
}

// ---------------------------------------------------------------------------
// Laser and falling bricks
// ---------------------------------------------------------------------------

TEST_F(Field, LaserBetweenTwoColumnsHitsBothInOneFrame)
{
    field.bonusChance = 0;
    for (int column = 0; column < 11; ++column) {
        standBrick(brickAt(21, column), Red);
    }
    field.laserActive = true;
    field.laserX = (field.bricks[brickAt(21, 4)].x + field.bricks[brickAt(21, 5)].x) / 2;
    field.laserY = 7.4;
    updateBricks(tick, events);
    for (int column = 0; column < 11; ++column) {
        EXPECT_EQ(field.bricks[brickAt(21, column)].present, column != 4 && column != 5) << "column " << column;
    }
    EXPECT_TRUE(field.laserHit);
    clearLaserAfterHit(events);
    EXPECT_FALSE(field.laserActive || field.laserHit);
    EXPECT_FALSE(lightOn(LASER_LIGHT_LEFT));
}

TEST_F(Field, LaserReachesTheLowestRowInNineTicksAndTheCeilingInThirtyOne)
{
    const int target = brickAt(21, 5);
    standBrick(target, Iron);
    field.laserActive = true;
    field.laserX = PADDLE_HOME_X;
    field.laserY = PADDLE_HOME_Y;
    int advances = 0;
    for (; advances < 100; ++advances) {
        updateBricks(tick, events);
        if (field.laserHit) {
            break;
        }
        advanceLaser(tick, events);
    }
    EXPECT_EQ(advances, 9);
    EXPECT_TRUE(lightOn(LASER_LIGHT_LEFT));
    EXPECT_FLOAT_EQ(events.lights[LASER_LIGHT_LEFT].position[0], 37.3f);
    EXPECT_FLOAT_EQ(events.lights[LASER_LIGHT_RIGHT].position[0], 42.7f);

    field.bricks[target].present = false;
    field.laserHit = false;
    field.laserY = PADDLE_HOME_Y;
    advances = 0;
    while (field.laserActive && advances < 100) {
        advanceLaser(tick, events);
        ++advances;
    }
    EXPECT_EQ(advances, 32) << "31 moves, then the shot at the ceiling ends";
    EXPECT_FALSE(lightOn(LASER_LIGHT_RIGHT));
}

TEST_F(Field, FallingBrickCrushesThePaddleAtItsExactEnd)
{
    field.fallMode = true;
    const int i = brickAt(21, 5);
    Brick& b = field.bricks[i];
    const double leftEdge = b.x - b.halfWidth;
    auto fallOnto = [&](double paddleX) {
        field.paddleCrushed = false;
        b.brickFalling = true;
        b.fallY = -8.5;   // bottom at -9.9 after one tick
        field.paddle.x = paddleX;
        updateBricks(tick, events);
        return field.paddleCrushed;
    };
    EXPECT_TRUE(fallOnto(leftEdge - 3));
    EXPECT_TRUE(played(SAMPLE_TRAPPED, 1));
    EXPECT_FALSE(fallOnto(leftEdge - 3.01));
    EXPECT_TRUE(fallOnto(b.x + b.halfWidth + 3));

    sinkCrushedPaddle(tick);
    EXPECT_DOUBLE_EQ(field.paddle.y, -10.4);
}

TEST_F(Field, FallingBricksPassThroughDuringThePauseAndStopBelowThePaddle)
{
    field.fallMode = true;
    field.lifeLostPause = true;
    const int i = brickAt(21, 5);
    Brick& b = field.bricks[i];
    b.brickFalling = true;
    b.fallY = -8.5;
    for (int k = 0; k < 40 && b.brickFalling; ++k) {
        updateBricks(tick, events);
    }
    EXPECT_FALSE(field.paddleCrushed);
    EXPECT_FALSE(b.brickFalling);
    EXPECT_EQ(b.fallY, b.y);
    EXPECT_GT(b.spin, 0);
}

// ---------------------------------------------------------------------------
// The random source
// ---------------------------------------------------------------------------

TEST(Random, DrawsWhatTheCLibraryDrawsForTheSameSeed)
{
    for (unsigned int seed : {0u, 1u, 7u, 4321u, 2147483647u, 3000000000u}) {
        RandomSource source;
        seedRandom(source, seed);
        srandom(seed);
        for (int k = 0; k < 1000; ++k) {
            ASSERT_EQ(drawRandom(source), random()) << "seed " << seed << ", draw " << k;
        }
    }
}

// ---------------------------------------------------------------------------
// Level loading
// ---------------------------------------------------------------------------

PackLevel levelFilledWith(int code)
{
    PackLevel level;
    level.levelCount = 2;
    level.levelNumber = 5;
    level.greyHits = 2;
    level.bonusChance = 10;
    level.background = 4;
    for (int i = 1; i < GRID_CELLS; ++i) {
        level.bricks[i] = code;
    }
    return level;
}

TEST_F(Field, OnlyTheFirstLevelTakesItsNumberAndTheCountFromThePack)
{
    field.levelNumber = 0;
    loadLevel(levelFilledWith(1), 1, 0, false, events);
    EXPECT_EQ(field.levelNumber, 5);
    EXPECT_EQ(field.levelCount, 2);
    EXPECT_EQ(field.background, 4);

    field.levelNumber = 3;
    field.levelCount = 7;
    loadLevel(levelFilledWith(1), 1, 0, false, events);
    EXPECT_EQ(field.levelNumber, 3);
    EXPECT_EQ(field.levelCount, 7);
}

TEST_F(Field, LoadingResetsTheFieldForTheLevel)
{
    field.levelNumber = 1;
    field.paddle.x = 30;
    field.paddle.halfWidth = 5;
    field.speedFactor = 2.5;
    field.laserArmed = field.catchActive = field.warpOpen = field.levelCleared = true;
    field.capsuleInFlight = true;
    field.lives = 2;
    field.score = 990;
    ball(2).active = true;
    loadLevel(levelFilledWith(White), 4321, 4321.9, true, events);

    EXPECT_EQ(field.levelStartTime, 4321);
    EXPECT_EQ(field.bonusChance, 2) << "a quarter in fall mode";
    EXPECT_TRUE(field.fallMode);
    EXPECT_EQ(ball(0).x, 30) << "the ball starts where the paddle stood";
    EXPECT_TRUE(ball(0).active && !ball(1).active && !ball(2).active && field.ballHeld);
    EXPECT_TRUE(lightOn(0) && events.lights[1].enabledSet && !lightOn(1) && !lightOn(LASER_LIGHT_LEFT));
    EXPECT_EQ(field.paddle.halfWidth, 3);
    EXPECT_EQ(field.speedFactor, 1.0);
    EXPECT_FALSE(field.laserArmed || field.catchActive || field.warpOpen || field.levelCleared);
    EXPECT_FALSE(field.capsuleInFlight);
    EXPECT_EQ(field.lives, 2);
    EXPECT_EQ(field.score, 990);
    ASSERT_GT(events.count, 0);
    EXPECT_EQ(events.list[events.count - 1].type, PlayEventType::StopMusic);

    const Brick& last = field.bricks[241];
    EXPECT_TRUE(last.present && !field.bricks[0].present);
    EXPECT_EQ(last.type, White);
    EXPECT_DOUBLE_EQ(last.x, 57.575);
    EXPECT_DOUBLE_EQ(last.y, 8.4);
    EXPECT_DOUBLE_EQ(field.bricks[0].x, 22.575);
    EXPECT_DOUBLE_EQ(field.bricks[0].y, 52.5);

    // Moving ball 0 onto the paddle puts it at its resting point.
    moveBall(0, tick, events);
    EXPECT_EQ(ball(0).x, 40.0);
    EXPECT_EQ(ball(0).y, -8.5);
}

}   // namespace
