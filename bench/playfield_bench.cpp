// One play-phase frame (balls, brick pass, laser, capsule, fall mode) on a
// full field: three balls moving, every brick but the capsule's standing, a
// capsule falling, a laser shot in flight, fall mode on; at 70 frames a second
// (one tick, one step; target: median <= 10 us) and at 5 (14 ticks, sub-stepped).
#include "game/playfield/playfield.h"

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

PlayField fullField()
{
    PlayField f;
    for (int i = 0; i < BRICK_COUNT; ++i) {
        Brick& b = f.bricks[i];
        b.present = true;
        b.type = 1 + i % 9;
        placeBrick(b, i);
        b.tumble = i % 2;
    }
    // The capsule's brick is gone; its capsule is halfway down.
    Brick& released = f.bricks[BRICK_COUNT - 6];
    released.present = false;
    released.capsuleFalling = true;
    released.capsuleType = Enlarge;
    released.capsuleY = 0;
    f.capsuleInFlight = true;

    f.paddle = {PADDLE_HOME_X, PADDLE_HOME_Y, PADDLE_HALF_WIDTH, PADDLE_HALF_HEIGHT};
    f.balls[0] = {true, 30, 2, false, true, true, false, 0.4, 0.6};
    f.balls[1] = {true, 45, 0, true, false, false, true, 0.6, 0.4};
    f.balls[2] = {true, 50, -3, false, true, true, false, 0.7, 0.3};
    f.ballCount = 3;
    f.ballHeld = false;
    f.speedFactor = 1.5;
    f.fallMode = true;
    f.laserActive = true;
    f.laserX = 38;
    f.laserY = -2;
    f.bonusChance = 10;
    f.greyHits = 2;
    f.levelNumber = 1;
    f.lives = 3;
    seedRandom(f.random, 1);
    return f;
}

// state.range(0): the frame's ticks (1 at 70 frames a second, 14 at 5).
void playStep(benchmark::State& state)
{
    const PlayField start = fullField();
    const double tick = static_cast<double>(state.range(0));
    const double clockNow = 10000;
    PlayEvents events;
    for (auto _ : state) {
        // Each frame starts from the same full field; only the frame is timed.
        field = start;
        clearEvents(events);
        const auto begin = std::chrono::steady_clock::now();
        stepPlayFrame(tick, clockNow - tick * 1000 / TICKS_PER_SECOND, clockNow, events);
        const auto end = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(field.score);
        state.SetIterationTime(std::chrono::duration<double>(end - begin).count());
    }
}

// Baseline: the untimed part of each playStep iteration, a copy of the whole
// play field record, timed the same way.
void copyField(benchmark::State& state)
{
    const PlayField start = fullField();
    for (auto _ : state) {
        const auto begin = std::chrono::steady_clock::now();
        field = start;
        const auto end = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(field.score);
        state.SetIterationTime(std::chrono::duration<double>(end - begin).count());
    }
}

}   // namespace

BENCHMARK(copyField)->UseManualTime()->Unit(benchmark::kMicrosecond)->Repetitions(15)->ReportAggregatesOnly(true);
BENCHMARK(playStep)
    ->Arg(1)
    ->Arg(14)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
