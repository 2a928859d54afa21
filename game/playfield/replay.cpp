// game/playfield/replay: the replay file, written and read (see replay.h and
// the README's "Replay files"). Little-endian throughout; every frame is a
// tag byte saying which values follow, so a steady frame takes 2 to 4 bytes.
#include "game/playfield/replay.h"

#include "levelpack/safefile.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The tag byte of a frame.
constexpr uint8_t TIME_REPEAT = 0;            // bits 0-1: clockNow = clockPrev + the step of the frame before
constexpr uint8_t TIME_WHOLE = 1;             //   a step in whole ms follows (unsigned varint)
constexpr uint8_t TIME_RAW = 2;               //   clockNow follows as a double
constexpr uint8_t TIME_END = 3;               //   no frame: the end record follows (the whole tag is END_TAG)
constexpr uint8_t POINTER_EIGHTHS = 1 << 2;   // bits 2-3: the pointer shift in eighths of a unit (zigzag varint)
constexpr uint8_t POINTER_RAW = 2 << 2;       //   or as a double
constexpr uint8_t SPEED_RIGHT = 1 << 4;       // bits 4-5: paddle speed 1
constexpr uint8_t SPEED_LEFT = 2 << 4;        //   -1
constexpr uint8_t SPEED_RAW = 3 << 4;         //   or a double follows
constexpr uint8_t FIRES = 1 << 6;             // a count of presses follows (1 byte)
constexpr uint8_t FORFEIT = 1 << 7;
constexpr uint8_t END_TAG = 0xFF;

constexpr size_t HEADER_FIXED = sizeof REPLAY_MAGIC + 2;
constexpr size_t CHECKSUM_BYTES = 8;
constexpr size_t RECORDER_RESERVE = 64 * 70 * 60 * 4;   // an hour at 64 frames a second, 4 bytes a frame

uint64_t fnv1a(const uint8_t* data, size_t size, uint64_t hash = 14695981039346656037ull)
{
    for (size_t i = 0; i < size; ++i) {
        hash = (hash ^ data[i]) * 1099511628211ull;
    }
    return hash;
}

// ---------------------------------------------------------------------------
// Writing
// ---------------------------------------------------------------------------

void putBytes(std::vector<uint8_t>& out, const void* data, size_t size)
{
    // Grown, then copied into: GCC 12 at -O3 warns falsely of an overflow in insert after a reserve.
    const size_t at = out.size();
    out.resize(at + size);
    if (size > 0) {
        memcpy(out.data() + at, data, size);
    }
}

void putUnsigned(std::vector<uint8_t>& out, uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

void putDouble(std::vector<uint8_t>& out, double value)
{
    uint64_t bits = 0;
    memcpy(&bits, &value, sizeof bits);
    putUnsigned(out, bits, 8);
}

void putVarint(std::vector<uint8_t>& out, uint64_t value)
{
    while (value >= 0x80) {
        out.push_back(static_cast<uint8_t>(value | 0x80));
        value >>= 7;
    }
    out.push_back(static_cast<uint8_t>(value));
}

uint64_t zigzag(int64_t value) { return (static_cast<uint64_t>(value) << 1) ^ static_cast<uint64_t>(value >> 63); }

// ---------------------------------------------------------------------------
// Reading: a bounded reader whose every read says whether the bytes were there
// ---------------------------------------------------------------------------

struct Reader {
    const uint8_t* data;
    size_t size;
    size_t at = 0;

    bool bytes(void* out, size_t n)
    {
        if (n > size - at) {
            return false;
        }
        memcpy(out, data + at, n);
        at += n;
        return true;
    }
    bool unsignedValue(uint64_t& value, int n)
    {
        uint8_t raw[8] = {};
        if (!bytes(raw, static_cast<size_t>(n))) {
            return false;
        }
        value = 0;
        for (int i = 0; i < n; ++i) {
            value |= uint64_t{raw[i]} << (8 * i);
        }
        return true;
    }
    bool i32(int32_t& value)
    {
        uint64_t raw = 0;
        if (!unsignedValue(raw, 4)) {
            return false;
        }
        value = static_cast<int32_t>(static_cast<uint32_t>(raw));
        return true;
    }
    bool u8(uint8_t& value) { return bytes(&value, 1); }
    bool real(double& value)
    {
        uint64_t bits = 0;
        if (!unsignedValue(bits, 8)) {
            return false;
        }
        memcpy(&value, &bits, sizeof value);
        return true;
    }
    // At most ten bytes of seven bits; a longer run is damage.
    bool varint(uint64_t& value)
    {
        value = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            uint8_t byte = 0;
            if (!u8(byte)) {
                return false;
            }
            value |= uint64_t{byte & 0x7Fu} << shift;
            if (!(byte & 0x80)) {
                return true;
            }
        }
        return false;
    }
};

