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
        PlayField f = openField();
        f.balls[0] = {true, 37 + c.p * 6 / 100, -8.7, false, true, false, true, 0.4, 0.6};
        clearEvents(events);
        bounceOffPaddle(f, 0, events);
        const Ball& b = f.balls[0];
        EXPECT_EQ(b.movingRight, c.right) << "p " << c.p;
        EXPECT_EQ(b.movingLeft, !c.right) << "p " << c.p;
        EXPECT_TRUE(b.movingUp && !b.movingDown);
        EXPECT_EQ(b.speedX, c.speedX) << "p " << c.p;
        EXPECT_EQ(b.speedY, c.speedY) << "p " << c.p;
        EXPECT_EQ(b.y, -8.5);
        EXPECT_EQ(sounds(SAMPLE_BAR), 1);
        EXPECT_EQ(f.bounceCount, 0) << "the paddle does not count";
    }
}

TEST_F(Field, WallsBounceAtTheirExactThresholds)
{
    struct Case {
        double x, y;
        bool right;      // moving right before the test
        bool bounced;    // a wall sent it the other way
        double after;    // x or y as the wall leaves it
    };
    const Case cases[] = {
        {58.0, 10, true, true, 58.0},       // the right wall, exactly at its threshold
        {57.999, 10, true, false, 57.999},  // just inside: no bounce
        {21.999, 10, false, true, 22.0},    // the left wall
    };
    for (const Case& c : cases) {
        PlayField f = openField();
        f.balls[0] = {true, c.x, c.y, !c.right, c.right, true, false, 0.4, 0.6};
        clearEvents(events);
        bounceOffWalls(f, 0, events);
        EXPECT_EQ(f.balls[0].movingRight, c.right != c.bounced) << c.x;
        EXPECT_EQ(f.balls[0].x, c.after) << c.x;
        EXPECT_EQ(f.bounceCount, c.bounced ? 1 : 0) << c.x;
        EXPECT_EQ(sounds(SAMPLE_WALL), c.bounced ? 1 : 0) << c.x;
    }

    ball(0).y = 51.5;   // the ceiling
    bounceOffWalls(field, 0, events);
    EXPECT_TRUE(ball(0).movingDown);
    EXPECT_EQ(field.bounceCount, 1);

    PlayField lost = openField();
    lost.balls[0].y = -14.5;   // the floor takes it
    bounceOffWalls(lost, 0, events);
    EXPECT_FALSE(lost.balls[0].active);
    EXPECT_EQ(lost.ballCount, 0);
}

TEST_F(Field, SpeedRisesEveryFortyBouncesUpToThree)
{
    struct Case {
        double speed;
        int bounces;
        double after;
    };
    for (const Case& c : {Case{1.0, 39, 1.0}, Case{1.0, 40, 1.25}, Case{2.75, 40, 3.0}, Case{3.0, 40, 3.0}}) {
        PlayField f = openField();
        f.speedFactor = c.speed;
        f.bounceCount = c.bounces;
        moveBall(f, 0, tick);
        EXPECT_EQ(f.speedFactor, c.after) << c.speed << " after " << c.bounces;
        EXPECT_EQ(f.bounceCount, c.after == c.speed && c.speed < 3 ? c.bounces : 0);
    }
}

// ---------------------------------------------------------------------------
// Balls against bricks
// ---------------------------------------------------------------------------

