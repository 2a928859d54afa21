// game/playfield/bot: the seeded bot (see bot.h). It stands in for the
// player: once a frame it looks at the field and gives a command, which the
// game's own frame applies.
#include "game/playfield/bot.h"

#include "game/playfield/playfield.h"
#include "game/playfield/replay.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace {

constexpr double BALL_LEFT = LEFT_WALL + BALL_RADIUS;   // where the walls turn a ball
constexpr double BALL_RIGHT = RIGHT_WALL - BALL_RADIUS;
constexpr double BALL_TOP = CEILING - BALL_RADIUS;

// Where a ball keeping its course meets the paddle's top, moved as the game
// moves it, frame by frame in sub-steps, reflected by the walls and the
// ceiling but not by bricks (what a player sees coming); ticks is how long
// it takes. frameTicks is the length of the bot's frames.
struct Landing {
    double x = 0;
    double ticks = 0;
};

Landing predictLanding(const PlayField& field, const Ball& ball, double restY, double frameTicks)
{
    const int steps = std::max(1, static_cast<int>(std::ceil(frameTicks / MAX_SUBSTEP_TICKS)));
    const double length = frameTicks / steps;
    const double dx = ball.speedX * field.speedFactor * length;
    const double dy = ball.speedY * field.speedFactor * length;
    double x = ball.x;
    double y = ball.y;
    bool right = ball.movingRight;
    bool up = ball.movingUp;
    Landing landing;
    // Up to the ceiling and down again at the slowest course is some 600 sub-steps.
    for (int k = 1; k <= 4000 && dy > 0; ++k) {
        x += right ? dx : -dx;
        y += up ? dy : -dy;
        if (x >= BALL_RIGHT) {
            x = BALL_RIGHT;
            right = false;
        }
        if (x <= BALL_LEFT) {
            x = BALL_LEFT;
            right = true;
        }
        if (y >= BALL_TOP) {
            y = BALL_TOP;
            up = false;
        }
        if (!up && y <= restY) {
            landing.ticks = k * length;
            break;
        }
    }
    landing.x = x;
    return landing;
}

// The ball the paddle should meet next: the one that comes down soonest.
int nextBall(const PlayField& field, double restY, double frameTicks, Landing& landing)
{
    int best = -1;
    for (int slot = 0; slot < BALL_SLOTS; ++slot) {
        const Ball& ball = field.balls[slot];
        if (!ball.active) {
            continue;
        }
        const Landing candidate = predictLanding(field, ball, restY, frameTicks);
        if (best < 0 || candidate.ticks < landing.ticks) {
            best = slot;
            landing = candidate;
        }
    }
    return best;
}

// When a paddle that sets off from its place towards target, at most speed
// units a tick, and stays there, would be under a falling brick as the brick
// passes the paddle's height (the crush test's edges, with a little room):
// the last tick at which such a brick has passed, or -1 when none would land
// on it. Bricks that arrive after horizon ticks do not count.
double blockedUntil(const PlayField& field, double target, double speed, double horizon)
{
    const Paddle& paddle = field.paddle;
    const double top = paddle.y + paddle.halfHeight;
    const double bottomOfPaddle = paddle.y - paddle.halfHeight;
    constexpr double ROOM = 0.3;
    double until = -1;
    for (const Brick& brick : field.bricks) {
        if (!brick.brickFalling || brick.present) {
            continue;
        }
        const double bottom = brick.fallY - brick.halfHeight;
        const double enter = (bottom - top) / FALL_SPEED;
        const double leave = (bottom - bottomOfPaddle) / FALL_SPEED;
        if (leave < 0 || enter > horizon || leave <= until) {
            continue;
        }
        // Where the paddle is at the brick's arrival, halfway and its passing.
        for (const double t : {std::max(0.0, enter), std::max(0.0, (enter + leave) / 2), leave}) {
            const double x = paddle.x + std::clamp(target - paddle.x, -speed * t, speed * t);
            if (brick.x + brick.halfWidth >= x - paddle.halfWidth - ROOM &&
                brick.x - brick.halfWidth <= x + paddle.halfWidth + ROOM) {
                until = leave;
                break;
            }
        }
    }
    return until;
}

