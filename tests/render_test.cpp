// The real renderers in a real window (Mesa under Xvfb): pixels read back
// where the scene should show bricks, texts and the HUD, on the shadowed and
// the unshadowed path. Screenshots go to the test artefacts.
#include <GL/glew.h>
#include <GL/freeglut.h>

#include "game/playfield/playfield.h"
#include "game/render/engine.h"
#include "game/render/lights.h"
#include "game/render/render.h"
#include "game/shell/config.h"
#include "game/shell/gamestate.h"
#include "game/textures/textures.h"
#include "tests/gl_window.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

// Heap allocations by the program's own code, counted (GL drivers use malloc).
static long allocationCount = 0;
void* operator new(size_t size)
{
    ++allocationCount;
    if (void* p = malloc(size ? size : 1)) {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { free(p); }
void operator delete(void* p, size_t) noexcept { free(p); }

namespace {

constexpr int WIDTH = 800;
constexpr int HEIGHT = 600;

struct Pixel {
    int r, g, b;
    int sum() const { return r + g + b; }
};

std::vector<unsigned char> grabFront()
{
    std::vector<unsigned char> pixels(WIDTH * HEIGHT * 3);
    // The window, as the frame was shown in it (not the picture's own framebuffer).
    glBindFramebufferEXT(GL_READ_FRAMEBUFFER_EXT, 0);
    glReadBuffer(GL_BACK);   // Mesa keeps the back buffer after a swap; its front is the window
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, WIDTH, HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

Pixel pixelAt(const std::vector<unsigned char>& image, int x, int y)
{
    x = std::clamp(x, 0, WIDTH - 1);
    y = std::clamp(y, 0, HEIGHT - 1);
    const unsigned char* p = &image[(y * WIDTH + x) * 3];
    return {p[0], p[1], p[2]};
}

// Saves the image as a PNG artefact (through a PPM and ImageMagick).
void saveShot(const std::vector<unsigned char>& image, const char* name)
{
    const char* build = getenv("BUILD_DIR");
    if (!build) {
        return;
    }
    const fs::path dir = fs::path(build) / "test-artefacts";
    fs::create_directories(dir);
    const fs::path ppm = dir / (std::string(name) + ".ppm");
    std::ofstream out(ppm, std::ios::binary);
    out << "P6\n" << WIDTH << " " << HEIGHT << "\n255\n";
    for (int y = HEIGHT - 1; y >= 0; --y) {
        out.write(reinterpret_cast<const char*>(&image[y * WIDTH * 3]), WIDTH * 3);
    }
    out.close();
    const std::string command = "convert '" + ppm.string() + "' '" + (dir / (std::string(name) + ".png")).string() +
                                "' 2>/dev/null && rm -f '" + ppm.string() + "'";
    if (system(command.c_str()) != 0) {
        // Keep the PPM when ImageMagick is missing.
    }
}

// Window position of a world point under the current view camera.
void project(double x, double y, double z, int& wx, int& wy)
{
    GLdouble model[16], proj[16];
    GLint viewport[4];
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const double* p = engine.cameraPosition;
    const double* d = engine.cameraDirection;
    setCamera(static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2]),
              static_cast<float>(p[0] + d[0]), static_cast<float>(p[1] + d[1]), static_cast<float>(p[2] + d[2]),
              VIEW_NEAR, 45);
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, proj);
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLdouble ox, oy, oz;
    gluProject(x, y, z, model, proj, viewport, &ox, &oy, &oz);
    wx = static_cast<int>(ox);
    wy = static_cast<int>(oy);
}

// Counts near-white pixels in a window rectangle around a world-space text origin.
int whitePixelsNear(const std::vector<unsigned char>& image, double x0, double y0, double x1, double y1, double z)
{
    int ax, ay, bx, by;
    project(x0, y0, z, ax, ay);
    project(x1, y1, z, bx, by);
    int count = 0;
    for (int y = std::min(ay, by); y <= std::max(ay, by); ++y) {
        for (int x = std::min(ax, bx); x <= std::max(ax, bx); ++x) {
            const Pixel p = pixelAt(image, x, y);
            count += (p.r > 200 && p.g > 200 && p.b > 200);
        }
    }
    return count;
}

double fakeClockValue = 0;
double probeClock() { return fakeClockValue; }
void probeSwap() {}

// A menu page of count lines 5 apart from y 20 down, as the shell lays out the
// main menu (count 0: no lines).
void showMenuLines(int count)
{
    static const char* const TEXTS[] = {"RESOLUTION: 1024x768", "DISPLAY: FULL SCREEN", "FALL MODE: OFF",
                                        "CONTROL MODE: MOUSE",  "LEVELS PACK: CLASSIC", "RETURN"};
    renderInputs.menuTextCount = count;
    for (int i = 0; i < count; ++i) {
        MenuText& text = renderInputs.menuTexts[i];
        text = MenuText{};
        text.x = 35;
        text.y = 20.0f - 5.0f * i;
        snprintf(text.text, sizeof text.text, "%s", TEXTS[i % 6]);
    }
}

// A level: a band of red bricks in row 5, iron in row 9, the rest empty.
void writePack(const fs::path& file)
{
    std::ofstream out(file);
    out << "1\n1 1 50 2\n";
    for (int row = 0; row < 22; ++row) {
        for (int column = 0; column < 11; ++column) {
            const int code = row == 5 ? 1 : (row == 9 && column % 2 == 0 ? 9 : 0);
            out << code << (column == 10 ? "\n" : " ");
        }
    }
}

class Renderers : public ::testing::Test {
protected:
    static inline bool ready = false;

    static void SetUpTestSuite()
    {
        if (ready) {
            return;
        }
        const char* runtime = getenv("RUNTIME_DIR");
        ASSERT_NE(runtime, nullptr);
        const fs::path copy = fs::temp_directory_path() / ("render_test_" + std::to_string(getpid()));
        fs::remove_all(copy);
        fs::copy(runtime, copy, fs::copy_options::recursive);
        writePack(copy / "Levels Packs" / "probe.tlp");
        fs::current_path(copy);

        renderInputs.width = renderInputs.windowWidth = WIDTH;
        renderInputs.height = renderInputs.windowHeight = HEIGHT;
        renderInputs.field = &field;
        strcpy(config.levelPackName, "probe.tlp");
        openMappedWindow("render_test", WIDTH, HEIGHT);
        glewInit();
        useGlTextureUpload();
        glViewport(0, 0, WIDTH, HEIGHT);
        shellSeams.readClock = probeClock;
        shellSeams.swapBuffers = probeSwap;
        engine.shadowsEnabled = glutExtensionSupported("GL_EXT_framebuffer_object");
        ready = true;
    }
};

}   // namespace

