#include "vst3/base/Parameter.h"

#include "vst3/base/Utf16.h"

#include <cmath>
#include <cstdlib>

namespace vst3
{

Parameter::Parameter(const char* title, ParamID id, const char* units, int32 stepCount,
                     ParamValue defaultNormalized, int32 flags, UnitID unitId)
{
    info.id = id;
    WidenInto(info.title, 128, title);
    WidenInto(info.shortTitle, 128, "");
    WidenInto(info.units, 128, units);
    info.stepCount = stepCount;
    info.defaultNormalizedValue = defaultNormalized;
    info.unitId = unitId;
    info.flags = flags;
}

bool Parameter::fromString(const TChar* text, ParamValue& normalized) const
{
    const std::string narrow = Narrow(text, 4096);
    char* end = nullptr;
    const double v = std::strtod(narrow.c_str(), &end);
    // "nan" reads as a number but is no value a parameter can take.
    if (end == narrow.c_str() || std::isnan(v))
        return false;
    normalized = v;
    return true;
}

} // namespace vst3
