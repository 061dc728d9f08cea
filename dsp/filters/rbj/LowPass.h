#pragma once

#include "dsp/filters/BiquadCascade.h"
#include "dsp/filters/Filter.h"
#include "dsp/filters/ParamInfo.h"
#include "dsp/filters/SectionBlock.h"

#include <array>

namespace Dsp::RBJ::Design
{

/// Cookbook low pass: gain p (the Q) at f, unity at DC.
/// Parameters: 0 sample rate (Hz), 1 frequency (Hz), 2 Q.
struct LowPass
{
    static constexpr const char* kName = "RBJ Low Pass";
    static constexpr int kMaxStages = 1;
    static constexpr std::array<ParamInfo, 3> kParameters{
        {{0, "Fs", "Sample Rate"}, {1, "Fc", "Cutoff Frequency"}, {2, "Q", "Resonance"}}};

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
