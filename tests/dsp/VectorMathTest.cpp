#include "dsp/filters/VectorMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <random>

namespace
{
/// Distance between `value` and the library's `expected` in units in the last place.
double Ulps(double value, double expected)
{
    if (value == expected)
        return 0.0;
    const double magnitude = std::fabs(expected);
    return std::fabs(value - expected) /
           (std::nextafter(magnitude, std::numeric_limits<double>::infinity()) - magnitude);
}

double Sine(double x)
{
    double s, c;
    Dsp::VectorMath::sinCos(x, s, c);
    return s;
}

double Cosine(double x)
{
    double s, c;
    Dsp::VectorMath::sinCos(x, s, c);
    return c;
}
} // namespace

// Each function across its whole domain, dense near zero (where the series and the reduction
// meet) and out to the limits, within 2 ulp of the C library's result.
TEST(VectorMath, StaysWithinTwoUlpOfTheLibraryOverItsDomain)
{
    struct Case
    {
        const char* name;
        std::function<double(double)> function;
        std::function<double(double)> library;
        double largest;
    };
    const Case cases[] = {
        {"exp", Dsp::VectorMath::exp, [](double x) { return std::exp(x); }, 708.0},
        {"sin", Sine, [](double x) { return std::sin(x); }, Dsp::VectorMath::kSinCosLargest},
        {"cos", Cosine, [](double x) { return std::cos(x); }, Dsp::VectorMath::kSinCosLargest},
        {"sinh", Dsp::VectorMath::sinh, [](double x) { return std::sinh(x); },
         Dsp::VectorMath::kSinhLargest},
    };
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    for (const Case& c : cases)
    {
        double worst = 0.0, worstAt = 0.0;
        for (int i = 0; i < 200000; ++i)
        {
            // Magnitudes spread logarithmically from 2^-40 up to the largest argument.
            const double x = unit(rng) * std::pow(c.largest, std::fabs(unit(rng))) *
                             (i % 4 == 0 ? 0x1p-40 : 1.0);
            const double u = Ulps(c.function(x), c.library(x));
            if (u > worst)
                worst = u, worstAt = x;
        }
        EXPECT_LE(worst, 2.0) << c.name << " at " << worstAt;
    }
}

TEST(VectorMath, EdgesOfTheDomains)
{
    namespace vm = Dsp::VectorMath;
    EXPECT_EQ(vm::exp(0.0), 1.0);
    EXPECT_NEAR(vm::exp(vm::kExpLowest), std::exp(vm::kExpLowest), 1e-322);
    EXPECT_LE(Ulps(vm::exp(vm::kExpHighest), std::exp(vm::kExpHighest)), 2.0);
    // Far below the range the result is the tiny value at its bottom; not-a-number passes.
    EXPECT_LT(vm::expOfNonPositive(-1e6), 1e-307);
    EXPECT_GE(vm::expOfNonPositive(-std::numeric_limits<double>::infinity()), 0.0);
    EXPECT_TRUE(std::isnan(vm::expOfNonPositive(std::nan(""))));
    EXPECT_TRUE(std::isnan(vm::sinh(std::nan(""))));
    EXPECT_EQ(vm::sinh(0.0), 0.0);
    // Quadrant boundaries: the signs and the swap of sine and cosine.
    for (int quadrant = -8; quadrant <= 8; ++quadrant)
    {
        const double x = quadrant * M_PI_2 + 0.25;
        EXPECT_LE(Ulps(Sine(x), std::sin(x)), 2.0) << x;
        EXPECT_LE(Ulps(Cosine(x), std::cos(x)), 2.0) << x;
    }
}
