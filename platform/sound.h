// platform/sound: the game's sound device, in the shape the game's rules expect.
// Samples live in numbered slots and play on fixed channels; one music stream
// plays on its own channel. The real backend is SDL2_mixer (sound_sdl.cpp);
// tests install the recording backend (sound_fake.cpp) instead.
#pragma once

constexpr int SOUND_MIX_RATE = 44100;   // Hz
constexpr int SOUND_CHANNELS = 32;
constexpr int SOUND_SLOTS = 14;        // sample slots 0..13
constexpr int SOUND_VOLUME_MAX = 10;   // volumes run 0 (silent) to this (full)

// Starts the mixer. Without an audio device the game runs silently and says
// so once on standard output; every later call is then a no-op.
void soundInit();

// Loads a sample file into slot (0..SOUND_SLOTS-1); a missing file leaves the slot silent.
void soundLoadSample(int slot, const char* path);

// Opens a compressed music file as the stream.
void soundOpenStream(const char* path);

// Plays the sample of slot on channel, cutting off whatever that channel played.
void soundPlaySample(int slot, int channel);

// Starts the stream (from its beginning, looping) on channel.
void soundPlayStream(int channel);

// Stops the stream.
void soundStopStream();

// Holds the stream and every channel where they are (paused true) or lets them
// go on from there (false). A stream started while held starts held.
void soundPause(bool paused);

// Sets the volume of every sample channel and of the stream, each 0 (silent)
// to SOUND_VOLUME_MAX (full, the volume the game always had); out-of-range values are clamped.
void soundSetVolumes(int samples, int music);

// The volumes as the device holds them now, in the same scale (0 and 0 without a device).
void soundVolumes(int& samples, int& music);

// Puts SDL2_mixer in the sound seam (platform/seams.h); until then every call is a no-op.
void useSdlSound();
