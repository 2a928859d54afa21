// game/playfield/field: the game's one PlayField. The shell passes it to the
// rules and the renderers read it; the rules themselves never name it (they
// work on the field they are given, so the bot and the checker can run many).
#pragma once

#include "game/playfield/playfield.h"

extern PlayField field;
