#pragma once

#include "dsp/SineOscillator.h"

/// A hard-driven sine with a rounded top: exactly +-1 whenever |sin| > 0.17, and
/// sign(x) (1 - (1 - |x|)^4) on x = sin x 20 / 3.4 in between.
class SquareOscillator : public SineOscillator
{
public:
    double valueAt(int step) override;

    /// The shaping curve on its own, for x = sin x 20 / 3.4.
    static double shape(double x);

    double lastValue = 0.0; ///< the last output
};