TEST_F(Renderers, LoadingShowsTheRedBannerAndBuildsEverything)
{
    runLoading();
    const std::vector<unsigned char> image = grabFront();
    saveShot(image, "loading");
    EXPECT_TRUE(engine.loaded);
    EXPECT_TRUE(shadowPathAvailable()) << "the shader program and the shadow map exist on Mesa";
    EXPECT_EQ(engine.materialCounts[0], MATERIAL_COUNT);
    EXPECT_TRUE(renderer.mapsPacked) << "the shipped maps pair up in size, so the lit pass samples two textures";
    int red = 0;
    for (size_t i = 0; i + 2 < image.size(); i += 3) {
        red += (image[i] > 150 && image[i + 1] < 80 && image[i + 2] < 80);
    }
    EXPECT_GT(red, 200) << "banner and bar are drawn in red";
}

TEST_F(Renderers, PlaySceneShowsBricksOnBothPaths)
{
    ASSERT_TRUE(engine.loaded);
    field = PlayField{};
    field.levelNumber = 0;
    ASSERT_TRUE(loadLevelOfPack());
    field.levelElapsed = 3000;
    initLights();
    setLightPosition(SPLASH_LIGHT, 0, 0, -20, 0);
    setLightDirection(SPLASH_LIGHT, 0, 0, -1);
    setLightColour(SPLASH_LIGHT, 1, 1, 1);
    setLightEnabled(SPLASH_LIGHT, true);
    setLightPosition(0, 40, -8.5f, 20, 1);
    setLightDirection(0, 0, 1, -0.8f);

    for (bool shadows : {true, false}) {
        SCOPED_TRACE(shadows ? "shadowed" : "unshadowed");
        engine.shadowsEnabled = shadows;
        renderPlay();
        const std::vector<unsigned char> image = grabFront();
        saveShot(image, shadows ? "play-shadows" : "play-plain");
        int lit = 0;
        for (int column = 0; column < 11; ++column) {
            const Brick& brick = field.bricks[5 * 11 + column];
            ASSERT_TRUE(brick.present);
            int wx, wy;
            project(brick.x, brick.y, PLAY_PLANE_Z + 0.5, wx, wy);
            lit += pixelAt(image, wx, wy).sum() > 30;
        }
        EXPECT_GE(lit, 9) << "red bricks where the level has them";
    }
    engine.shadowsEnabled = true;
}

