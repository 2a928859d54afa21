// platform/sound_fake: records every sound request so tests can check the cues.
#include "platform/sound_fake.h"

#include "platform/seams.h"
#include "platform/sound.h"

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
int fakeSampleVolume = SOUND_VOLUME_MAX;
int fakeMusicVolume = SOUND_VOLUME_MAX;
void fakeSetVolumes(int samples, int music)
{
    fakeSampleVolume = samples;
    fakeMusicVolume = music;
    soundCalls.push_back({"volume", samples, music, {}});
}
void fakeVolumes(int& samples, int& music)
{
    samples = fakeSampleVolume;
    music = fakeMusicVolume;
}

}   // namespace

void useFakeSound()
{
    soundDevice = {fakeInit,       fakeLoadSample, fakeOpenStream, fakePlaySample, fakePlayStream,
                   fakeStopStream, fakePause,      fakeSetVolumes, fakeVolumes};
    soundCalls.clear();
    fakeSampleVolume = fakeMusicVolume = SOUND_VOLUME_MAX;
}
