#pragma once

#include "dsp/filters/Filter.h"

/// The engine's modulation filter written the straightforward way: one cookbook section
/// (low pass, band pass or high pass) in direct form II with the alternating anti-denormal
/// offset, channel by channel, and during a glide a fresh design for every sample from the
/// C library's cos, sin and sinh. The parameter descriptors are the product designs'.
class ReferenceFilter : public Dsp::Filter
{
public:
    /// `type`: 0 low pass, 1 band pass, 2 high pass.
    explicit ReferenceFilter(int type, int transitionSamples = 512);

    const char* name() const override { return "Reference"; }
    int parameterCount() const override { return 3; }
    Dsp::ParamInfo parameterInfo(int position) const override;
    std::complex<double> responseAt(double normalizedFrequency) const override;
    int channelCount() const override { return 2; }
    void filterBlock(int count, double* const* channels) override;
    void applyParameters(const Parameters& parameters) override;
    Dsp::BiquadCascade targetCoefficients() const override;

private:
    struct Section
    {
        double a0 = 1, a1 = 0, a2 = 0, b0 = 1, b1 = 0, b2 = 0;
    };
    struct Channel
    {
        double delay1 = 0, delay2 = 0, antiDenormal = 1e-8;
    };
    Section design(double fs, double f, double p) const;
    double filterSample(Channel& channel, double x, const Section& section) const;

    int type;
    int transitionSamples;
    int remainingSamples = -1;
    bool configured = false;
    Section target;
    Parameters transition{};
    Channel channels[2];
};
