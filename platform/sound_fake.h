// platform/sound_fake: the recording sound backend that tests link instead of SDL2_mixer.
#pragma once

#include <string>
#include <vector>

struct SoundCall {
    std::string what;   // "init", "load", "stream", "play", "playStream", "stopStream", "pause", "resume", "volume"
    int slot;           // sample slot, -1 where none; "volume": the samples' volume
    int channel;        // channel, -1 where none; "volume": the music's volume
    std::string path;   // file, for "load" and "stream"
};

extern std::vector<SoundCall> soundCalls;   // every call since the last clear, in order

// Puts the recording device in the sound seam, with no calls recorded yet.
void useFakeSound();

// Number of times sample slot was played (on any channel).
int soundPlayCount(int slot);