// In fall mode: where to steer so that no brick lands on the paddle and it
// still meets the ball (a crushed paddle sinks and loses the ball as surely
// as a miss). The wanted place if it is clear; else beside it while bricks
// pass that are gone before the ball comes; else the nearest clear place that
// meets the ball; else the nearest clear place.
double dodge(const PlayField& field, double wanted, double ballX, double ballTicks, double lowest, double highest,
             double speed)
{
    if (!field.fallMode) {
        return wanted;
    }
    // The paddle stays where it meets the ball until the ball has left it,
    // then it has the time to clear a brick's width.
    const double horizon = ballTicks + 2 * (field.paddle.halfWidth + BRICK_HALF_WIDTH + 1) / speed;
    const double blocked = blockedUntil(field, wanted, speed, horizon);
    if (blocked < 0) {
        return wanted;
    }
    constexpr double STEP = 0.25;
    constexpr double MARGIN = 2;   // ticks in hand when the ball comes
    if (blocked + MARGIN < ballTicks) {
        for (double step = STEP; step <= RIGHT_WALL - LEFT_WALL; step += STEP) {
            for (double candidate : {wanted - step, wanted + step}) {
                const double x = std::clamp(candidate, lowest, highest);
                if (blocked + std::fabs(x - wanted) / speed + MARGIN < ballTicks &&
                    blockedUntil(field, x, speed, blocked + 1) < 0) {
                    return x;
                }
            }
        }
    }
    const double reach = field.paddle.halfWidth + BALL_RADIUS - 0.1;
    double safe = wanted;
    bool found = false;
    for (double step = STEP; step <= RIGHT_WALL - LEFT_WALL; step += STEP) {
        for (double candidate : {wanted - step, wanted + step}) {
            const double x = std::clamp(candidate, lowest, highest);
            if (blockedUntil(field, x, speed, horizon) >= 0) {
                continue;
            }
            if (std::fabs(x - ballX) < reach) {
                return x;
            }
            if (!found) {
                safe = x;
                found = true;
            }
        }
    }
    return safe;
}

// The paddle's six courses (its bounce bands, left to right) and the point of
// each band the bot aims at, in percent of the paddle's width from its left
// end. The outer bands reach past the paddle's ends (a ball overlapping an end
// still meets it), so their aim stays well inside.
struct Course {
    bool right;
    double speedX;
    double speedY;
    double aimPercent;
};
constexpr Course COURSES[] = {{false, 0.7, 0.3, 3}, {false, 0.6, 0.4, 20}, {false, 0.4, 0.6, 40},
                              {true, 0.4, 0.6, 60}, {true, 0.6, 0.4, 80},  {true, 0.7, 0.3, 97}};
constexpr int COURSE_COUNT = 6;
constexpr int NO_COURSE = -1;   // meet the ball with the paddle's middle

// A course is tried on a copy of the field for this long at most.
constexpr double TRIAL_TICKS = 10 * TICKS_PER_SECOND;
// Courses whose first hit comes at most this much later than the soonest's are as good.
constexpr double AIM_SLACK_TICKS = TICKS_PER_SECOND;

// How soon a ball leaving the paddle at (x, y) on course hits a breakable
// brick (grey bricks count from their first hit), in ticks; -1 when it comes
// back down to y first, or hits none within TRIAL_TICKS. Played by the
// game's own step on a copy of the field with that ball alone, in sub-steps
// of step ticks, as the bot's frames will be.
double ticksToFirstHit(const PlayField& field, const Ball& from, double x, double y, const Course& course, double step)
{
    PlayField trial = field;
    for (Ball& ball : trial.balls) {
        ball.active = false;
    }
    Ball& ball = trial.balls[0];
    ball = from;
    ball.active = true;
    ball.x = x;
    ball.y = y;
    ball.movingRight = course.right;
    ball.movingLeft = !course.right;
    ball.movingUp = true;
    ball.movingDown = false;
    ball.speedX = course.speedX;
    ball.speedY = course.speedY;
    ball.idleTicks = 0;
    ball.bricklessTicks = 0;
    trial.ballCount = 1;
    trial.ballHeld = false;
    trial.catchActive = false;
    trial.laserActive = false;
    trial.laserArmed = false;
    trial.fallMode = false;
    trial.lifeLostPause = false;
    trial.paddle.y = FLOOR_Y - 100;   // out of the way: the trial ends when the ball comes back down
    PlayEvents events;
    for (double played = step; played <= TRIAL_TICKS; played += step) {
        clearEvents(events);
        stepPlayPhase(trial, step, 0, events);
        if (!ball.active) {
            return -1;
        }
        if (ball.bricklessTicks == 0) {
            return played;
        }
        if (ball.movingDown && ball.y <= y) {
            return -1;
        }
    }
    return -1;
}

