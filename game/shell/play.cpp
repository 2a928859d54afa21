// game/shell/play: the shell's side of the play rules. It opens the pack,
// hands the level to the rules with the clock as its seed, and turns the
// rules' events into sounds, light moves and camera resets.
#include "game/playfield/playfield.h"
#include "game/render/engine.h"
#include "game/render/lights.h"
#include "game/shell/config.h"
#include "game/shell/gamestate.h"
#include "game/shell/shell.h"
#include "platform/sound.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

PlayEvents playEvents;

namespace {

void applyLight(int light, const LightChange& change)
{
    if (change.enabledSet) {
        setLightEnabled(light, change.enabled);
    }
    const bool* set = change.positionSet;
    if (set[0] && set[1] && set[2] && set[3]) {
        setLightPosition(light, change.position[0], change.position[1], change.position[2],
                         static_cast<int>(change.position[3]));
    } else {
        if (set[0]) {
            setLightPositionX(light, change.position[0]);
        }
        if (set[1]) {
            setLightPositionY(light, change.position[1]);
        }
        if (set[2]) {
            setLightPositionZ(light, change.position[2]);
        }
    }
    if (change.directionSet) {
        setLightDirection(light, change.direction[0], change.direction[1], change.direction[2]);
    }
}

}   // namespace

void playCue(SampleSlot slot) { soundPlaySample(slot, SAMPLE_CHANNELS[slot]); }

void applyPlayEvents(const PlayEvents& events)
{
    for (int i = 0; i < events.count; ++i) {
        const PlayEvent& event = events.list[i];
        switch (event.type) {
            case PlayEventType::Sound: soundPlaySample(event.sample, event.channel); break;
            case PlayEventType::StopMusic: soundStopStream(); break;
            case PlayEventType::CameraReset:
                recentreView();   // the eye too, as keyboard control may have moved it
                break;
            case PlayEventType::LifeLost:
            case PlayEventType::LevelCleared: break;
        }
    }
    for (int light = 0; light < PLAY_LIGHTS; ++light) {
        applyLight(light, events.lights[light]);
    }
}

bool loadLevelOfPack()
{
    // The name's field may lack its terminator; never read past it.
    const size_t nameLength = strnlen(config.levelPackName, PACK_NAME_SIZE);
    const std::string path = std::string(PACK_FOLDER) + "/" + std::string(config.levelPackName, nameLength);

    frameClock.clockNow = shellSeams.readClock();
    // The whole level is read before anything changes, so a damaged pack
    // leaves the field as it was and the caller can go back to the menu.
    PackLevel level;
    level.levelNumber = field.levelNumber;
    const PackResult result = readPackLevel(path, level);
    if (result.status == PackStatus::CannotOpen) {
        // Gone, or never there (config.ini may name any pack): the menu says so ("Cannot open <pack>: <why>")
        // and the game goes on.
        std::string said = result.message;
        said[0] = static_cast<char>(toupper(static_cast<unsigned char>(said[0])));
        showMenuMessage(said.c_str());
        return false;
    }
    if (!result.ok()) {
        const std::string said = "Cannot load level " + std::to_string(field.levelNumber) + ": " + result.message;
        showMenuMessage(said.c_str());
        return false;
    }

    clearEvents(playEvents);
    const unsigned int seed = static_cast<unsigned int>(static_cast<int>(frameClock.clockNow));
    loadLevel(level, seed, frameClock.clockNow, config.fallMode != 0, playEvents);
    applyPlayEvents(playEvents);
    clearEvents(playEvents);
    shellSeams.swapBuffers();
    musicPlaying = false;
    return true;
}
