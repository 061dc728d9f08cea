#pragma once

#include <algorithm>

namespace Dsp::RBJ
{

/// How far below the Nyquist frequency an RBJ design frequency is kept, as a fraction of
/// the sample rate. At or above half the rate the cookbook sections are degenerate (the low
/// and high pass sit on the unit circle, the band pass divides by zero) and the output runs
/// off to infinity. 2 % keeps the band pass at its widest (4 octaves) well conditioned, and
/// leaves every frequency up to 18000 Hz untouched from 37500 Hz on, so all the usual rates
/// (44.1 kHz and above) design exactly what they are asked.
inline constexpr double kNyquistMargin = 0.02;

/// `frequency`, limited to (0.5 - kNyquistMargin) x `sampleRate`.
inline double guardedFrequency(double sampleRate, double frequency)
{
    return std::min(frequency, (0.5 - kNyquistMargin) * sampleRate);
}

} // namespace Dsp::RBJ
