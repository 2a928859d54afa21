// The play rules over one PlayField, without a window: bounces, brick hits,
// capsules, laser, falling bricks, slot handling and level loading.
#include "game/playfield/playfield.h"

#include "game/playfield/samples.h"
#include "game/render/lights.h"
#include "game/shell/config.h"
#include "levelpack/levelpack.h"
#include "platform/sound_fake.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A field as a level starts: no bricks, ball 0 in play moving up-right, tick 1.
class Field : public ::testing::Test {
protected:
    void SetUp() override
    {
        field = PlayField{};
        for (int i = 0; i < BRICK_COUNT; ++i) {
            Brick& b = field.bricks[i];
            b.x = 3.5 * (6.45 + i % 11);
            b.y = 2.1 * (25 - i / 11);
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
        frameClock = FrameClock{};
        frameClock.tick = 1.0;
        engine.logEnabled = false;
        initLights();
        soundCalls.clear();
        seedRandom(7);
    }

    static Ball& ball(int slot) { return field.balls[slot]; }

    static int brickAt(int row, int column) { return row * 11 + column; }

    static void standBrick(int index, int type)
    {
        field.bricks[index].present = true;
        field.bricks[index].type = type;
    }

    static bool played(int slot, int channel)
    {
        for (const SoundCall& call : soundCalls) {
            if (call.what == "play" && call.slot == slot && call.channel == channel) {
                return true;
            }
        }
        return false;
    }
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
        bounceOffPaddle(0);
        EXPECT_EQ(ball(0).movingRight, c.right) << "p " << c.p;
        EXPECT_EQ(ball(0).movingLeft, !c.right) << "p " << c.p;
        EXPECT_TRUE(ball(0).movingUp && !ball(0).movingDown);
        EXPECT_EQ(ball(0).speedX, c.speedX) << "p " << c.p;
        EXPECT_EQ(ball(0).speedY, c.speedY) << "p " << c.p;
        EXPECT_EQ(ball(0).y, -8.5);
    }
    EXPECT_EQ(soundPlayCount(SAMPLE_BAR), 10);
    EXPECT_EQ(field.bounceCount, 0) << "the paddle does not count";
}

TEST_F(Field, WallsBounceAtTheirExactThresholds)
{
    ball(0).x = 58.0;
    bounceOffWalls(0);
    EXPECT_TRUE(ball(0).movingLeft && !ball(0).movingRight);

    ball(0).x = 57.999;
    ball(0).movingLeft = false;
    ball(0).movingRight = true;
    bounceOffWalls(0);
    EXPECT_TRUE(ball(0).movingRight) << "just inside: no bounce";

    ball(0).x = 21.999;
    ball(0).movingLeft = true;
    ball(0).movingRight = false;
    bounceOffWalls(0);
    EXPECT_TRUE(ball(0).movingRight);
    EXPECT_EQ(ball(0).x, 22.0);

    ball(0).x = 40;
    ball(0).y = 51.5;
    bounceOffWalls(0);
    EXPECT_TRUE(ball(0).movingDown);
    EXPECT_EQ(field.bounceCount, 3);
    EXPECT_EQ(soundPlayCount(SAMPLE_WALL), 3);

    ball(0).y = -14.5;
    bounceOffWalls(0);
    EXPECT_FALSE(ball(0).active);
    EXPECT_EQ(field.ballCount, 0);
    EXPECT_FALSE(engine.lights[0].enabled);
}

TEST_F(Field, SpeedRisesEveryFortyBouncesUpToThree)
{
    field.bounceCount = 39;
    moveBall(0);
    EXPECT_EQ(field.speedFactor, 1.0);
    field.bounceCount = 40;
    moveBall(0);
    EXPECT_EQ(field.speedFactor, 1.25);
    EXPECT_EQ(field.bounceCount, 0);
    field.speedFactor = 2.75;
    field.bounceCount = 40;
    moveBall(0);
    EXPECT_EQ(field.speedFactor, 3.0);
    field.bounceCount = 40;
    moveBall(0);
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
    EXPECT_TRUE(ballMeetsBrick(0, i));
    EXPECT_TRUE(ball(0).movingUp);
    EXPECT_TRUE(ball(0).movingRight) << "the corner turns the ball vertically only";

    // Level with the brick's middle, moving right: the left face sends it back.
    ball(0) = {true, b.x - b.halfWidth - 0.2, b.y, false, true, true, false, 0.4, 0.6};
    EXPECT_TRUE(ballMeetsBrick(0, i));
    EXPECT_TRUE(ball(0).movingLeft);
    EXPECT_TRUE(ball(0).movingUp);

    // Moving away from the near face, or a frame without elapsed time: no bounce.
    ball(0) = {true, b.x - b.halfWidth - 0.2, b.y, true, false, true, false, 0.4, 0.6};
    EXPECT_FALSE(ballMeetsBrick(0, i));
    ball(0).movingLeft = false;
    ball(0).movingRight = true;
    frameClock.tick = 0;
    EXPECT_FALSE(ballMeetsBrick(0, i));
}

