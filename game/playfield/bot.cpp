// game/playfield/bot: the seeded bot (see bot.h). It stands in for the frame
// loop's play phase and for the player's input: launch, fire, paddle moves.
#include "game/playfield/bot.h"

#include "game/playfield/playfield.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace {

constexpr double BALL_LEFT = LEFT_WALL + BALL_RADIUS;   // where the walls turn a ball
constexpr double BALL_RIGHT = RIGHT_WALL - BALL_RADIUS;
constexpr double BALL_TOP = CEILING - BALL_RADIUS;

// Where a ball keeping its course would come down to height y, reflected by
// the walls and the ceiling but not by bricks; ticks is how long it takes.
double landingX(const Ball& ball, double y, double& ticks)
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
int nextBall(double restY, double& targetX)
{
    int best = -1;
    double soonest = 0;
    for (int slot = 0; slot < BALL_SLOTS; ++slot) {
        const Ball& ball = field.balls[slot];
        if (!ball.active) {
            continue;
        }
        double ticks = 0;
        const double x = landingX(ball, restY, ticks);
        if (best < 0 || ticks < soonest) {
            best = slot;
            soonest = ticks;
            targetX = x;
        }
    }
    return best;
}

// True when a falling brick about to reach the paddle's height would land on
// a paddle centred at x (the crush test's edges, with a little room).
bool brickLandsOn(double x)
{
    const Paddle& paddle = field.paddle;
    for (const Brick& brick : field.bricks) {
        if (!brick.brickFalling || brick.present) {
            continue;
        }
        const double bottom = brick.fallY - brick.halfHeight;
        if (bottom < paddle.y - paddle.halfHeight - 1 || bottom > paddle.y + paddle.halfHeight + 8) {
            continue;
        }
        if (brick.x + brick.halfWidth >= x - paddle.halfWidth - 0.2 &&
            brick.x - brick.halfWidth <= x + paddle.halfWidth + 0.2) {
            return true;
        }
    }
    return false;
}

// In fall mode: a paddle place no brick lands on; once the ball is close,
// only among the places that still meet it.
double dodge(double wanted, double ballX, bool ballClose, double lowest, double highest)
{
    if (!field.fallMode || !brickLandsOn(wanted)) {
        return wanted;
    }
    const double reach = field.paddle.halfWidth + BALL_RADIUS - 0.1;
    for (double step = 0.25; step <= RIGHT_WALL - LEFT_WALL; step += 0.25) {
        for (double candidate : {wanted - step, wanted + step}) {
            const double x = std::clamp(candidate, lowest, highest);
            if ((!ballClose || std::fabs(x - ballX) < reach) && !brickLandsOn(x)) {
                return x;
            }
        }
    }
    return wanted;
}

struct Aim {
    std::mt19937 random;
    int slot = -1;   // ball aimed at
    bool descending = false;
    double offset = 0;   // where on the paddle the ball should land, from its centre
};

// Launch, fire and steer, as a player would once a frame.
void playInput(Aim& aim, PlayEvents& events)
{
    Paddle& paddle = field.paddle;
    if (field.ballHeld || (field.laserArmed && !field.laserActive)) {
        launchOrFire(events);
    }
    if (field.paddleCrushed) {
        return;
    }
    const double restY = paddle.y + paddle.halfHeight + BALL_RADIUS;
    double target = 0;
    const int slot = nextBall(restY, target);
    if (slot < 0) {
        return;
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
    const bool close = ball.movingDown && ball.y < paddle.y + 8;
    paddle.x = dodge(std::clamp(target - aim.offset, lowest, highest), target, close, lowest, highest);
}

}   // namespace

BotResult playLevelWithBot(const PackLevel& level, const BotOptions& options, BotObserver observer, void* context)
{
    BotResult result;
    result.loaded = true;
    PlayEvents events;

    double clock = options.seed;   // the game seeds a level from the clock
    field.levelNumber = level.levelNumber;
    field.lives = options.lives;
    field.score = 0;
    field.lifeLostPause = false;
    loadLevel(level, options.seed, clock, options.fallMode, events);
    // The ready phase holds the paddle and ball 0 at home until play begins.
    clearEvents(events);
    holdField(events);

    Aim aim;
    aim.random.seed(options.seed);
    const double frameMs = 1000.0 / options.fps;
    const double endMs = clock + options.maxSeconds * 1000.0;
    std::uniform_real_distribution<double> wobble(-options.jitter, options.jitter);
    while (clock < endMs) {
        clearEvents(events);
        playInput(aim, events);
        const int32_t livesBefore = field.lives;
        const double previous = clock;
        clock += frameMs * (1 + wobble(aim.random));
        stepPlayFrame((clock - previous) * TICKS_PER_SECOND / 1000.0, previous, clock, events);
        ++result.frames;
        result.livesLost += std::max(0, livesBefore - field.lives);
        if (observer) {
            observer(context);
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
    result.seconds = (clock - options.seed) / 1000.0;
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
