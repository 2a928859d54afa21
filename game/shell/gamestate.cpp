// game/shell/gamestate: the one GameState instance.
#include "game/shell/gamestate.h"

GameState game;
