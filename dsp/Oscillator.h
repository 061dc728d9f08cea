#pragma once

/// Base of the modulation oscillators: a frequency, a rounded period that bounds the step
/// counter, and a phase. Values are doubles, nominally -1..+1, one per sample.
class Oscillator
{
public:
    virtual ~Oscillator() = default;

    /// Sets the frequency, truncated toward zero to whole hertz (at least 1 Hz), and the
    /// period and phase increment for the current `sampleRate`. Phase and step are kept, so
    /// a change never restarts the waveform.
    void setFrequency(double hz);

    /// Writes `count` successive values. Audio thread; no allocation.
    void fill(double* out, int count);

    /// One output value at counter position `step`.
    virtual double valueAt(int step) = 0;

    int sampleRate = 44100;      ///< engine rate in Hz
    double frequency = 1000.0;   ///< Hz, a whole number once set through setFrequency
    int periodSamples = 0;       ///< rounded period: the bound of the step counter
    int step = -1;               ///< step counter advanced by fill
    double phaseIncrement = 0.0; ///< radians per sample
    double phase = 0.0;          ///< radians
    double periodLength = 0.0;   ///< period in samples, unrounded
};