TEST_F(Renderers, ReadyShowsThroughTheReadyPhaseAndPausedWhilePaused)
{
    ASSERT_TRUE(engine.loaded);
    engine.shadowsEnabled = true;
    renderInputs.readySlide = 0;
    field.levelElapsed = 2400;
    renderInputs.readyShown = true;
    renderPlay();
    std::vector<unsigned char> image = grabFront();
    saveShot(image, "play-ready");
    const int withReady = whitePixelsNear(image, 36, -1.5, 46, 2, 20);
    renderInputs.readyShown = false;
    renderPlay();
    image = grabFront();
    const int without = whitePixelsNear(image, 36, -1.5, 46, 2, 20);
    EXPECT_GT(withReady, without + 20) << "READY stays for the whole ready phase";
    const int unpaused = whitePixelsNear(image, 35, 4, 45, 6.5, 20);

    renderInputs.paused = true;
    renderPlay();
    image = grabFront();
    saveShot(image, "play-paused");
    EXPECT_GT(whitePixelsNear(image, 35, 4, 45, 6.5, 20), unpaused + 20);
    renderInputs.paused = false;
}

TEST_F(Renderers, MenuLinesAppearAtTheirRows)
{
    ASSERT_TRUE(engine.loaded);
    showMenuLines(6);
    setLightPosition(SPLASH_LIGHT, 0, 100, 0, 0);
    setLightDirection(SPLASH_LIGHT, 0, -1, 0);
    setLightEnabled(1, true);
    setLightEnabled(2, true);
    renderMenu();
    const std::vector<unsigned char> image = grabFront();
    saveShot(image, "options");
    for (int row : {20, 15, 10, 5, 0, -5}) {
        SCOPED_TRACE(row);
        EXPECT_GT(whitePixelsNear(image, 35, row, 50, row + 1.4, 20), 20);
    }
    showMenuLines(0);

    // A failure shows under the lines, broken into rows that stay in view.
    const int before = whitePixelsNear(image, 10, -12, 70, -4, 20);
    snprintf(renderInputs.menuMessage, sizeof renderInputs.menuMessage, "%s",
             "Cannot load level 2: Levels Packs/classic.tlp: level 2 row 3 column 4 (line 27): brick code 12 is "
             "not one of 0 to 9");
    renderMenu();
    const std::vector<unsigned char> message = grabFront();
    saveShot(message, "menu-message");
    EXPECT_GT(whitePixelsNear(message, 10, -12, 70, -4, 20), before + 200);
    renderInputs.menuMessage[0] = '\0';
}

