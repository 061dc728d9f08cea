#include "dsp/SawOscillator.h"

#include <algorithm>
#include <cmath>

double SawOscillator::valueAt(int step)
{
    // Recomputed on every value, so a rate change takes effect at once. At least one
    // sample: a frequency above the rate would otherwise divide by zero.
    const double period = std::max(std::round((1.0 / frequency) * sampleRate), 1.0);
    const double ramp = 2.0 * (step / period) - 1.0;
    const double y = blockerCoefficient * previousOutput + (ramp - previousRamp);
    previousRamp = ramp;
    previousOutput = y;
    return y;
}

void SawOscillator::resetDcBlocker()
{
    blockerCoefficient = 1.0 - 3.141592653589793 / sampleRate;
    previousRamp = 0.0;
    previousOutput = 0.0;
}
