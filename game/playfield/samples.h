// game/playfield/samples: the sound cues now stand in the shared catalogue.
#pragma once

#include "levelpack/catalogue.h"