// The frame at the reader: its times and command from the clock and step
// before it (which it advances). Returns 1 for a frame, 0 at the end marker,
// -1 for damage, with what is wrong in failure.
int readFrame(Reader& in, double& clock, double& step, FrameTimes& times, PlayerCommand& command, std::string& failure)
{
    uint8_t tag = 0;
    if (!in.u8(tag)) {
        failure = "it ends before its last frame is marked";
        return -1;
    }
    if (tag == END_TAG) {
        return 0;
    }
    const uint8_t time = tag & 3;
    const uint8_t pointer = tag & (3 << 2);
    const uint8_t speed = tag & (3 << 4);
    if (time == TIME_END || pointer == (3 << 2)) {
        failure = "a frame's tag holds an unknown value";
        return -1;
    }
    double now = clock;
    if (time == TIME_REPEAT) {
        now = clock + step;
    } else if (time == TIME_WHOLE) {
        uint64_t ms = 0;
        if (!in.varint(ms) || ms > static_cast<uint64_t>(REPLAY_CLOCK_MAX)) {
            failure = "a frame's time step is cut short or out of range";
            return -1;
        }
        step = static_cast<double>(ms);
        now = clock + step;
    } else {
        if (!in.real(now)) {
            failure = "a frame's clock is cut short";
            return -1;
        }
        step = now - clock;
    }
    if (!(now >= 0 && now <= REPLAY_CLOCK_MAX)) {
        failure = "a frame's clock is out of range";
        return -1;
    }
    command = PlayerCommand{};
    if (pointer == POINTER_EIGHTHS) {
        uint64_t raw = 0;
        if (!in.varint(raw) || raw > 0xFFFFFFFFull) {
            failure = "a frame's pointer move is cut short or out of range";
            return -1;
        }
        const int64_t eighths = static_cast<int64_t>(raw >> 1) ^ -static_cast<int64_t>(raw & 1);
        command.pointerShift = static_cast<double>(eighths) * POINTER_UNITS_PER_PIXEL;
    } else if (pointer == POINTER_RAW) {
        if (!in.real(command.pointerShift) || !(std::fabs(command.pointerShift) <= 1e6)) {
            failure = "a frame's pointer move is cut short or out of range";
            return -1;
        }
    }
    if (speed == SPEED_RIGHT) {
        command.paddleSpeed = 1;
    } else if (speed == SPEED_LEFT) {
        command.paddleSpeed = -1;
    } else if (speed == SPEED_RAW) {
        if (!in.real(command.paddleSpeed) || !(std::fabs(command.paddleSpeed) <= 1)) {
            failure = "a frame's paddle speed is cut short or out of range";
            return -1;
        }
    }
    if (tag & FIRES) {
        if (!in.u8(command.fires) || command.fires == 0) {
            failure = "a frame's count of presses is cut short or zero";
            return -1;
        }
    }
    command.forfeit = (tag & FORFEIT) != 0;
    times = {clock, now};
    clock = now;
    return 1;
}

bool nameAllowed(const std::string& name)
{
    if (name.empty() || name == "." || name == "..") {
        return false;
    }
    for (const char c : name) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || c == '/') {
            return false;
        }
    }
    return true;
}

