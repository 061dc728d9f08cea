#pragma once

#include "dsp/filters/BiquadCoefficients.h"

#include <cmath>

namespace Dsp
{

/// State of one second-order section in direct form II: w[n-1] and w[n-2].
struct DirectFormII
{
    double delay1 = 0.0;
    double delay2 = 0.0;

    /// One sample through the section. `offset` is added to the recursion (the channel's
    /// alternating anti-denormal value for a first stage, 0 for later stages).
    double process(double x, const BiquadCoefficients& c, double offset = 0.0)
    {
        const double w = x - c.a1 * delay1 - c.a2 * delay2 + offset;
        const double y = c.b0 * w + c.b1 * delay1 + c.b2 * delay2;
        delay2 = delay1;
        delay1 = w;
        return y;
    }

    /// False once a non-finite sample has reached the memory, which it then never leaves.
    bool isFinite() const { return std::isfinite(delay1) && std::isfinite(delay2); }
};

} // namespace Dsp
