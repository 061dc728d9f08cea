#include "vst3/base/StringListParameter.h"

#include "vst3/base/Utf16.h"

#include <algorithm>
#include <cmath>

namespace vst3
{

StringListParameter::StringListParameter(const char* title, ParamID id, const char* units,
                                         int32 flags, UnitID unitId)
    : Parameter(title, id, units, -1, 0.0, flags, unitId)
{
}

void StringListParameter::appendString(const char* text)
{
    std::u16string s = Widen(text);
    if (s.size() > 127)
        s.resize(127);
    strings.push_back(std::move(s));
    ++info.stepCount;
}

const std::u16string& StringListParameter::getString(int32 index) const
{
    static const std::u16string none;
    if (index < 0 || index >= getStringCount())
        return none;
    return strings[static_cast<std::size_t>(index)];
}

ParamValue StringListParameter::toPlain(ParamValue normalized) const
{
    const int32 steps = info.stepCount;
    if (steps <= 0)
        return 0.0;
    return std::min<ParamValue>(steps, std::trunc((steps + 1) * normalized));
}

ParamValue StringListParameter::toNormalized(ParamValue plain) const
{
    return info.stepCount <= 0 ? 0.0 : plain / info.stepCount;
}

bool StringListParameter::fromString(const TChar* text, ParamValue& normalized) const
{
    if (text == nullptr)
        return false;
    const std::u16string wanted(text);
    for (int32 i = 0; i < getStringCount(); ++i)
        if (strings[static_cast<std::size_t>(i)] == wanted)
        {
            // A single-entry list has no steps; its only position is 0.
            normalized = info.stepCount > 0 ? static_cast<ParamValue>(i) / info.stepCount : 0.0;
            return true;
        }
    return false;
}

} // namespace vst3
