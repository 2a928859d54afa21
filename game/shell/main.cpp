// game/shell/main: the game program's entry point.
// Takes the command line's options (--replay FILE: the replay is read and its
// pack checked before anything else; a pack file is brought in, --pack and
// --level checked before the window opens), reads config.ini (or takes the defaults), lists the level packs, opens the
// window (full screen, or a window as DISPLAY says) named and iconed for the
// desktop, reports the OpenGL capabilities, starts the sound device with the
// whole sound set and hands over to GLUT's loop; the scene is built by the first frame.
#include <GL/glew.h>
#include <GL/freeglut.h>
#include <GL/glx.h>

#include "game/playfield/playfield.h"
#include "game/playfield/samples.h"
#include "game/render/engine.h"
#include "game/render/picture.h"
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

#include <climits>
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

// A window size to ask for at the next frame, once full screen is left.
bool windowPending = false;

void openAsWindow(bool resize);

void displayFrame()
{
    if (windowPending) {
        windowPending = false;
        openAsWindow(true);
    }
    GameFrame();
}

void slowedFrame()
{
    const double start = monotonicMs();
    displayFrame();
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

// The window's new size: the renderer scales the picture into it, the pointer
// is measured from its new centre. (The projection is the renderer's.)
void reshape(int width, int height)
{
    if (width <= 0 || height <= 0) {
        return;   // minimised: the last size stands
    }
    if (width != windowState.windowWidth || height != windowState.windowHeight) {
        windowState.reanchor = true;
    }
    windowState.windowWidth = width;
    windowState.windowHeight = height;
    renderInputs.windowWidth = width;
    renderInputs.windowHeight = height;
}

// A window moved (by Alt+Enter, or by the desktop) shifts the pointer's window
// coordinates: the next poll measures no motion.
void windowMoved(int, int) { windowState.reanchor = true; }

// The window of the WINDOW display: the picture's size (smaller when the
// screen is), centred on the screen.
void openAsWindow(bool resize)
{
    int width = 0;
    int height = 0;
    windowedSize(config.screenWidth, config.screenHeight, windowState.screenWidth, windowState.screenHeight, width,
                 height);
    const int x = windowState.screenWidth > width ? (windowState.screenWidth - width) / 2 : 0;
    const int y = windowState.screenHeight > height ? (windowState.screenHeight - height) / 2 : 0;
    if (resize) {
        glutReshapeWindow(width, height);
        glutPositionWindow(x, y);
    } else {
        glutInitWindowPosition(x, y);
        glutInitWindowSize(width, height);
    }
}

// DISPLAY and Alt+Enter: full screen, or back to a window.
void applyDisplay()
{
    if (config.windowed) {
        // Leaving full screen restores the window's old size after anything
        // asked in the same frame; the window's own size is asked next frame.
        glutLeaveFullScreen();
        windowPending = true;
    } else {
        windowPending = false;
        // Without a window manager freeglut makes a window full screen at its
        // position negated (a window at (200, 40) ends at (-200, -40)); from
        // (0, 0) it covers the screen, and a window manager ignores this.
        glutPositionWindow(0, 0);
        glutFullScreen();
    }
}

}   // namespace

