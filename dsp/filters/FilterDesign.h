#pragma once

#include "dsp/filters/DirectFormII.h"
#include "dsp/filters/FilterDesignBase.h"

#include <algorithm>
#include <array>

namespace Dsp
{

/// A designed filter with `Channels` independent channels of `State` (e.g. DirectFormII),
/// one state per section. Filtering never allocates.
template <class Design, int Channels, class State>
class FilterDesign : public FilterDesignBase<Design>
{
public:
    static_assert(Channels >= 1);

    /// Per-channel state: one record per section and the alternating offset that the
    /// first section adds, which keeps the recursion out of denormals on silence.
    struct ChannelState
    {
        std::array<State, Design::kMaxStages> stages{};
        double antiDenormal = 1e-8;
    };

    int channelCount() const override { return Channels; }

    void filterBlock(int count, double* const* channels) override
    {
        filterRange(this->coefficients, 0, count, channels);
        clearNonFiniteChannels();
    }

    std::array<ChannelState, Channels> state{};

protected:
    /// One sample of channel `c` through all sections of `cascade`.
    double filterSample(int c, double x, const BiquadCascade& cascade)
    {
        ChannelState& s = state[static_cast<unsigned>(c)];
        s.antiDenormal = -s.antiDenormal;
        const int stages = cascade.stageCount();
        if (stages < 1)
            return x;
        double y = s.stages[0].process(x, cascade.stage(0), s.antiDenormal);
        for (int i = 1; i < stages; ++i)
            y = s.stages[static_cast<unsigned>(i)].process(y, cascade.stage(i));
        return y;
    }

    /// Clears the memory of each channel that holds a non-finite value, so that a bad input
    /// sample (not a number, infinity) spoils the rest of its block only, not every block
    /// after it. Called once per block: a few comparisons.
    void clearNonFiniteChannels()
    {
        for (ChannelState& s : state)
            if (!std::all_of(s.stages.begin(), s.stages.end(),
                             [](const State& stage) { return stage.isFinite(); }))
                s.stages = {};
    }

    /// Samples [from, to) of every channel, first channel first, with fixed coefficients.
    void filterRange(const BiquadCascade& cascade, int from, int to, double* const* channels)
    {
        if (cascade.stageCount() == 1)
        {
            filterRangeOneSection(cascade.stage(0), from, to, channels);
            return;
        }
        for (int c = 0; c < Channels; ++c)
        {
            double* x = channels[c];
            for (int i = from; i < to; ++i)
                x[i] = filterSample(c, x[i], cascade);
        }
    }

    /// filterRange for a single section, the channels side by side: their recursions are
    /// independent, so the processor overlaps them, and the state stays in registers.
    void filterRangeOneSection(const BiquadCoefficients& coefficients, int from, int to,
                               double* const* channels)
    {
        const BiquadCoefficients c = coefficients;
        std::array<State, Channels> section;
        std::array<double, Channels> offset;
        for (int ch = 0; ch < Channels; ++ch)
        {
            section[static_cast<unsigned>(ch)] = state[static_cast<unsigned>(ch)].stages[0];
            offset[static_cast<unsigned>(ch)] = state[static_cast<unsigned>(ch)].antiDenormal;
        }
        for (int i = from; i < to; ++i)
            for (int ch = 0; ch < Channels; ++ch)
            {
                double& o = offset[static_cast<unsigned>(ch)];
                o = -o;
                channels[ch][i] = section[static_cast<unsigned>(ch)].process(channels[ch][i], c, o);
            }
        for (int ch = 0; ch < Channels; ++ch)
        {
            state[static_cast<unsigned>(ch)].stages[0] = section[static_cast<unsigned>(ch)];
            state[static_cast<unsigned>(ch)].antiDenormal = offset[static_cast<unsigned>(ch)];
        }
    }
};

} // namespace Dsp
