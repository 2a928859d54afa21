// game/playfield/random: the play rules' one random source. The C library's
// random() keeps the draws the rules were tuned with; nothing else in the game
// draws from it, so a seed replays a level exactly.
#include "game/playfield/playfield.h"

#include <cstdlib>

void seedRandom(unsigned int seed) { srandom(seed); }

long drawRandom() { return random(); }
