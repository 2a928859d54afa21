// platform/sound_fake: records every sound request so tests can check the cues.
#include "platform/sound_fake.h"

#include "platform/seams.h"

std::vector<SoundCall> soundCalls;

int soundPlayCount(int slot)
{
    int count = 0;
    for (const SoundCall& call : soundCalls) {
        count += (call.what == "play" && call.slot == slot);
    }
    return count;
}

namespace {

void fakeInit() { soundCalls.push_back({"init", -1, -1, {}}); }
void fakeLoadSample(int slot, const char* path) { soundCalls.push_back({"load", slot, -1, path}); }
void fakeOpenStream(const char* path) { soundCalls.push_back({"stream", -1, -1, path}); }
void fakePlaySample(int slot, int channel) { soundCalls.push_back({"play", slot, channel, {}}); }
void fakePlayStream(int channel) { soundCalls.push_back({"playStream", -1, channel, {}}); }
void fakeStopStream() { soundCalls.push_back({"stopStream", -1, -1, {}}); }
void fakePause(bool paused) { soundCalls.push_back({paused ? "pause" : "resume", -1, -1, {}}); }

}   // namespace

void useFakeSound()
{
    soundDevice = {fakeInit, fakeLoadSample, fakeOpenStream, fakePlaySample, fakePlayStream, fakeStopStream, fakePause};
    soundCalls.clear();
}
