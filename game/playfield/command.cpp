// game/playfield/command: the player's command applied to the field (the
// paddle's steering, the wall clamp, the exit, launch and fire, the forfeit),
// and the game frame that applies it before the level's clock, the level
// advance and the play step.
#include "game/playfield/playfield.h"

#include "game/playfield/playfield_internal.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

constexpr int EXIT_POINTS = 1000;

// Where a pointer shift would carry the paddle: past the left wall (-1), past
// the right one (1), or between them (0).
int pastWall(const Paddle& paddle, double x)
{
    if (x - paddle.halfWidth < LEFT_WALL) {
        return -1;
    }
    return x + paddle.halfWidth > RIGHT_WALL ? 1 : 0;
}

// Mouse control: the paddle follows the pointer, unless it is crushed; a
// move that would carry an end past a wall is dropped whole, and pushing
// into the right wall takes the open exit.
void steerByPointer(PlayField& field, double shift)
{
    if (shift == 0 || std::isnan(shift)) {
        return;
    }
    Paddle& paddle = field.paddle;
    const double x = field.paddleCrushed ? paddle.x : paddle.x + shift;
    const int wall = pastWall(paddle, x);
    if (wall == 0) {
        paddle.x = x;
    } else if (wall > 0 && field.warpOpen && !field.levelCleared) {
        takeExit(field);
    }
}

// Keyboard or stick: speed (-1 to 1) times 0.6 per tick, not while the paddle
// is crushed or a life-lost pause runs. The edge tests use the position
// before the step; at the right wall with the exit open, pushing right takes it.
void steerBySpeed(PlayField& field, double speed, double tick)
{
    Paddle& paddle = field.paddle;
    if (speed == 0 || field.lifeLostPause || field.paddleCrushed) {
        return;
    }
    if (speed < 0 && paddle.x - paddle.halfWidth > LEFT_WALL) {
        paddle.x += KEYBOARD_PADDLE_SPEED * speed * tick;
    } else if (speed > 0) {
        if (paddle.x + paddle.halfWidth < RIGHT_WALL) {
            paddle.x += KEYBOARD_PADDLE_SPEED * speed * tick;
        } else if (field.warpOpen && !field.levelCleared) {
            takeExit(field);
        }
    }
}

}   // namespace

void launchOrFire(PlayField& field, PlayEvents& events)
{
    if (field.lifeLostPause) {
        return;
    }
    if (field.ballHeld) {
        field.ballHeld = false;
        Ball& ball = field.balls[0];
        ball.movingLeft = false;
        ball.movingDown = false;
        ball.movingRight = true;
        ball.movingUp = true;
        reportSound(events, SAMPLE_WALL);
        reportEvent(events, PlayEventType::Launched);
    } else if (field.laserArmed && !field.laserActive) {
        field.laserX = field.paddle.x;
        field.laserY = field.paddle.y;
        field.laserActive = true;
        reportSound(events, SAMPLE_LASER);
        reportEvent(events, PlayEventType::LaserFired);
    }
}

void takeExit(PlayField& field)
{
    field.score = field.score > INT32_MAX - EXIT_POINTS ? INT32_MAX : field.score + EXIT_POINTS;
    field.levelCleared = true;
}

void applyCommand(PlayField& field, const PlayerCommand& command, double tick, PlayEvents& events)
{
    // The player acted on the frame shown last: its phase decides.
    if (field.levelElapsed > READY_PHASE_MS && field.lives > 0) {
        steerByPointer(field, command.pointerShift);
        const double speed = std::isnan(command.paddleSpeed) ? 0 : std::clamp(command.paddleSpeed, -1.0, 1.0);
        steerBySpeed(field, speed, tick);
        // However long the frame, and however wide the paddle has just grown,
        // it ends the step between the walls.
        Paddle& paddle = field.paddle;
        paddle.x = std::clamp(paddle.x, LEFT_WALL + paddle.halfWidth, RIGHT_WALL - paddle.halfWidth);
        for (int i = 0; i < command.fires; ++i) {
            launchOrFire(field, events);
        }
    }
    if (command.forfeit && field.lives > 0) {
        field.lives = 0;   // the game-over wait runs its course, without the game-over sound
    }
}

FrameOutcome stepGame(PlayField& field, const PlayerCommand& command, const FrameTimes& times,
                      const LevelSource& levels, PlayEvents& events)
{
    const double span = times.clockNow - times.clockPrev;
    const double tick = span > 0 ? span * 70 / 1000 : 0;
    applyCommand(field, command, tick, events);

    // This value stands for the whole frame, even when a level is loaded below:
    // the frame of a level advance still plays.
    const int32_t elapsed = wholeMilliseconds(times.clockNow - field.levelStartTime);
    field.levelElapsed = elapsed;
    if (field.levelCleared) {
        // levelCleared stays set after the last level; the next loadLevel clears it.
        if (field.levelNumber >= field.levelCount) {
            return FrameOutcome::PackCompleted;
        }
        ++field.levelNumber;
        PackLevel next;
        next.levelNumber = field.levelNumber;
        if (!levels.read || !levels.read(levels.context, field.levelNumber, next)) {
            field.levelCleared = false;
            return FrameOutcome::LevelUnreadable;
        }
        const unsigned int seed = static_cast<unsigned int>(wholeMilliseconds(times.clockNow));
        loadLevel(field, next, seed, times.clockNow, field.fallMode, events);
        reportSound(events, SAMPLE_START);
    }

    if (elapsed > READY_PHASE_MS && field.lives > 0) {
        reportEvent(events, PlayEventType::StartMusic);
        stepPlayFrame(field, tick, times.clockPrev, times.clockNow, events);
    } else {
        holdField(field, events);
    }
    return FrameOutcome::Playing;
}
