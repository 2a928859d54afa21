// game/playfield/field: the one PlayField, the frame clock and the seams'
// stand-ins until the shell points them at the windowing toolkit.
#include "game/playfield/playfield.h"

namespace {

double noClock() { return 0.0; }
void noSwap() {}

}   // namespace

PlayField field;
FrameClock frameClock;

double (*readClock)() = noClock;
void (*swapBuffers)() = noSwap;
