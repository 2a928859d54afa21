// game/shell/main: the game program's entry point.
// Reads config.ini (or takes the defaults), lists the level packs, opens the full-screen window,
// reports the OpenGL capabilities, starts the sound device with the whole
// sound set and hands over to GLUT's loop; the scene is built by the first frame.
#include <GL/glew.h>
#include <GL/freeglut.h>
#include <GL/glx.h>

#include "game/playfield/playfield.h"
#include "game/playfield/samples.h"
#include "game/render/engine.h"
#include "game/render/render.h"
#include "game/shell/command_line.h"
#include "game/shell/config.h"
#include "game/shell/gamestate.h"
#include "game/shell/shell.h"
#include "game/textures/textures.h"
#include "levelpack/safefile.h"
#include "platform/gamepad.h"
#include "platform/input.h"
#include "platform/sound.h"
#include "platform/userfolder.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

namespace {

double glutClock() { return glutGet(GLUT_ELAPSED_TIME); }

// With TESSIVAR_STARTUP_LOG set, the first splash frame appends one line to
// that file for the start-up benchmark (scripts/bench): the wall clock in ns
// when the frame was on screen, and the texture loads' decode and upload
// (mipmap) times. Standard output stays as it is.
const char* startupLog = nullptr;

void renderSplashAndLogStartup()
{
    renderSplash();
    shellSeams.renderSplash = renderSplash;   // the first splash frame only
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    if (FILE* log = fopen(startupLog, "a")) {
        fprintf(log, "first_splash_ns=%lld decode_ms=%.1f mipmap_ms=%.1f textures=%d\n",
                static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec, textureLoadTimes.decodeSeconds * 1e3,
                textureLoadTimes.uploadSeconds * 1e3, static_cast<int>(textureLoadTimes.loaded));
        fclose(log);
    }
}
void swapWindow() { glutSwapBuffers(); }
void exitProgram(int status) { exit(status); }

double monotonicMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// With TESSIVAR_MIN_FRAME_MS set, every frame lasts at least that long: how the
// windowed tests play the game as slowly as a software renderer does.
double minimumFrameMs = 0;

void slowedFrame()
{
    const double start = monotonicMs();
    GameFrame();
    const double left = minimumFrameMs - (monotonicMs() - start);
    if (left > 0) {
        usleep(static_cast<useconds_t>(left * 1000));
    }
}

// Shadow mapping needs framebuffer objects for the map and OpenGL 2.0 for the
// shaders that read it; without either the game draws the unshadowed path.
void reportCapabilities()
{
    printf("Ostrel Engine:\n");
    glewInit();
    const bool shaders = GLEW_VERSION_2_0;
    if (shaders) {
        printf("Running with OpenGL 2.0.\n\nLoading...\n\n");
    } else {
        printf("OpenGL Error.\n");
    }
    if (glutExtensionSupported("GL_EXT_framebuffer_object")) {
        printf("FBO Extension Supported...\n\n");
        engine.shadowsEnabled = shaders;
        if (!shaders) {
            printf("No OpenGL 2.0 shaders: Shadows maps disabled\n\n");
        }
    } else {
        printf("FBO Extension Unsupported...\n");
        engine.shadowsEnabled = false;
        printf("Shadows maps disabled\n\n");
    }
}

}   // namespace

void reshape(int width, int height)
{
    if (height == 0) {
        return;
    }
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // The aspect ratio is the whole-number quotient (1 for every offered size).
    gluPerspective(90.0, static_cast<double>(width / height), 0.2, 5000.0);
    glMatrixMode(GL_MODELVIEW);
}

int main(int argc, char** argv)
{
    if (const int status = answerGameCommandLine(argc, argv); status >= 0) {
        return status;
    }
    // Lines must reach a log file as they happen, not when a buffer fills.
    setvbuf(stdout, nullptr, _IOLBF, 0);
    ignoreFileSizeSignal();
    if (!enterUserFolder()) {
        return 1;
    }

    // Without a readable config.ini the defaults stand (it says why); QUIT writes a fresh one.
    readConfig(CONFIG_FILE, config);
    discoverPacks(packList, PACK_FOLDER, config);

    if (!getenv("DISPLAY") || !*getenv("DISPLAY")) {
        printf("No display: DISPLAY is not set. Tessivar needs an X display (a desktop session, or Xvfb).\n");
        return 1;
    }
    glutInit(&argc, argv);
    checkWindowSize(config, glutGet(GLUT_SCREEN_WIDTH), glutGet(GLUT_SCREEN_HEIGHT));
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_ALPHA | GLUT_DEPTH);
    // Full screen makes the position moot under a window manager; without one
    // freeglut "corrects" full screen by the negated position, so a window
    // asked for at (100, 100) would end up at (-100, -100), its corner cut off.
    glutInitWindowPosition(0, 0);
    glutInitWindowSize(config.screenWidth, config.screenHeight);
    glutCreateWindow("Tessivar");
    useX11Input();
    useSdlSound();
    useGlTextureUpload();

    // The new window's context is current: its drawable is the X window.
    inputInit(static_cast<unsigned long>(glXGetCurrentDrawable()));
    warpPointer(CURSOR_ANCHOR_X, CURSOR_ANCHOR_Y);
    hidePointer();
    glutFullScreen();
    reportCapabilities();

    shellSeams.readClock = glutClock;
    shellSeams.swapBuffers = swapWindow;
    shellSeams.runLoading = runLoading;
    shellSeams.renderSplash = renderSplash;
    startupLog = getenv("TESSIVAR_STARTUP_LOG");
    if (startupLog && *startupLog) {
        shellSeams.renderSplash = renderSplashAndLogStartup;
    }
    shellSeams.renderMenu = renderMenu;
    shellSeams.renderPlay = renderPlay;
    shellSeams.createShadowMap = createShadowMap;
    shellSeams.reshape = reshape;
    shellSeams.exitProgram = exitProgram;
    game.trace = getenv("TESSIVAR_TRACE") && *getenv("TESSIVAR_TRACE");
    if (const char* floor = getenv("TESSIVAR_MIN_FRAME_MS")) {
        minimumFrameMs = atof(floor);
    }
    glutDisplayFunc(minimumFrameMs > 0 ? slowedFrame : GameFrame);
    glutReshapeFunc(reshape);

    soundInit();
    soundOpenStream(MUSIC_FILE);
    for (int slot = 0; slot < SAMPLE_COUNT; ++slot) {
        soundLoadSample(slot, SAMPLE_FILES[slot]);
    }
    gamepadInit();

    glutMainLoop();
    return 0;
}
