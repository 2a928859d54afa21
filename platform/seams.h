// platform/seams: the one way a test stands in for a device.
//
// Each seam is a plain record of function pointers with one instance. The
// layer that calls through it owns the instance and behaves sensibly while a
// pointer is null (no sound device: silence; no input device: every key up and
// the window focused; no uploader: textures get id 0). At start-up the program
// installs the real devices, a test installs its stand-ins:
//
//   seam            instance          program                  tests
//   sound           soundDevice       useSdlSound()            useFakeSound()   (platform/sound_fake.h)
//   keys, pointer   inputDevice       useX11Input()            useFakeInput()   (platform/input_fake.h)
//   texture upload  textureUploader   useGlTextureUpload()     their own record (tests/textures_test.cpp)
//   clock, frame,   shellSeams        main.cpp: GLUT's clock,  fakes (tests/shell_fixture.h), the real
//   renderers, exit                   the renderers, exit()    renderers with a probe clock (render_test)
//
// Game controllers need no seam: SDL's virtual joysticks drive the real code.
#pragma once

#include <cstdint>

enum class Key;
struct KeyName;
struct Texture;

struct SoundDevice {
    void (*init)() = nullptr;
    void (*loadSample)(int slot, const char* path) = nullptr;
    void (*openStream)(const char* path) = nullptr;
    void (*playSample)(int slot, int channel) = nullptr;
    void (*playStream)(int channel) = nullptr;
    void (*stopStream)() = nullptr;
    void (*pause)(bool paused) = nullptr;
    void (*setVolumes)(int samples, int music) = nullptr;   // 0..SOUND_VOLUME_MAX each
    void (*volumes)(int& samples, int& music) = nullptr;    // as the mixer holds them now
};

extern SoundDevice soundDevice;

struct InputDevice {
    bool (*init)(unsigned long window) = nullptr;
    void (*poll)() = nullptr;
    bool (*keyDown)(Key key) = nullptr;
    int (*keyPresses)(Key key) = nullptr;
    int (*pressOrder)(Key* out, int capacity) = nullptr;
    int (*namedPresses)(KeyName* out, int capacity) = nullptr;
    bool (*bindKey)(Key key, const char* name) = nullptr;
    bool (*windowFocused)() = nullptr;
    void (*pointerPosition)(int& x, int& y) = nullptr;
    void (*warpPointer)(int x, int y) = nullptr;
    void (*hidePointer)() = nullptr;
};

extern InputDevice inputDevice;

// The GPU side of the texture manager (game/textures).
struct TextureUploader {
    uint32_t (*upload)(const Texture* texture) = nullptr;   // new texture id holding texture's pixels
    void (*release)(uint32_t glName) = nullptr;             // deletes one texture id
};

extern TextureUploader textureUploader;

// What the shell's frame loop and input call outside the window-free logic.
struct ShellSeams {
    double (*readClock)() = nullptr;   // ms since the windowing toolkit started
    void (*swapBuffers)() = nullptr;   // replaces the frame on screen
    void (*runLoading)() = nullptr;
    void (*renderSplash)() = nullptr;
    void (*renderMenu)() = nullptr;
    void (*renderPlay)() = nullptr;
    void (*resizeRender)() = nullptr;            // the picture's target and the shadow map at renderInputs' size
    void (*applyDisplay)() = nullptr;            // the window full screen, or a window, as config.windowed says
    void (*exitProgram)(int status) = nullptr;   // ends the process
};

extern ShellSeams shellSeams;
