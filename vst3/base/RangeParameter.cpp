#include "vst3/base/RangeParameter.h"

#include <algorithm>

namespace vst3
{

RangeParameter::RangeParameter(const char* title, ParamID id, const char* units,
                               ParamValue minPlain, ParamValue maxPlain, ParamValue defaultPlain,
                               int32 stepCount, int32 flags, UnitID unitId)
    : Parameter(title, id, units, stepCount, 0.0, flags, unitId), minPlain(minPlain),
      maxPlain(maxPlain)
{
    info.defaultNormalizedValue = toNormalized(defaultPlain);
}

ParamValue RangeParameter::toPlain(ParamValue normalized) const
{
    return minPlain + (maxPlain - minPlain) * normalized;
}

ParamValue RangeParameter::toNormalized(ParamValue plain) const
{
    if (maxPlain == minPlain)
        return 0.0;
    return (plain - minPlain) / (maxPlain - minPlain);
}

bool RangeParameter::fromString(const TChar* text, ParamValue& normalized) const
{
    ParamValue plain = 0.0;
    if (!Parameter::fromString(text, plain))
        return false;
    normalized = toNormalized(std::clamp(plain, minPlain, maxPlain));
    return true;
}

} // namespace vst3
