// game/playfield/playfield: the model of the level in play and the rules
// that change it (level loading, balls, bricks, capsules, laser, fall mode).
// One step function over explicit data: the caller passes the field, the
// player's command for the frame and the frame's times in, and the rules
// report what happened as PlayEvents (sounds, music, life lost, level cleared,
// camera reset) for the shell to act on. They read no clock, file,
// configuration or renderer state, touch no program-wide value and call no
// device; only the level format is linked. The game's one field is declared
// apart, in field.h.
#pragma once

#include "levelpack/catalogue.h"
#include "levelpack/levelpack.h"

#include <cstdint>

// ---------------------------------------------------------------------------
// World constants (world units; speeds per tick of 1/70 s)
// ---------------------------------------------------------------------------
constexpr double LEFT_WALL = 21.5;
constexpr double RIGHT_WALL = 58.5;
constexpr double CEILING = 52.0;
constexpr double FLOOR_Y = -15.0;   // a ball below this is lost
constexpr double BALL_RADIUS = 0.5;
constexpr double PADDLE_HOME_X = 40.0;
constexpr double PADDLE_HOME_Y = -10.0;
constexpr double PADDLE_HALF_HEIGHT = 1.0;
constexpr int PADDLE_HALF_WIDTH = 3;        // normal
constexpr int PADDLE_HALF_WIDTH_WIDE = 5;   // with Enlarge
constexpr double KEYBOARD_PADDLE_SPEED = 0.6;
constexpr double FALL_SPEED = 0.4;   // capsules, falling bricks, a crushed paddle
constexpr double SPIN_RATE = 8.0;    // degrees per tick
constexpr double FIRST_SPEED_X = 0.4;
constexpr double FIRST_SPEED_Y = 0.6;
constexpr double PLAY_PLANE_Z = 15.0;    // play objects lie here
constexpr double LIGHT_PLANE_Z = 20.0;   // lights that follow objects, and texts
constexpr int BRICK_COUNT = 242;
constexpr int BALL_SLOTS = 3;
constexpr double TICKS_PER_SECOND = 70.0;
constexpr int READY_PHASE_MS = 2500;   // a level's first ms: the ball rests on the paddle, nothing moves
constexpr int LIFE_LOST_PAUSE_MS = 2000;
constexpr double POINTER_UNITS_PER_PIXEL = 0.125;   // mouse control: 8 pixels of pointer move the paddle 1 unit

// A frame's time step runs as equal sub-steps of at most this many ticks. The
// fastest ball (0.6 x speed factor 3) then moves 2.7 units a sub-step, less
// than the 3-unit band in which a ball meets the paddle; capsules (0.6) and
// falling bricks (0.6) cannot skip their 1- and 2-unit catch and crush bands.
// 1.5 ticks is a frame at 46.7 fps: above that nothing is split.
constexpr double MAX_SUBSTEP_TICKS = 1.5;

// A ball that meets neither the paddle nor a breakable brick for this long is
// taken to be caught in a loop (iron boxes, the corridor above a row) and is
// nudged. Ordinary play returns a ball to the paddle every few seconds.
constexpr double STUCK_BALL_TICKS = 30 * TICKS_PER_SECOND;
// A ball can also loop through the paddle: with frames of one length and the
// speed at its top, the paddle's few courses may all lead back to it past a
// narrow gap. One that hits no breakable brick for this long is nudged too
// (and the speed drops), which no player sending it at bricks ever sees.
constexpr double BRICKLESS_BALL_TICKS = 60 * TICKS_PER_SECOND;

// The lights that follow play objects (placed by the shell from the field):
// light i follows ball slot i, these two the laser shots.
constexpr int LASER_LIGHT_LEFT = 4;
constexpr int LASER_LIGHT_RIGHT = 5;

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
    double fallY = 0;          // y of the falling brick; equals y while not falling
    double capsuleY = 0;       // y of the falling capsule; equals y until released
    double spin = 0;           // degrees, grows without bound
    int32_t capsuleType = 0;   // CapsuleType of the released capsule
    int32_t hits = 0;          // hits taken in this level
    int32_t type = 0;          // BrickType
    int32_t tumble = 0;        // 0 or 1: which way a falling brick turns
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
    double speedX = 0;   // magnitude per tick, never negative
    double speedY = 0;
    double idleTicks = 0;   // play since it last met the paddle or a breakable brick
    double bricklessTicks = 0;   // play since it last hit a breakable brick
};

