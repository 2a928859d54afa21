// libFuzzer: one of the readers of what the game keeps for its player over
// arbitrary bytes — RECORDS_KIND 0: scores.txt, 1: continue.txt, 2: settings.ini.
// Checks: a file taken is within its limits, and what the writer makes of it
// reads back to the same text.
#include "game/shell/records.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#ifndef RECORDS_KIND
#error "RECORDS_KIND selects the reader"
#endif

namespace {

#if RECORDS_KIND == 0
void checkTables(const ScoreBook& book)
{
    for (const ScoreTable& table : book.tables) {
        if (table.entries.size() > static_cast<size_t>(TABLE_SIZE)) {
            abort();
        }
        for (size_t i = 0; i < table.entries.size(); ++i) {
            const ScoreEntry& e = table.entries[i];
            if (e.score <= 0 || e.name.empty() || e.name.size() > static_cast<size_t>(PLAYER_NAME_MAX) ||
                (i > 0 && e.score > table.entries[i - 1].score)) {
                abort();
            }
        }
    }
}
#endif

#if RECORDS_KIND == 2
void checkSettings(const Settings& s)
{
    if (s.soundVolume < 0 || s.soundVolume > VOLUME_STEPS || s.musicVolume < 0 || s.musicVolume > VOLUME_STEPS ||
        s.mouseSpeed < MOUSE_SPEED_MIN || s.mouseSpeed > MOUSE_SPEED_MAX) {
        abort();
    }
    for (const auto& key : s.keys) {
        if (std::char_traits<char>::length(key) >= static_cast<size_t>(KEY_NAME_SIZE) || !key[0]) {
            abort();
        }
    }
}
#endif

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string why;
#if RECORDS_KIND == 0
    ScoreBook book;
    if (decodeScoreBook(text, book, why)) {
        checkTables(book);
        const std::string written = encodeScoreBook(book);
        ScoreBook again;
        if (!decodeScoreBook(written, again, why) || encodeScoreBook(again) != written) {
            abort();
        }
    }
#elif RECORDS_KIND == 1
    ContinueBook book;
    if (decodeContinueBook(text, book, why)) {
        const std::string written = encodeContinueBook(book);
        ContinueBook again;
        if (!decodeContinueBook(written, again, why) || encodeContinueBook(again) != written) {
            abort();
        }
    }
#else
    Settings settings;
    std::vector<std::string> notes;
    if (decodeSettings(text, settings, notes, why)) {
        checkSettings(settings);
        const std::string written = encodeSettings(settings);
        Settings again;
        notes.clear();
        if (!decodeSettings(written, again, notes, why) || !notes.empty() || encodeSettings(again) != written) {
            abort();
        }
    }
#endif
    return 0;
}
