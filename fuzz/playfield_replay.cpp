// libFuzzer: a hostile replay file read by the replay reader and, when it is
// accepted, played through the game's frame on a level of its own (the pack's
// identity is not checked here) for at most a few hundred frames. An input of
// even length gets a fitting checksum first, so the fuzzer reaches the parts
// of the reader behind it.
#include "game/playfield/replay.h"

#include <cstdlib>
#include <vector>

namespace {

bool readNothing(void*, int32_t, PackLevel&) { return false; }

// The file's last 8 bytes made its FNV-1a checksum.
std::vector<uint8_t> resealed(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> bytes(data, data + size);
    if (bytes.size() < 8) {
        return bytes;
    }
    uint64_t hash = 14695981039346656037ull;
    for (size_t i = 0; i + 8 < bytes.size(); ++i) {
        hash = (hash ^ bytes[i]) * 1099511628211ull;
    }
    for (int i = 0; i < 8; ++i) {
        bytes[bytes.size() - 8 + i] = static_cast<uint8_t>(hash >> (8 * i));
    }
    return bytes;
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<uint8_t> bytes = size % 2 == 0 ? resealed(data, size) : std::vector<uint8_t>(data, data + size);
    Replay replay;
    std::string failure;
    if (!decodeReplay(bytes.data(), bytes.size(), replay, failure)) {
        if (failure.empty()) {
            abort();   // a refusal always says why
        }
        return 0;
    }
    PackLevel level;
    for (int i = 0; i < GRID_CELLS; ++i) {
        level.bricks[i] = 1 + i % 9;
    }
    PlayField field;
    startGameField(replay.start, level, field);
    const ReplayEnd end = replayFrames(replay, field, LevelSource{readNothing, nullptr}, 300);
    if (end.bricksLeft < 0 || end.bricksLeft > BRICK_COUNT || field.ballCount < 0 || field.ballCount > BALL_SLOTS) {
        abort();
    }
    return 0;
}
