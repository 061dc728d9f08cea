#pragma once

#include <cstdint>

/// The engine's own pseudo-random generator: draws are uniform integers 0..32767.
/// One per engine, so instances in one host process neither share nor race on a stream.
/// Not thread-safe; used under the plug-in lock.
class NoiseGenerator
{
public:
    static constexpr int kMaxDraw = 32767;

    NoiseGenerator() = default;
    explicit NoiseGenerator(uint64_t seed) { setSeed(seed); }

    /// Restarts the sequence; equal seeds give equal sequences (tests seed it).
    void setSeed(uint64_t seed);

    /// Seeds from the current time in seconds, mixed with a process-wide instance count so
    /// that engines created within the same second still differ.
    void seedFromTime();

    /// Next draw, 0..32767.
    int next()
    {
        // xorshift64*: cheap, full period, and its top bits are well distributed.
        state = advance(state);
        return static_cast<int>((state * 2685821657736338717ULL) >> 49);
    }

    /// Moves on as `draws` calls of next() would, in at most 32 steps of 64 bit operations
    /// each instead of `draws` dependent ones. Audio thread; no allocation.
    void jump(uint32_t draws);

    /// The state update of one draw: linear over the bits, which is what lets `jump` skip.
    static constexpr uint64_t advance(uint64_t s)
    {
        s ^= s >> 12;
        s ^= s << 25;
        s ^= s >> 27;
        return s;
    }

private:
    uint64_t state = 0x9E3779B97F4A7C15ULL;
};

/// One noise value from three draws r1, r2, r3 (each 0..32767): the sum of three uniform
/// draws scaled to about -1..+1 (bell-shaped, -0.9999694806 .. 1.0000915527).
inline double noiseValue(int r1, int r2, int r3)
{
    const double t1 = (r1 / 32768.0) * 10923.0;
    const double t2 = (r2 / 32768.0) * 10923.0;
    const double t3 = (r3 / 32768.0) * 10923.0;
    const double v = ((t2 + t1) + t3) * 2.0 - 32766.0;
    return v * 3.0518509447574615e-05;
}

/// Writes `count` noise values, each from three successive draws of `generator`.
/// Audio thread; no allocation.
void fillNoise(double* samples, int count, NoiseGenerator& generator);

/// The same values as fillNoise(first, count) followed by fillNoise(second, count), with the
/// generator left where those two calls leave it. Each draw depends on the one before, so
/// one stream runs at the latency of its chain; here the second stream starts from a copy
/// jumped ahead by 3 x count draws and the two chains run side by side. Short runs, where
/// the jump would cost more than it saves, take the plain way. The arrays must not overlap.
/// Audio thread; no allocation.
void fillNoiseTwice(double* first, double* second, int count, NoiseGenerator& generator);
