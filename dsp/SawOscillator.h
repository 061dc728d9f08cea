#pragma once

#include "dsp/SquareOscillator.h"

/// The step counter's ramp (-1 at step 0, +1 at the rounded period) through a one-pole DC
/// blocker with its corner near 0.5 Hz. The period is recomputed on every value from the
/// current frequency and rate.
class SawOscillator : public SquareOscillator
{
public:
    double valueAt(int step) override;

    /// Sets the blocker for the current `sampleRate` (coefficient 1 - pi / rate) and clears
    /// its memory. The engine calls it on every rate change.
    void resetDcBlocker();

    double blockerCoefficient = 0.0;
    double previousRamp = 0.0;
    double previousOutput = 0.0;
};