// The lit pass of a ball or laser light is cut to the window bound of its
// cone; the picture must not change by a single bit, wherever the lights
// stand and however far they lean.
TEST_F(Renderers, SpotLightScissorChangesNoPixel)
{
    ASSERT_TRUE(engine.loaded);
    engine.shadowsEnabled = true;
    field.levelElapsed = 3000;
    initLights();
    setLightPosition(SPLASH_LIGHT, 0, 0, -20, 0);
    setLightDirection(SPLASH_LIGHT, 0, 0, -1);
    setLightColour(SPLASH_LIGHT, 1, 1, 1);
    setLightEnabled(SPLASH_LIGHT, true);
    unsigned seed = 7;
    auto next = [&seed](double low, double high) {
        seed = seed * 1103515245u + 12345u;
        return low + (high - low) * ((seed >> 8) % 10000) / 9999.0;
    };
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        for (int light : {0, 1, 2, LASER_LIGHT_LEFT, LASER_LIGHT_RIGHT}) {
            const bool on = light == 0 || next(0, 1) < 0.6;
            setLightEnabled(light, on);
            setLightPosition(light, static_cast<float>(next(21, 59)), static_cast<float>(next(-14, 52)),
                             static_cast<float>(LIGHT_PLANE_Z), 1);
            setLightDirection(light, static_cast<float>(next(-0.9, 0.9)), static_cast<float>(next(-0.9, 1.0)),
                              static_cast<float>(next(-1.8, -0.5)));
        }
        renderer.onePass = false;   // (the one pass is held to its tolerance below)
        renderer.spotScissor = false;
        renderPlay();
        const std::vector<unsigned char> full = grabFront();
        renderer.spotScissor = true;
        renderPlay();
        const std::vector<unsigned char> cut = grabFront();
        renderer.onePass = true;
        size_t differing = 0;
        for (size_t i = 0; i < full.size(); ++i) {
            differing += full[i] != cut[i];
        }
        EXPECT_EQ(differing, 0u);
        if (round == 0) {
            saveShot(cut, "play-spot-lights");
        }
    }
}

namespace {

size_t differingBytes(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b)
{
    size_t differing = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        differing += a[i] != b[i];
    }
    return differing;
}

// A frame drawn with the dead work left out and again with all of it, each
// light in passes of its own (the one pass is held to its tolerance below).
std::vector<unsigned char> frameWithDeadWork(bool skip, void (*render)())
{
    renderer.onePass = false;
    renderer.skipDeadWork = skip;
    render();
    renderer.skipDeadWork = true;
    renderer.onePass = true;
    return grabFront();
}

unsigned lcgSeed = 11;
double randomIn(double low, double high)
{
    lcgSeed = lcgSeed * 1103515245u + 12345u;
    return low + (high - low) * ((lcgSeed >> 8) % 10000) / 9999.0;
}

// The probe level with capsules in flight and bricks falling (tumbling both
// ways), the paddle armed, and the ball and laser lights at random.
void randomPlayState(int round)
{
    field = PlayField{};
    field.levelNumber = 0;
    ASSERT_TRUE(loadLevelOfPack());
    field.levelElapsed = 3000;
    field.fallMode = true;
    field.laserArmed = round % 2 == 0;
    field.lives = 1 + round % 4;
    for (int i = 0; i < 6; ++i) {
        Brick& capsule = field.bricks[5 * 11 + 2 * i];
        capsule.present = i % 2 == 0;
        capsule.capsuleFalling = true;
        capsule.capsuleType = 1 + (round + i) % 7;
        capsule.capsuleY = randomIn(-12, 20);
        capsule.spin = randomIn(0, 360);
        Brick& falling = field.bricks[5 * 11 + 2 * i + 1];
        falling.present = false;
        falling.brickFalling = true;
        falling.tumble = i % 2;
        falling.fallY = randomIn(-12, 20);
        falling.spin = randomIn(0, 360);
    }
    initLights();
    setLightPosition(SPLASH_LIGHT, 0, 0, -20, 0);
    setLightDirection(SPLASH_LIGHT, 0, 0, -1);
    setLightColour(SPLASH_LIGHT, 1, 1, 1);
    setLightEnabled(SPLASH_LIGHT, round % 3 != 2);
    for (int light : {0, 1, 2, LASER_LIGHT_LEFT, LASER_LIGHT_RIGHT}) {
        setLightEnabled(light, light == 0 || randomIn(0, 1) < 0.6);
        setLightPosition(light, static_cast<float>(randomIn(21, 59)), static_cast<float>(randomIn(-14, 52)),
                         static_cast<float>(LIGHT_PLANE_Z), 1);
        setLightDirection(light, static_cast<float>(randomIn(-0.9, 0.9)), static_cast<float>(randomIn(-0.9, 1.0)),
                          static_cast<float>(randomIn(-1.8, -0.5)));
    }
}

}   // namespace

