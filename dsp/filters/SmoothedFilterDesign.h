#pragma once

#include "dsp/filters/FilterDesign.h"

#include <algorithm>

namespace Dsp
{

/// A single-section filter whose parameter changes glide linearly over
/// `transitionSamples` samples, with the coefficients designed afresh for every sample of
/// the glide, so that sweeps do not click. The first configuration applies at once.
/// `Design` must also provide `designStage(fs, f, p, coefficients)`.
template <class Design, int Channels, class State>
class SmoothedFilterDesign : public FilterDesign<Design, Channels, State>
{
public:
    static_assert(Design::kMaxStages == 1, "the glide designs one section per sample");
    using Parameters = Filter::Parameters;

    explicit SmoothedFilterDesign(int transitionSamples = 512)
        : transitionSamples(std::max(transitionSamples, 1))
    {
    }

    void applyParameters(const Parameters& parameters) override
    {
        if (remainingSamples < 0)
        {
            remainingSamples = 0;
            transitionParameters = parameters;
        }
        else
        {
            remainingSamples = transitionSamples;
        }
        FilterDesignBase<Design>::applyParameters(parameters);
    }

    void filterBlock(int count, double* const* channels) override
    {
        if (count <= 0)
            return;
        // Never negative: before the first configuration remainingSamples is -1, and the
        // plain part must still start at sample 0.
        const int k = std::clamp(remainingSamples, 0, count);
        if (k > 0)
            glide(k, channels);
        if (count - k > 0)
            this->filterRange(this->coefficients, k, count, channels);
        this->clearNonFiniteChannels();
    }

    /// Length of a glide in samples.
    int transitionSamples;
    /// Samples left in the current glide; -1 until the first configuration.
    int remainingSamples = -1;
    /// Parameters the filter is sounding with during a glide.
    Parameters transitionParameters{};
    /// Coefficients designed from `transitionParameters` for the current sample.
    BiquadCascade transitionCoefficients;

private:
    void glide(int k, double* const* channels)
    {
        const int r = remainingSamples;
        const Parameters& target = this->FilterParameters;
        double d[3];
        for (int i = 0; i < 3; ++i)
            d[i] = (target[static_cast<unsigned>(i)] -
                    transitionParameters[static_cast<unsigned>(i)]) /
                   r;
        transitionCoefficients.setStageCount(1);
        BiquadCoefficients& c = transitionCoefficients.stage(0);
        for (int s = 0; s < k; ++s)
        {
            transitionParameters[2] += d[2];
            transitionParameters[1] += d[1];
            transitionParameters[0] += d[0];
            Design::designStage(transitionParameters[0], transitionParameters[1],
                                transitionParameters[2], c);
            for (int ch = Channels - 1; ch >= 0; --ch)
                channels[ch][s] = this->filterSample(ch, channels[ch][s], transitionCoefficients);
        }
        remainingSamples = r - k;
        if (remainingSamples == 0)
            transitionParameters = target;
    }
};

} // namespace Dsp
