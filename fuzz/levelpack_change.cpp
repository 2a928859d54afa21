// libFuzzer: the whole-pack change pass (changePackLevelsText) over arbitrary pack bytes.
// Input: a kind byte (insert, duplicate, delete, move up, move down), a level byte (1 + b % 6, or a raw
// little-endian number after it when b >= 0xF0), a count byte, then the pack.
// Checks: a failure says why and produces nothing; on success every level of the output is the old level
// the change puts there (or an empty one), the count line is the one asked for, and the output is
// canonical (an unchanged save of its first level reproduces it).
#include "fuzz/fuzz_file.h"
#include "levelpack/levelpack.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

// Every complete level the text holds, by position (bricks checked as the reader checks them).
std::vector<PackLevel> readAll(const std::string& text)
{
    writeScratch(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    std::vector<PackLevel> levels;
    for (int32_t k = 1;; ++k) {
        PackLevel level;
        level.levelNumber = k;
        if (!readPackLevel(scratchPath(), level).ok()) {
            return levels;
        }
        levels.push_back(level);
    }
}

bool sameLevel(const PackLevel& a, const PackLevel& b)
{
    return a.greyHits == b.greyHits && a.bonusChance == b.bonusChance && a.background == b.background &&
           memcmp(a.bricks, b.bricks, sizeof a.bricks) == 0;
}

// Old position (1-based) of each new level; 0 for the inserted empty one.
std::vector<int64_t> expectedOrder(LevelChange kind, int64_t k, int64_t held)
{
    std::vector<int64_t> order;
    for (int64_t p = 1; p <= held; ++p) {
        order.push_back(p);
    }
    switch (kind) {
        case LevelChange::InsertEmptyAfter: order.insert(order.begin() + k, 0); break;
        case LevelChange::DuplicateAfter: order.insert(order.begin() + k, k); break;
        case LevelChange::Delete: order.erase(order.begin() + (k - 1)); break;
        case LevelChange::MoveUp: std::swap(order[k - 2], order[k - 1]); break;
        case LevelChange::MoveDown: std::swap(order[k - 1], order[k]); break;
    }
    return order;
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3) {
        return 0;
    }
    PackChange change;
    change.kind = static_cast<LevelChange>(data[0] % 5);
    change.level = 1 + data[1] % 6;
    change.levelCount = data[2];
    size_t skip = 3;
    if (data[1] >= 0xF0) {
        if (size < 7) {
            return 0;
        }
        uint32_t raw = 0;
        memcpy(&raw, data + 3, 4);
        change.level = static_cast<int32_t>(raw);
        skip = 7;
    }
    const std::string oldText(reinterpret_cast<const char*>(data + skip), size - skip);

    std::string out;
    const PackResult result = changePackLevelsText(oldText, change, "fuzz.tlp", out);
    if (!result.ok()) {
        if (result.message.empty() || !out.empty()) {
            abort();
        }
        return 0;
    }
    const std::vector<PackLevel> before = readAll(oldText);
    const std::vector<PackLevel> after = readAll(out);
    const std::vector<int64_t> order = expectedOrder(change.kind, change.level, static_cast<int64_t>(before.size()));
    if (after.size() != order.size() || after.empty()) {
        abort();
    }
    const PackLevel empty;
    for (size_t i = 0; i < order.size(); ++i) {
        if (!sameLevel(after[i], order[i] == 0 ? empty : before[order[i] - 1])) {
            abort();
        }
    }
    PackLevel first = after[0];
    first.levelNumber = 1;
    first.levelCount = change.levelCount;
    std::string again;
    if (!rewritePackText(out, first, "fuzz.tlp", again).ok() || again != out) {
        abort();
    }
    PackLevel counted;
    counted.levelNumber = 0;
    writeScratch(reinterpret_cast<const uint8_t*>(out.data()), out.size());
    if (!readPackLevel(scratchPath(), counted).ok() || counted.levelCount != change.levelCount ||
        counted.levelNumber != 1) {
        abort();
    }
    return 0;
}
