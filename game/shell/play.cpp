// game/shell/play: the shell's side of the play rules. It opens the pack,
// hands the level to the rules with the clock as its seed, keeps the player's
// command for the next game step, and turns the rules' events into sounds,
// music and camera resets.
#include "game/playfield/ratings.h"
#include "game/render/engine.h"
#include "game/render/lights.h"
#include "game/shell/config.h"
#include "game/shell/gamestate.h"
#include "game/shell/shell.h"
#include "platform/sound.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

PlayEvents playEvents;
PlayerCommand playerCommand;

namespace {

// Reads level levelNumber of "Levels Packs/" + the configured pack. The whole
// level is read before anything changes, so a damaged pack leaves the field
// as it was and the caller can go back to the menu.
bool readLevelOfPack(void*, int32_t levelNumber, PackLevel& level)
{
    const std::string path = configuredPackPath();
    level.levelNumber = levelNumber;
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
        const std::string said = "Cannot load level " + std::to_string(levelNumber) + ": " + result.message;
        showMenuMessage(said.c_str());
        return false;
    }
    return true;
}

}   // namespace

const LevelSource packLevels = {readLevelOfPack, nullptr};

void playCue(SampleSlot slot) { soundPlaySample(slot, SAMPLE_CHANNELS[slot]); }

std::string configuredPackPath()
{
    // The name's field may lack its terminator; never read past it.
    const size_t nameLength = strnlen(config.levelPackName, PACK_NAME_SIZE);
    return std::string(PACK_FOLDER) + "/" + std::string(config.levelPackName, nameLength);
}

void summariseSelectedPack()
{
    const std::string path = configuredPackPath();
    PackLevel first;
    first.levelNumber = 0;
    game.packLevels = readPackLevel(path, first).ok() ? first.levelCount : 0;
    game.packRatingLow = game.packRatingHigh = 0;
    const std::vector<int> ratings = readPackRatings(path);
    // Ratings for another count of levels are no pack's: left out.
    if (game.packLevels > 0 && ratings.size() == static_cast<size_t>(game.packLevels)) {
        game.packRatingLow = *std::min_element(ratings.begin(), ratings.end());
        game.packRatingHigh = *std::max_element(ratings.begin(), ratings.end());
    }
}

FrameTimes playTimes() { return {frameClock.playClock, frameClock.clockNow - frameClock.pausedMs}; }

void applyPlayEvents(const PlayEvents& events)
{
    for (int i = 0; i < events.count; ++i) {
        const PlayEvent& event = events.list[i];
        switch (event.type) {
            case PlayEventType::Sound: soundPlaySample(event.sample, event.channel); break;
            case PlayEventType::StartMusic:
                if (!musicPlaying) {
                    soundPlayStream(MUSIC_CHANNEL);
                    musicPlaying = true;
                }
                break;
            case PlayEventType::StopMusic: soundStopStream(); break;
            case PlayEventType::LevelLoaded:
                // The frame on screen is replaced by whatever the back buffer holds.
                shellSeams.swapBuffers();
                musicPlaying = false;
                noteLevelBegun();
                break;
            case PlayEventType::CameraReset:
                recentreView();   // the eye too, as keyboard control may have moved it
                break;
            case PlayEventType::Launched: traceLine("launch"); break;
            case PlayEventType::LaserFired: traceLine("laser"); break;
            case PlayEventType::LifeLost:
            case PlayEventType::LevelCleared: break;
        }
    }
}

bool loadLevelOfPack(unsigned int* seedUsed)
{
    PackLevel level;
    if (!readLevelOfPack(nullptr, field.levelNumber, level)) {
        return false;
    }
    clearEvents(playEvents);
    const FrameTimes times = playTimes();
    const unsigned int seed = static_cast<unsigned int>(static_cast<int>(times.clockNow));
    loadLevel(field, level, seed, times.clockNow, config.fallMode != 0, playEvents);
    frameClock.playClock = times.clockNow;
    if (seedUsed) {
        *seedUsed = seed;
    }
    applyPlayEvents(playEvents);
    clearEvents(playEvents);
    placePlayLights(field);
    return true;
}

bool loadFirstLevel(int32_t level, unsigned int* seedUsed)
{
    const int32_t number = field.levelNumber;
    const int32_t count = field.levelCount;
    // Every game reads the pack's level count afresh: the pack may be another
    // one since the last game, or edited.
    int32_t first = 0;
    int32_t total = count;
    if (level > 1) {
        PackLevel head;
        if (!readLevelOfPack(nullptr, 0, head)) {
            return false;
        }
        total = head.levelCount;
        first = std::clamp(level, 1, std::max(head.levelCount, 1));
    }
    aimAtLevel(field, first, total);
    startGameRecording(configuredPackPath());
    if (!loadLevelOfPack(seedUsed)) {
        aimAtLevel(field, number, count);
        return false;
    }
    return true;
}
