// platform/devices: the sound and input calls the game makes, through the
// devices installed in their seams; with none installed the game is silent and
// sees no key.
#include "platform/input.h"
#include "platform/seams.h"
#include "platform/sound.h"

SoundDevice soundDevice;
InputDevice inputDevice;

void soundInit()
{
    if (soundDevice.init) soundDevice.init();
}
void soundLoadSample(int slot, const char* path)
{
    if (soundDevice.loadSample) soundDevice.loadSample(slot, path);
}
void soundOpenStream(const char* path)
{
    if (soundDevice.openStream) soundDevice.openStream(path);
}
void soundPlaySample(int slot, int channel)
{
    if (soundDevice.playSample) soundDevice.playSample(slot, channel);
}
void soundPlayStream(int channel)
{
    if (soundDevice.playStream) soundDevice.playStream(channel);
}
void soundStopStream()
{
    if (soundDevice.stopStream) soundDevice.stopStream();
}
void soundPause(bool paused)
{
    if (soundDevice.pause) soundDevice.pause(paused);
}
void soundSetVolumes(int samples, int music)
{
    if (soundDevice.setVolumes) soundDevice.setVolumes(samples, music);
}
void soundVolumes(int& samples, int& music)
{
    samples = music = 0;   // no device: nothing is heard
    if (soundDevice.volumes) soundDevice.volumes(samples, music);
}

bool inputInit(unsigned long window) { return inputDevice.init && inputDevice.init(window); }
void inputPoll()
{
    if (inputDevice.poll) inputDevice.poll();
}
bool keyDown(Key key) { return inputDevice.keyDown && inputDevice.keyDown(key); }
int keyPresses(Key key) { return inputDevice.keyPresses ? inputDevice.keyPresses(key) : 0; }
int pressOrder(Key* out, int capacity) { return inputDevice.pressOrder ? inputDevice.pressOrder(out, capacity) : 0; }
int namedPresses(KeyName* out, int capacity)
{
    return inputDevice.namedPresses ? inputDevice.namedPresses(out, capacity) : 0;
}
bool bindKey(Key key, const char* name) { return inputDevice.bindKey && inputDevice.bindKey(key, name); }
bool windowFocused() { return !inputDevice.windowFocused || inputDevice.windowFocused(); }
void pointerPosition(int& x, int& y)
{
    x = y = 0;
    if (inputDevice.pointerPosition) inputDevice.pointerPosition(x, y);
}
void warpPointer(int x, int y)
{
    if (inputDevice.warpPointer) inputDevice.warpPointer(x, y);
}
void hidePointer()
{
    if (inputDevice.hidePointer) inputDevice.hidePointer();
}
