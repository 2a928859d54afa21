// game/shell/main: the game program's entry point.
// Reads config.ini, lists the level packs, opens the full-screen window,
// reports the OpenGL capabilities, starts the sound device with the whole
// sound set and hands over to GLUT's loop; the scene is built by the first frame.
#include <GL/glew.h>
#include <GL/freeglut.h>

#include "game/playfield/playfield.h"
#include "game/playfield/samples.h"
#include "game/render/engine.h"
#include "game/render/render.h"
#include "game/shell/config.h"
#include "game/shell/gamestate.h"
#include "game/shell/shell.h"
#include "game/textures/textures.h"
#include "platform/input.h"
#include "platform/sound.h"
#include "platform/userfolder.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

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
    shellSeams.renderSplash = renderSplash;
    startupLog = getenv("TESSIVAR_STARTUP_LOG");
    if (startupLog && *startupLog) {
        shellSeams.renderSplash = renderSplashAndLogStartup;
    }
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
    // Lines must reach a log file as they happen, not when a buffer fills.
    setvbuf(stdout, nullptr, _IOLBF, 0);
    if (!enterUserFolder()) {
        return 1;
    }

    if (!readConfig(CONFIG_FILE, config)) {
        printf("Cannot open config file.\n");
        return 1;
    }
    discoverPacks(packList, PACK_FOLDER, config);

    if (!getenv("DISPLAY") || !*getenv("DISPLAY")) {
        printf("No display: DISPLAY is not set. Tessivar needs an X display (a desktop session, or Xvfb).\n");
        return 1;
    }
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_ALPHA | GLUT_DEPTH);
    // Full screen makes the position moot under a window manager; without one
    // freeglut "corrects" full screen by the negated position, so a window
    // asked for at (100, 100) would end up at (-100, -100), its corner cut off.
    glutInitWindowPosition(0, 0);
    glutInitWindowSize(config.screenWidth, config.screenHeight);
    glutCreateWindow("Tessivar");

    inputInit();
    warpPointer(CURSOR_ANCHOR_X, CURSOR_ANCHOR_Y);
    hidePointer();
    glutFullScreen();

    printf("Ostrel Engine:\n");
    glewInit();
    if (GLEW_VERSION_2_0) {
        printf("Running with OpenGL 2.0.\n\nLoading...\n\n");
    } else {
        printf("OpenGL Error.\n");
    }
    if (glutExtensionSupported("GL_EXT_framebuffer_object")) {
        printf("FBO Extension Supported...\n\n");
        engine.shadowsEnabled = true;
    } else {
        printf("FBO Extension Unsupported...\n");
        engine.shadowsEnabled = false;
        printf("Shadows maps disabled\n\n");
    }

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
    glutDisplayFunc(GameFrame);
    glutReshapeFunc(reshape);

    soundInit();
    soundOpenStream(MUSIC_FILE);
    for (int slot = 0; slot < SAMPLE_COUNT; ++slot) {
        soundLoadSample(slot, SAMPLE_FILES[slot]);
    }

    glutMainLoop();
    return 0;
}
