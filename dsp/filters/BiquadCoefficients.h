#pragma once

#include <complex>

namespace Dsp
{

/// One second-order section, normalised so that the leading denominator term is 1.
/// Field order is a0, a1, a2, b1, b2, b0: a0 is kept as designed, the other five are
/// divided by it.
struct BiquadCoefficients
{
    double a0 = 1.0;
    double a1 = 0.0;
    double a2 = 0.0;
    double b1 = 0.0;
    double b2 = 0.0;
    double b0 = 1.0;

    /// Stores a0 unchanged and the other five divided by a0. Any thread; no allocation.
    void assignCoefficients(double a0, double a1, double a2, double b0, double b1, double b2);

    /// Complex response of this section at `normalizedFrequency` (f / sample rate).
    /// Not-a-number in both parts when the denominator is zero or not finite.
    std::complex<double> responseAt(double normalizedFrequency) const;
};

} // namespace Dsp
