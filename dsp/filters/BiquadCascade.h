#pragma once

#include "dsp/filters/BiquadCoefficients.h"

#include <array>
#include <complex>

namespace Dsp
{

/// A fixed-capacity chain of second-order sections: the target coefficients of a design.
/// A plain value: copying it is how a reader on another thread (the editor's response
/// curve) takes a consistent snapshot without touching the live filter.
class BiquadCascade
{
public:
    static constexpr int kMaxStages = 4;

    /// Number of sections in use (0 to kMaxStages).
    int stageCount() const { return count; }
    void setStageCount(int stages);

    BiquadCoefficients& stage(int index) { return stages[static_cast<unsigned>(index)]; }
    const BiquadCoefficients& stage(int index) const
    {
        return stages[static_cast<unsigned>(index)];
    }

    /// Product of the sections' responses at f / sample rate (closed form, no allocation).
    /// Not-a-number in both parts when any section's denominator is zero or not finite.
    std::complex<double> responseAt(double normalizedFrequency) const;

private:
    std::array<BiquadCoefficients, kMaxStages> stages{};
    int count = 0;
};

} // namespace Dsp
