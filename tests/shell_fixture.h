// The shell's test fixture: a fresh game in a scratch folder holding one
// two-level pack, driven frame by frame with a fake clock and scripted keys,
// with the renderers, sound and pointer replaced.
#pragma once

#include "game/playfield/playfield.h"
#include "game/render/engine.h"
#include "game/render/lights.h"
#include "game/shell/config.h"
#include "game/shell/gamestate.h"
#include "game/shell/shell.h"
#include "platform/input_fake.h"
#include "platform/sound_fake.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace shelltest {

inline double fakeNow = 0;
inline int loadings = 0;
inline int splashFrames = 0;
inline int menuFrames = 0;
inline int playFrames = 0;
inline int shadowMaps = 0;
inline int exitStatus = -1;

inline double fakeClock() { return fakeNow; }
inline int swaps = 0;
inline void countSwap() { ++swaps; }
inline void fakeLoading()
{
    ++loadings;
    engine.loaded = true;
}
inline void fakeSplash() { ++splashFrames; }
inline void fakeMenu() { ++menuFrames; }
inline void fakePlay() { ++playFrames; }
inline int displayChanges = 0;
inline void fakeResizeRender() { ++shadowMaps; }
inline void fakeApplyDisplay() { ++displayChanges; }
inline void fakeExit(int status) { exitStatus = status; }

inline std::string emptyLevel(int number, int fill)
{
    std::string text = std::to_string(number) + " 1 50 1\n";
    for (int row = 0; row < 22; ++row) {
        for (int column = 0; column < 11; ++column) {
            text += (row == 5 ? std::to_string(fill) : "0") + (column == 10 ? "\n" : " ");
        }
    }
    return text;
}

class Shell : public ::testing::Test {
protected:
    fs::path dir;
    fs::path previous;

    void SetUp() override
    {
        previous = fs::current_path();
        dir = fs::temp_directory_path() / ("shell_test_" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir / "Levels Packs");
        std::ofstream(dir / "Levels Packs" / "two.tlp") << "2\n" + emptyLevel(1, 1) + emptyLevel(2, 2);
        fs::current_path(dir);

        fakeNow = 0;
        loadings = splashFrames = menuFrames = playFrames = shadowMaps = displayChanges = 0;
        exitStatus = -1;
        swaps = 0;
        shellSeams = {fakeClock, countSwap,        fakeLoading,      fakeSplash, fakeMenu,
                      fakePlay,  fakeResizeRender, fakeApplyDisplay, fakeExit};
        game = GameState{};
        runOnly = RunOnly{};
        windowState = WindowState{};
        windowState.screenWidth = 1920;
        windowState.screenHeight = 1080;
        field = PlayField{};
        frameClock = FrameClock{};
        config = Config{};
        strcpy(config.levelPackName, "two.tlp");
        discoverPacks(packList, "Levels Packs", config);
        engine.loaded = false;
        engine.shadowsEnabled = true;
        engine.logEnabled = false;
        engine.cameraPosition[0] = 40;
        engine.cameraPosition[1] = 20;
        engine.cameraPosition[2] = 110;
        cameraYaw = cameraPitch = 0;
        initLights();
        useFakeInput();
        useFakeSound();
        musicPlaying = false;
        gameRecording = GameRecording{};
        playback = Playback{};
        directPlay = DirectPlay{};
        demo = DemoGame{};
        renderInputs.field = nullptr;
    }
    void TearDown() override
    {
        fs::current_path(previous);
        fs::remove_all(dir);
    }

    void frameAt(double ms)
    {
        fakeNow = ms;
        GameFrame();
    }
    // Runs frames every 10 ms until the given time.
    void runUntil(double ms)
    {
        while (fakeNow + 10 <= ms) {
            frameAt(fakeNow + 10);
        }
        if (fakeNow < ms) {
            frameAt(ms);
        }
    }
    // Runs frames of step ms for ms.
    void runFor(double ms, double step = 10)
    {
        const double end = fakeNow + ms;
        while (fakeNow + step <= end) {
            frameAt(fakeNow + step);
        }
    }
    // One press of a key: a frame with it down, a frame with it up.
    void press(Key key)
    {
        setKey(key, true);
        frameAt(fakeNow + 10);
        setKey(key, false);
        frameAt(fakeNow + 10);
    }
    void toMenu()
    {
        frameAt(100);   // loading
        frameAt(200);   // first splash frame
        runUntil(200 + 10001);
        ASSERT_FALSE(game.splashActive);
        frameAt(fakeNow + 10);
    }
    void newGame()
    {
        toMenu();
        game.menuCursor = 0;
        press(Key::Enter);
        ASSERT_FALSE(game.inMenu);
    }
    // A new game past its ready phase, the ball launched under mouse control.
    // What the player does in a frame reaches the rules in the next one.
    void toPlay()
    {
        newGame();
        runUntil(field.levelStartTime + READY_TIME + 10);
        tapKey(Key::MouseLeft);
        frameAt(fakeNow + 10);   // the click is seen at the frame's end ...
        frameAt(fakeNow + 10);   // ... and launches in the next step
        ASSERT_EQ(game.state, ShellState::Play);
        ASSERT_FALSE(field.ballHeld);
    }
};

}   // namespace shelltest

using namespace shelltest;
