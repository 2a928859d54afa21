// game/playfield/field: the game's one PlayField.
#include "game/playfield/field.h"

PlayField field;
