// Frames per second of the real renderers (splash, menu, play with 1-3 ball
// lights and the laser lights, shadows on and off) in a GLUT window of the
// given size, next to a clear-and-swap loop and a plain textured single pass
// of the play scene. One process per window size: the shadow map is sized at
// loading. Each case reports the median frame time over about a second.
//
//   render_bench <runtime folder> <width> <height> [seconds per case] [screenshot folder]
//   render_bench --first-frame
//
// The picture is drawn at <width>x<height> and shown in a window of that size,
// or of RENDER_BENCH_WINDOW=<w>x<h> (scaled into it, as the game shows it on a
// larger screen); the case "present" is that showing alone (the blit and the swap).
//
// --first-frame is the start-up baseline: it opens a window, shows one
// cleared frame and prints the wall clock then ("first_frame_ns=<ns>") and
// its peak resident memory ("vmhwm_kb=<kB>"), as an empty GL program costs.
//
// Prints one line per case: "<width>x<height> <case> <fps> <median ms> <GL calls per frame>"; the
// calls are counted when the glcount library is preloaded (LD_PRELOAD), else the column reads -1.
// With RENDER_BENCH_GL_REPORT set, the most called GL functions of one frame go to stderr.
// Under callgrind (started with --instr-atstart=no) each case instead measures CALLGRIND_FRAMES
// frames after its warm-up and dumps their counts under the case's name, printing
// "<width>x<height> <case> callgrind <frames>".
// With a screenshot folder, the first frame of each case (from a fixed state)
// is saved there as <width>x<height>-<case>.ppm (the whole window), so two
// builds can be compared pixel for pixel.
#include <GL/glew.h>
#include <GL/freeglut.h>

#include "game/playfield/field.h"
#include "game/render/engine.h"
#include "game/render/lights.h"
#include "game/render/render.h"
#include "game/textures/textures.h"
#include "tests/gl_window.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <ctime>
#include <dlfcn.h>
#include <unistd.h>
#include <valgrind/callgrind.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

int width = 1024;   // the picture
int height = 768;
int windowWidth = 1024;
int windowHeight = 768;
double secondsPerCase = 1.0;
std::string shotFolder;
FILE* report = stdout;   // the table; stdout itself is silenced (the texture log)

constexpr int CALLGRIND_FRAMES = 2;

// The preloaded GL call counter, when there is one.
using CountTotal = unsigned long long (*)();
using CountReset = void (*)();
using CountReport = void (*)(FILE*, int);
CountTotal glCalls = nullptr;
CountReset glCallsReset = nullptr;
CountReport glCallsReport = nullptr;

void findCounter()
{
    glCalls = reinterpret_cast<CountTotal>(dlsym(RTLD_DEFAULT, "glcountTotal"));
    glCallsReset = reinterpret_cast<CountReset>(dlsym(RTLD_DEFAULT, "glcountReset"));
    glCallsReport = reinterpret_cast<CountReport>(dlsym(RTLD_DEFAULT, "glcountReport"));
}

void saveShot(const std::string& name)
{
    if (shotFolder.empty()) {
        return;
    }
    std::vector<unsigned char> pixels(static_cast<size_t>(windowWidth) * windowHeight * 3);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    glReadBuffer(GL_BACK);   // Mesa keeps the back buffer after a swap
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, windowWidth, windowHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    const std::string path =
        shotFolder + "/" + std::to_string(width) + "x" + std::to_string(height) + "-" + name + ".ppm";
    FILE* out = fopen(path.c_str(), "wb");
    if (!out) {
        fprintf(stderr, "cannot write %s\n", path.c_str());
        return;
    }
    fprintf(out, "P6\n%d %d\n255\n", windowWidth, windowHeight);
    for (int y = windowHeight - 1; y >= 0; --y) {
        fwrite(&pixels[static_cast<size_t>(y) * windowWidth * 3], 1, static_cast<size_t>(windowWidth) * 3, out);
    }
    fclose(out);
}

