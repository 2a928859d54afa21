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
    bool paused = false;   // the game is paused: so are the stream and the channels
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

}   // namespace

void useSdlSound()
{
    soundDevice = {sdlInit, sdlLoadSample, sdlOpenStream, sdlPlaySample, sdlPlayStream, sdlStopStream, sdlPause};
}
