// levelpack/pack_internal: what the pack reading, saving and whole-pack
// changes share: errors that say where, the canonical writer, and replacing a
// pack through the safe replace.
#pragma once

#include "levelpack/intreader.h"
#include "levelpack/levelpack.h"
#include "levelpack/safefile.h"

#include <cerrno>
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

// Where a pack's new text goes: the scratch file of its replacement, hashed as it is written so that the
// writer knows the bytes it left in the pack.
struct PackOut {
    FILE* file = nullptr;
    bool hashing = false;   // only a writer that keeps the pack's version needs the hash
    ContentHash hash;
};

// Writes text out; false on a short write.
inline bool writeAll(PackOut& out, const std::string& text)
{
    if (out.hashing) {
        hashBytes(out.hash, text.data(), text.size());
    }
    return text.empty() || fwrite(text.data(), 1, text.size(), out.file) == text.size();
}

// Moves what the sink holds to out (when given) once it has grown, so that large packs never sit twice in
// memory.
inline bool drainSink(TextSink& sink, PackOut* out)
{
    if (out && sink.text.size() >= 1 << 16) {
        if (!writeAll(*out, sink.text)) {
            return false;
        }
        sink.text.clear();
    }
    return true;
}

// Opens path for reading when it is a regular file: a FIFO would block the open and a folder reads as
// nothing, so both are refused at once.
FILE* openPackFile(const std::string& path, PackResult& error);

// Replaces path with what produce(replace, out) writes to out, through the safe replace; on success, when
// version is given, it holds the new bytes.
template <typename Produce>
PackResult replacePack(const std::string& path, PackVersion* version, Produce produce)
{
    FileReplace replace;
    std::string failure;
    if (!beginReplace(path, replace, failure)) {
        return {PackStatus::WriteError, failure};
    }
    PackOut out;
    out.file = replace.out;
    out.hashing = version != nullptr;
    const PackResult result = produce(replace, out);
    if (!result.ok()) {
        abandonReplace(replace);
        return result;
    }
    if (!finishReplace(replace, failure)) {
        return {PackStatus::WriteError, failure};
    }
    if (version) {
        version->known = true;
        version->hash = hashValue(out.hash);
    }
    return {};
}

// replacePack for a pass over the old pack, read from the locked file: pass(in, sink, out) streams it into
// sink. A pack that is not there is never created; with a known version, one whose bytes are no longer
// those is left alone.
template <typename Pass>
PackResult rewritePack(const std::string& path, PackVersion* version, Pass pass)
{
    return replacePack(path, version, [&](FileReplace& replace, PackOut& out) -> PackResult {
        if (replace.lockFd < 0) {
            errno = ENOENT;
            return {PackStatus::CannotOpen, systemError("open", path)};
        }
        const int fd = dup(replace.lockFd);
        FILE* old = fd >= 0 ? fdopen(fd, "rb") : nullptr;
        if (!old) {
            if (fd >= 0) {
                close(fd);
            }
            return {PackStatus::CannotOpen, systemError("open", path)};
        }
        const bool checking = version && version->known;
        ContentHash oldHash;
        IntReader in = readerOverFile(old);
        in.hash = checking ? &oldHash : nullptr;
        TextSink sink;
        PackResult passed = pass(in, sink, &out);
        if (checking) {
            while (refillReader(in)) {   // the rest of the file, when the pass stopped early
            }
            if (hashValue(oldHash) != version->hash) {
                passed = {PackStatus::ChangedOnDisk, quoteBytes(path) + ": another program has changed the pack "
                                                                        "since it was read"};
            }
        }
        fclose(old);
        if (!passed.ok()) {
            return passed;
        }
        if (!writeAll(out, sink.text)) {
            return {PackStatus::WriteError, systemError("write", path)};
        }
        return {};
    });
}
