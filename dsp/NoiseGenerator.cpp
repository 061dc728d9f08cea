#include "dsp/NoiseGenerator.h"

#include <atomic>
#include <ctime>

void NoiseGenerator::setSeed(uint64_t seed)
{
    // splitmix64 spreads nearby seeds (consecutive seconds) over the whole state, and a
    // zero state, which xorshift never leaves, cannot come out of it for any seed.
    uint64_t z = seed + 0x9E3779B97F4A7C15ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    state = z != 0 ? z : 0x9E3779B97F4A7C15ULL;
}

void NoiseGenerator::seedFromTime()
{
    static std::atomic<uint64_t> instances{0};
    const uint64_t seconds = static_cast<uint64_t>(std::time(nullptr));
    setSeed(seconds ^ (instances.fetch_add(1, std::memory_order_relaxed) << 40));
}

void fillNoise(double* samples, int count, NoiseGenerator& generator)
{
    for (int i = 0; i < count; ++i)
    {
        const int r1 = generator.next();
        const int r2 = generator.next();
        const int r3 = generator.next();
        samples[i] = noiseValue(r1, r2, r3);
    }
}