bool readStart(Reader& in, ReplayStart& start, std::string& failure)
{
    uint8_t nameLength = 0;
    char name[REPLAY_NAME_MAX] = {};
    uint64_t hash = 0;
    uint64_t seed = 0;
    uint8_t fall = 0;
    uint8_t control = 0;
    if (!in.u8(nameLength) || !in.bytes(name, nameLength) || !in.unsignedValue(hash, 8) || !in.i32(start.levelNumber) ||
        !in.i32(start.levelCount) || !in.i32(start.lives) || !in.i32(start.score) || !in.unsignedValue(seed, 4) ||
        !in.u8(fall) || !in.u8(control) || !in.real(start.clock)) {
        failure = "its header is cut short";
        return false;
    }
    start.packName.assign(name, nameLength);
    start.packHash = hash;
    start.seed = static_cast<uint32_t>(seed);
    if (!nameAllowed(start.packName)) {
        failure = "its pack name is empty or not a file name";
        return false;
    }
    if (start.levelNumber < 0 || start.levelCount < 0 || start.lives < 1 || fall > 1 || control > 1 ||
        !(start.clock >= 0 && start.clock <= REPLAY_CLOCK_MAX)) {
        failure = "its header holds a value out of range";
        return false;
    }
    start.fallMode = fall == 1;
    start.control = control == 1 ? ControlMode::Mouse : ControlMode::Keyboard;
    return true;
}

}   // namespace

// ---------------------------------------------------------------------------
// Recording
// ---------------------------------------------------------------------------

void startRecording(ReplayRecorder& recorder, const ReplayStart& start)
{
    recorder.start = start;
    recorder.frames.clear();
    recorder.frames.reserve(RECORDER_RESERVE);
    recorder.frameCount = 0;
    recorder.clock = start.clock;
    recorder.step = 0;
    recorder.finished = false;
    recorder.tooLong = false;
    recorder.end = ReplayEnd{};
}

void recordFrame(ReplayRecorder& recorder, const FrameTimes& times, const PlayerCommand& command)
{
    if (recorder.finished || recorder.tooLong) {
        return;
    }
    // A game left running for days: the reader would refuse the file, so no more is kept.
    constexpr size_t LARGEST_FRAME = 1 + 8 + 8 + 8 + 1;
    if (times.clockNow - recorder.start.clock > REPLAY_PLAY_MAX ||
        recorder.frames.size() + LARGEST_FRAME + 1024 > REPLAY_MAX_BYTES) {
        recorder.tooLong = true;
        return;
    }
    std::vector<uint8_t>& out = recorder.frames;
    const size_t tagAt = out.size();
    out.push_back(0);
    uint8_t tag = 0;

    // The cheapest way of saying clockNow that gives back exactly this double.
    // Frames follow one another: a frame's clockPrev is the last one's clockNow.
    const double now = std::isnan(times.clockNow) ? recorder.clock : std::clamp(times.clockNow, 0.0, REPLAY_CLOCK_MAX);
    const double span = now - recorder.clock;
    if (recorder.clock + recorder.step == now) {
        tag |= TIME_REPEAT;
    } else if (span >= 0 && span <= REPLAY_CLOCK_MAX && span == std::floor(span) && recorder.clock + span == now) {
        tag |= TIME_WHOLE;
        putVarint(out, static_cast<uint64_t>(span));
        recorder.step = span;
    } else {
        tag |= TIME_RAW;
        putDouble(out, now);
        recorder.step = span;
    }
    recorder.clock = now;

    // Values the rules would bring into range anyway are stored in range: a
    // pointer shift of a million units is past a wall as surely as any larger.
    const double shift = std::isnan(command.pointerShift) ? 0 : std::clamp(command.pointerShift, -1e6, 1e6);
    const double speed = std::isnan(command.paddleSpeed) ? 0 : std::clamp(command.paddleSpeed, -1.0, 1.0);
    const double eighths = shift / POINTER_UNITS_PER_PIXEL;
    if (shift != 0) {
        if (eighths == std::floor(eighths) && std::fabs(eighths) < 2147483647.0 &&
            eighths * POINTER_UNITS_PER_PIXEL == shift) {
            tag |= POINTER_EIGHTHS;
            putVarint(out, zigzag(static_cast<int64_t>(eighths)));
        } else {
            tag |= POINTER_RAW;
            putDouble(out, shift);
        }
    }
    if (speed == 1) {
        tag |= SPEED_RIGHT;
    } else if (speed == -1) {
        tag |= SPEED_LEFT;
    } else if (speed != 0) {
        tag |= SPEED_RAW;
        putDouble(out, speed);
    }
    if (command.fires > 0) {
        tag |= FIRES;
        out.push_back(command.fires);
    }
    if (command.forfeit) {
        tag |= FORFEIT;
    }
    out[tagAt] = tag;
    ++recorder.frameCount;
}

