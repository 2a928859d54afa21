// The play rules over one PlayField, without a window: the laser, falling
// bricks, the random source and level loading.
#include "tests/playfield_fixture.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

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
    updateBricks(field, tick, events);
    for (int column = 0; column < 11; ++column) {
        EXPECT_EQ(field.bricks[brickAt(21, column)].present, column != 4 && column != 5) << "column " << column;
    }
    EXPECT_TRUE(field.laserHit);
    clearLaserAfterHit(field);
    EXPECT_FALSE(field.laserActive || field.laserHit);
}

TEST_F(Field, LaserReachesTheLowestRowInNineTicksAndTheCeilingInThirtyOne)
{
    field.laserActive = true;
    field.laserX = PADDLE_HOME_X;
    field.laserY = PADDLE_HOME_Y;
    PlayField open = field;
    const int target = brickAt(21, 5);
    standBrick(target, Iron);
    int advances = 0;
    for (; advances < 100; ++advances) {
        updateBricks(field, tick, events);
        if (field.laserHit) {
            break;
        }
        advanceLaser(field, tick);
    }
    EXPECT_EQ(advances, 9);

    advances = 0;
    while (open.laserActive && advances < 100) {
        advanceLaser(open, tick);
        ++advances;
    }
    EXPECT_EQ(advances, 32) << "31 moves, then the shot at the ceiling ends";
}

TEST_F(Field, FallingBrickCrushesThePaddleAtItsExactEnd)
{
    field.fallMode = true;
    const int i = brickAt(21, 5);
    const Brick& b = field.bricks[i];
    const double leftEdge = b.x - b.halfWidth;
    // A brick whose bottom reaches -9.9 in one tick, over a paddle at paddleX.
    auto fallOnto = [&](double paddleX) {
        PlayField f = field;
        f.bricks[i].brickFalling = true;
        f.bricks[i].fallY = -8.5;
        f.paddle.x = paddleX;
        clearEvents(events);
        updateBricks(f, tick, events);
        return f;
    };
    PlayField crushed = fallOnto(leftEdge - 3);
    EXPECT_TRUE(crushed.paddleCrushed);
    EXPECT_TRUE(played(SAMPLE_TRAPPED, 1));
    EXPECT_FALSE(fallOnto(leftEdge - 3.01).paddleCrushed);
    EXPECT_TRUE(fallOnto(b.x + b.halfWidth + 3).paddleCrushed);

    sinkCrushedPaddle(crushed, tick);
    EXPECT_DOUBLE_EQ(crushed.paddle.y, -10.4);
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
        updateBricks(field, tick, events);
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
    loadLevel(field, levelFilledWith(1), 1, 0, false, events);
    EXPECT_EQ(field.levelNumber, 5);
    EXPECT_EQ(field.levelCount, 2);
    EXPECT_EQ(field.background, 4);

    PlayField later = openField();
    later.levelNumber = 3;
    later.levelCount = 7;
    loadLevel(later, levelFilledWith(1), 1, 0, false, events);
    EXPECT_EQ(later.levelNumber, 3);
    EXPECT_EQ(later.levelCount, 7);
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
    loadLevel(field, levelFilledWith(White), 4321, 4321.9, true, events);

    EXPECT_EQ(field.levelStartTime, 4321);
    EXPECT_EQ(field.bonusChance, 2) << "a quarter in fall mode";
    EXPECT_TRUE(field.fallMode);
    EXPECT_EQ(ball(0).x, 30) << "the ball starts where the paddle stood";
    EXPECT_TRUE(ball(0).active && !ball(1).active && !ball(2).active && field.ballHeld);
    EXPECT_EQ(field.paddle.halfWidth, 3);
    EXPECT_EQ(field.speedFactor, 1.0);
    EXPECT_FALSE(field.laserArmed || field.catchActive || field.warpOpen || field.levelCleared);
    EXPECT_FALSE(field.capsuleInFlight);
    EXPECT_EQ(field.lives, 2);
    EXPECT_EQ(field.score, 990);
    EXPECT_TRUE(reported(PlayEventType::StopMusic) && reported(PlayEventType::LevelLoaded));

    const Brick& last = field.bricks[241];
    EXPECT_TRUE(last.present && !field.bricks[0].present);
    EXPECT_EQ(last.type, White);
    EXPECT_DOUBLE_EQ(last.x, 57.575);
    EXPECT_DOUBLE_EQ(last.y, 8.4);
    EXPECT_DOUBLE_EQ(field.bricks[0].x, 22.575);
    EXPECT_DOUBLE_EQ(field.bricks[0].y, 52.5);

    // Moving ball 0 onto the paddle puts it at its resting point.
    moveBall(field, 0, tick);
    EXPECT_EQ(ball(0).x, 40.0);
    EXPECT_EQ(ball(0).y, -8.5);
}

}   // namespace
