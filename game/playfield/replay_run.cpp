// game/playfield/replay_run: a replay played again headless, through the
// game's own frame, against the pack it was recorded with.
#include "game/playfield/replay.h"

#include <cstdio>

namespace {

struct PackFile {
    const std::string* path;
};

bool readLevelOfFile(void* context, int32_t levelNumber, PackLevel& level)
{
    level.levelNumber = levelNumber;
    return readPackLevel(*static_cast<PackFile*>(context)->path, level).ok();
}

}   // namespace

void startGameField(const ReplayStart& start, const PackLevel& first, PlayField& field)
{
    field = PlayField{};
    field.levelNumber = start.levelNumber;
    field.levelCount = start.levelCount;
    field.lives = start.lives;
    field.score = start.score;
    PlayEvents events;
    loadLevel(field, first, start.seed, start.clock, start.fallMode, events);
}

ReplayEnd replayFrames(const Replay& replay, PlayField& field, const LevelSource& levels, uint32_t maxFrames)
{
    PlayEvents events;
    ReplayCursor cursor = firstReplayFrame(replay);
    FrameTimes times;
    PlayerCommand command;
    ReplayEnd end;
    while (end.frames < maxFrames && nextReplayFrame(cursor, times, command)) {
        clearEvents(events);
        const FrameOutcome outcome = stepGame(field, command, times, levels, events);
        ++end.frames;
        if (outcome != FrameOutcome::Playing) {
            break;   // the game is over; frames after this one would say the replay went another way
        }
    }
    end.score = field.score;
    end.levelNumber = field.levelNumber;
    end.bricksLeft = bricksLeft(field);
    end.lives = field.lives;
    return end;
}

ReplayRun runReplay(const Replay& replay, const std::string& packPath)
{
    ReplayRun run;
    uint64_t hash = 0;
    if (!packContentHash(packPath, hash, run.failure)) {
        return run;
    }
    if (hash != replay.start.packHash) {
        run.failure = quoteBytes(packPath) + " is not the pack this replay was recorded with (" +
                      quoteBytes(replay.start.packName) + "): its content has changed since, or it is another pack";
        return run;
    }
    PackLevel first;
    first.levelNumber = replay.start.levelNumber;
    const PackResult read = readPackLevel(packPath, first);
    if (!read.ok()) {
        run.failure = read.message;
        return run;
    }
    PlayField field;
    startGameField(replay.start, first, field);
    PackFile pack{&packPath};
    run.end = replayFrames(replay, field, LevelSource{readLevelOfFile, &pack});
    run.ran = true;
    return run;
}

std::string describeEnd(const ReplayEnd& end)
{
    char text[160];
    snprintf(text, sizeof text, "score %d, level %d, %d bricks left, %d lives, %u frames", end.score, end.levelNumber,
             end.bricksLeft, end.lives, end.frames);
    return text;
}

bool sameEnd(const ReplayEnd& a, const ReplayEnd& b)
{
    return a.score == b.score && a.levelNumber == b.levelNumber && a.bricksLeft == b.bricksLeft &&
           a.lives == b.lives && a.frames == b.frames;
}
