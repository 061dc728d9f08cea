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