// ---------------------------------------------------------------------------
// Slots and lives
// ---------------------------------------------------------------------------

TEST_F(Field, LastBallLeftMovesIntoSlotZero)
{
    for (int slot = 0; slot < 3; ++slot) {
        ball(slot) = {true, 30.0 + slot, 5, false, true, true, false, 0.4, 0.6};
        setLightEnabled(slot, true);
    }
    field.ballCount = 3;
    ball(0).y = -14.6;
    ball(1).y = -14.6;
    bounceOffWalls(0);
    bounceOffWalls(1);
    promoteBallSlots();
    EXPECT_EQ(field.ballCount, 1);
    EXPECT_TRUE(ball(0).active);
    EXPECT_EQ(ball(0).x, 32.0);
    EXPECT_FALSE(ball(1).active);
    EXPECT_FALSE(ball(2).active);
    EXPECT_TRUE(engine.lights[0].enabled);
    EXPECT_FALSE(engine.lights[2].enabled);
}

TEST_F(Field, LosingALifeResetsTheFieldAndPausesWithLivesLeft)
{
    field.ballCount = 0;
    ball(0).active = false;
    field.lives = 2;
    field.paddle.x = 30;
    field.speedFactor = 2.5;
    field.laserActive = field.laserArmed = field.warpOpen = field.paddleCrushed = field.catchActive = true;
    frameClock.clockNow = 1234;
    resetLostLife();
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
    resetLostLife();
    EXPECT_EQ(field.lives, 1);
}

