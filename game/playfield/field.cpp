// game/playfield/field: the one PlayField of the program.
#include "game/playfield/playfield.h"

PlayField field;