TEST_F(Field, CornerRuleComesBeforeTheSideRule)
{
    const int i = brickAt(10, 5);
    standBrick(i, Red);
    const Brick& b = field.bricks[i];
    const double L = b.x - b.halfWidth;
    const double T = b.y + b.halfHeight;
    struct Case {
        const char* what;
        Ball ball;
        double tick;
        bool meets, up, right;
    };
    const Case cases[] = {
        // Down and right, just above the top-left corner: near the left and the top face; it turns vertically only.
        {"corner", {true, L - 0.1, T + 0.1, false, true, false, true, 0.4, 0.6}, 1.0, true, true, true},
        // Level with the brick's middle, moving right: the left face sends it back.
        {"side", {true, L - 0.2, b.y, false, true, true, false, 0.4, 0.6}, 1.0, true, true, false},
        // Moving away from the near face, or a frame without elapsed time: no bounce.
        {"away", {true, L - 0.2, b.y, true, false, true, false, 0.4, 0.6}, 1.0, false, true, false},
        {"no time", {true, L - 0.2, b.y, false, true, true, false, 0.4, 0.6}, 0.0, false, true, true},
    };
    for (const Case& c : cases) {
        PlayField f = field;
        f.balls[0] = c.ball;
        EXPECT_EQ(ballMeetsBrick(f, 0, i, c.tick), c.meets) << c.what;
        EXPECT_EQ(f.balls[0].movingUp, c.up) << c.what;
        EXPECT_EQ(f.balls[0].movingRight, c.right) << c.what;
    }
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
    bounceOffWalls(field, 0, events);
    bounceOffWalls(field, 1, events);
    promoteBallSlots(field);
    EXPECT_EQ(field.ballCount, 1);
    EXPECT_TRUE(ball(0).active);
    EXPECT_EQ(ball(0).x, 32.0);
    EXPECT_FALSE(ball(1).active);
    EXPECT_FALSE(ball(2).active);
}

TEST_F(Field, LosingALifeResetsTheFieldAndPausesWithLivesLeft)
{
    field.ballCount = 0;
    ball(0).active = false;
    field.lives = 2;
    field.paddle.x = 30;
    field.speedFactor = 2.5;
    field.laserActive = field.laserArmed = field.warpOpen = field.paddleCrushed = field.catchActive = true;
    resetLostLife(field, 1234, events);
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
    resetLostLife(field, 0, events);
    EXPECT_EQ(field.lives, 1);
}

TEST_F(Field, LosingTheLastLifePlaysGameOverNotLostLife)
{
    field.ballCount = 0;
    ball(0).active = false;
    field.lives = 1;
    resetLostLife(field, 0, events);
    EXPECT_EQ(field.lives, 0);
    EXPECT_TRUE(played(SAMPLE_GAME_OVER, 2));
    EXPECT_EQ(sounds(SAMPLE_LOSE), 0);
    EXPECT_TRUE(reported(PlayEventType::StopMusic));
    EXPECT_FALSE(field.lifeLostPause);
}

// ---------------------------------------------------------------------------
// Brick hits and capsules
// ---------------------------------------------------------------------------

TEST_F(Field, GreyNeedsItsHitsAndIronStands)
{
    const int grey = brickAt(3, 3);
    const int soft = brickAt(3, 4);
    const int iron = brickAt(3, 5);
    standBrick(grey, Grey);
    standBrick(soft, Grey);
    standBrick(iron, Iron);
    field.greyHits = 3;
    field.levelNumber = 4;
    hitBrick(field, grey, events);
    hitBrick(field, grey, events);
    EXPECT_TRUE(field.bricks[grey].present);
    EXPECT_EQ(sounds(SAMPLE_IMPACT_IRON), 2);
    hitBrick(field, grey, events);
    EXPECT_FALSE(field.bricks[grey].present);
    EXPECT_EQ(sounds(SAMPLE_IMPACT), 1);
    EXPECT_EQ(field.score, 200);
    EXPECT_EQ(field.bounceCount, 3);
    EXPECT_FALSE(field.bricks[grey].capsuleFalling);
    for (int k = 0; k < 10; ++k) {
        hitBrick(field, iron, events);
    }
    EXPECT_TRUE(field.bricks[iron].present);
    EXPECT_EQ(field.score, 200);

    PlayField once = openField();   // with greyHits 0 a grey brick goes on the first hit
    ::standBrick(once, soft, Grey);
    once.greyHits = 0;
    hitBrick(once, soft, events);
    EXPECT_FALSE(once.bricks[soft].present);
}