// Whether the followed ball did something the last plan did not foresee: a
// ball of its own, a turn other than at a wall, a new speed, a paddle of
// another width.
bool surprised(const BotHand& aim, int slot, const Ball& ball, const Paddle& paddle)
{
    const bool wallTurn = ball.x == BALL_LEFT || ball.x == BALL_RIGHT;
    return slot != aim.slot || ball.movingDown != aim.descending || (ball.movingRight != aim.right && !wallTurn) ||
           ball.speedX != aim.speedX || ball.speedY != aim.speedY || paddle.halfWidth != aim.halfWidth;
}

// Where the paddle's middle goes for the ball to meet it at percent of its width.
double paddleFor(double ballX, double halfWidth, double percent)
{
    return ballX + halfWidth - percent * halfWidth / 50;
}

// A new plan for a ball coming down to landing: of the courses the paddle
// can get to in time, one that hits a standing brick soonest (or nearly so),
// else any; the hand misses the chosen spot by a human error.
void plan(const PlayField& field, BotHand& aim, const Ball& ball, const Landing& landing, double restY,
          double frameTicks, double speed)
{
    aim.error = std::normal_distribution<double>(0, aim.aimError)(aim.random);
    aim.course = NO_COURSE;
    if (!ball.movingDown) {
        return;   // it will come down elsewhere, after bricks the eye cannot foresee
    }
    const Paddle& paddle = field.paddle;
    const double lowest = LEFT_WALL + paddle.halfWidth;
    const double highest = RIGHT_WALL - paddle.halfWidth;
    const int steps = std::max(1, static_cast<int>(std::ceil(frameTicks / MAX_SUBSTEP_TICKS)));
    const double step = frameTicks / steps;
    int reachable[COURSE_COUNT];
    double hitTicks[COURSE_COUNT];
    int count = 0;
    double soonest = -1;
    for (int k = 0; k < COURSE_COUNT; ++k) {
        const double x = paddleFor(landing.x, paddle.halfWidth, COURSES[k].aimPercent);
        if (x < lowest || x > highest || std::fabs(x - paddle.x) > speed * landing.ticks) {
            continue;
        }
        const double hit = ticksToFirstHit(field, ball, landing.x, restY, COURSES[k], step);
        reachable[count] = k;
        hitTicks[count++] = hit;
        if (hit >= 0 && (soonest < 0 || hit < soonest)) {
            soonest = hit;
        }
    }
    int choices[COURSE_COUNT];
    int chosen = 0;
    for (int k = 0; k < count; ++k) {
        if (soonest < 0 || (hitTicks[k] >= 0 && hitTicks[k] <= soonest + AIM_SLACK_TICKS)) {
            choices[chosen++] = reachable[k];
        }
    }
    if (chosen > 0) {
        aim.course = choices[std::uniform_int_distribution<int>(0, chosen - 1)(aim.random)];
    }
}

}   // namespace

void startBot(BotHand& hand, unsigned int seed, BotControl control, double reactionMs, double aimError)
{
    hand = BotHand{};
    hand.random.seed(seed);
    hand.control = control;
    hand.reactionMs = reactionMs;
    hand.aimError = aimError;
}