void finishRecording(ReplayRecorder& recorder, const PlayField& field)
{
    if (recorder.finished) {
        return;
    }
    recorder.end = {field.score, field.levelNumber, bricksLeft(field), field.lives, recorder.frameCount};
    recorder.finished = true;
}

std::vector<uint8_t> encodeReplay(const ReplayRecorder& recorder)
{
    std::vector<uint8_t> out;
    out.reserve(64 + recorder.start.packName.size() + recorder.frames.size());
    putBytes(out, REPLAY_MAGIC, sizeof REPLAY_MAGIC);
    putUnsigned(out, REPLAY_VERSION, 2);
    const ReplayStart& s = recorder.start;
    const size_t nameLength = s.packName.size() < REPLAY_NAME_MAX ? s.packName.size() : REPLAY_NAME_MAX;
    out.push_back(static_cast<uint8_t>(nameLength));
    putBytes(out, s.packName.data(), nameLength);
    putUnsigned(out, s.packHash, 8);
    for (const int32_t value : {s.levelNumber, s.levelCount, s.lives, s.score}) {
        putUnsigned(out, static_cast<uint32_t>(value), 4);
    }
    putUnsigned(out, s.seed, 4);
    out.push_back(s.fallMode ? 1 : 0);
    out.push_back(static_cast<uint8_t>(s.control));
    putDouble(out, s.clock);
    putBytes(out, recorder.frames.data(), recorder.frames.size());
    out.push_back(END_TAG);
    const ReplayEnd& e = recorder.end;
    for (const int32_t value : {e.score, e.levelNumber, e.bricksLeft, e.lives}) {
        putUnsigned(out, static_cast<uint32_t>(value), 4);
    }
    putUnsigned(out, recorder.frameCount, 4);
    putUnsigned(out, fnv1a(out.data(), out.size()), 8);
    return out;
}

bool saveReplay(const std::string& path, const ReplayRecorder& recorder, std::string& failure)
{
    if (!recorder.finished) {
        failure = "the game it records has not ended";
        return false;
    }
    if (recorder.tooLong) {
        failure = "the game lasted longer than a replay holds";
        return false;
    }
    const std::vector<uint8_t> bytes = encodeReplay(recorder);
    return replaceFile(
        path,
        [&](FILE* out, std::string& why) {
            if (fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) {
                why = fileFailure("write", path);
                return false;
            }
            return true;
        },
        failure);
}

// ---------------------------------------------------------------------------
// Reading
// ---------------------------------------------------------------------------

bool decodeReplay(const uint8_t* data, size_t size, Replay& replay, std::string& failure)
{
    if (size < HEADER_FIXED || memcmp(data, REPLAY_MAGIC, sizeof REPLAY_MAGIC) != 0) {
        failure = "not a Tessivar replay (it does not begin with the replay mark)";
        return false;
    }
    const unsigned version = data[8] | (unsigned{data[9]} << 8);
    if (version != REPLAY_VERSION) {
        failure = version > REPLAY_VERSION
                      ? "a replay of format " + std::to_string(version) + ", newer than this Tessivar reads (format " +
                            std::to_string(REPLAY_VERSION) + ")"
                      : "damaged: its format number is 0";
        return false;
    }
    if (size > REPLAY_MAX_BYTES) {
        failure = "larger than any replay (" + std::to_string(size) + " bytes)";
        return false;
    }
    if (size < HEADER_FIXED + CHECKSUM_BYTES) {
        failure = "damaged: it is cut short";
        return false;
    }
    const size_t body = size - CHECKSUM_BYTES;
    uint64_t stored = 0;
    for (int i = 0; i < 8; ++i) {
        stored |= uint64_t{data[body + i]} << (8 * i);
    }
    if (fnv1a(data, body) != stored) {
        failure = "damaged: cut short or changed (its checksum does not match)";
        return false;
    }

    Reader in{data, body, HEADER_FIXED};
    if (!readStart(in, replay.start, failure)) {
        failure = "damaged: " + failure;
        return false;
    }
    // Every frame is checked now, so playing it later cannot fail.
    const size_t framesAt = in.at;
    double clock = replay.start.clock;
    double step = 0;
    uint32_t count = 0;
    for (;;) {
        FrameTimes times;
        PlayerCommand command;
        const int read = readFrame(in, clock, step, times, command, failure);
        if (read < 0) {
            failure = "damaged: frame " + std::to_string(count + 1) + ": " + failure;
            return false;
        }
        if (read == 0) {
            break;
        }
        ++count;
    }
    if (clock - replay.start.clock > REPLAY_PLAY_MAX) {
        failure = "damaged: its frames add up to more than a week of play";
        return false;
    }
    replay.frames.assign(data + framesAt, data + in.at - 1);
    ReplayEnd& end = replay.end;
    uint64_t frames = 0;
    if (!in.i32(end.score) || !in.i32(end.levelNumber) || !in.i32(end.bricksLeft) || !in.i32(end.lives) ||
        !in.unsignedValue(frames, 4) || in.at != body) {
        failure = "damaged: its end record is cut short or followed by more";
        return false;
    }
    end.frames = static_cast<uint32_t>(frames);
    if (end.frames != count || end.bricksLeft < 0 || end.bricksLeft > BRICK_COUNT) {
        failure = "damaged: its end record does not match its frames";
        return false;
    }
    return true;
}