TEST_F(Field, GreyPointsOfAHugeLevelNumberStopAtTheLargestScore)
{
    const int grey = brickAt(3, 3);
    standBrick(grey, Grey);
    field.levelNumber = 2000000000;   // a first level's number is taken from the file as it stands
    field.score = 5;
    hitBrick(field, grey, events);
    EXPECT_EQ(field.score, INT32_MAX);
}

TEST_F(Field, IronOnlyLevelIsClearedByTheFirstPass)
{
    standBrick(brickAt(0, 0), Iron);
    standBrick(brickAt(4, 7), Iron);
    PlayField withGreen = field;
    ::standBrick(withGreen, brickAt(6, 2), Green);
    updateBricks(field, tick, events);
    EXPECT_TRUE(field.levelCleared);
    EXPECT_TRUE(reported(PlayEventType::LevelCleared));
    updateBricks(withGreen, tick, events);
    EXPECT_FALSE(withGreen.levelCleared);
}

TEST_F(Field, CapsuleOddsFollowBonusChance)
{
    const int i = brickAt(2, 2);
    // Of tries blue bricks broken at once (no capsule falling), how many release one.
    // Each try a fresh field that carries the random stream on.
    RandomSource stream = field.random;
    auto releases = [&](int chance, int tries) {
        int count = 0;
        for (int k = 0; k < tries; ++k) {
            PlayField f = field;
            f.bonusChance = chance;
            f.random = stream;
            ::standBrick(f, i, Blue);
            hitBrick(f, i, events);
            clearEvents(events);
            stream = f.random;
            count += f.bricks[i].capsuleFalling;
        }
        return count;
    };
    EXPECT_EQ(releases(0, 2000), 0);
    EXPECT_EQ(releases(1, 2000), 0);
    const int tries = 20000;
    const double share = static_cast<double>(releases(100, tries)) / tries;
    EXPECT_NEAR(share, 0.99, 0.005);

    // While a capsule falls no brick releases another.
    field.capsuleInFlight = true;
    field.bonusChance = 101;
    standBrick(i, Blue);
    hitBrick(field, i, events);
    EXPECT_FALSE(field.bricks[i].capsuleFalling);
}

TEST_F(Field, CapsuleTypesNeverGiveDisruptToSeveralBalls)
{
    const int i = brickAt(2, 2);
    int counts[8] = {};
    const int tries = 20000;
    RandomSource stream = field.random;
    for (int k = 0; k < tries; ++k) {
        PlayField f = field;
        f.bonusChance = 101;
        f.ballCount = 2;
        f.random = stream;
        ::standBrick(f, i, Blue);
        hitBrick(f, i, events);
        clearEvents(events);
        stream = f.random;
        ++counts[f.bricks[i].capsuleType];
    }
    EXPECT_EQ(counts[Disrupt], 0);
    EXPECT_EQ(counts[0], 0);
    EXPECT_NEAR(counts[Break] / double(tries), 0.04, 0.006);
    EXPECT_NEAR(counts[ExtraLife] / double(tries), 0.04, 0.006);
    EXPECT_GT(counts[Slow], counts[Catch] * 3 / 2) << "Slow is twice as likely";
}

// A field whose capsule of type is falling, caught by the paddle.
PlayField caught(PlayField f, int type, PlayEvents& events)
{
    const int brick = brickAt(21, 5);
    f.bricks[brick].capsuleFalling = true;
    f.bricks[brick].capsuleType = type;
    f.capsuleInFlight = true;
    catchCapsule(f, brick, events);
    return f;
}

TEST_F(Field, SlowTakesHalfOffFromOneAndAHalf)
{
    field.speedFactor = 1.25;
    EXPECT_EQ(caught(field, Slow, events).speedFactor, 1.25);
    field.speedFactor = 1.5;
    const PlayField slowed = caught(field, Slow, events);
    EXPECT_EQ(slowed.speedFactor, 1.0);
    EXPECT_EQ(slowed.score, 1000);
    EXPECT_FALSE(slowed.capsuleInFlight);
}

