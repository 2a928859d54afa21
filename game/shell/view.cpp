// game/shell/view: the picture, the window and the view as the shell keeps
// them — what the renderer is told before a frame, the sizes RESOLUTION
// offers, full screen or window, the pointer's anchor, and how far the camera
// may turn and move: the field and the spare lives stay in the picture
// whatever the mouse does. No GL; the devices come in through the seams.
#include "game/render/engine.h"
#include "game/render/picture.h"
#include "game/shell/config.h"
#include "game/shell/gamestate.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

WindowState windowState;

namespace {

// Halvings of a turn before it counts as at the edge: 2^-12 of a pointer's sweep.
constexpr int TURN_HALVINGS = 12;

bool sightAt(double yaw, double pitch, double viewScale, int edges)
{
    return viewKeepsSight(engine.cameraPosition, yaw * viewScale, pitch * viewScale, pictureAspect(), edges);
}

}   // namespace

void fillRenderInputs()
{
    RenderInputs& in = renderInputs;
    in.width = config.screenWidth;
    in.height = config.screenHeight;
    in.windowWidth = windowState.windowWidth;
    in.windowHeight = windowState.windowHeight;
    snprintf(in.menuMessage, sizeof in.menuMessage, "%s", game.menuMessage);
    if (game.inMenu && !game.splashActive) {
        fillMenuTexts();
    }
    const bool paused = game.state == ShellState::Paused;
    const bool asking = game.state == ShellState::AskEnd;
    in.paused = paused;
    in.askingEnd = asking;
    in.answerYes = game.answerYes;
    in.readyShown = game.state == ShellState::Ready || ((paused || asking) && game.pausedFrom == ShellState::Ready);
    in.highScore = std::max(playerRecords.gameBest, field.score);
    in.readySlide = game.readySlide;
    std::copy(game.exitSpin, game.exitSpin + 4, in.exitSpin);
    in.menuSpin = game.menuSpin;
    const bool demoShown = game.state == ShellState::Demo;
    in.field = demoShown ? &demo.field : &field;
    in.banner = demoShown ? PlayBanner::Demo : playback.active ? PlayBanner::Replay : PlayBanner::Game;
}

int resolutionChoices(int screenWidth, int screenHeight, int32_t (*out)[2])
{
    const bool known = screenWidth > 0 && screenHeight > 0;
    const bool screenUsable = known && screenWidth >= MIN_WINDOW_WIDTH && screenHeight >= MIN_WINDOW_HEIGHT;
    bool screenListed = false;
    int count = 0;
    for (const auto& size : RESOLUTIONS) {
        if (known && (size[0] > screenWidth || size[1] > screenHeight)) {
            continue;   // the screen cannot show it
        }
        screenListed = screenListed || (size[0] == screenWidth && size[1] == screenHeight);
        out[count][0] = size[0];
        out[count][1] = size[1];
        ++count;
    }
    if (screenUsable && !screenListed) {
        int at = 0;
        while (at < count && (out[at][0] < screenWidth || (out[at][0] == screenWidth && out[at][1] < screenHeight))) {
            ++at;
        }
        for (int i = count; i > at; --i) {
            out[i][0] = out[i - 1][0];
            out[i][1] = out[i - 1][1];
        }
        out[at][0] = screenWidth;
        out[at][1] = screenHeight;
        ++count;
    }
    return count;
}

void stepResolution()
{
    int32_t choices[RESOLUTION_CHOICES][2];
    const int count = resolutionChoices(windowState.screenWidth, windowState.screenHeight, choices);
    if (count == 0) {
        return;
    }
    // The size after the one in use; a size not in the list steps to the next larger one.
    int next = 0;
    for (int i = 0; i < count; ++i) {
        const int32_t w = choices[i][0], h = choices[i][1];
        if (w == config.screenWidth && h == config.screenHeight) {
            next = (i + 1) % count;
            break;
        }
        if (w > config.screenWidth || (w == config.screenWidth && h > config.screenHeight)) {
            next = i;
            break;
        }
    }
    config.screenWidth = choices[next][0];
    config.screenHeight = choices[next][1];
    traceLine("resolution %dx%d", static_cast<int>(config.screenWidth), static_cast<int>(config.screenHeight));
    fillRenderInputs();
    if (shellSeams.resizeRender) {
        shellSeams.resizeRender();
    }
    if (config.windowed && shellSeams.applyDisplay) {
        shellSeams.applyDisplay();   // the window opens anew at the picture's size
    }
}

void windowedSize(int pictureWidth, int pictureHeight, int screenWidth, int screenHeight, int& width, int& height)
{
    width = std::max(pictureWidth, 1);
    height = std::max(pictureHeight, 1);
    if (screenWidth <= 0 || screenHeight <= 0) {
        return;
    }
    const double room = WINDOW_SHARE_OF_SCREEN;
    const double scale = std::min({1.0, room * screenWidth / width, room * screenHeight / height});
    width = std::max(1, static_cast<int>(width * scale));
    height = std::max(1, static_cast<int>(height * scale));
}

void toggleDisplay()
{
    config.windowed = config.windowed ? 0 : 1;
    runOnly.display = false;
    traceLine("display %s", config.windowed ? "WINDOW" : "FULL SCREEN");
    windowState.reanchor = true;
    if (shellSeams.applyDisplay) {
        shellSeams.applyDisplay();
    }
}

int anchorX() { return windowState.windowWidth / 2; }
int anchorY() { return windowState.windowHeight / 2; }

double pictureAspect()
{
    int width = 0;
    int height = 0;
    boundPictureSize(config.screenWidth, config.screenHeight, width, height);
    return static_cast<double>(width) / height;
}

double allowedTurn(double yaw, double pitch, double yawChange, double pitchChange, double viewScale)
{
    if (yawChange == 0 && pitchChange == 0) {
        return 1;
    }
    // A turn is held by the picture's sides, a tilt by its top and bottom.
    const int edges = (yawChange != 0 ? SIGHT_ACROSS : 0) | (pitchChange != 0 ? SIGHT_UP_DOWN : 0);
    if (!sightAt(yaw, pitch, viewScale, edges)) {
        // Out of sight already (the controls never leave it so): only turning back is taken.
        const bool back =
            std::abs(yaw + yawChange) <= std::abs(yaw) && std::abs(pitch + pitchChange) <= std::abs(pitch);
        return back ? 1 : 0;
    }
    if (sightAt(yaw + yawChange, pitch + pitchChange, viewScale, edges)) {
        return 1;
    }
    double low = 0;    // keeps sight
    double high = 1;   // loses it
    for (int i = 0; i < TURN_HALVINGS; ++i) {
        const double middle = (low + high) / 2;
        if (sightAt(yaw + middle * yawChange, pitch + middle * pitchChange, viewScale, edges)) {
            low = middle;
        } else {
            high = middle;
        }
    }
    return low;
}

void recentreView()
{
    cameraYaw = 0;
    cameraPitch = 0;
    std::copy(REST_EYE, REST_EYE + 3, engine.cameraPosition);
}
