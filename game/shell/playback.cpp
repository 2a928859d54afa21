// game/shell/playback: tessivar --replay FILE. The window shows the recorded
// game with the normal picture and sound, in the time it was played (the
// frames whose time has come are stepped each frame, however fast the screen
// draws), then the program ends. Pause works as in a game; Escape ends the
// program at once. A replay whose pack is missing or has changed is refused
// before the window opens.
#include "game/playfield/samples.h"
#include "game/render/lights.h"
#include "game/shell/config.h"
#include "game/shell/gamestate.h"
#include "game/shell/shell.h"

#include <cstdio>

Playback playback;

namespace {

// The replay's later levels come from its own pack, whatever config.ini names.
bool readLevelOfReplayPack(void*, int32_t levelNumber, PackLevel& level)
{
    level.levelNumber = levelNumber;
    return readPackLevel(playback.packPath, level).ok();
}

void takeNextFrame()
{
    playback.framePending = nextReplayFrame(playback.cursor, playback.nextTimes, playback.nextCommand);
}

void endReplay()
{
    Playback& p = playback;
    p.ended = true;
    p.endedAt = playTimes().clockNow;
    p.end.score = field.score;
    p.end.levelNumber = field.levelNumber;
    p.end.bricksLeft = bricksLeft(field);
    p.end.lives = field.lives;
}

}   // namespace

bool readPlaybackFile(const std::string& path, std::string& failure)
{
    playback.path = path;
    return readReplayFile(path, playback.replay, failure);
}

bool preparePlayback(std::string& failure)
{
    Playback& p = playback;
    const ReplayStart& start = p.replay.start;
    p.packPath = std::string(PACK_FOLDER) + "/" + start.packName;
    uint64_t hash = 0;
    if (!packContentHash(p.packPath, hash, failure)) {
        failure = "its pack cannot be used: " + failure;
        return false;
    }
    if (hash != start.packHash) {
        failure =
            quoteBytes(p.packPath) + " is not the pack this replay was recorded with: its content has changed since";
        return false;
    }
    p.first = PackLevel{};
    p.first.levelNumber = start.levelNumber;
    const PackResult read = readPackLevel(p.packPath, p.first);
    if (!read.ok()) {
        failure = read.message;
        return false;
    }
    p.active = true;
    return true;
}

void startPlayback()
{
    Playback& p = playback;
    startGameField(p.replay.start, p.first, field);
    p.cursor = firstReplayFrame(p.replay);
    takeNextFrame();
    p.started = false;
    p.shownClock = p.replay.start.clock;
    p.end = ReplayEnd{};
    // The view as the player had it: under mouse control it follows the paddle.
    config.mouseControl = p.replay.start.control == ControlMode::Mouse ? 1 : 0;
    musicPlaying = false;
    recentreView();
    game.readySlide = 0;
    placePlayLights(field);
    // The room's light as the splash leaves it; a playback shows no splash.
    setLightColour(SPLASH_LIGHT, 1, 1, 1);
    setLightEnabled(SPLASH_LIGHT, true);
    playCue(SAMPLE_START);
    printf("Playing %s: %s from level %d (recorded: %s)\n", quoteBytes(p.path).c_str(), quoteBytes(p.packPath).c_str(),
           field.levelNumber, describeEnd(p.replay.end).c_str());
    enterState(ShellState::Ready);
}

void playRecordedFrames()
{
    Playback& p = playback;
    if (p.finished) {
        return;
    }
    const double now = playTimes().clockNow;
    if (!p.started) {
        p.started = true;
        p.clockOffset = p.replay.start.clock - now;
    }
    const LevelSource levels{readLevelOfReplayPack, nullptr};
    const double due = now + p.clockOffset;
    while (!p.ended && p.framePending && p.nextTimes.clockNow <= due) {
        clearEvents(playEvents);
        const FrameOutcome outcome = stepGame(field, p.nextCommand, p.nextTimes, levels, playEvents);
        ++p.end.frames;
        p.shownClock = p.nextTimes.clockNow;
        applyPlayEvents(playEvents);
        clearEvents(playEvents);
        if (outcome != FrameOutcome::Playing) {
            endReplay();
            break;
        }
        takeNextFrame();
    }
    if (!p.ended && !p.framePending) {
        endReplay();
    }
    if (p.ended && now - p.endedAt > PAUSE_TIME) {
        p.finished = true;
        const bool same = sameEnd(p.end, p.replay.end);
        if (same) {
            printf("Replay ended as recorded: %s\n", describeEnd(p.end).c_str());
        } else {
            printf("Replay ended otherwise than recorded: %s; recorded: %s\n", describeEnd(p.end).c_str(),
                   describeEnd(p.replay.end).c_str());
        }
        fflush(stdout);
        shellSeams.exitProgram(same ? 0 : 1);
    }
}

void stopPlayback()
{
    Playback& p = playback;
    if (p.finished) {
        return;
    }
    p.finished = true;
    printf("Replay stopped at frame %u of %u.\n", p.end.frames, p.replay.end.frames);
    fflush(stdout);
    shellSeams.exitProgram(0);
}
