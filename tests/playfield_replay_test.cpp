// Replays: a game recorded by the bot plays again headless to the same end;
// the reader refuses what is damaged or foreign with a message; a replay of a
// pack whose content changed is refused; tlpcheck --replay says so by its exit status.
#include "game/playfield/bot.h"
#include "game/playfield/ratings.h"
#include "game/playfield/replay.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string PACKS = std::string(TESSIVAR_SOURCE_DIR) + "/assets/Levels Packs/";

class Replays : public ::testing::Test {
protected:
    fs::path dir;
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("replay_test_" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // The bot's game of level position of the pack at path, recorded.
    static ReplayRecorder record(const std::string& path, int position, const BotOptions& given)
    {
        PackLevel first;
        first.levelNumber = 0;
        EXPECT_TRUE(readPackLevel(path, first).ok());
        PackLevel level;
        level.levelNumber = position;
        level.levelCount = first.levelCount;
        EXPECT_TRUE(readPackLevel(path, level).ok());
        ReplayRecorder recorder;
        recorder.start.packName = fs::path(path).filename().string();
        std::string failure;
        EXPECT_TRUE(packContentHash(path, recorder.start.packHash, failure)) << failure;
        BotOptions options = given;
        options.recorder = &recorder;
        playLevelWithBot(level, options);
        return recorder;
    }
};

TEST_F(Replays, EveryLevelOfAPackPlaysAgainToTheSameEndAtSeventyAndTenFramesASecond)
{
    const std::string pack = PACKS + "arcade.tlp";
    PackLevel first;
    ASSERT_TRUE(readPackLevel(pack, first).ok());
    for (int position = 1; position <= first.levelCount; ++position) {
        for (const double fps : {70.0, 10.0}) {
            BotOptions options;
            options.seed = static_cast<unsigned int>(position);
            options.fps = fps;
            options.fallMode = fps < 20;
            options.maxSeconds = 240;
            const ReplayRecorder recorder = record(pack, position, options);
            ASSERT_TRUE(recorder.finished);
            const std::string file = (dir / "game.replay").string();
            std::string failure;
            ASSERT_TRUE(saveReplay(file, recorder, failure)) << failure;
            EXPECT_LT(fs::file_size(file), 64 + 4 * static_cast<uintmax_t>(recorder.frameCount)) << "compact";

            Replay replay;
            ASSERT_TRUE(readReplayFile(file, replay, failure)) << failure;
            const ReplayRun run = runReplay(replay, pack);
            ASSERT_TRUE(run.ran) << run.failure;
            EXPECT_TRUE(sameEnd(run.end, recorder.end))
                << "level " << position << " at " << fps << " fps: " << describeEnd(run.end) << " against "
                << describeEnd(recorder.end);
            EXPECT_GT(recorder.end.frames, 100u);
        }
    }
}

TEST_F(Replays, TheReaderRefusesWhatIsDamagedOrForeignWithAMessage)
{
    BotOptions options;
    options.maxSeconds = 5;
    const std::vector<uint8_t> good = encodeReplay(record(PACKS + "starter.tlp", 1, options));
    Replay replay;
    std::string failure;
    ASSERT_TRUE(decodeReplay(good.data(), good.size(), replay, failure)) << failure;

    // Puts a valid checksum on bytes changed after encoding.
    const auto resealed = [](std::vector<uint8_t> bytes) {
        uint64_t hash = 14695981039346656037ull;
        for (size_t i = 0; i + 8 < bytes.size(); ++i) {
            hash = (hash ^ bytes[i]) * 1099511628211ull;
        }
        for (int i = 0; i < 8; ++i) {
            bytes[bytes.size() - 8 + i] = static_cast<uint8_t>(hash >> (8 * i));
        }
        return bytes;
    };
    const size_t header = 10 + 1 + replay.start.packName.size() + 8 + 16 + 4 + 2 + 8;
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        const char* said;
    };
    std::vector<Case> cases = {
        {"empty", {}, "not a Tessivar replay"},
        {"a pack", std::vector<uint8_t>{'4', '\n', '1', ' ', '1', ' ', '5', '0', ' ', '1', '\n', '0', '0'},
         "not a Tessivar replay"},
        {"cut short", std::vector<uint8_t>(good.begin(), good.begin() + good.size() / 2), "damaged"},
        {"one byte changed", good, "checksum"},
        {"a newer format", good, "newer"},
        {"an unknown frame tag", good, "frame 1"},
        {"a frame count that does not match", good, "end record"},
    };
    cases[3].bytes[good.size() / 2] ^= 0x10;
    cases[4].bytes[8] = 2;
    cases[5].bytes[header] = 0x03;   // the time field's unused value
    cases[5].bytes = resealed(cases[5].bytes);
    cases[6].bytes[good.size() - 12] ^= 1;
    cases[6].bytes = resealed(cases[6].bytes);
    for (const Case& c : cases) {
        failure.clear();
        EXPECT_FALSE(decodeReplay(c.bytes.data(), c.bytes.size(), replay, failure)) << c.what;
        EXPECT_NE(failure.find(c.said), std::string::npos) << c.what << ": " << failure;
    }
    EXPECT_FALSE(readReplayFile(dir.string(), replay, failure)) << "a folder";
    EXPECT_FALSE(readReplayFile((dir / "missing").string(), replay, failure));
}

