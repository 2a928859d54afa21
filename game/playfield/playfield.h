// game/playfield/playfield: the one model of the level in play and the rules
// that change it (level loading, balls, bricks, capsules, laser, fall mode).
// No GL, GLUT or sound library: sounds go through platform/sound.h, lights
// through game/render/lights.h, the clock and the buffer swap through seams.
#pragma once

#include <cstdint>
#include <string>

// ---------------------------------------------------------------------------
// World constants (world units; speeds per tick of 1/70 s)
// ---------------------------------------------------------------------------
constexpr double LEFT_WALL = 21.5;
constexpr double RIGHT_WALL = 58.5;
constexpr double CEILING = 52.0;
constexpr double FLOOR_Y = -15.0;            // a ball below this is lost
constexpr double BALL_RADIUS = 0.5;
constexpr double PADDLE_HOME_X = 40.0;
constexpr double PADDLE_HOME_Y = -10.0;
constexpr double PADDLE_HALF_HEIGHT = 1.0;
constexpr int PADDLE_HALF_WIDTH = 3;         // normal
constexpr int PADDLE_HALF_WIDTH_WIDE = 5;    // with Enlarge
constexpr double BRICK_HALF_WIDTH = 1.7;
constexpr double BRICK_HALF_HEIGHT = 1.0;
constexpr double KEYBOARD_PADDLE_SPEED = 0.6;
constexpr double FALL_SPEED = 0.4;           // capsules, falling bricks, a crushed paddle
constexpr double SPIN_RATE = 8.0;            // degrees per tick
constexpr double FIRST_SPEED_X = 0.4;
constexpr double FIRST_SPEED_Y = 0.6;
constexpr double PLAY_PLANE_Z = 15.0;        // play objects lie here
constexpr double LIGHT_PLANE_Z = 20.0;       // lights that follow objects, and texts
constexpr int BRICK_COUNT = 242;
constexpr int BALL_SLOTS = 3;

enum BrickType : int32_t {
    Empty = 0,
    Red = 1,
    Blue = 2,
    Orange = 3,
    Pink = 4,
    Green = 5,
    LightBlue = 6,
    White = 7,
    Grey = 8,
    Iron = 9,
};

enum CapsuleType : int32_t {
    Enlarge = 1,
    Catch = 2,
    Slow = 3,
    ExtraLife = 4,
    Laser = 5,
    Disrupt = 6,
    Break = 7,
};

// ---------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------

// One cell of the grid; reset by every loadLevel.
struct Brick {
    bool present = false;          // stands and can be hit
    bool capsuleFalling = false;   // released a capsule that is falling now
    bool brickFalling = false;     // fall mode: destroyed and falling
    double x = 0;                  // centre, world units
    double y = 0;
    double halfWidth = 0;
    double halfHeight = 0;
    double fallY = 0;              // y of the falling brick; equals y while not falling
    double capsuleY = 0;           // y of the falling capsule; equals y until released
    double spin = 0;               // degrees, grows without bound
    int32_t capsuleType = 0;       // CapsuleType of the released capsule
    int32_t hits = 0;              // hits taken in this level
    int32_t type = 0;              // BrickType
    int32_t tumble = 0;            // 0 or 1: which way a falling brick turns
};

// One ball slot; slot 0 is the main ball.
struct Ball {
    bool active = false;
    double x = 0;
    double y = 0;
    bool movingLeft = false;
    bool movingRight = false;
    bool movingUp = false;
    bool movingDown = false;
    double speedX = 0;             // magnitude per tick, never negative
    double speedY = 0;
};

struct Paddle {
    double x = 0;                  // centre
    double y = 0;
    double halfWidth = 0;
    double halfHeight = 0;
};

// The level in play. Lives for the whole run; a level's state lives from one
// loadLevel to the next; lives, score and the level counters belong to the
// frame loop.
struct PlayField {
    Brick bricks[BRICK_COUNT];
    Ball balls[BALL_SLOTS];
    Paddle paddle;
    int32_t ballCount = 1;         // active slots
    bool ballHeld = true;          // active balls rest on the paddle until launched
    double speedFactor = 1.0;      // 1.0 to 3.0
    int32_t bounceCount = 0;       // counted bounces since the last speed-up
    int32_t score = 0;
    int32_t lives = 3;
    int32_t levelNumber = 0;       // 0 = the pack's first level, its number taken from the file
    int32_t levelCount = 0;
    int32_t greyHits = 0;
    int32_t bonusChance = 0;       // percent
    int32_t background = 0;        // 1 to 4
    bool fallMode = false;         // the FALL MODE option
    bool catchActive = false;
    bool laserArmed = false;
    bool laserActive = false;      // a shot pair is in flight
    bool laserHit = false;         // it hit a brick this step
    double laserX = 0;
    double laserY = 0;
    bool warpOpen = false;         // the exit at the right wall is open
    bool capsuleInFlight = false;  // at most one capsule falls at a time
    bool paddleCrushed = false;
    bool lifeLostPause = false;
    bool levelCleared = false;
    int32_t levelStartTime = 0;    // clock, ms, when the level was loaded
    int32_t levelElapsed = 0;      // whole ms since levelStartTime
    double lifeLostTime = 0;       // clockNow when the pause began
};

// The frame clock, set by the frame loop at the top of every frame.
struct FrameClock {
    double clockNow = 0;           // ms since the windowing toolkit started
    double clockPrev = 0;          // the previous frame's clockNow
    double tick = 0;               // this frame's step in units of 1/70 s
};

extern PlayField field;
extern FrameClock frameClock;

// The music stream has been started for the current level: the frame loop
// sets it when it starts the stream; loadLevel and the return to the menu clear it.
extern bool musicPlaying;

// ---------------------------------------------------------------------------
// Seams: the shell points these at GLUT; tests point them at fakes.
// ---------------------------------------------------------------------------
extern double (*readClock)();    // ms since the windowing toolkit started
extern void (*swapBuffers)();    // replaces the frame on screen (loading shows the back buffer)

// The one random source (random()-style draws); loadLevel seeds it from the clock.
void seedRandom(unsigned int seed);
long drawRandom();

// ---------------------------------------------------------------------------
// Operations
// ---------------------------------------------------------------------------

// level.cpp: reads level field.levelNumber of "Levels Packs/" + config.levelPackName
// and resets the field for it. A pack that cannot be opened prints
// "Cannot open levels file.\n" and ends the process with status 1. A pack with
// a format error prints what and where, changes nothing and returns false.
bool loadLevel();
// The same for a pack given by its path (the simulations load packs from the source tree).
bool loadLevelFrom(const std::string& path);

// balls.cpp: per ball slot 0..2.
void moveBall(int ball);
void bounceOffWalls(int ball);
void bounceOffPaddle(int ball);
bool ballMeetsBrick(int ball, int brick);   // true when the ball bounced off the brick
void promoteBallSlots();                    // after the brick pass
void resetLostLife();                       // when ballCount is 0

// bricks.cpp
void updateBricks();                        // the brick pass; begins by setting levelCleared
void hitBrick(int brick);
void catchCapsule(int brick);

// laser.cpp: the steps after the brick pass, in the frame loop's order.
void clearLaserAfterHit();                  // a shot that hit ends, its lights go off
void sinkCrushedPaddle();
void advanceLaser();                        // shot flight and its lights

// step.cpp: the play-phase step after the music cue, in the frame loop's order:
// balls, brick pass, laser clean-up, slot promotion, sinking paddle, lost-life
// reset, pause check, laser flight. The frame loop and the simulations share it.
void stepPlayPhase();
