// game/playfield/replay: recordings of games. With a deterministic step, a
// game is its start (the pack, the level, the seed, the options) and, per
// frame, the frame's clock and the player's command; a replay stores just
// that, compactly, with the end the game came to, so it can be watched again,
// shared, or re-run headless and checked. The file format is in the README.
// Recording and reading need no window; reading refuses a damaged or foreign
// file with a message and never reads outside the bytes it was given.
#pragma once

#include "game/playfield/playfield.h"

#include <cstdint>
#include <string>
#include <vector>

// ---------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------
inline constexpr char REPLAY_MAGIC[8] = {'T', 'E', 'S', 'S', 'R', 'P', 'L', 'Y'};
constexpr uint16_t REPLAY_VERSION = 1;
constexpr size_t REPLAY_MAX_BYTES = size_t{256} << 20;   // hours of frames; a larger file is refused unread
constexpr int REPLAY_NAME_MAX = 255;                     // bytes of the pack's file name
constexpr double REPLAY_CLOCK_MAX = 1e12;                // ms: a clock beyond this is damage, not a game
constexpr double REPLAY_PLAY_MAX = 7 * 24 * 3600e3;      // ms of play in one replay: a week, left running

// The control mode the game was played in (config.ini's mouseControl).
enum class ControlMode : uint8_t { Keyboard = 0, Mouse = 1 };

// ---------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------

// How a recorded game began: the field's values as its first level was loaded.
struct ReplayStart {
    std::string packName;      // the pack's file name, no folder
    uint64_t packHash = 0;     // packContentHash of the pack as it was played
    int32_t levelNumber = 0;   // field.levelNumber before the load (0: the pack's first, numbered by the file)
    int32_t levelCount = 0;    // field.levelCount before the load
    int32_t lives = 3;
    int32_t score = 0;
    uint32_t seed = 0;   // the first level's random seed
    bool fallMode = false;
    ControlMode control = ControlMode::Mouse;
    double clock = 0;   // ms of play when the first level was loaded; the first frame starts here
};

// How it ended: the field after its last frame, and how many frames it took.
struct ReplayEnd {
    int32_t score = 0;
    int32_t levelNumber = 0;
    int32_t bricksLeft = 0;   // standing bricks other than iron
    int32_t lives = 0;
    uint32_t frames = 0;
};

// One game being recorded: started when its first level is loaded, a frame
// added after every game frame, finished when the game ends. The frames
// are kept encoded; capacity for an hour of play is taken at the start, so
// recording a frame allocates nothing until then.
struct ReplayRecorder {
    ReplayStart start;
    std::vector<uint8_t> frames;   // the encoded frames
    uint32_t frameCount = 0;
    double clock = 0;   // the last frame's clockNow
    double step = 0;    // the step a frame may repeat
    bool finished = false;
    bool tooLong = false;   // past what a replay may hold (a week of play, REPLAY_MAX_BYTES): frames stop, not saved
    ReplayEnd end;
};

// A replay read from a file: its start and end, and its frames still encoded
// (checked whole by the reader; walked with a ReplayCursor).
struct Replay {
    ReplayStart start;
    ReplayEnd end;
    std::vector<uint8_t> frames;
};

// Walks a replay's frames in order.
struct ReplayCursor {
    const Replay* replay = nullptr;
    size_t offset = 0;
    uint32_t index = 0;   // frames read so far
    double clock = 0;     // the last frame's clockNow
    double step = 0;
};

// What re-running a replay came to.
struct ReplayRun {
    bool ran = false;      // the game could be set up and played
    std::string failure;   // why not
    ReplayEnd end;         // where the re-run game ended
};

// ---------------------------------------------------------------------------
// Operations
// ---------------------------------------------------------------------------

// replay.cpp: recording
void startRecording(ReplayRecorder& recorder, const ReplayStart& start);
void recordFrame(ReplayRecorder& recorder, const FrameTimes& times, const PlayerCommand& command);
void finishRecording(ReplayRecorder& recorder, const PlayField& field);   // the end as the field stands
// The whole file of a finished recording.
std::vector<uint8_t> encodeReplay(const ReplayRecorder& recorder);
// Writes the recording to path through the one safe replace (levelpack/safefile.h);
// on failure path is untouched and failure says why.
bool saveReplay(const std::string& path, const ReplayRecorder& recorder, std::string& failure);

// replay.cpp: reading
// Reads a replay from size bytes; on failure failure says what is wrong and replay is unspecified.
bool decodeReplay(const uint8_t* data, size_t size, Replay& replay, std::string& failure);
bool readReplayFile(const std::string& path, Replay& replay, std::string& failure);
ReplayCursor firstReplayFrame(const Replay& replay);
// The next frame's times and command; false after the last one.
bool nextReplayFrame(ReplayCursor& cursor, FrameTimes& times, PlayerCommand& command);

// replay.cpp: the pack's identity, a 64-bit FNV-1a hash of the file's bytes;
// false (and why) when it cannot be read.
bool packContentHash(const std::string& path, uint64_t& hash, std::string& failure);

// replay_run.cpp
// A game's field as start says it began (the replay's start, or a demo's),
// first loaded as its first level; the events of the load are dropped.
void startGameField(const ReplayStart& start, const PackLevel& first, PlayField& field);
// Plays the replay's frames on field (as startGameField left it), the
// levels after the first from levels, up to maxFrames of them.
ReplayEnd replayFrames(const Replay& replay, PlayField& field, const LevelSource& levels,
                       uint32_t maxFrames = UINT32_MAX);
// Re-runs the replay headless against the pack at packPath, refusing a pack
// whose content is not the one it was recorded with.
ReplayRun runReplay(const Replay& replay, const std::string& packPath);
// "score 1230, level 2, 14 bricks left, 3 lives, 5012 frames".
std::string describeEnd(const ReplayEnd& end);
bool sameEnd(const ReplayEnd& a, const ReplayEnd& b);