struct Paddle {
    double x = 0;   // centre
    double y = 0;
    double halfWidth = 0;
    double halfHeight = 0;
};

// The play rules' one random source: the additive feedback generator of the C
// library's random(), kept in the field so a seed replays a level exactly and
// nothing else in the program can disturb the draws.
struct RandomSource {
    int32_t state[31] = {};
    int front = 3;   // the two taps, 3 apart
    int rear = 0;
};

// The level in play. Lives for the whole run; a level's state lives from one
// loadLevel to the next; lives, score and the level counters last a game
// (resetForMenu starts the next).
struct PlayField {
    Brick bricks[BRICK_COUNT];
    Ball balls[BALL_SLOTS];
    Paddle paddle;
    int32_t ballCount = 1;      // active slots
    bool ballHeld = true;       // active balls rest on the paddle until launched
    double speedFactor = 1.0;   // 1.0 to 3.0
    int32_t bounceCount = 0;    // counted bounces since the last speed-up
    int32_t score = 0;
    int32_t lives = 3;
    int32_t levelNumber = 0;   // 0 = the pack's first level, its number taken from the file
    int32_t levelCount = 0;
    int32_t greyHits = 0;
    int32_t bonusChance = 0;   // percent
    int32_t background = 0;    // 1 to 4
    bool fallMode = false;     // the FALL MODE option
    bool catchActive = false;
    bool laserArmed = false;
    bool laserActive = false;   // a shot pair is in flight
    bool laserHit = false;      // it hit a brick this step
    double laserX = 0;
    double laserY = 0;
    bool warpOpen = false;          // the exit at the right wall is open
    bool capsuleInFlight = false;   // at most one capsule falls at a time
    bool paddleCrushed = false;
    bool lifeLostPause = false;
    bool levelCleared = false;
    int32_t levelStartTime = 0;   // clock, ms, when the level was loaded
    int32_t levelElapsed = 0;     // whole ms since levelStartTime
    double lifeLostTime = 0;      // clock when the pause began
    RandomSource random;
};

// The player's wishes for one frame: made afresh every frame by the shell's
// input, the bot, a replay or a test, and applied by stepGame, once, in the
// play phase (forfeit whenever the game is on). Values outside their ranges
// are brought into them.
struct PlayerCommand {
    double pointerShift = 0;   // mouse control: world units the pointer moves the paddle (dropped whole at a wall)
    double paddleSpeed = 0;    // keyboard or stick: -1 (left) to 1 (right) of KEYBOARD_PADDLE_SPEED per tick
    uint8_t fires = 0;         // launch/fire presses: launch the held ball, else fire the laser
    bool forfeit = false;      // Escape: the game ends as if the last life were lost
};

// The clock at the ends of a frame, in ms of play (the shell leaves out the
// time the game stood paused); the frame is (clockNow - clockPrev) * 70 / 1000 ticks.
struct FrameTimes {
    double clockPrev = 0;
    double clockNow = 0;
};

// Where stepGame finds the next level of the pack when one is cleared: read
// fills level for position levelNumber (1-based) and says whether it could.
// A null read means the pack has nothing more to give.
struct LevelSource {
    bool (*read)(void* context, int32_t levelNumber, PackLevel& level) = nullptr;
    void* context = nullptr;
};

// What a game frame came to.
enum class FrameOutcome : uint8_t {
    Playing,           // the level goes on (or its game-over wait does)
    PackCompleted,     // the last level was cleared: the game is over, the field as it ended
    LevelUnreadable,   // the next level could not be read: the game is over
};

// What the rules ask of the world, in the order they happened.
enum class PlayEventType : uint8_t {
    Sound,          // play sample on channel
    StartMusic,     // a play-phase frame begins: the music stream plays unless it already does
    StopMusic,      // stop the music stream
    LevelLoaded,    // a level was loaded: the music starts afresh with its play phase
    CameraReset,    // camera yaw and pitch back to 0
    Launched,       // the held ball was launched
    LaserFired,     // a laser shot pair left the paddle
    LifeLost,       // a life was lost (lives may now be 0)
    LevelCleared,   // a brick pass found nothing but iron standing
};

struct PlayEvent {
    PlayEventType type;
    int8_t sample;    // Sound only
    int8_t channel;   // Sound only
};

// The events of one frame (a frame's sub-steps add to the same record).
// Fixed size, so a play frame allocates nothing; sounds past the capacity are
// dropped (a channel plays only its latest sample anyway) and counted.
constexpr int PLAY_EVENT_CAPACITY = 512;
struct PlayEvents {
    PlayEvent list[PLAY_EVENT_CAPACITY];
    int count = 0;
    int dropped = 0;
};

