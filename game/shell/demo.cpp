// game/shell/demo: after a while without a key in the menu, the bot plays a
// level of the selected pack behind it, on a field of its own: the game's
// field (and so the next NEW GAME) stays as the menu left it. The demo makes
// no sound; it ends at any key, click or button, when the bot clears the
// level or loses its last life, or after DEMO_LONGEST.
#include "game/render/lights.h"
#include "game/shell/config.h"
#include "game/shell/gamestate.h"

#include <algorithm>

DemoGame demo;

namespace {

PlayEvents demoEvents;   // reported and dropped: the demo is silent

}   // namespace

bool startDemo()
{
    const std::string path = configuredPackPath();
    PackLevel level;   // levelNumber 0: the first level, and the pack's count
    if (!readPackLevel(path, level).ok() || level.levelCount < 1) {
        return false;
    }
    // Each demo the next level, by position in the pack (one that cannot be read is passed over next time).
    const int32_t position = static_cast<int32_t>(demo.runs++ % level.levelCount) + 1;
    if (position > 1) {
        level.levelNumber = position;
        if (!readPackLevel(path, level).ok()) {
            return false;
        }
    }

    const double now = frameClock.clockNow;
    const unsigned int seed = static_cast<unsigned int>(static_cast<int64_t>(now));
    ReplayStart start;   // a game from this level, with three lives
    start.levelNumber = level.levelNumber;
    start.levelCount = level.levelCount;
    start.seed = seed;
    start.fallMode = config.fallMode != 0;
    start.clock = now;
    startGameField(start, level, demo.field);
    startBot(demo.hand, seed, config.mouseControl != 0 ? BotControl::Mouse : BotControl::Keyboard);
    demo.clock = now;
    demo.startedAt = now;
    demo.overAt = -1;
    demo.from = game.state;
    std::copy(engine.lights, engine.lights + LIGHT_COUNT, demo.menuLights);
    setLightPosition(SPLASH_LIGHT, 0, 0, -20, 0);
    setLightDirection(SPLASH_LIGHT, 0, 0, -1);
    placePlayLights(demo.field);
    traceLine("demo level %d", demo.field.levelNumber);
    enterState(ShellState::Demo);
    return true;
}

void demoStep()
{
    const FrameTimes times{demo.clock, frameClock.clockNow};
    demo.clock = times.clockNow;
    const double tick = std::max(0.0, times.clockNow - times.clockPrev) * 70 / 1000;
    const PlayerCommand command = botCommand(demo.field, demo.hand, tick);
    clearEvents(demoEvents);
    // No level source: a cleared level ends the demo.
    const FrameOutcome outcome = stepGame(demo.field, command, times, LevelSource{}, demoEvents);
    placePlayLights(demo.field);
    if (demo.field.lives <= 0 && demo.overAt < 0) {
        demo.overAt = times.clockNow;
    }
    const bool overShown = demo.overAt >= 0 && times.clockNow - demo.overAt > PAUSE_TIME;
    if (outcome != FrameOutcome::Playing || overShown || times.clockNow - demo.startedAt > DEMO_LONGEST) {
        endDemo();
    }
}

void endDemo()
{
    if (game.state != ShellState::Demo) {
        return;
    }
    std::copy(demo.menuLights, demo.menuLights + LIGHT_COUNT, engine.lights);
    traceLine("demo ended");
    enterState(demo.from);
}
