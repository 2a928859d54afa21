// game/shell/recording: every game the player plays is recorded and saved
// into REPLAY_FOLDER when it ends; the folder keeps the last REPLAYS_KEPT of
// them, and any replay the rotation did not name itself (kept ones, or one the
// player renamed) for good. A replay that cannot be saved is reported on
// standard output and the game goes on.
#include "game/shell/config.h"
#include "game/shell/gamestate.h"
#include "levelpack/safefile.h"
#include "platform/dirlist.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

GameRecording gameRecording;

void startGameRecording(const std::string& packPath)
{
    GameRecording& r = gameRecording;
    r.active = false;
    r.keep = false;
    r.packPath.clear();
    ReplayStart start;
    std::string failure;
    if (!packContentHash(packPath, start.packHash, failure)) {
        return;   // the load that follows fails too, and says why
    }
    const size_t slash = packPath.rfind('/');
    start.packName = slash == std::string::npos ? packPath : packPath.substr(slash + 1);
    start.levelNumber = field.levelNumber;
    start.levelCount = field.levelCount;
    start.lives = field.lives;
    start.score = field.score;
    start.fallMode = config.fallMode != 0;
    start.control = config.mouseControl != 0 ? ControlMode::Mouse : ControlMode::Keyboard;
    r.recorder.start = start;
    r.packPath = packPath;
}

void recordGameStart(unsigned int seed, double clock)
{
    GameRecording& r = gameRecording;
    if (r.packPath.empty()) {
        return;
    }
    ReplayStart start = r.recorder.start;
    start.seed = seed;
    start.clock = clock;
    startRecording(r.recorder, start);
    r.active = true;
}

void recordGameFrame(const FrameTimes& times, const PlayerCommand& command)
{
    if (gameRecording.active) {
        recordFrame(gameRecording.recorder, times, command);
    }
}

std::string replayFileName(time_t when, bool kept)
{
    tm local{};
    localtime_r(&when, &local);
    char stamp[32];
    strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    return std::string(kept ? KEPT_REPLAY_PREFIX : ROTATING_REPLAY_PREFIX) + stamp + REPLAY_EXTENSION;
}

int pruneReplays(const std::string& folder, int kept)
{
    // Oldest first by the time each was written; the name breaks a tie.
    struct Found {
        time_t written;
        long nanoseconds;
        std::string path;
    };
    std::vector<Found> rotating;
    for (const std::string& name : listFiles(folder, REPLAY_EXTENSION)) {
        const std::string path = folder + "/" + name;
        struct stat info {};
        // Only a plain file the game could have written; a link or a folder of that name is the player's.
        if (name.compare(0, strlen(ROTATING_REPLAY_PREFIX), ROTATING_REPLAY_PREFIX) == 0 &&
            lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
            rotating.push_back({info.st_mtim.tv_sec, info.st_mtim.tv_nsec, path});
        }
    }
    std::sort(rotating.begin(), rotating.end(), [](const Found& a, const Found& b) {
        return a.written != b.written           ? a.written < b.written
               : a.nanoseconds != b.nanoseconds ? a.nanoseconds < b.nanoseconds
                                                : a.path < b.path;
    });
    int deleted = 0;
    for (size_t i = 0; i + kept < rotating.size(); ++i) {
        if (unlink(rotating[i].path.c_str()) == 0) {
            ++deleted;
        }
    }
    return deleted;
}

void finishGameRecording()
{
    GameRecording& r = gameRecording;
    if (!r.active) {
        return;
    }
    r.active = false;
    finishRecording(r.recorder, field);
    // A pack saved during the game (by the editor) plays its later levels as
    // they are now: the replay could not be played again.
    uint64_t now = 0;
    std::string failure;
    if (!packContentHash(r.packPath, now, failure) || now != r.recorder.start.packHash) {
        printf("Replay not saved: %s changed during the game.\n", quoteBytes(r.packPath).c_str());
        return;
    }
    if (mkdir(REPLAY_FOLDER, 0755) != 0 && errno != EEXIST) {
        printf("Replay not saved: %s.\n", fileFailure("make the folder", REPLAY_FOLDER).c_str());
        return;
    }
    // A new name: two games ending within a second, or a clock set back, never replace a replay.
    const std::string base = replayFileName(time(nullptr), r.keep);
    const std::string stem = base.substr(0, base.size() - strlen(REPLAY_EXTENSION));
    std::string path = std::string(REPLAY_FOLDER) + "/" + base;
    struct stat info {};
    for (int n = 2; lstat(path.c_str(), &info) == 0 && n < 1000; ++n) {
        path = std::string(REPLAY_FOLDER) + "/" + stem + "-" + std::to_string(n) + REPLAY_EXTENSION;
    }
    if (!saveReplay(path, r.recorder, failure)) {
        printf("Replay not saved: %s.\n", failure.c_str());
        return;
    }
    r.lastSaved = path;
    traceLine("replay %s %s", path.c_str(), describeEnd(r.recorder.end).c_str());
    pruneReplays(REPLAY_FOLDER, REPLAYS_KEPT);
}