TEST_F(Field, DisruptAfterSlotZeroFellStillCountsOnlyRealBalls)
{
    // Slot 0 fell out earlier in the frame; the ball of slot 1 is still in play.
    ball(0).active = false;
    ball(1) = {true, 33, 4, true, false, true, false, 0.4, 0.6};
    field.ballCount = 1;
    const PlayField split = caught(field, Disrupt, events);
    EXPECT_EQ(split.ballCount, 3);
    for (int slot = 0; slot < 3; ++slot) {
        EXPECT_TRUE(split.balls[slot].active);
        EXPECT_EQ(split.balls[slot].x, 33);
    }
    EXPECT_EQ(split.balls[1].speedX, 0.8);
    EXPECT_EQ(split.balls[1].speedY, 0.2);

    // No ball in play at all: nothing splits, the life is lost as usual.
    for (Ball& b : field.balls) {
        b.active = false;
    }
    field.ballCount = 0;
    const PlayField none = caught(field, Disrupt, events);
    EXPECT_EQ(none.ballCount, 0);
    EXPECT_FALSE(none.balls[1].active);
}

TEST_F(Field, CapsulesAreCaughtStrictlyInsideThePaddleAndNotDuringThePause)
{
    const int i = brickAt(21, 5);   // x 40.075
    // A capsule one tick above the paddle's top, the paddle at paddleX.
    auto drop = [&](double paddleX, bool pause) {
        PlayField f = field;
        Brick& b = f.bricks[i];
        b.capsuleFalling = true;
        b.capsuleType = Catch;
        f.capsuleInFlight = true;
        b.capsuleY = -9.0 + 0.4;
        f.paddle.x = paddleX;
        f.lifeLostPause = pause;
        updateBricks(f, tick, events);
        return f;
    };
    const double x = field.bricks[i].x;
    EXPECT_TRUE(drop(x - 3, false).bricks[i].capsuleFalling) << "centre exactly on the right end";
    const PlayField inside = drop(x - 2.999, false);
    EXPECT_FALSE(inside.bricks[i].capsuleFalling);
    EXPECT_TRUE(inside.catchActive);

    PlayField paused = drop(x, true);
    EXPECT_TRUE(paused.bricks[i].capsuleFalling);
    for (int k = 0; k < 30 && paused.bricks[i].capsuleFalling; ++k) {
        updateBricks(paused, tick, events);
    }
    EXPECT_FALSE(paused.bricks[i].capsuleFalling) << "lost 8 below the paddle";
    EXPECT_FALSE(paused.capsuleInFlight);
    EXPECT_FALSE(paused.catchActive);
    EXPECT_EQ(paused.bricks[i].capsuleY, paused.bricks[i].y);
}

TEST_F(Field, ACaughtCapsuleLeftFarBelowDoesNotFreeTheFallingOne)
{
    // Caught while the crushed paddle had sunk; the paddle is home again.
    const int caughtOne = brickAt(20, 2);
    field.bricks[caughtOne].capsuleY = -30;
    const int falling = brickAt(20, 8);
    field.bricks[falling].capsuleFalling = true;
    field.bricks[falling].capsuleY = 5;
    field.capsuleInFlight = true;
    updateBricks(field, tick, events);
    EXPECT_TRUE(field.capsuleInFlight);
    EXPECT_EQ(field.bricks[caughtOne].capsuleY, field.bricks[caughtOne].y);
}