bool readReplayFile(const std::string& path, Replay& replay, std::string& failure)
{
    // Only a regular file: a pipe or a device would block or never end.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        failure = fd < 0 ? std::string("cannot open it: ") + strerror(errno) : "it is not a regular file";
        if (fd >= 0) {
            close(fd);
        }
        return false;
    }
    if (static_cast<uint64_t>(info.st_size) > REPLAY_MAX_BYTES) {
        close(fd);
        failure = "larger than any replay (" + std::to_string(info.st_size) + " bytes)";
        return false;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(info.st_size) + 1);
    size_t got = 0;
    for (;;) {
        const ssize_t n = read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            failure = std::string("cannot read it: ") + strerror(errno);
            close(fd);
            return false;
        }
        if (n == 0) {
            break;
        }
        got += static_cast<size_t>(n);
        if (got == bytes.size()) {
            // Grew while being read: read no further than the limit allows.
            if (bytes.size() > REPLAY_MAX_BYTES) {
                close(fd);
                failure = "larger than any replay";
                return false;
            }
            bytes.resize(bytes.size() * 2 < REPLAY_MAX_BYTES + 1 ? bytes.size() * 2 : REPLAY_MAX_BYTES + 1);
        }
    }
    close(fd);
    return decodeReplay(bytes.data(), got, replay, failure);
}

ReplayCursor firstReplayFrame(const Replay& replay)
{
    ReplayCursor cursor;
    cursor.replay = &replay;
    cursor.clock = replay.start.clock;
    return cursor;
}

bool nextReplayFrame(ReplayCursor& cursor, FrameTimes& times, PlayerCommand& command)
{
    const std::vector<uint8_t>& frames = cursor.replay->frames;
    if (cursor.offset >= frames.size()) {
        return false;
    }
    Reader in{frames.data(), frames.size(), cursor.offset};
    std::string failure;
    if (readFrame(in, cursor.clock, cursor.step, times, command, failure) != 1) {
        cursor.offset = frames.size();   // checked when read; only a replay made by hand gets here
        return false;
    }
    cursor.offset = in.at;
    ++cursor.index;
    return true;
}

bool packContentHash(const std::string& path, uint64_t& hash, std::string& failure)
{
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        failure = fd < 0 ? "cannot open " + quoteBytes(path) + ": " + strerror(errno)
                         : quoteBytes(path) + " is not a regular file";
        if (fd >= 0) {
            close(fd);
        }
        return false;
    }
    hash = fnv1a(nullptr, 0);
    uint8_t buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            failure = "cannot read " + quoteBytes(path) + ": " + strerror(errno);
            close(fd);
            return false;
        }
        if (n == 0) {
            break;
        }
        hash = fnv1a(buffer, static_cast<size_t>(n), hash);
    }
    close(fd);
    return true;
}
