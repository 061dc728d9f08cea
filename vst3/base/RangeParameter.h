#pragma once

#include "vst3/base/Parameter.h"

namespace vst3
{

/// A continuous parameter with a plain range; normalisation is linear.
class RangeParameter : public Parameter
{
public:
    RangeParameter(const char* title, ParamID id, const char* units, ParamValue minPlain,
                   ParamValue maxPlain, ParamValue defaultPlain, int32 stepCount, int32 flags,
                   UnitID unitId);

    ParamValue getMin() const { return minPlain; }
    ParamValue getMax() const { return maxPlain; }

    ParamValue toPlain(ParamValue normalized) const override;
    ParamValue toNormalized(ParamValue plain) const override;
    /// The text's leading number, clamped to the range and normalised.
    bool fromString(const TChar* text, ParamValue& normalized) const override;

private:
    ParamValue minPlain;
    ParamValue maxPlain;
};

} // namespace vst3
