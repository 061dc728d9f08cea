#include "dsp/NoiseGenerator.h"

#include "dsp/filters/WideVectors.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <ctime>
#include <utility>

namespace
{

/// The state update applied a fixed number of times, as a matrix over GF(2): column b is
/// the image of the state with only bit b set.
struct JumpMatrix
{
    std::array<uint64_t, 64> column{};

    /// The image of `s`: the columns of its set bits, added. Two streams of the sum, and
    /// the bits walked off the state, keep the scalar loop short.
    constexpr uint64_t apply(uint64_t s) const
    {
        uint64_t even = 0, odd = 0;
        for (std::size_t b = 0; b < 64; b += 2, s >>= 2)
        {
            even ^= column[b] & (0 - (s & 1));
            odd ^= column[b + 1] & (0 - ((s >> 1) & 1));
        }
        return even ^ odd;
    }
};

// The same sum in the form the vectoriser takes: each bit moved to the top and spread by
// an arithmetic shift, columns side by side in vector lanes. Slower than `apply` when
// scalar, so only compiled for AVX2 and AVX-512.
[[gnu::always_inline]] inline uint64_t applySpread(const JumpMatrix& m, uint64_t s)
{
    uint64_t r = 0;
    for (int b = 0; b < 64; ++b)
        r ^= m.column[static_cast<std::size_t>(b)] &
             static_cast<uint64_t>(static_cast<int64_t>(s << (63 - b)) >> 63);
    return r;
}

VERDIGRIX_WIDER uint64_t applyWider(const JumpMatrix& m, uint64_t s)
{
    return applySpread(m, s);
}

VERDIGRIX_WIDE uint64_t applyWide(const JumpMatrix& m, uint64_t s)
{
    return applySpread(m, s);
}

uint64_t applyAtRunTime(const JumpMatrix& m, uint64_t s)
{
    if (Dsp::widerVectors())
        return applyWider(m, s);
    if (Dsp::wideVectors())
        return applyWide(m, s);
    return m.apply(s);
}

constexpr JumpMatrix oneDraw()
{
    JumpMatrix m;
    for (int b = 0; b < 64; ++b)
        m.column[static_cast<std::size_t>(b)] = NoiseGenerator::advance(uint64_t{1} << b);
    return m;
}

constexpr JumpMatrix squared(const JumpMatrix& m)
{
    JumpMatrix r;
    for (std::size_t b = 0; b < 64; ++b)
        r.column[b] = m.apply(m.column[b]);
    return r;
}

// 2^j draws, one constant per power so that no single evaluation grows past the compilers'
// step limits.
template <int J> constexpr JumpMatrix kDraws = squared(kDraws<J - 1>);
template <> constexpr JumpMatrix kDraws<0> = oneDraw();

template <std::size_t... J>
constexpr std::array<JumpMatrix, sizeof...(J)> powersOfTwo(std::index_sequence<J...>)
{
    return {kDraws<static_cast<int>(J)>...};
}

constexpr auto kPowers = powersOfTwo(std::make_index_sequence<32>());

// Below this many values per stream, the jump's two or three matrix steps cost more than
// running the streams one after the other.
constexpr int kMinJumpedCount = 8;
// Beyond this, 3 x count draws no longer fit the jump's 32 bits.
constexpr int kMaxJumpedCount = 0x55555555;

} // namespace

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

void NoiseGenerator::jump(uint32_t draws)
{
    for (std::size_t j = 0; draws != 0; ++j, draws >>= 1)
        if (draws & 1)
            state = applyAtRunTime(kPowers[j], state);
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

void fillNoiseTwice(double* first, double* second, int count, NoiseGenerator& generator)
{
    if (count < kMinJumpedCount || count > kMaxJumpedCount)
    {
        fillNoise(first, count, generator);
        fillNoise(second, count, generator);
        return;
    }
    // Copies, so that both states stay in registers.
    NoiseGenerator a = generator;
    NoiseGenerator b = generator;
    b.jump(3 * static_cast<uint32_t>(count));
    for (int i = 0; i < count; ++i)
    {
        const int a1 = a.next();
        const int b1 = b.next();
        const int a2 = a.next();
        const int b2 = b.next();
        const int a3 = a.next();
        const int b3 = b.next();
        first[i] = noiseValue(a1, a2, a3);
        second[i] = noiseValue(b1, b2, b3);
    }
    generator = b;
}
