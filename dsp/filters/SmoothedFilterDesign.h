#pragma once

#include "dsp/filters/FilterDesign.h"
#include "dsp/filters/SectionBlock.h"

#include <algorithm>
#include <array>

namespace Dsp
{

/// A single-section filter whose parameter changes glide linearly over
/// `transitionSamples` samples, with the coefficients designed afresh for every sample of
/// the glide, so that sweeps do not click. The first configuration applies at once.
/// `Design` must also provide `designBlock(block, n)`, the per-sample design of a stretch.
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
        // The parameters of every sample are known in advance: each stretch is designed at
        // once, vectorised, then filtered sample by sample with its own section.
        SectionBlock block;
        for (int done = 0; done < k; done += SectionBlock::kLength)
        {
            const int n = std::min(SectionBlock::kLength, k - done);
            for (int s = 0; s < n; ++s)
            {
                transitionParameters[2] += d[2];
                transitionParameters[1] += d[1];
                transitionParameters[0] += d[0];
                block.fs[s] = transitionParameters[0];
                block.f[s] = transitionParameters[1];
                block.p[s] = transitionParameters[2];
            }
            Design::designBlock(block, n);
            filterStretch(block, n, done, channels);
        }
        transitionCoefficients.setStageCount(1);
        const int last = (k - 1) % SectionBlock::kLength;
        transitionCoefficients.stage(0) = {block.a0[last], block.a1[last], block.a2[last],
                                           block.b1[last], block.b2[last], block.b0[last]};
        remainingSamples = r - k;
        if (remainingSamples == 0)
            transitionParameters = target;
    }

    /// Samples [from, from + n) of every channel, sample s with the section of entry s.
    void filterStretch(const SectionBlock& block, int n, int from, double* const* channels)
    {
        // The state in locals: the compiler cannot tell the sample arrays from it.
        std::array<State, Channels> section;
        std::array<double, Channels> offset;
        for (int ch = 0; ch < Channels; ++ch)
        {
            section[static_cast<unsigned>(ch)] = this->state[static_cast<unsigned>(ch)].stages[0];
            offset[static_cast<unsigned>(ch)] = this->state[static_cast<unsigned>(ch)].antiDenormal;
        }
        for (int s = 0; s < n; ++s)
        {
            const BiquadCoefficients c{block.a0[s], block.a1[s], block.a2[s],
                                       block.b1[s], block.b2[s], block.b0[s]};
            for (int ch = Channels - 1; ch >= 0; --ch)
            {
                double& o = offset[static_cast<unsigned>(ch)];
                o = -o;
                double& x = channels[ch][from + s];
                x = section[static_cast<unsigned>(ch)].process(x, c, o);
            }
        }
        for (int ch = 0; ch < Channels; ++ch)
        {
            this->state[static_cast<unsigned>(ch)].stages[0] = section[static_cast<unsigned>(ch)];
            this->state[static_cast<unsigned>(ch)].antiDenormal = offset[static_cast<unsigned>(ch)];
        }
    }
};

} // namespace Dsp