TEST_F(Field, LosingTheLastLifePlaysGameOverNotLostLife)
{
    field.ballCount = 0;
    ball(0).active = false;
    field.lives = 1;
    resetLostLife();
    EXPECT_EQ(field.lives, 0);
    EXPECT_TRUE(played(SAMPLE_GAME_OVER, 2));
    EXPECT_EQ(soundPlayCount(SAMPLE_LOSE), 0);
    ASSERT_FALSE(soundCalls.empty());
    EXPECT_EQ(soundCalls.front().what, "stopStream");
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
    hitBrick(grey);
    hitBrick(grey);
    EXPECT_TRUE(field.bricks[grey].present);
    EXPECT_EQ(soundPlayCount(SAMPLE_IMPACT_IRON), 2);
    hitBrick(grey);
    EXPECT_FALSE(field.bricks[grey].present);
    EXPECT_EQ(soundPlayCount(SAMPLE_IMPACT), 1);
    EXPECT_EQ(field.score, 200);
    EXPECT_EQ(field.bounceCount, 3);
    EXPECT_FALSE(field.bricks[grey].capsuleFalling);

    const int soft = brickAt(3, 4);
    standBrick(soft, Grey);
    field.greyHits = 0;
    hitBrick(soft);
    EXPECT_FALSE(field.bricks[soft].present);

    const int iron = brickAt(3, 5);
    standBrick(iron, Iron);
    for (int k = 0; k < 10; ++k) {
        hitBrick(iron);
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
    hitBrick(grey);
    EXPECT_EQ(field.score, INT32_MAX);
}

TEST_F(Field, IronOnlyLevelIsClearedByTheFirstPass)
{
    standBrick(brickAt(0, 0), Iron);
    standBrick(brickAt(4, 7), Iron);
    updateBricks();
    EXPECT_TRUE(field.levelCleared);
    standBrick(brickAt(6, 2), Green);
    updateBricks();
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
            hitBrick(i);
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
    hitBrick(i);
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
        hitBrick(i);
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
        catchCapsule(brick);
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
        updateBricks();
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
        updateBricks();
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
    updateBricks();
    EXPECT_TRUE(field.capsuleInFlight);
    EXPECT_EQ(field.bricks[caught].capsuleY, field.bricks[caught].y);
}

TEST_F(Field, ALostBallIsNotBouncedBackByASunkenPaddle)
{
    field.paddle.y = -14.2;
    ball(0).y = -14.6;
    bounceOffWalls(0);
    bounceOffPaddle(0);
    EXPECT_FALSE(ball(0).active);
    EXPECT_EQ(field.ballCount, 0);
    EXPECT_EQ(soundPlayCount(SAMPLE_BAR), 0);
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
    updateBricks();
    for (int column = 0; column < 11; ++column) {
        EXPECT_EQ(field.bricks[brickAt(21, column)].present, column != 4 && column != 5) << "column " << column;
    }
    EXPECT_TRUE(field.laserHit);
    clearLaserAfterHit();
    EXPECT_FALSE(field.laserActive || field.laserHit);
    EXPECT_FALSE(engine.lights[LASER_LIGHT_LEFT].enabled);
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
        updateBricks();
        if (field.laserHit) {
            break;
        }
        advanceLaser();
    }
    EXPECT_EQ(advances, 9);
    EXPECT_TRUE(engine.lights[LASER_LIGHT_LEFT].enabled);
    EXPECT_FLOAT_EQ(engine.lights[LASER_LIGHT_LEFT].position[0], 37.3f);
    EXPECT_FLOAT_EQ(engine.lights[LASER_LIGHT_RIGHT].position[0], 42.7f);

    field.bricks[target].present = false;
    field.laserHit = false;
    field.laserY = PADDLE_HOME_Y;
    advances = 0;
    while (field.laserActive && advances < 100) {
        advanceLaser();
        ++advances;
    }
    EXPECT_EQ(advances, 32) << "31 moves, then the shot at the ceiling ends";
    EXPECT_FALSE(engine.lights[LASER_LIGHT_RIGHT].enabled);
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
        updateBricks();
        return field.paddleCrushed;
    };
    EXPECT_TRUE(fallOnto(leftEdge - 3));
    EXPECT_TRUE(played(SAMPLE_TRAPPED, 1));
    EXPECT_FALSE(fallOnto(leftEdge - 3.01));
    EXPECT_TRUE(fallOnto(b.x + b.halfWidth + 3));

    sinkCrushedPaddle();
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
        updateBricks();
    }
    EXPECT_FALSE(field.paddleCrushed);
    EXPECT_FALSE(b.brickFalling);
    EXPECT_EQ(b.fallY, b.y);
    EXPECT_GT(b.spin, 0);
}

// ---------------------------------------------------------------------------
// Level loading
// ---------------------------------------------------------------------------

struct LevelText {
    int number, greyHits, bonusChance, background;
    int fill;   // code of every cell
};

std::string packText(const std::vector<LevelText>& levels)
{
    std::ostringstream out;
    out << levels.size() << "\n";
    for (const LevelText& level : levels) {
        out << level.number << " " << level.greyHits << " " << level.bonusChance << " " << level.background << "\n";
        for (int i = 0; i < GRID_CELLS; ++i) {
            out << (i == 0 ? 0 : level.fill) << ((i % 11 == 10) ? "\n" : " ");
        }
    }
    return out.str();
}

double fixedClock() { return 4321.9; }
int swaps = 0;
void countSwap() { ++swaps; }

// A working folder with "Levels Packs/" for loadLevel to find.
class Loading : public Field {
protected:
    fs::path dir;
    fs::path savedDir;
    void SetUp() override
    {
        Field::SetUp();
        savedDir = fs::current_path();
        dir = fs::temp_directory_path() / ("playfield_test_" + std::to_string(getpid()));
        fs::create_directories(dir / "Levels Packs");
        fs::current_path(dir);
        readClock = fixedClock;
        swapBuffers = countSwap;
        swaps = 0;
        config.fallMode = 0;
        strcpy(config.levelPackName, "test.tlp");
    }
    void TearDown() override
    {
        fs::current_path(savedDir);
        fs::remove_all(dir);
    }
    void writePack(const std::string& text)
    {
        std::ofstream(dir / "Levels Packs" / "test.tlp", std::ios::binary) << text;
    }
};

TEST_F(Loading, LevelsAreTakenByPositionNotByTheirStoredNumbers)
{
    writePack(packText({{7, 1, 10, 1, 1}, {8, 2, 20, 2, 2}, {9, 3, 30, 3, 3}}));
    field.levelNumber = 3;
    field.levelCount = 3;
    ASSERT_TRUE(loadLevel());
    EXPECT_EQ(field.levelNumber, 3);
    EXPECT_EQ(field.greyHits, 3);
    EXPECT_EQ(field.bonusChance, 30);
    EXPECT_EQ(field.background, 3);
    EXPECT_EQ(field.bricks[5].type, 3);
}

