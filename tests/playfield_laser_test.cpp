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
