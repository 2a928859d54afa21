// platform/sound_fake: records every sound request so tests can check the cues.
#include "platform/sound.h"
#include "platform/sound_fake.h"

std::vector<SoundCall> soundCalls;

int soundPlayCount(int slot)
{
    int count = 0;
    for (const SoundCall& call : soundCalls) {
        count += (call.what == "play" && call.slot == slot);
    }
    return count;
}

void soundInit() { soundCalls.push_back({"init", -1, -1, {}}); }
void soundLoadSample(int slot, const char* path) { soundCalls.push_back({"load", slot, -1, path}); }
void soundOpenStream(const char* path) { soundCalls.push_back({"stream", -1, -1, path}); }
void soundPlaySample(int slot, int channel) { soundCalls.push_back({"play", slot, channel, {}}); }
void soundPlayStream(int channel) { soundCalls.push_back({"playStream", -1, channel, {}}); }
void soundStopStream() { soundCalls.push_back({"stopStream", -1, -1, {}}); }
void soundPause(bool paused) { soundCalls.push_back({paused ? "pause" : "resume", -1, -1, {}}); }
