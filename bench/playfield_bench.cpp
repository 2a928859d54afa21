// One play-phase frame (balls, brick pass, laser, capsule, fall mode) on a
// full field: three balls moving, every brick but the capsule's standing, a
// capsule falling, a laser shot in flight, fall mode on; at 70 frames a second
// (one tick, one step; target: median <= 10 us) and at 5 (14 ticks, sub-stepped).
// Before the timings it counts the heap allocations of steady game frames
// (the bot's commands through stepGame, recorded into a replay): target 0.
#include "game/playfield/bot.h"
#include "game/playfield/playfield.h"
#include "game/playfield/replay.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long> allocations{0};

}   // namespace

// Counting replacements of the global allocation functions; free releases
// what malloc gave, whatever GCC's pairing check makes of it.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void* operator new(size_t size)
{
    ++allocations;
    if (void* p = malloc(size ? size : 1)) {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { free(p); }
void operator delete(void* p, size_t) noexcept { free(p); }

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
    PlayField field;
    const double tick = static_cast<double>(state.range(0));
    const double clockNow = 10000;
    PlayEvents events;
    for (auto _ : state) {
        // Each frame starts from the same full field; only the frame is timed.
        field = start;
        clearEvents(events);
        const auto begin = std::chrono::steady_clock::now();
        stepPlayFrame(field, tick, clockNow - tick * 1000 / TICKS_PER_SECOND, clockNow, events);
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
    PlayField field;
    for (auto _ : state) {
        const auto begin = std::chrono::steady_clock::now();
        field = start;
        benchmark::DoNotOptimize(&field);
        benchmark::ClobberMemory();   // the copy is made whole, not folded into the one value read
        const auto end = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(field.score);
        state.SetIterationTime(std::chrono::duration<double>(end - begin).count());
    }
}

// The allocations of steady frames: the bot's run of level 1 of a full grid,
// recorded; the frames after the first second are counted.
struct AllocationWatch {
    long frames = 0;
    long atSecond = -1;   // allocations so far after the first second's frames
    long atLast = -1;     // and after the last frame
};

void countFrames(const PlayField&, void* context)
{
    AllocationWatch& watch = *static_cast<AllocationWatch*>(context);
    if (++watch.frames == 70) {
        watch.atSecond = allocations;
    }
    watch.atLast = allocations;
}

void reportSteadyAllocations()
{
    PackLevel level;
    level.levelNumber = 1;
    level.levelCount = 1;
    for (int i = 0; i < GRID_CELLS; ++i) {
        level.bricks[i] = 1 + i % 8;
    }
    ReplayRecorder recorder;
    BotOptions options;
    options.maxSeconds = 60;
    options.recorder = &recorder;
    AllocationWatch watch;
    playLevelWithBot(level, options, countFrames, &watch);
    printf("steady frames %ld allocations %ld\n", watch.frames - 70,
           watch.atSecond < 0 ? -1 : watch.atLast - watch.atSecond);
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

int main(int argc, char** argv)
{
    reportSteadyAllocations();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
