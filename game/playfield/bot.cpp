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

// Where a ball keeping its course would come down to height y, reflected by
// the walls and the ceiling but not by bricks; ticks is how long it takes.
double landingX(const PlayField& field, const Ball& ball, double y, double& ticks)
{
    const double vy = ball.speedY * field.speedFactor;
    const double vx = ball.speedX * field.speedFactor;
    const double rise = ball.movingUp ? 2 * BALL_TOP - ball.y - y : ball.y - y;
    ticks = vy > 0 ? std::max(0.0, rise) / vy : 0;
    const double width = BALL_RIGHT - BALL_LEFT;
    double unfolded = std::fmod(ball.x - BALL_LEFT + (ball.movingRight ? vx : -vx) * ticks, 2 * width);
    if (unfolded < 0) {
        unfolded += 2 * width;
    }
    return BALL_LEFT + (unfolded <= width ? unfolded : 2 * width - unfolded);
}

// The ball the paddle should meet next: the one that comes down soonest.
int nextBall(const PlayField& field, double restY, double& targetX, double& soonest)
{
    int best = -1;
    soonest = 0;
    for (int slot = 0; slot < BALL_SLOTS; ++slot) {
        const Ball& ball = field.balls[slot];
        if (!ball.active) {
            continue;
        }
        double ticks = 0;
        const double x = landingX(field, ball, restY, ticks);
        if (best < 0 || ticks < soonest) {
            best = slot;
            soonest = ticks;
            targetX = x;
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

}   // namespace

void startBot(BotHand& hand, unsigned int seed, BotControl control)
{
    hand.random.seed(seed);
    hand.control = control;
    hand.slot = -1;
    hand.descending = false;
    hand.offset = 0;
}

PlayerCommand botCommand(const PlayField& field, BotHand& aim, double tick)
{
    const BotControl control = aim.control;
    PlayerCommand command;
    if (field.ballHeld || (field.laserArmed && !field.laserActive)) {
        command.fires = 1;
    }
    if (field.paddleCrushed) {
        return command;
    }
    const Paddle& paddle = field.paddle;
    const double restY = paddle.y + paddle.halfHeight + BALL_RADIUS;
    double target = 0;
    double ballTicks = 0;
    const int slot = nextBall(field, restY, target, ballTicks);
    if (slot < 0) {
        return command;
    }
    const Ball& ball = field.balls[slot];
    // A new aim for every descent, so the ball leaves the paddle at varied angles.
    if (slot != aim.slot || ball.movingDown != aim.descending) {
        aim.slot = slot;
        aim.descending = ball.movingDown;
        const double reach = paddle.halfWidth - BALL_RADIUS;
        aim.offset = std::uniform_real_distribution<double>(-reach, reach)(aim.random);
    }
    const double lowest = LEFT_WALL + paddle.halfWidth;
    const double highest = RIGHT_WALL - paddle.halfWidth;
    const double speed = control == BotControl::Mouse ? BOT_MOUSE_SPEED : KEYBOARD_PADDLE_SPEED;
    const double wanted =
        dodge(field, std::clamp(target - aim.offset, lowest, highest), target, ballTicks, lowest, highest, speed);
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
    startBot(aim, options.seed, options.control);
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