// A full grid of every brick type, a capsule falling, the paddle with two
// spare lives: the heaviest play scene a level can show.
void fillField()
{
    field = PlayField{};
    for (int i = 0; i < BRICK_COUNT; ++i) {
        Brick& b = field.bricks[i];
        const int row = i / 11;
        const int column = i % 11;
        b.present = true;
        b.type = 1 + i % 9;
        b.x = cellCentreX(column);
        b.y = cellCentreY(row);
        b.halfWidth = BRICK_HALF_WIDTH;
        b.halfHeight = BRICK_HALF_HEIGHT;
        b.fallY = b.y;
        b.capsuleY = b.y;
        b.tumble = i % 2;
    }
    Brick& released = field.bricks[BRICK_COUNT - 6];
    released.present = false;
    released.capsuleFalling = true;
    released.capsuleType = Laser;
    released.capsuleY = 0;
    released.spin = 30;
    field.capsuleInFlight = true;
    field.paddle = {PADDLE_HOME_X, PADDLE_HOME_Y, PADDLE_HALF_WIDTH, PADDLE_HALF_HEIGHT};
    field.lives = 3;
    field.levelNumber = 1;
    field.background = 1;
    field.levelElapsed = 3000;   // past the READY text
    field.ballHeld = false;
}

// The lights as the play rules leave them with `balls` balls in flight and,
// when `laser`, a laser shot pair in flight.
void setPlayLights(int balls, bool laser)
{
    initLights();
    setLightPosition(SPLASH_LIGHT, 0, 0, -20, 0);
    setLightDirection(SPLASH_LIGHT, 0, 0, -1);
    setLightColour(SPLASH_LIGHT, 1, 1, 1);
    setLightEnabled(SPLASH_LIGHT, true);
    static const double places[3][4] = {{30, 2, 0.4, 0.6}, {45, 0, -0.6, 0.4}, {50, -3, 0.7, -0.3}};
    for (int slot = 0; slot < BALL_SLOTS; ++slot) {
        Ball& ball = field.balls[slot];
        ball.active = slot < balls;
        ball.x = places[slot][0];
        ball.y = places[slot][1];
        setLightEnabled(slot, ball.active);
        setLightPosition(slot, static_cast<float>(ball.x), static_cast<float>(ball.y),
                         static_cast<float>(LIGHT_PLANE_Z), 1);
        setLightDirection(slot, static_cast<float>(-std::sin(places[slot][2])),
                          static_cast<float>(-std::sin(places[slot][3])), -0.8f);
    }
    field.ballCount = balls;
    field.laserActive = laser;
    field.laserArmed = laser;
    field.laserX = field.paddle.x;
    field.laserY = 10;
    setLightEnabled(LASER_LIGHT_LEFT, laser);
    setLightEnabled(LASER_LIGHT_RIGHT, laser);
    const double pw = field.paddle.halfWidth;
    setLightPosition(LASER_LIGHT_LEFT, static_cast<float>(field.laserX - pw + 0.5), 10,
                     static_cast<float>(LIGHT_PLANE_Z), 1);
    setLightPosition(LASER_LIGHT_RIGHT, static_cast<float>(field.laserX + pw - 0.5), 10,
                     static_cast<float>(LIGHT_PLANE_Z), 1);
}

// The menu's lights for its first line, as the menu frame sets them.
void setMenuLights()
{
    initLights();
    setLightColour(SPLASH_LIGHT, 1, 1, 1);
    setLightEnabled(SPLASH_LIGHT, true);
    renderInputs.optionsShown = false;
    placeMenuLights(0, engine.cameraPosition);
}

void setSplashLights()
{
    initLights();
    setLightColour(SPLASH_LIGHT, 1, 1, 1);   // the end of the fade-in
}

void clearAndSwap()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glFinish();
    glutSwapBuffers();
}

struct Case {
    std::string name;
    void (*prepare)();   // sets the lights and the field
    void (*frame)();
    bool shadows;
};