PlayerCommand botCommand(const PlayField& field, BotHand& aim, double tick)
{
    const BotControl control = aim.control;
    // The hand's own clock: the frames it has played.
    aim.clockMs += tick * 1000 / TICKS_PER_SECOND;
    const double clock = aim.clockMs;
    PlayerCommand command;
    if (field.ballHeld || (field.laserArmed && !field.laserActive)) {
        command.fires = 1;
    }
    if (field.paddleCrushed) {
        return command;
    }
    const Paddle& paddle = field.paddle;
    const double restY = paddle.y + paddle.halfHeight + BALL_RADIUS;
    Landing landing;
    const int slot = nextBall(field, restY, tick, landing);
    if (slot < 0) {
        return command;
    }
    const Ball& ball = field.balls[slot];
    const double speed = control == BotControl::Mouse ? BOT_MOUSE_SPEED : KEYBOARD_PADDLE_SPEED;
    if (surprised(aim, slot, ball, paddle)) {
        aim.slot = slot;
        aim.descending = ball.movingDown;
        aim.right = ball.movingRight;
        aim.speedX = ball.speedX;
        aim.speedY = ball.speedY;
        aim.halfWidth = paddle.halfWidth;
        aim.surprisedAt = clock;
        aim.planPending = true;
    }
    aim.right = ball.movingRight;
    // Until the hand has caught up with the eye, it keeps to the last plan's place.
    if (aim.planPending && clock - aim.surprisedAt >= aim.reactionMs) {
        aim.planPending = false;
        plan(field, aim, ball, landing, restY, tick, speed);
    }
    if (!aim.planPending) {
        const double percent = aim.course == NO_COURSE ? 50 : COURSES[aim.course].aimPercent;
        aim.target = paddleFor(landing.x, paddle.halfWidth, percent) + aim.error;
    }
    const double lowest = LEFT_WALL + paddle.halfWidth;
    const double highest = RIGHT_WALL - paddle.halfWidth;
    const double wanted =
        dodge(field, std::clamp(aim.target, lowest, highest), landing.x, landing.ticks, lowest, highest, speed);
    const double way = wanted - paddle.x;
    if (control == BotControl::Mouse) {
        // Whole pointer pixels, as a mouse gives them.
        const double limit = BOT_MOUSE_SPEED * tick;
        command.pointerShift =
            std::round(std::clamp(way, -limit, limit) / POINTER_UNITS_PER_PIXEL) * POINTER_UNITS_PER_PIXEL;
    } else if (tick > 0) {
        command.paddleSpeed = std::clamp(way / (KEYBOARD_PADDLE_SPEED * tick), -1.0, 1.0);
    }
    return command;
}

BotResult playLevelWithBot(const PackLevel& level, const BotOptions& options, BotObserver observer, void* context)
{
    BotResult result;
    result.loaded = true;
    PlayEvents events;
    PlayField field;

    // The game seeds a level from the clock; the bot's clock starts at its seed.
    const double start = options.seed;
    field.levelNumber = level.levelNumber;
    field.levelCount = level.levelCount;
    field.lives = options.lives;
    field.score = 0;
    if (options.recorder) {
        ReplayStart header;
        header.levelNumber = field.levelNumber;
        header.levelCount = field.levelCount;
        header.lives = field.lives;
        header.score = field.score;
        header.seed = options.seed;
        header.fallMode = options.fallMode;
        header.control = options.control == BotControl::Mouse ? ControlMode::Mouse : ControlMode::Keyboard;
        header.clock = start;
        header.packName = options.recorder->start.packName;
        header.packHash = options.recorder->start.packHash;
        startRecording(*options.recorder, header);
    }
    loadLevel(field, level, options.seed, start, options.fallMode, events);

    BotHand aim;
    startBot(aim, options.seed, options.control, options.reactionMs, options.aimError);
    const double frameMs = 1000.0 / options.fps;
    const double endMs = start + options.maxSeconds * 1000.0;
    std::uniform_real_distribution<double> wobble(-options.jitter, options.jitter);
    const LevelSource noLevels;   // the run ends with its level
    double ideal = start;
    double clock = start;
    while (clock < endMs) {
        // The game's clock counts whole milliseconds.
        ideal += frameMs * (1 + wobble(aim.random));
        const FrameTimes times{clock, std::round(ideal)};
        const double tick = (times.clockNow - times.clockPrev) * 70 / 1000;
        const PlayerCommand command = botCommand(field, aim, tick);
        if (options.recorder) {
            recordFrame(*options.recorder, times, command);
        }
        const int32_t livesBefore = field.lives;
        clearEvents(events);
        stepGame(field, command, times, noLevels, events);
        clock = times.clockNow;
        ++result.frames;
        result.livesLost += std::max(0, livesBefore - field.lives);
        if (observer) {
            observer(field, context);
        }
        if (field.levelCleared) {
            result.cleared = true;
            break;
        }
        if (field.lives <= 0) {
            result.failure = "every life lost";
            break;
        }
    }
    if (options.recorder) {
        finishRecording(*options.recorder, field);
    }
    result.seconds = (clock - start) / 1000.0;
    if (!result.cleared && result.failure.empty()) {
        result.timedOut = true;
        result.failure = "not cleared within " + std::to_string(static_cast<int>(options.maxSeconds)) + " s of play";
    }
    result.score = field.score;
    return result;
}

BotResult playPackLevelWithBot(const std::string& packPath, int levelNumber, const BotOptions& options)
{
    PackLevel level;
    level.levelNumber = levelNumber;
    const PackResult read = readPackLevel(packPath, level);
    if (!read.ok()) {
        BotResult result;
        result.failure = read.message;
        return result;
    }
    return playLevelWithBot(level, options);
}
