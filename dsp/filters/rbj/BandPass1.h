#pragma once

#include "dsp/filters/BiquadCascade.h"
#include "dsp/filters/Filter.h"
#include "dsp/filters/ParamInfo.h"
#include "dsp/filters/SectionBlock.h"

#include <array>

namespace Dsp::RBJ::Design
{

/// Cookbook band pass (peak gain p): p octaves wide, gain p at the centre f.
/// Parameters: 0 sample rate (Hz), 1 frequency (Hz), 2 bandwidth in octaves.
struct BandPass1
{
    static constexpr const char* kName = "RBJ Band Pass 1";
    static constexpr int kMaxStages = 1;
    static constexpr std::array<ParamInfo, 3> kParameters{{{0, "Fs", "Sample Rate"},
                                                           {1, "Fc", "Center Frequency"},
                                                           {3, "BW", "Bandwidth (Octaves)"}}};

    /// Designs one section from sample rate `fs`, frequency `f` and `p`. The frequency
    /// is kept below Nyquist (NyquistGuard.h). Called per sample during a glide.
    static void designStage(double fs, double f, double p, BiquadCoefficients& c);
    /// designStage for entries [0, n) of `block`, from its parameters into its section.
    static void designBlock(SectionBlock& block, int n);

    void design(const Filter::Parameters& parameters, BiquadCascade& cascade) const
    {
        cascade.setStageCount(1);
        designStage(parameters[0], parameters[1], parameters[2], cascade.stage(0));
    }
};

} // namespace Dsp::RBJ::Design
