// levelpack/pack_internal: what the pack reading, saving and whole-pack
// changes share: errors that say where, the canonical writer, and replacing a
// file through a temporary one.
#pragma once

#include "levelpack/intreader.h"
#include "levelpack/levelpack.h"

#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <string>

// pack_errors.cpp
std::string describePosition(int64_t index);   // where the n-th integer of a pack (0-based) sits
PackResult formatError(const std::string& path, const std::string& what);
PackResult describeFailure(const IntReader& in, ReadOutcome outcome, int64_t index, const std::string& path);
// Reads one integer or explains, with its position, why there is none.
bool readValue(IntReader& in, const std::string& path, int32_t& value, PackResult& error);
PackResult badBrickCode(const IntReader& in, int64_t index, int32_t value, const std::string& path);
bool readBrickCode(IntReader& in, const std::string& path, int32_t& value, PackResult& error);
std::string systemError(const std::string& action, const std::string& path);

// Appends integers in the canonical spacing; the caller drains text to a file.
struct TextSink {
    std::string text;

    void put(int32_t value, char separator)
    {
        if (value >= 0 && value <= 9) {   // nearly every value of a pack is a brick code
            const char pair[2] = {static_cast<char>('0' + value), separator};
            text.append(pair, 2);
            return;
        }
        char digits[16];
        const auto result = std::to_chars(digits, digits + sizeof digits, value);
        text.append(digits, result.ptr);
        text.push_back(separator);
    }
    void putHeader(int32_t number, int32_t greyHits, int32_t bonusChance, int32_t background)
    {
        put(number, ' ');
        put(greyHits, ' ');
        put(bonusChance, ' ');
        put(background, '\n');
    }
    void putGrid(const int32_t* bricks)
    {
        for (int i = 0; i < GRID_CELLS; ++i) {
            put(bricks[i], (i % GRID_COLUMNS == GRID_COLUMNS - 1) ? '\n' : ' ');
        }
    }
};

// Writes text to an open stream; false on a short write.
inline bool writeAll(FILE* file, const std::string& text)
{
    return text.empty() || fwrite(text.data(), 1, text.size(), file) == text.size();
}

// Moves what the sink holds to out once it has grown, so that large packs never sit twice in memory.
inline bool drainSink(TextSink& sink, FILE* out)
{
    if (out && sink.text.size() >= 1 << 16) {
        if (!writeAll(out, sink.text)) {
            return false;
        }
        sink.text.clear();
    }
    return true;
}

// Writes the new contents of path to tempPath with produce(temp), flushes them to disk and renames tempPath
// over path; the file that is replaced keeps its permissions. On any failure path is untouched and tempPath
// removed.
template <typename Produce>
PackResult replaceThroughTemp(const std::string& path, const std::string& tempPath, Produce produce)
{
    FILE* temp = fopen(tempPath.c_str(), "wb");
    if (!temp) {
        return {PackStatus::WriteError, systemError("create", tempPath)};
    }
    struct stat oldStat {};
    if (stat(path.c_str(), &oldStat) == 0) {
        fchmod(fileno(temp), oldStat.st_mode & 07777);
    }
    auto fail = [&](PackResult failure) {
        if (temp) {
            fclose(temp);
        }
        remove(tempPath.c_str());
        return failure;
    };
    PackResult result = produce(temp);
    if (!result.ok()) {
        return fail(result);
    }
    if (fflush(temp) != 0) {
        return fail({PackStatus::WriteError, systemError("write", tempPath)});
    }
    if (fsync(fileno(temp)) != 0) {
        return fail({PackStatus::WriteError, systemError("flush to disk", tempPath)});
    }
    const int closed = fclose(temp);
    temp = nullptr;
    if (closed != 0) {
        return fail({PackStatus::WriteError, systemError("write", tempPath)});
    }
    if (rename(tempPath.c_str(), path.c_str()) != 0) {
        return fail({PackStatus::WriteError, systemError("replace " + path + " with", tempPath)});
    }
    return {};
}

// replaceThroughTemp for a pass over the old pack: pass(in, sink, temp) streams the old file into sink.
// A pack that cannot be opened is never created.
template <typename Pass>
PackResult replaceThroughOldPack(const std::string& path, const std::string& tempPath, Pass pass)
{
    FILE* old = fopen(path.c_str(), "rb");
    if (!old) {
        return {PackStatus::CannotOpen, systemError("open", path)};
    }
    IntReader in = readerOverFile(old);
    const PackResult result = replaceThroughTemp(path, tempPath, [&](FILE* temp) -> PackResult {
        TextSink sink;
        PackResult passed = pass(in, sink, temp);
        fclose(old);
        old = nullptr;
        if (!passed.ok()) {
            return passed;
        }
        if (!writeAll(temp, sink.text)) {
            return {PackStatus::WriteError, systemError("write", tempPath)};
        }
        return {};
    });
    if (old) {
        fclose(old);
    }
    return result;
}
