// libFuzzer: a hostile pack loaded by the game and played by the seeded bot for a few thousand steps.
// The reader checks the brick codes but passes the level header (grey hits, bonus chance, background,
// the count and the first level's number) through as written: the play rules must cope with any of them.
// Input: seed byte, flags byte (bit 0 fall mode, bits 1-2 level 0..3, bit 3 ten frames a second,
// bit 4 keyboard control), then the pack.
#include "fuzz/fuzz_file.h"
#include "game/playfield/bot.h"
#include "game/playfield/playfield.h"

namespace {

// Every frame: ballCount matches the active slots.
void checkSlots(const PlayField& field, void*)
{
    int active = 0;
    for (const Ball& ball : field.balls) {
        active += ball.active;
    }
    if (active != field.ballCount) {
        abort();
    }
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) {
        return 0;
    }
    writeScratch(data + 2, size - 2);
    BotOptions options;
    options.seed = data[0];
    options.fallMode = (data[1] & 1) != 0;
    options.maxSeconds = 2000 / 70.0;
    options.fps = data[1] & 8 ? 10 : 70;
    options.control = data[1] & 16 ? BotControl::Keyboard : BotControl::Mouse;
    PackLevel level;
    level.levelNumber = (data[1] >> 1) & 3;
    if (readPackLevel(scratchPath(), level).ok()) {
        playLevelWithBot(level, options, checkSlots, nullptr);
    }
    return 0;
}