TEST_F(Field, TheLastLookHitsOnlyABrickTheStepWouldEndIn)
{
    // A speed-up is due, so the coming step is longer than the faces' windows:
    // from under the bottom-left corner of an iron brick, up and left, the
    // step would cut through the corner (entering at the bottom, leaving at
    // the left) or, from farther right, end inside.
    const int i = brickAt(10, 5);
    standBrick(i, Iron);
    const Brick& b = field.bricks[i];
    const double L = b.x - b.halfWidth;
    const double B = b.y - b.halfHeight;
    constexpr int DUE = 40;   // counted bounces that bring a speed-up
    field.speedFactor = 1.75;
    field.bounceCount = DUE;
    for (const double a : {0.75, 1.2}) {
        PlayField f = field;
        f.balls[0] = {true, L + a, B - 1.1, true, false, true, false, 0.4, 0.6};
        clearEvents(events);
        updateBricks(f, tick, events);
        const bool endsInside = a > 1;
        EXPECT_TRUE(f.balls[0].movingDown) << a << ": turned away from the face it would cross";
        EXPECT_EQ(sounds(SAMPLE_IMPACT_IRON), endsInside ? 1 : 0) << a;
        EXPECT_EQ(f.bounceCount, DUE + (endsInside ? 1 : 0)) << a;
    }
}

TEST_F(Field, OnlyTheHeldBallSkipsTheBrickTests)
{
    // Catch holds ball 1 while ball 0, in flight, comes up under a brick: that
    // pass still bounces ball 0 off it.
    field.bonusChance = 0;
    field.catchActive = true;
    const int i = brickAt(15, 5);
    standBrick(i, Red);
    const Brick& b = field.bricks[i];
    ball(0) = {true, b.x, b.y - b.halfHeight - 0.8, false, true, true, false, 0.4, 0.6};
    ball(1) = {true, PADDLE_HOME_X, -8.3, true, false, false, true, 0.4, 0.6};
    field.ballCount = 2;
    stepPlayPhase(field, tick, 10000, events);
    EXPECT_TRUE(field.ballHeld) << "ball 1 was caught";
    EXPECT_FALSE(field.bricks[i].present) << "ball 0 was tested all the same";
    EXPECT_TRUE(ball(0).movingDown);
}

TEST_F(Field, ALostBallIsNotBouncedBackByASunkenPaddle)
{
    field.paddle.y = -14.2;
    ball(0).y = -14.6;
    bounceOffWalls(field, 0, events);
    bounceOffPaddle(field, 0, events);
    EXPECT_FALSE(ball(0).active);
    EXPECT_EQ(field.ballCount, 0);
    EXPECT_EQ(sounds(SAMPLE_BAR), 0);
}

// ---------------------------------------------------------------------------
// The player's command and the game frame
// ---------------------------------------------------------------------------

// A field in its play phase as the last frame left it.
PlayField inPlay()
{
    PlayField f = openField();
    f.lives = 3;
    f.levelElapsed = READY_PHASE_MS + 1;
    return f;
}

PlayField commanded(PlayField f, const PlayerCommand& command, double tick, PlayEvents& events)
{
    applyCommand(f, command, tick, events);
    return f;
}

TEST_F(Field, ThePointerMovesThePaddleAndAMovePastAWallIsDroppedWhole)
{
    PlayerCommand move;
    move.pointerShift = 2;
    EXPECT_EQ(commanded(inPlay(), move, tick, events).paddle.x, 42);
    PlayField crushed = inPlay();
    crushed.paddleCrushed = true;
    EXPECT_EQ(commanded(crushed, move, tick, events).paddle.x, 40) << "not while crushed";
    PlayField ready = inPlay();
    ready.levelElapsed = READY_PHASE_MS;
    EXPECT_EQ(commanded(ready, move, tick, events).paddle.x, 40) << "not in the ready phase";

    move.pointerShift = 16;   // the right end would be at 59
    const PlayField wall = commanded(inPlay(), move, tick, events);
    EXPECT_EQ(wall.paddle.x, 40);
    EXPECT_FALSE(wall.levelCleared);
    PlayField open = inPlay();
    open.warpOpen = true;
    const PlayField exit = commanded(open, move, tick, events);
    EXPECT_TRUE(exit.levelCleared) << "pushing into the open exit takes it";
    EXPECT_EQ(exit.score, 1000);
}

