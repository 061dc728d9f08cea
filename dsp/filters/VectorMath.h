#pragma once

#include <bit>
#include <cmath>
#include <cstdint>

/// Elementary functions written so that a loop calling them vectorises: no branches, no
/// library calls, only arithmetic and bit operations the SIMD units have. Each keeps within
/// one or two units in the last place of the correctly rounded result over its domain, so
/// swapping them for the C library's functions changes results by rounding only:
///
/// - range reduction splits the constant (ln 2, pi / 2) into parts whose products with the
///   integer multiple are exact (Cody and Waite), leaving an error of well under an ulp;
/// - the polynomials are Taylor series cut where the first omitted term is below 2^-60 of
///   the result on the reduced interval, so truncation adds nothing visible;
/// - the leading terms are added last, to a small remainder, which keeps the rounding
///   near 1 ulp.
///
/// A select between computed values vectorises only where the compiler may ignore
/// floating-point exception flags (-fno-trapping-math, which the DSP libraries are built
/// with; nothing reads the flags, and no result changes). Elsewhere these functions still
/// give the same values, one at a time.
///
/// tests/dsp/VectorMathTest.cpp measures every function against the C library.
namespace Dsp::VectorMath
{

namespace Detail
{
/// 1.5 x 2^52: adding it rounds a double of magnitude below 2^51 to an integer, which then
/// sits in the low mantissa bits.
inline constexpr double kRoundingShift = 0x1.8p52;

inline double fromBits(uint64_t bits)
{
    return std::bit_cast<double>(bits);
}

inline uint64_t toBits(double x)
{
    return std::bit_cast<uint64_t>(x);
}

} // namespace Detail

/// Lowest and highest argument of `exp`.
inline constexpr double kExpLowest = -708.0;
inline constexpr double kExpHighest = 709.0;

/// e^x for x in [kExpLowest, kExpHighest]; not-a-number stays not-a-number. Outside the
/// range the result is meaningless: callers clamp (see `expOfNonPositive`).
inline double exp(double x)
{
    constexpr double kLog2e = 0x1.71547652b82fep+0;
    constexpr double kLn2High = 0x1.62e42fefa4000p-1; // 41 bits: k x kLn2High is exact
    constexpr double kLn2Low = -0x1.8432a1b0e2634p-43;
    const double shifted = x * kLog2e + Detail::kRoundingShift;
    const double k = shifted - Detail::kRoundingShift;
    const double r = (x - k * kLn2High) - k * kLn2Low; // |r| <= ln 2 / 2
    // e^r = 1 + (r + r^2 E(r)), E the series from 1/2! to 1/13! (r^14 / 14! < 2^-57
    // here). E by Estrin's scheme, whose short dependency chains let a loop of these
    // overlap; its rounding, scaled by r^2 < 1/8, stays far below the final additions'.
    const double r2 = r * r;
    const double r4 = r2 * r2;
    const double r8 = r4 * r4;
    const double e0 = 0.5 + 0.16666666666666666 * r;               // 1/2!, 1/3!
    const double e1 = 0.041666666666666664 + 0.008333333333333333 * r; // 1/4!, 1/5!
    const double e2 = 0.001388888888888889 + 0.0001984126984126984 * r;
    const double e3 = 2.48015873015873e-05 + 2.7557319223985893e-06 * r;
    const double e4 = 2.755731922398589e-07 + 2.505210838544172e-08 * r;
    const double e5 = 2.08767569878681e-09 + 1.6059043836821613e-10 * r; // 1/12!, 1/13!
    const double tail = ((e0 + e1 * r2) + (e2 + e3 * r2) * r4) + (e4 + e5 * r2) * r8;
    const double p = 1.0 + (r + r2 * tail);
    // 2^k from the integer in the shifted value's low bits: k + 1023 is the exponent field.
    const double scale = Detail::fromBits((Detail::toBits(shifted) + 1023) << 52);
    return p * scale;
}

/// e^x for x <= 0 (and not-a-number), any magnitude: below kExpLowest the result is the
/// value at kExpLowest, 3e-308, which differs from e^x by less than 2^-1000 — invisible
/// wherever it is added to a number of ordinary size.
inline double expOfNonPositive(double x)
{
    return exp(x < kExpLowest ? kExpLowest : x);
}

/// sin x and cos x together, for |x| <= kSinCosLargest.
inline constexpr double kSinCosLargest = 0x1p19;

inline void sinCos(double x, double& sine, double& cosine)
{
    constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;
    // pi / 2 in three parts of 33, 33 and 53 bits: q x part is exact for |q| < 2^20.
    constexpr double kPiOver2High = 0x1.921fb54400000p+0;
    constexpr double kPiOver2Mid = 0x1.0b4611a600000p-34;
    constexpr double kPiOver2Low = 0x1.3198a2e037073p-69;
    const double shifted = x * kTwoOverPi + Detail::kRoundingShift;
    const double q = shifted - Detail::kRoundingShift;
    const double r = ((x - q * kPiOver2High) - q * kPiOver2Mid) - q * kPiOver2Low;
    const double r2 = r * r;
    // |r| <= pi / 4: the first omitted terms, r^19 / 19! and r^18 / 18!, are below 2^-60.
    double s = 2.8114572543455206e-15;
    s = s * r2 - 7.647163731819816e-13;
    s = s * r2 + 1.6059043836821613e-10;
    s = s * r2 - 2.505210838544172e-08;
    s = s * r2 + 2.7557319223985893e-06;
    s = s * r2 - 0.0001984126984126984;
    s = s * r2 + 0.008333333333333333;
    s = s * r2 - 0.16666666666666666;
    s = r + r * r2 * s;
    double c = 4.779477332387385e-14;
    c = c * r2 - 1.1470745597729725e-11;
    c = c * r2 + 2.08767569878681e-09;
    c = c * r2 - 2.755731922398589e-07;
    c = c * r2 + 2.48015873015873e-05;
    c = c * r2 - 0.001388888888888889;
    c = c * r2 + 0.041666666666666664;
    c = 1.0 - 0.5 * r2 + r2 * r2 * c;
    // Quadrant q mod 4 from the integer's low bits: odd quadrants swap sine and cosine,
    // quadrants 2 and 3 negate the sine, 1 and 2 the cosine.
    const uint64_t quadrant = Detail::toBits(shifted);
    const uint64_t swap = 0 - (quadrant & 1);
    const uint64_t sBits = Detail::toBits(s);
    const uint64_t cBits = Detail::toBits(c);
    sine = Detail::fromBits(((sBits & ~swap) | (cBits & swap)) ^ ((quadrant & 2) << 62));
    cosine = Detail::fromBits(((cBits & ~swap) | (sBits & swap)) ^ (((quadrant + 1) & 2) << 62));
}

/// Largest |x| of `sinh`.
inline constexpr double kSinhLargest = 700.0;

/// sinh x for |x| <= kSinhLargest: the series below 1, where the exponentials would cancel,
/// (e^x - e^-x) / 2 above.
inline double sinh(double x)
{
    const double a = std::fabs(x);
    const double a2 = a * a;
    // 1/n! for odd n = 21 down to 3; a^23 / 23! < 2^-74 for a < 1.
    double p = 1.9572941063391263e-20;
    p = p * a2 + 8.22063524662433e-18;
    p = p * a2 + 2.8114572543455206e-15;
    p = p * a2 + 7.647163731819816e-13;
    p = p * a2 + 1.6059043836821613e-10;
    p = p * a2 + 2.505210838544172e-08;
    p = p * a2 + 2.7557319223985893e-06;
    p = p * a2 + 0.0001984126984126984;
    p = p * a2 + 0.008333333333333333;
    p = p * a2 + 0.16666666666666666;
    const double series = a + a * a2 * p;
    const double e = exp(a < 1.0 ? 1.0 : a);
    const double large = 0.5 * e - 0.5 / e;
    return std::copysign(a < 1.0 ? series : large, x);
}

} // namespace Dsp::VectorMath