// Passes that add nothing, shadow maps nobody can find a shadow in, the dead
// blocks of the shader and the scene order of the order-free passes are left
// out; not one byte of any screen may change for it.
TEST_F(Renderers, DeadWorkLeftOutChangesNoByte)
{
    ASSERT_TRUE(engine.loaded);
    engine.shadowsEnabled = true;
    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE(round);
        randomPlayState(round);
        const auto full = frameWithDeadWork(false, renderPlay);
        EXPECT_EQ(differingBytes(full, frameWithDeadWork(true, renderPlay)), 0u);
        if (round == 0) {
            saveShot(full, "play-capsules-falling");
        }
    }
    initLights();
    setLightColour(SPLASH_LIGHT, 1, 1, 1);
    setLightEnabled(SPLASH_LIGHT, true);
    for (bool options : {false, true}) {
        showMenuLines(options ? MENU_LINES_MAX : 4);
        for (int line = 0; line < (options ? MENU_LINES_MAX : 4); ++line) {
            SCOPED_TRACE(line);
            placeMenuLights(line, engine.cameraPosition);
            EXPECT_EQ(differingBytes(frameWithDeadWork(false, renderMenu), frameWithDeadWork(true, renderMenu)), 0u);
        }
    }
    showMenuLines(0);
    initLights();
    for (float fade : {0.0f, 0.6f}) {   // the splash's fade-in starts from a black light
        setLightColour(SPLASH_LIGHT, fade, fade, fade);
        EXPECT_EQ(differingBytes(frameWithDeadWork(false, renderSplash), frameWithDeadWork(true, renderSplash)), 0u);
    }
}

namespace {

// How far the one lit pass lands from the light passes one by one, byte by byte.
struct Differences {
    size_t histogram[256] = {};
    size_t bytes = 0;
    double sum = 0;
    int worst = 0;

    void add(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b)
    {
        for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
            const int d = std::abs(a[i] - b[i]);
            ++histogram[d];
            sum += d;
            worst = std::max(worst, d);
        }
        bytes += std::min(a.size(), b.size());
    }
    double shareWithin(int levels) const
    {
        size_t within = 0;
        for (int d = 0; d <= levels; ++d) {
            within += histogram[d];
        }
        return static_cast<double>(within) / static_cast<double>(std::max<size_t>(bytes, 1));
    }
};

// The frame once in one lit pass and once light by light; the difference added up.
void compareOnePass(Differences& all, void (*render)(), const char* shot = nullptr)
{
    renderer.onePass = false;
    render();
    const std::vector<unsigned char> reference = grabFront();
    renderer.onePass = true;
    render();
    const std::vector<unsigned char> one = grabFront();
    ASSERT_FALSE(renderer.onePassFailed) << "the one pass was drawn";
    Differences frame;
    frame.add(reference, one);
    EXPECT_LE(frame.worst, 32);
    EXPECT_GE(frame.shareWithin(2), 0.999);
    all.add(reference, one);
    if (shot) {
        saveShot(one, shot);
    }
}

}   // namespace