TEST_F(Replays, APacksRatingsHoldOnlyForItsContentAndOnlyWhenWellFormed)
{
    const std::string pack = (dir / "mine.tlp").string();
    fs::copy_file(PACKS + "starter.tlp", pack);
    uint64_t hash = 0;
    std::string failure;
    ASSERT_TRUE(packContentHash(pack, hash, failure)) << failure;
    ASSERT_TRUE(writePackRatings(pack, hash, {1, 5, 3}, failure)) << failure;
    EXPECT_EQ(readPackRatings(pack), (std::vector<int>{1, 5, 3}));
    std::ifstream in(pack + RATINGS_EXTENSION);
    const std::string good((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t last = good.rfind('3');
    for (const std::string& bad : {good.substr(0, 20), good.substr(0, last) + "6\n", good.substr(0, last) + "33\n",
                                   good.substr(0, last) + "x\n", std::string(RATINGS_FILE_MAX + 1, '1'), std::string()}) {
        std::ofstream(pack + RATINGS_EXTENSION, std::ios::binary) << bad;
        EXPECT_TRUE(readPackRatings(pack).empty()) << bad.substr(0, 60);
    }
    ASSERT_TRUE(writePackRatings(pack, hash, {2, 2, 2}, failure)) << failure;
    std::ofstream(pack, std::ios::app) << "\n";
    EXPECT_TRUE(readPackRatings(pack).empty()) << "the pack changed since it was rated";
}

TEST_F(Replays, AReplayOfAPackWhoseContentChangedIsRefused)
{
    const std::string pack = (dir / "mine.tlp").string();
    fs::copy_file(PACKS + "starter.tlp", pack);
    BotOptions options;
    options.maxSeconds = 5;
    const ReplayRecorder recorder = record(pack, 1, options);
    const std::string file = (dir / "game.replay").string();
    std::string failure;
    ASSERT_TRUE(saveReplay(file, recorder, failure)) << failure;
    Replay replay;
    ASSERT_TRUE(readReplayFile(file, replay, failure)) << failure;
    EXPECT_TRUE(runReplay(replay, pack).ran);

    std::ofstream(pack, std::ios::app) << " ";
    const ReplayRun run = runReplay(replay, pack);
    EXPECT_FALSE(run.ran);
    EXPECT_NE(run.failure.find("changed"), std::string::npos) << run.failure;

#ifdef TLPCHECK_PATH
    // tlpcheck --replay: 0 when it ends as recorded, 1 when not, 2 when its pack changed.
    const auto status = [&](const std::string& replayFile) {
        const std::string command =
            std::string(TLPCHECK_PATH) + " --replay '" + replayFile + "' '" + pack + "' >/dev/null";
        const int result = system(command.c_str());
        return WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    };
    EXPECT_EQ(status(file), 2);
    fs::copy_file(PACKS + "starter.tlp", pack, fs::copy_options::overwrite_existing);
    EXPECT_EQ(status(file), 0);
    ReplayRecorder claimed = recorder;
    claimed.end.score += 10;   // an end the game never came to
    const std::string other = (dir / "other.replay").string();
    ASSERT_TRUE(saveReplay(other, claimed, failure)) << failure;
    EXPECT_EQ(status(other), 1);
#endif
}

}   // namespace
