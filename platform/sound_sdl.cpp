// platform/sound_sdl: the sound device on SDL2_mixer.
// Limits: channel numbers above SOUND_CHANNELS - 1 are ignored; the stream is
// SDL_mixer's one music stream, so MUSIC_CHANNEL is only a name for it.
#include "platform/seams.h"
#include "platform/sound.h"

#include "levelpack/catalogue.h"   // MUSIC_CHANNEL

#include <SDL.h>
#include <SDL_mixer.h>
#include <cstdio>

namespace {

struct MixerState {
    bool open = false;                      // the mixer started; false = silent run
    Mix_Chunk* samples[SOUND_SLOTS] = {};   // loaded once, kept until exit
    Mix_Music* stream = nullptr;
    bool paused = false;                 // the game is paused: so are the stream and the channels
    int sampleVolume = MIX_MAX_VOLUME;   // the mixer's scale, 0..MIX_MAX_VOLUME
    int musicVolume = MIX_MAX_VOLUME;
};

MixerState device;

void sdlInit()
{
    // SDL would otherwise turn SIGINT/SIGTERM into events nobody reads, and
    // the game could no longer be interrupted or terminated.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0 || Mix_OpenAudio(SOUND_MIX_RATE, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
        printf("No audio device (%s): running without sound.\n", SDL_GetError());
        fflush(stdout);
        return;
    }
    Mix_Init(MIX_INIT_MP3);
    Mix_AllocateChannels(SOUND_CHANNELS);
    device.open = true;
    Mix_Volume(-1, device.sampleVolume);   // volumes set before the mixer started
    Mix_VolumeMusic(device.musicVolume);
}

void sdlLoadSample(int slot, const char* path)
{
    if (!device.open || slot < 0 || slot >= SOUND_SLOTS) {
        return;
    }
    device.samples[slot] = Mix_LoadWAV(path);
}

void sdlOpenStream(const char* path)
{
    if (!device.open) {
        return;
    }
    device.stream = Mix_LoadMUS(path);
}

void sdlPlaySample(int slot, int channel)
{
    if (!device.open || slot < 0 || slot >= SOUND_SLOTS || !device.samples[slot] || channel < 0 ||
        channel >= SOUND_CHANNELS || channel == MUSIC_CHANNEL) {
        return;
    }
    Mix_PlayChannel(channel, device.samples[slot], 0);
}

void sdlPlayStream(int /*channel*/)
{
    if (!device.open || !device.stream) {
        return;
    }
    Mix_PlayMusic(device.stream, -1);
    if (device.paused) {
        Mix_PauseMusic();
    }
}

void sdlStopStream()
{
    if (!device.open) {
        return;
    }
    Mix_HaltMusic();
}

void sdlPause(bool paused)
{
    device.paused = paused;
    if (!device.open) {
        return;
    }
    if (paused) {
        Mix_PauseMusic();
        Mix_Pause(-1);
    } else {
        Mix_ResumeMusic();
        Mix_Resume(-1);
    }
}

int mixerVolume(int volume)
{
    volume = volume < 0 ? 0 : (volume > SOUND_VOLUME_MAX ? SOUND_VOLUME_MAX : volume);
    return (volume * MIX_MAX_VOLUME + SOUND_VOLUME_MAX / 2) / SOUND_VOLUME_MAX;
}

int ourVolume(int mixer) { return (mixer * SOUND_VOLUME_MAX + MIX_MAX_VOLUME / 2) / MIX_MAX_VOLUME; }

void sdlSetVolumes(int samples, int music)
{
    device.sampleVolume = mixerVolume(samples);
    device.musicVolume = mixerVolume(music);
    if (!device.open) {
        return;
    }
    Mix_Volume(-1, device.sampleVolume);
    Mix_VolumeMusic(device.musicVolume);
}

// Asked of the mixer itself, so what is reported is what is heard.
void sdlVolumes(int& samples, int& music)
{
    if (!device.open) {
        samples = ourVolume(device.sampleVolume);
        music = ourVolume(device.musicVolume);
        return;
    }
    samples = ourVolume(Mix_Volume(-1, -1));
    music = ourVolume(Mix_VolumeMusic(-1));
}

}   // namespace

void useSdlSound()
{
    soundDevice = {sdlInit,       sdlLoadSample, sdlOpenStream, sdlPlaySample, sdlPlayStream,
                   sdlStopStream, sdlPause,      sdlSetVolumes, sdlVolumes};
}