// All lights summed in one lit pass stay within a level or two of the
// passes one by one (which add up in the 8-bit framebuffer): over random play
// states, with each light of a state switched off in turn, the menu and the
// splash. Shadow edges may move by a texel, nothing more.
TEST_F(Renderers, OnePassMatchesTheLightPassesWithinTolerance)
{
    ASSERT_TRUE(engine.loaded);
    engine.shadowsEnabled = true;
    Differences all;
    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE(round);
        lcgSeed = 300 + round;
        randomPlayState(round);
        compareOnePass(all, renderPlay, round == 0 ? "play-one-pass" : nullptr);
        if (round < 2) {
            for (int off = 0; off < LIGHT_COUNT; ++off) {
                SCOPED_TRACE(off);
                if (!engine.lights[off].enabled) {
                    continue;
                }
                setLightEnabled(off, false);
                compareOnePass(all, renderPlay);
                setLightEnabled(off, true);
            }
        }
    }
    initLights();
    setLightColour(SPLASH_LIGHT, 1, 1, 1);
    setLightEnabled(SPLASH_LIGHT, true);
    for (int line = 0; line < MENU_LINES_MAX; ++line) {
        placeMenuLights(line, engine.cameraPosition);
        compareOnePass(all, renderMenu);
    }
    initLights();
    for (float fade : {0.0f, 0.6f, 1.0f}) {
        setLightColour(SPLASH_LIGHT, fade, fade, fade);
        compareOnePass(all, renderSplash);
    }
    // A steady frame of the one pass allocates nothing (its programs built by the frame before).
    lcgSeed = 300;
    randomPlayState(0);
    renderPlay();
    const long before = allocationCount;
    ASSERT_GT(before, 0) << "the counter sees the loading's allocations";
    renderPlay();
    EXPECT_EQ(allocationCount, before);
    const double mean = all.sum / static_cast<double>(std::max<size_t>(all.bytes, 1));
    printf("one pass against the light passes, %zu bytes: %zu equal, %zu off by 1, %zu by 2, %zu by 3 or more, worst %d, "
           "mean %.5f\n",
           all.bytes, all.histogram[0], all.histogram[1], all.histogram[2],
           all.bytes - all.histogram[0] - all.histogram[1] - all.histogram[2], all.worst, mean);
    EXPECT_GE(all.shareWithin(2), 0.999);
    EXPECT_LE(all.worst, 32);
    EXPECT_LT(mean, 0.1);
}

// A frame is a function of the game's state alone: the shadow maps of earlier
// lights and frames leave no trace in it. Two earlier frames leave the map as
// different as can be: near depths all over it (a light too wide for its map
// to be cut to the cone, just in front of the bricks), or cleared everywhere
// (light 3's pass, drawn in full).
TEST_F(Renderers, FrameDependsOnTheStateAlone)
{
    ASSERT_TRUE(engine.loaded);
    engine.shadowsEnabled = true;
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE(round);
        std::vector<unsigned char> images[2];
        for (int history = 0; history < 2; ++history) {
            randomPlayState(0);
            if (history == 0) {
                setLightEnabled(SPLASH_LIGHT, false);   // its pass would clear the whole map
                engine.lights[0].spotCutoff = 58.5f;
                setLightPosition(0, 40, 20, 16.5f, 1);
                setLightDirection(0, 0, 0, -1);
            } else {
                renderer.skipDeadWork = false;
            }
            renderPlay();
            renderer.skipDeadWork = true;
            lcgSeed = 1000 + round;
            randomPlayState(round);
            renderPlay();
            images[history] = grabFront();
        }
        EXPECT_EQ(differingBytes(images[0], images[1]), 0u);
    }
}