TEST_F(Loading, FirstLevelTakesItsNumberAndTheCountFromTheFile)
{
    writePack(packText({{5, 1, 10, 4, 2}, {6, 1, 10, 1, 1}}));
    field.levelNumber = 0;
    ASSERT_TRUE(loadLevel());
    EXPECT_EQ(field.levelNumber, 5);
    EXPECT_EQ(field.levelCount, 2);
    EXPECT_EQ(field.background, 4);
}

TEST_F(Loading, LoadingResetsTheFieldForTheLevel)
{
    writePack(packText({{1, 2, 10, 1, 7}}));
    field.levelNumber = 1;
    field.paddle.x = 30;
    field.paddle.halfWidth = 5;
    field.speedFactor = 2.5;
    field.laserArmed = field.catchActive = field.warpOpen = field.levelCleared = true;
    field.capsuleInFlight = true;
    field.lives = 2;
    field.score = 990;
    ball(2).active = true;
    musicPlaying = true;
    config.fallMode = 1;
    ASSERT_TRUE(loadLevel());

    EXPECT_EQ(field.levelStartTime, 4321);
    EXPECT_EQ(swaps, 1);
    EXPECT_EQ(field.bonusChance, 2) << "a quarter in fall mode";
    EXPECT_EQ(ball(0).x, 30) << "the ball starts where the paddle stood";
    EXPECT_TRUE(ball(0).active && !ball(1).active && !ball(2).active && field.ballHeld);
    EXPECT_EQ(field.paddle.halfWidth, 3);
    EXPECT_EQ(field.speedFactor, 1.0);
    EXPECT_FALSE(field.laserArmed || field.catchActive || field.warpOpen || field.levelCleared);
    EXPECT_FALSE(field.capsuleInFlight);
    EXPECT_EQ(field.lives, 2);
    EXPECT_EQ(field.score, 990);
    EXPECT_FALSE(musicPlaying);
    EXPECT_EQ(soundCalls.back().what, "stopStream");

    const Brick& last = field.bricks[241];
    EXPECT_TRUE(last.present && !field.bricks[0].present);
    EXPECT_EQ(last.type, White);
    EXPECT_DOUBLE_EQ(last.x, 57.575);
    EXPECT_DOUBLE_EQ(last.y, 8.4);
    EXPECT_DOUBLE_EQ(field.bricks[0].x, 22.575);
    EXPECT_DOUBLE_EQ(field.bricks[0].y, 52.5);

    // Moving ball 0 onto the paddle puts it at its resting point.
    moveBall(0);
    EXPECT_EQ(ball(0).x, 40.0);
    EXPECT_EQ(ball(0).y, -8.5);
}

TEST_F(Loading, ADamagedPackIsReportedAndChangesNothing)
{
    std::string text = packText({{1, 2, 10, 1, 7}, {2, 2, 10, 1, 7}});
    text.resize(text.size() - 40);   // the second level's grid ends early
    writePack(text);
    field.levelNumber = 2;
    field.bricks[7].present = true;
    field.score = 55;
    const PlayField before = field;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(loadLevel());
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_NE(said.find("Levels Packs/test.tlp"), std::string::npos) << said;
    EXPECT_NE(said.find("level 2"), std::string::npos) << said;
    EXPECT_EQ(memcmp(&before.bricks, &field.bricks, sizeof field.bricks), 0);
    EXPECT_EQ(field.levelNumber, 2);
    EXPECT_EQ(field.paddle.x, before.paddle.x);
    EXPECT_EQ(swaps, 0);
    EXPECT_EQ(soundCalls.size(), 0u);

    writePack(packText({{1, 2, 10, 1, 7}}));
    EXPECT_FALSE(loadLevel()) << "a level past the end is a format error too";
}

TEST_F(Loading, APackThatCannotBeOpenedEndsTheGame)
{
    strcpy(config.levelPackName, "missing.tlp");
    const std::string out = (dir / "out.txt").string();
    EXPECT_EXIT(
        {
            if (!freopen(out.c_str(), "w", stdout)) {
                _exit(3);
            }
            loadLevel();
        },
        ::testing::ExitedWithCode(1), "");
    std::ifstream in(out);
    std::string said((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(said, "Cannot open levels file.\n");
}

}   // namespace