TEST_F(Field, ASpeedSteersAtPointSixATickAndTheWallsStopIt)
{
    PlayerCommand keys;
    keys.paddleSpeed = 1;
    EXPECT_DOUBLE_EQ(commanded(inPlay(), keys, 2, events).paddle.x, 41.2);
    keys.paddleSpeed = -7;   // out of range: full speed left
    EXPECT_DOUBLE_EQ(commanded(inPlay(), keys, 1, events).paddle.x, 39.4);
    PlayField paused = inPlay();
    paused.lifeLostPause = true;
    EXPECT_EQ(commanded(paused, keys, 1, events).paddle.x, 40) << "not during a life-lost pause";

    keys.paddleSpeed = 1;
    PlayField near = inPlay();
    near.paddle.x = 55;
    EXPECT_EQ(commanded(near, keys, 59, events).paddle.x, 55.5) << "a long frame ends at the wall";
    PlayField atWall = inPlay();
    atWall.paddle.x = 55.5;
    atWall.warpOpen = true;
    EXPECT_TRUE(commanded(atWall, keys, 1, events).levelCleared);
}

TEST_F(Field, PressesLaunchThenFireAndEscapeForfeitsEvenInTheReadyPhase)
{
    PlayField armed = inPlay();
    armed.ballHeld = true;
    armed.laserArmed = true;
    PlayerCommand presses;
    presses.fires = 2;
    const PlayField after = commanded(armed, presses, tick, events);
    EXPECT_FALSE(after.ballHeld);
    EXPECT_TRUE(after.balls[0].movingUp && after.balls[0].movingRight);
    EXPECT_TRUE(after.laserActive);
    EXPECT_EQ(after.laserX, after.paddle.x);
    EXPECT_TRUE(reported(PlayEventType::Launched) && reported(PlayEventType::LaserFired));

    PlayField ready = inPlay();
    ready.levelElapsed = 100;
    ready.ballHeld = true;
    presses.forfeit = true;
    const PlayField given = commanded(ready, presses, tick, events);
    EXPECT_TRUE(given.ballHeld) << "no launch in the ready phase";
    EXPECT_EQ(given.lives, 0);
}

// A pack of levels filled with one code; reads fail past its count.
struct Pack {
    int32_t count;
    int reads = 0;
};

bool readFromPack(void* context, int32_t levelNumber, PackLevel& level)
{
    Pack& pack = *static_cast<Pack*>(context);
    ++pack.reads;
    if (levelNumber > pack.count) {
        return false;
    }
    for (int32_t& code : level.bricks) {
        code = Blue;
    }
    return true;
}

TEST_F(Field, AClearedLevelGivesWayToTheNextAndTheLastEndsTheGame)
{
    Pack pack{2};
    const LevelSource source{readFromPack, &pack};
    PlayField cleared = inPlay();
    cleared.levelNumber = 1;
    cleared.levelCount = 3;
    cleared.levelCleared = true;
    EXPECT_EQ(stepGame(cleared, {}, {9000, 9014}, source, events), FrameOutcome::Playing);
    EXPECT_EQ(cleared.levelNumber, 2);
    EXPECT_FALSE(cleared.levelCleared);
    EXPECT_EQ(cleared.levelStartTime, 9014);
    EXPECT_TRUE(cleared.bricks[0].present);
    EXPECT_TRUE(played(SAMPLE_START, 1) && reported(PlayEventType::LevelLoaded));
    EXPECT_TRUE(reported(PlayEventType::StartMusic)) << "the frame of the advance still plays";

    PlayField broken = inPlay();   // level 3 cannot be read
    broken.levelNumber = 2;
    broken.levelCount = 3;
    broken.levelCleared = true;
    EXPECT_EQ(stepGame(broken, {}, {9000, 9014}, source, events), FrameOutcome::LevelUnreadable);
    EXPECT_FALSE(broken.levelCleared);

    PlayField last = inPlay();
    last.levelNumber = 2;
    last.levelCount = 2;
    last.levelCleared = true;
    EXPECT_EQ(stepGame(last, {}, {9000, 9014}, source, events), FrameOutcome::PackCompleted);
    EXPECT_EQ(last.levelNumber, 2);
    EXPECT_EQ(pack.reads, 2);
}

}   // namespace