// The menu marks the selected line only by light: the floor right under each
// line is brighter while the line is selected than while another is.
TEST_F(Renderers, SelectedMenuLineIsLit)
{
    ASSERT_TRUE(engine.loaded);
    engine.shadowsEnabled = true;
    initLights();
    setLightColour(SPLASH_LIGHT, 1, 1, 1);
    setLightEnabled(SPLASH_LIGHT, true);
    for (bool options : {false, true}) {
        const int lines = options ? MENU_LINES_MAX : 4;
        showMenuLines(lines);
        double band[MENU_LINES_MAX][MENU_LINES_MAX] =
            {};   // [selected][line]: brightest row under the line's left part, text aside
        for (int selected = 0; selected < lines; ++selected) {
            placeMenuLights(selected, engine.cameraPosition);
            renderMenu();
            const std::vector<unsigned char> image = grabFront();
            saveShot(image, (std::string(options ? "options-" : "menu-") + std::to_string(selected)).c_str());
            for (int line = 0; line < lines; ++line) {
                const double y = 20 - 5 * line;
                int ax, ay, bx, by;
                project(36, y - 2, 20, ax, ay);
                project(50, y - 0.2, 20, bx, by);
                for (int py = ay; py <= by; ++py) {
                    double sum = 0;
                    int count = 0;
                    for (int px = ax; px <= bx; ++px) {
                        const Pixel p = pixelAt(image, px, py);
                        if (p.sum() < 700) {
                            sum += p.sum();
                            ++count;
                        }
                    }
                    band[selected][line] = std::max(band[selected][line], sum / std::max(count, 1));
                }
            }
        }
        for (int line = 0; line < lines; ++line) {
            for (int other = 0; other < lines; ++other) {
                if (other != line) {
                    EXPECT_GT(band[line][line], band[other][line]) << "line " << line << ", " << other << " selected";
                }
            }
        }
    }
    showMenuLines(0);
}

// A picture of another shape than the window is shown whole in its middle,
// the rest black; drawn with its true ratio, a square stays square.
TEST_F(Renderers, ThePictureFillsTheWindowInItsOwnProportions)
{
    ASSERT_TRUE(engine.loaded);
    randomPlayState(0);
    renderInputs.width = 640;
    renderInputs.height = 360;   // 16:9, shown at 800x450 in the 4:3 window: bars above and below
    resizeRender();
    ASSERT_TRUE(renderer.offscreen);
    renderPlay();
    EXPECT_TRUE(renderer.drawnOffscreen) << "drawn at its own size, shown scaled";
    const std::vector<unsigned char> image = grabFront();
    saveShot(image, "play-16x9-in-4x3");
    const int bar = (HEIGHT - 450) / 2;   // (a 800x450 picture would be drawn into the window's middle as it is)
    for (int x : {0, WIDTH / 2, WIDTH - 1}) {
        EXPECT_EQ(pixelAt(image, x, 0).sum(), 0);
        EXPECT_EQ(pixelAt(image, x, bar - 1).sum(), 0);
        EXPECT_EQ(pixelAt(image, x, HEIGHT - bar).sum(), 0);
        EXPECT_EQ(pixelAt(image, x, HEIGHT - 1).sum(), 0);
    }
    int lit = 0;   // the room's walls reach every edge of the picture
    for (int x : {2, 200, 400, 600, WIDTH - 3}) {
        lit += pixelAt(image, x, bar + 2).sum() > 0;
        lit += pixelAt(image, x, HEIGHT - bar - 3).sum() > 0;
    }
    for (int y : {bar + 2, HEIGHT / 2, HEIGHT - bar - 3}) {
        lit += pixelAt(image, 1, y).sum() > 0;
        lit += pixelAt(image, WIDTH - 2, y).sum() > 0;
    }
    EXPECT_EQ(lit, 16);

    int ax, ay, bx, by;
    project(35, 15, PLAY_PLANE_Z, ax, ay);
    project(45, 25, PLAY_PLANE_Z, bx, by);
    EXPECT_NEAR(bx - ax, by - ay, 1) << "a square of the play plane";

    renderInputs.width = WIDTH;
    renderInputs.height = HEIGHT;
    resizeRender();
}
