// game/render/engine: the one Engine instance and the camera angles.
#include "game/render/engine.h"

// Static storage: the record is large (about 1.4 MB of text tables) and must
// exist before the entry point runs.
Engine engine;
RenderInputs renderInputs;
double cameraYaw = 0;
double cameraPitch = 0;