// ---------------------------------------------------------------------------
// Operations: every one works on the field it is given
// ---------------------------------------------------------------------------

// events.cpp
void clearEvents(PlayEvents& events);
void reportSound(PlayEvents& events, int sample);   // on the cue's own channel
void reportEvent(PlayEvents& events, PlayEventType type);

// random.cpp: random()-style draws, 0 to 2^31 - 1.
void seedRandom(RandomSource& random, unsigned int seed);
long drawRandom(RandomSource& random);

// level.cpp: resets the field for level (already read by the caller): its
// header values, and with field.levelNumber 0 the count and first number.
// seed seeds the field's random source; clockNow (ms) is when the level starts.
void loadLevel(PlayField& field, const PackLevel& level, unsigned int seed, double clockNow, bool fallMode,
               PlayEvents& events);
// Puts brick at the centre of grid cell (row-major), at the standard size, its
// fall and capsule heights at rest there; its other fields are left alone.
void placeBrick(Brick& brick, int cell);
// Ready phase and game over: nothing moves, the ball rests on the paddle at home.
void holdField(PlayField& field, PlayEvents& events);
// The return to the menu after a completed pack (levelNumber 0: the next game
// reads the pack's count again) or a game over (1): lives 3, score 0, laser off.
void resetForMenu(PlayField& field, int32_t levelNumber);
// A game about to begin at levelNumber of a pack of levelCount levels (0: the
// pack's first, its count taken from the level the load reads).
void aimAtLevel(PlayField& field, int32_t levelNumber, int32_t levelCount);
// Standing bricks other than iron: what is left to clear.
int bricksLeft(const PlayField& field);

// balls.cpp: per ball slot 0..2; tick is the (sub-)step's length in ticks.
void moveBall(PlayField& field, int ball, double tick);
void bounceOffWalls(PlayField& field, int ball, PlayEvents& events);
void bounceOffPaddle(PlayField& field, int ball, PlayEvents& events);
bool ballMeetsBrick(PlayField& field, int ball, int brick, double tick);     // true when the ball bounced off it
void promoteBallSlots(PlayField& field);                                     // after the brick pass
void resetLostLife(PlayField& field, double clockNow, PlayEvents& events);   // when ballCount is 0
void nudgeStuckBalls(PlayField& field);   // a ball caught in a loop gets a new course

// bricks.cpp
void updateBricks(PlayField& field, double tick,
                  PlayEvents& events);   // the brick pass; begins by setting levelCleared
void hitBrick(PlayField& field, int brick, PlayEvents& events);
void catchCapsule(PlayField& field, int brick, PlayEvents& events);

// laser.cpp: the steps after the brick pass, in the frame loop's order.
void clearLaserAfterHit(PlayField& field);   // a shot that hit ends
void sinkCrushedPaddle(PlayField& field, double tick);
void advanceLaser(PlayField& field, double tick);   // shot flight

// step.cpp
// One play-phase step of tick ticks ending at clockNow (ms): balls, brick
// pass, laser clean-up, slot promotion, sinking paddle, lost-life reset,
// pause check, laser flight.
void stepPlayPhase(PlayField& field, double tick, double clockNow, PlayEvents& events);
// A whole play-phase frame from clockPrev to clockNow (ms), tick ticks long:
// equal sub-steps of at most MAX_SUBSTEP_TICKS, ending early when the level
// is cleared or the last life is lost.
void stepPlayFrame(PlayField& field, double tick, double clockPrev, double clockNow, PlayEvents& events);

// command.cpp: the player's actions and the game frame.
// Applies the command as the player gave it at the end of the last frame:
// in the play phase the paddle's steering (pointer, then speed over tick
// ticks), the wall clamp, the exit, launch and fire; the forfeit whenever
// lives are left.
void applyCommand(PlayField& field, const PlayerCommand& command, double tick, PlayEvents& events);
// Launches the held ball, or fires the laser when it is armed and free.
void launchOrFire(PlayField& field, PlayEvents& events);
// The paddle pushed against the right wall while the exit is open.
void takeExit(PlayField& field);
// One game frame: the command, then the level's clock; a cleared level gives
// way to the next (read through levels, seeded from the clock); then the play
// step, or in the ready phase and after the last life the hold.
FrameOutcome stepGame(PlayField& field, const PlayerCommand& command, const FrameTimes& times,
                      const LevelSource& levels, PlayEvents& events);
