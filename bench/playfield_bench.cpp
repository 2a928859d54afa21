// One play-phase frame (balls, brick pass, laser, capsule, fall mode) on a
// full field: three balls moving, every brick but the capsule's standing, a
// capsule falling, a laser shot in flight, fall mode on; at 70 frames a second
// (one tick, one step; target: median <= 10 us) and at 5 (14 ticks, sub-stepped).
// Before the timings it counts the heap allocations of steady game frames
// (the bot's commands through stepGame, recorded into a replay; and the game's
// whole frame, GameFrame, with the bot's hand on a scripted mouse and the game
// recorded as the player's is): target 0.
#include "game/playfield/bot.h"
#include "game/playfield/playfield.h"
#include "game/playfield/replay.h"
#include "game/render/lights.h"
#include "game/shell/config.h"
#include "game/shell/gamestate.h"
#include "platform/input_fake.h"
#include "platform/seams.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <unistd.h>

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

double shellNow = 0;
double shellClock() { return shellNow; }
void noFrame() {}
void noExit(int) {}
void loaded() { engine.loaded = true; }

// The game's own frame from NEW GAME on a full-grid pack, the pointer moved
// each frame as the bot's hand would move it; frames after the first second
// of play are counted while the game plays on.
void reportShellSteadyAllocations()
{
    namespace fs = std::filesystem;
    const fs::path previous = fs::current_path();
    const fs::path dir = fs::temp_directory_path() / ("playfield_bench_" + std::to_string(getpid()));
    fs::create_directories(dir / "Levels Packs");
    {
        std::ofstream pack(dir / "Levels Packs" / "full.tlp");
        pack << "1\n1 1 50 1\n";
        for (int i = 0; i < GRID_CELLS; ++i) {
            pack << 1 + i % 8 << (i % GRID_COLUMNS == GRID_COLUMNS - 1 ? "\n" : " ");
        }
    }
    fs::current_path(dir);
    shellSeams = {shellClock, noFrame, loaded, noFrame, noFrame, noFrame, noFrame, noFrame, noExit};
    useFakeInput();
    soundDevice = SoundDevice{};   // silent: the recording fake would count its own allocations
    initLights();
    snprintf(config.levelPackName, sizeof config.levelPackName, "full.tlp");
    shellNow = 100;
    GameFrame();   // loading
    enterState(ShellState::Menu);
    tapKey(Key::Enter);   // NEW GAME
    GameFrame();
    BotHand hand;
    startBot(hand, 1, BotControl::Mouse);
    long frames = 0;
    long atSecond = -1;
    long atLast = -1;
    for (int i = 0; i < 70 * 60 && game.state != ShellState::Menu; ++i) {
        shellNow += 1000.0 / 70;
        const bool playing = game.state == ShellState::Play;
        const PlayerCommand command = botCommand(field, hand, 1);
        fakeInput.pointerX = windowState.windowWidth / 2 + static_cast<int>(command.pointerShift * 8);
        fakeInput.pointerY = windowState.windowHeight / 2;
        if (command.fires > 0) {
            tapKey(Key::MouseLeft);
        }
        GameFrame();
        if (playing && game.state == ShellState::Play) {
            if (++frames == 70) {
                atSecond = allocations;
            }
            atLast = allocations;
        }
    }
    printf("steady shell frames %ld allocations %ld\n", frames - 70, atSecond < 0 ? -1 : atLast - atSecond);
    fs::current_path(previous);
    fs::remove_all(dir);
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
    reportShellSteadyAllocations();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
