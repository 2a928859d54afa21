// The play rules over one PlayField, without a window: bounces, brick hits,
// capsules and slot handling (laser, falling bricks and loading in
// playfield_laser_test.cpp).
#include "tests/playfield_fixture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

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

}   // namespace
