#pragma once

#include "dsp/Oscillator.h"

/// Sine whose phase restarts at 0 once it has passed 2 pi (it is set to 0, not wrapped),
/// so a cycle lasts floor(periodLength) + 1 samples.
class SineOscillator : public Oscillator
{
public:
    double valueAt(int step) override;

    double lastSine = 0.0; ///< the last sine value computed

protected:
    /// Sine steps shared with the square: reset, evaluate, advance.
    double nextSine();
};
