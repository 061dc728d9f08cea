#pragma once

#include "dsp/filters/Filter.h"

namespace Dsp
{

/// A filter of one design: holds the design (and whatever it keeps between designs) and
/// the current target coefficients. `Design` provides `kName`, `kParameters` (its
/// descriptors), `kMaxStages` and `design(parameters, cascade)`.
template <class Design> class FilterDesignBase : public Filter
{
public:
    const char* name() const override { return Design::kName; }
    int parameterCount() const override { return static_cast<int>(Design::kParameters.size()); }
    ParamInfo parameterInfo(int position) const override
    {
        return checkedParamInfo(Design::kParameters.data(), parameterCount(), position);
    }
    std::complex<double> responseAt(double normalizedFrequency) const override
    {
        return coefficients.responseAt(normalizedFrequency);
    }
    BiquadCascade targetCoefficients() const override { return coefficients; }
    void applyParameters(const Parameters& parameters) override
    {
        design.design(parameters, coefficients);
    }

    /// The design object (for a design with state, such as a cached analog prototype).
    Design design;
    /// Target coefficients of the last design.
    BiquadCascade coefficients;
};

} // namespace Dsp
