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

/// Sine and cosine worked out in extended precision, as the references: the argument is reduced
/// by pi/2 split in three parts (k times each part is exact for the whole domain), then the
/// library is asked only within pi/4 of zero, where every runtime is accurate. Some C runtimes
/// reduce large arguments loosely (thousands of ulp at 2^17 under Wine), which would hide
/// what this test checks.
void ReferenceSinCos(double x, double& s, double& c)
{
    const long double p1 = 27633741218861.0L * 0x1p-44L;
    const long double p2 = 26691486927953.0L * 0x1p-92L;
    const long double p3 = 8078195054690191809.0L * 0x1p-156L;
    const long double k = std::nearbyint(static_cast<long double>(x) / (p1 + p2));
    const long double r = ((static_cast<long double>(x) - k * p1) - k * p2) - k * p3;
    const long double sr = std::sin(r), cr = std::cos(r);
    switch (static_cast<long long>(k) & 3)
    {
    case 0: s = static_cast<double>(sr), c = static_cast<double>(cr); break;
    case 1: s = static_cast<double>(cr), c = static_cast<double>(-sr); break;
    case 2: s = static_cast<double>(-sr), c = static_cast<double>(-cr); break;
    default: s = static_cast<double>(-cr), c = static_cast<double>(sr); break;
    }
}

double ReferenceSine(double x)
{
    double s, c;
    ReferenceSinCos(x, s, c);
    return s;
}

double ReferenceCosine(double x)
{
    double s, c;
    ReferenceSinCos(x, s, c);
    return c;
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
// meet) and out to the limits, within 2 ulp of the C library's result (of an extended-precision reference for sine and
// cosine).
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
        {"sin", Sine, ReferenceSine, Dsp::VectorMath::kSinCosLargest},
        {"cos", Cosine, ReferenceCosine, Dsp::VectorMath::kSinCosLargest},
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
        EXPECT_LE(Ulps(Sine(x), ReferenceSine(x)), 2.0) << x;
        EXPECT_LE(Ulps(Cosine(x), ReferenceCosine(x)), 2.0) << x;
    }
}
