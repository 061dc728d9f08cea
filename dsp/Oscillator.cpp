#include "dsp/Oscillator.h"

#include <climits>
#include <cmath>

void Oscillator::setFrequency(double hz)
{
    // Below 1 Hz (or not a number) the period would be unbounded.
    frequency = hz >= 1.0 ? std::trunc(hz) : 1.0;
    periodLength = (1.0 / frequency) * sampleRate;
    const double rounded = std::round(periodLength);
    periodSamples = rounded < INT_MAX ? static_cast<int>(rounded) : INT_MAX;
    phaseIncrement = 6.283185307179586 / periodLength;
}

void Oscillator::fill(double* out, int count)
{
    for (int i = 0; i < count; ++i)
    {
        ++step;
        if (step > periodSamples)
            step = 0;
        out[i] = valueAt(step);
    }
}
