#include "dsp/SineOscillator.h"

#include <cmath>

double SineOscillator::nextSine()
{
    // Set to zero rather than wrapped: each cycle lasts floor(periodLength) + 1 samples.
    if (phase > 6.283185307179586)
        phase = 0.0;
    const double s = std::sin(phase);
    lastSine = s;
    phase += phaseIncrement;
    return s;
}

double SineOscillator::valueAt(int)
{
    return nextSine();
}
