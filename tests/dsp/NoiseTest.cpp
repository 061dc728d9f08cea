#include "dsp/NoiseGenerator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace
{

TEST(Noise, ValueFromDrawsSpansTheDocumentedExtremes)
{
    EXPECT_NEAR(noiseValue(0, 0, 0), -0.9999694806, 1e-9);
    EXPECT_NEAR(noiseValue(32767, 32767, 32767), 1.0000915527, 1e-9);
}

TEST(Noise, DrawsAreUniformOverTheFifteenBitRange)
{
    NoiseGenerator g(12345);
    std::vector<int> histogram(16, 0);
    int low = 32767, high = 0;
    const int n = 1 << 20;
    for (int i = 0; i < n; ++i)
    {
        const int r = g.next();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 32767);
        low = std::min(low, r);
        high = std::max(high, r);
        ++histogram[static_cast<std::size_t>(r >> 11)];
    }
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, 32767);
    for (int count : histogram) // 65536 expected per bin; 5 sigma is about 1250
        EXPECT_NEAR(count, n / 16, 1300);
}

TEST(Noise, FillTakesThreeSuccessiveDrawsPerSample)
{
    NoiseGenerator a(7), b(7);
    std::vector<double> out(100);
    fillNoise(out.data(), 100, a);
    for (double v : out)
    {
        const int r1 = b.next(), r2 = b.next(), r3 = b.next();
        EXPECT_EQ(v, noiseValue(r1, r2, r3));
    }
}

TEST(Noise, JumpLandsWhereThatManyDrawsWould)
{
    // Single bits, runs of set bits, and the top of the jump's range.
    for (uint32_t draws : {0u, 1u, 2u, 3u, 63u, 64u, 1000u, 3u * 8192u, (1u << 20) + 12345u})
    {
        SCOPED_TRACE(draws);
        NoiseGenerator stepped(99), jumped(99);
        for (uint32_t i = 0; i < draws; ++i)
            stepped.next();
        jumped.jump(draws);
        for (int i = 0; i < 4; ++i)
            ASSERT_EQ(jumped.next(), stepped.next());
    }
    // 2^32 - 1 draws are one short of 2^32, which a jump by 1 then completes; 2^32 steps of
    // the state are the square of 2^31, checked through the same identity twice.
    NoiseGenerator whole(5), halves(5);
    whole.jump(0xFFFFFFFFu);
    whole.jump(1);
    halves.jump(0x80000000u);
    halves.jump(0x80000000u);
    EXPECT_EQ(whole.next(), halves.next());
}

TEST(Noise, TwiceFillsAsTwoPlainFillsInARow)
{
    // Around the length where the jump starts to be used, and the chain's largest block.
    for (int count : {0, 1, 7, 8, 9, 100, 8192})
    {
        SCOPED_TRACE(count);
        NoiseGenerator plain(21), twice(21);
        const auto size = static_cast<std::size_t>(count);
        std::vector<double> a(size), b(size), c(size), d(size);
        fillNoise(a.data(), count, plain);
        fillNoise(b.data(), count, plain);
        fillNoiseTwice(c.data(), d.data(), count, twice);
        EXPECT_EQ(c, a);
        EXPECT_EQ(d, b);
        EXPECT_EQ(twice.next(), plain.next());
    }
}

TEST(Noise, SeedsMakeStreamsRepeatableAndDistinct)
{
    NoiseGenerator a(1), b(1), c(2);
    std::vector<int> sa, sb, sc;
    for (int i = 0; i < 64; ++i)
    {
        sa.push_back(a.next());
        sb.push_back(b.next());
        sc.push_back(c.next());
    }
    EXPECT_EQ(sa, sb);
    EXPECT_NE(sa, sc);

    // Two engines created within the same second must not play the same noise.
    NoiseGenerator t1, t2;
    t1.seedFromTime();
    t2.seedFromTime();
    std::vector<int> s1, s2;
    for (int i = 0; i < 64; ++i)
    {
        s1.push_back(t1.next());
        s2.push_back(t2.next());
    }
    EXPECT_NE(s1, s2);
}

} // namespace
