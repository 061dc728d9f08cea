#include "dsp/filters/BiquadCoefficients.h"

#include <cmath>
#include <limits>

namespace Dsp
{

void BiquadCoefficients::assignCoefficients(double a0_, double a1_, double a2_, double b0_,
                                            double b1_, double b2_)
{
    a0 = a0_;
    a1 = a1_ / a0_;
    a2 = a2_ / a0_;
    b0 = b0_ / a0_;
    b1 = b1_ / a0_;
    b2 = b2_ / a0_;
}

std::complex<double> BiquadCoefficients::responseAt(double normalizedFrequency) const
{
    // Evaluated in real arithmetic: this runs for every pixel column of the editor's curve.
    const double w = 6.283185307179586 * normalizedFrequency;
    const double c1 = std::cos(w), s1 = std::sin(w);
    const double c2 = std::cos(2.0 * w), s2 = std::sin(2.0 * w);
    // z^-1 = c1 - j s1, z^-2 = c2 - j s2
    const double nr = b0 + b1 * c1 + b2 * c2;
    const double ni = -(b1 * s1 + b2 * s2);
    const double dr = 1.0 + a1 * c1 + a2 * c2;
    const double di = -(a1 * s1 + a2 * s2);
    const double dd = dr * dr + di * di;
    if (dd == 0.0 || !std::isfinite(dd))
    {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        return {nan, nan};
    }
    return {(nr * dr + ni * di) / dd, (ni * dr - nr * di) / dd};
}

} // namespace Dsp