int main(int argc, char** argv)
{
    if (const int status = answerGameCommandLine(argc, argv); status >= 0) {
        return status;
    }
    // Lines must reach a log file as they happen, not when a buffer fills.
    setvbuf(stdout, nullptr, _IOLBF, 0);
    ignoreFileSizeSignal();
    GameArguments arguments;
    std::string failure;
    if (!takeGameArguments(argc, argv, arguments, failure)) {
        printf("%s\n%s\n", failure.c_str(), GAME_USAGE);
        return 2;
    }
    // The replay and a pack file are read where they were named, before the program changes folder.
    if (!arguments.replayPath.empty() && !readPlaybackFile(arguments.replayPath, failure)) {
        printf("Cannot play %s: %s.\n", quoteBytes(arguments.replayPath).c_str(), failure.c_str());
        return 1;
    }
    if (!arguments.packFile.empty() && arguments.packFile[0] != '/') {
        char here[PATH_MAX];
        if (getcwd(here, sizeof here)) {
            arguments.packFile = std::string(here) + "/" + arguments.packFile;
        }
    }
    if (!enterUserFolder()) {
        return 1;
    }

    // Without a readable config.ini the defaults stand (it says why); QUIT writes a fresh one.
    readConfig(CONFIG_FILE, config);
    discoverPacks(packList, PACK_FOLDER, config);
    if (!arguments.replayPath.empty() && !preparePlayback(failure)) {
        printf("Cannot play %s: %s.\n", quoteBytes(arguments.replayPath).c_str(), failure.c_str());
        return 1;
    }
    std::string said;
    if (!arguments.packFile.empty()) {
        if (!bringInPackFile(arguments.packFile, said, failure)) {
            printf("Cannot use %s: %s\n", quoteBytes(arguments.packFile).c_str(), failure.c_str());
            return 1;
        }
        showMenuMessage(said.c_str());
    }
    if (!arguments.packName.empty()) {
        runOnly.pack = true;
        memcpy(runOnly.packAsRead, config.levelPackName, PACK_NAME_SIZE);
    }
    if (!arguments.packName.empty() && !selectPackByName(arguments.packName, failure)) {
        printf("Cannot use --pack %s: %s.\n", quoteBytes(arguments.packName).c_str(), failure.c_str());
        return 1;
    }
    if (arguments.levelNumber > 0 && !prepareDirectPlay(arguments.levelNumber, failure)) {
        printf("Cannot play level %d: %s.\n", arguments.levelNumber, failure.c_str());
        return 1;
    }
    if (arguments.window) {
        runOnly.display = true;
        runOnly.windowedAsRead = config.windowed;
        config.windowed = 1;
    }

    if (!getenv("DISPLAY") || !*getenv("DISPLAY")) {
        printf("No display: DISPLAY is not set. Tessivar needs an X display (a desktop session, or Xvfb).\n");
        return 1;
    }
    glutInit(&argc, argv);
    windowState.screenWidth = glutGet(GLUT_SCREEN_WIDTH);
    windowState.screenHeight = glutGet(GLUT_SCREEN_HEIGHT);
    checkWindowSize(config, windowState.screenWidth, windowState.screenHeight);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_ALPHA | GLUT_DEPTH);
    if (config.windowed) {
        openAsWindow(false);
    } else {
        // Full screen makes the position moot under a window manager; without one
        // freeglut "corrects" full screen by the negated position, so a window
        // asked for at (100, 100) would end up at (-100, -100), its corner cut off.
        glutInitWindowPosition(0, 0);
        glutInitWindowSize(config.screenWidth, config.screenHeight);
    }
    glutCreateWindow("Tessivar");
    identifyProgramWindow(GAME_WM_INSTANCE, GAME_WM_CLASS);
    windowState.windowWidth = glutGet(GLUT_WINDOW_WIDTH);
    windowState.windowHeight = glutGet(GLUT_WINDOW_HEIGHT);
    reshape(windowState.windowWidth, windowState.windowHeight);
    useX11Input();
    useSdlSound();
    useGlTextureUpload();

    // The new window's context is current: its drawable is the X window.
    inputInit(static_cast<unsigned long>(glXGetCurrentDrawable()));
    warpPointer(anchorX(), anchorY());
    hidePointer();
    if (!config.windowed) {
        glutFullScreen();
    }
    reportCapabilities();

    shellSeams.readClock = glutClock;
    shellSeams.swapBuffers = presentPicture;
    shellSeams.runLoading = runLoading;
    shellSeams.renderSplash = renderSplash;
    startupLog = getenv("TESSIVAR_STARTUP_LOG");
    if (startupLog && *startupLog) {
        shellSeams.renderSplash = renderSplashAndLogStartup;
    }
    shellSeams.renderMenu = renderMenu;
    shellSeams.renderPlay = renderPlay;
    shellSeams.resizeRender = resizeRender;
    shellSeams.applyDisplay = applyDisplay;
    shellSeams.exitProgram = exitProgram;
    game.trace = getenv("TESSIVAR_TRACE") && *getenv("TESSIVAR_TRACE");
    if (const char* floor = getenv("TESSIVAR_MIN_FRAME_MS")) {
        minimumFrameMs = atof(floor);
    }
    glutDisplayFunc(minimumFrameMs > 0 ? slowedFrame : displayFrame);
    glutReshapeFunc(reshape);
    glutPositionFunc(windowMoved);

    soundInit();
    soundOpenStream(MUSIC_FILE);
    for (int slot = 0; slot < SAMPLE_COUNT; ++slot) {
        soundLoadSample(slot, SAMPLE_FILES[slot]);
    }
    gamepadInit();

    glutMainLoop();
    return 0;
}