// Runs one case: a shot frame from the prepared state, warm-up frames, then
// frames for about secondsPerCase (at least five); prints fps of the median.
void runCase(const Case& c)
{
    engine.shadowsEnabled = c.shadows;
    c.prepare();
    // RENDER_BENCH_LIGHTS: a mask of the lights to keep, to weigh one light's passes while profiling.
    if (const char* mask = getenv("RENDER_BENCH_LIGHTS")) {
        for (int i = 0; i < LIGHT_COUNT; ++i) {
            engine.lights[i].enabled = engine.lights[i].enabled && ((atoi(mask) >> i) & 1);
        }
    }
    renderInputs.menuSpin = 20;
    renderInputs.readySlide = 0;
    for (double& spin : renderInputs.exitSpin) {
        spin = 0;
    }
    c.frame();
    saveShot(c.name);
    if (RUNNING_ON_VALGRIND) {
        for (int i = 0; i < 2; ++i) {
            c.frame();
        }
        CALLGRIND_START_INSTRUMENTATION;
        CALLGRIND_ZERO_STATS;
        for (int i = 0; i < CALLGRIND_FRAMES; ++i) {
            c.frame();
        }
        CALLGRIND_DUMP_STATS_AT(c.name.c_str());
        CALLGRIND_STOP_INSTRUMENTATION;
        fprintf(report, "%dx%d %s callgrind %d\n", width, height, c.name.c_str(), CALLGRIND_FRAMES);
        fflush(report);
        return;
    }
    // Warm up for a quarter of a second: llvmpipe compiles shader variants as
    // states first appear.
    const auto warm = Clock::now();
    do {
        c.frame();
    } while (std::chrono::duration<double>(Clock::now() - warm).count() < 0.25);
    if (glCallsReset && glCallsReport && getenv("RENDER_BENCH_GL_REPORT")) {
        glCallsReset();
        c.frame();
        fprintf(stderr, "%s: GL calls of one frame\n", c.name.c_str());
        glCallsReport(stderr, 16);
    }
    std::vector<double> times;
    const unsigned long long callsBefore = glCalls ? glCalls() : 0;
    const auto start = Clock::now();
    while (times.size() < 5 || std::chrono::duration<double>(Clock::now() - start).count() < secondsPerCase) {
        const auto begin = Clock::now();
        c.frame();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - begin).count());
        glutMainLoopEvent();
    }
    const long long calls = glCalls ? static_cast<long long>((glCalls() - callsBefore) / times.size()) : -1;
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    fprintf(report, "%dx%d %s %.1f %.2f %lld\n", width, height, c.name.c_str(), 1000.0 / median, median, calls);
    fflush(report);
}

template <int Balls, bool Laser>
void preparePlay()
{
    fillField();
    setPlayLights(Balls, Laser);
}

// The plain single pass: the play scene without shadows under the broad light only.
void prepareSinglePass()
{
    fillField();
    setPlayLights(0, false);
}

// Peak resident set of this process, kB (0 when /proc is unreadable).
long peakResidentKb()
{
    FILE* status = fopen("/proc/self/status", "r");
    long kb = 0;
    char line[256];
    while (status && fgets(line, sizeof line, status)) {
        if (sscanf(line, "VmHWM: %ld", &kb) == 1) {
            break;
        }
    }
    if (status) {
        fclose(status);
    }
    return kb;
}

