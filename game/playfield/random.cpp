// game/playfield/random: the play rules' one random source. It is the C
// library's random() (the additive feedback generator x[i] = x[i-3] + x[i-31],
// seeded by a multiplicative congruential sequence, the first 310 outputs
// dropped), so the draws stay those the rules were tuned with, but its state
// lives in the field rather than in the C library.
#include "game/playfield/playfield.h"

namespace {

constexpr int DEGREE = 31;
constexpr int SEPARATION = 3;
constexpr int WARM_UP = 10 * DEGREE;

}   // namespace

void seedRandom(RandomSource& random, unsigned int seed)
{
    int32_t word = static_cast<int32_t>(seed == 0 ? 1u : seed);
    random.state[0] = word;
    for (int i = 1; i < DEGREE; ++i) {
        // 16807 * word % (2^31 - 1) without overflow (Schrage's method).
        const int64_t hi = word / 127773;
        const int64_t lo = word % 127773;
        word = static_cast<int32_t>(16807 * lo - 2836 * hi);
        if (word < 0) {
            word += 2147483647;
        }
        random.state[i] = word;
    }
    random.front = SEPARATION;
    random.rear = 0;
    for (int i = 0; i < WARM_UP; ++i) {
        drawRandom(random);
    }
}

long drawRandom(RandomSource& random)
{
    const uint32_t sum =
        static_cast<uint32_t>(random.state[random.front]) + static_cast<uint32_t>(random.state[random.rear]);
    random.state[random.front] = static_cast<int32_t>(sum);
    const long result = static_cast<long>(sum >> 1);
    random.front = (random.front + 1) % DEGREE;
    random.rear = (random.rear + 1) % DEGREE;
    return result;
}
