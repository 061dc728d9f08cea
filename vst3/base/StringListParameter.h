#pragma once

#include "vst3/base/Parameter.h"

#include <string>
#include <vector>

namespace vst3
{

/// A list parameter: one string per step, stepCount = strings − 1, default 0.
class StringListParameter : public Parameter
{
public:
    StringListParameter(const char* title, ParamID id, const char* units, int32 flags,
                        UnitID unitId);

    /// Appends one entry (widened byte by byte) and adds 1 to stepCount.
    void appendString(const char* text);
    int32 getStringCount() const { return static_cast<int32>(strings.size()); }
    const std::u16string& getString(int32 index) const;

    ParamValue toPlain(ParamValue normalized) const override;
    ParamValue toNormalized(ParamValue plain) const override;
    /// Exact, case-sensitive match of an entry: its position over stepCount.
    bool fromString(const TChar* text, ParamValue& normalized) const override;

private:
    std::vector<std::u16string> strings;
};

} // namespace vst3