int firstFrame()
{
    openMappedWindow("render_bench", width, height, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glFinish();
    glutSwapBuffers();
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    printf("first_frame_ns=%lld vmhwm_kb=%ld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec,
           peakResidentKb());
    return 0;
}

// Reads the size, seconds per case and screenshot folder, and enters the
// runtime folder; false (after a message) when the arguments are unusable.
bool readArguments(int argc, char** argv)
{
    if (argc < 4) {
        fprintf(stderr, "usage: %s <runtime folder> <width> <height> [seconds per case] [screenshot folder]\n",
                argv[0]);
        return false;
    }
    width = atoi(argv[2]);
    height = atoi(argv[3]);
    if (argc > 4) {
        secondsPerCase = atof(argv[4]);
    }
    if (argc > 5) {
        shotFolder = argv[5];
    }
    windowWidth = width;
    windowHeight = height;
    if (const char* window = getenv("RENDER_BENCH_WINDOW")) {
        if (sscanf(window, "%dx%d", &windowWidth, &windowHeight) != 2 || windowWidth <= 0 || windowHeight <= 0) {
            fprintf(stderr, "RENDER_BENCH_WINDOW must be <width>x<height>\n");
            return false;
        }
    }
    if (width <= 0 || height <= 0 || chdir(argv[1]) != 0) {
        fprintf(stderr, "bad size or runtime folder %s\n", argv[1]);
        return false;
    }
    return true;
}

// Opens the window and loads the scene as the game's first frame does, with
// the clock and the swap replaced; false when the shadow path is missing.
bool loadRenderer()
{
    renderInputs.width = width;
    renderInputs.field = &field;
    renderInputs.height = height;
    renderInputs.windowWidth = windowWidth;
    renderInputs.windowHeight = windowHeight;
    openMappedWindow("render_bench", windowWidth, windowHeight);
    glewInit();
    useGlTextureUpload();
    findCounter();
    engine.shadowsEnabled = glutExtensionSupported("GL_EXT_framebuffer_object");

    // The texture manager logs every load; keep it out of the table.
    fflush(stdout);
    report = fdopen(dup(1), "w");
    if (!report || !freopen("/dev/null", "w", stdout)) {
        return false;
    }
    runLoading();
    fprintf(stderr, "render_bench: material maps %s\n",
            renderer.mapsPacked ? "packed (two textures each)" : "four textures each");
    if (!shadowPathAvailable()) {
        fprintf(stderr, "the shadow path is unavailable on this GL\n");
        return false;
    }
    if (!renderer.offscreen) {
        fprintf(stderr, "the picture is drawn straight into the window (no offscreen target)\n");
    }
    return true;
}

// RENDER_BENCH_ONLY: a comma-separated list of case names (or parts of them) to run a subset.
bool caseWanted(const Case& c)
{
    const char* only = getenv("RENDER_BENCH_ONLY");
    bool wanted = !only;
    for (const char* part = only; part && *part && !wanted;) {
        const char* end = strchr(part, ',');
        const std::string piece(part, end ? static_cast<size_t>(end - part) : strlen(part));
        wanted = !piece.empty() && c.name.find(piece) != std::string::npos;
        part = end ? end + 1 : nullptr;
    }
    return wanted;
}

}   // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::string(argv[1]) == "--first-frame") {
        return firstFrame();
    }
    if (!readArguments(argc, argv)) {
        return 2;
    }
    if (!loadRenderer()) {
        return 1;
    }
    const std::vector<Case> cases = {
        {"clear+swap", prepareSinglePass, clearAndSwap, false},
        {"present", preparePlay<1, false>, presentPicture, true},
        {"single-pass", prepareSinglePass, renderPlay, false},
        {"splash-shadows", setSplashLights, renderSplash, true},
        {"splash-plain", setSplashLights, renderSplash, false},
        {"menu-shadows", setMenuLights, renderMenu, true},
        {"menu-plain", setMenuLights, renderMenu, false},
        {"play1-shadows", preparePlay<1, false>, renderPlay, true},
        {"play2-shadows", preparePlay<2, false>, renderPlay, true},
        {"play3-shadows", preparePlay<3, false>, renderPlay, true},
        {"play3L-shadows", preparePlay<3, true>, renderPlay, true},
        {"play1-plain", preparePlay<1, false>, renderPlay, false},
        {"play2-plain", preparePlay<2, false>, renderPlay, false},
        {"play3-plain", preparePlay<3, false>, renderPlay, false},
        {"play3L-plain", preparePlay<3, true>, renderPlay, false},
    };
    for (const Case& c : cases) {
        if (caseWanted(c)) {
            runCase(c);
        }
    }
    return 0;
}
