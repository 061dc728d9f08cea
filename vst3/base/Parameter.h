#pragma once

#include "vst3/abi/Vst3EditController.h"

namespace vst3
{

/// A host-visible parameter described by its ParameterInfo. The plain form equals the
/// normalised one; a text is read as the normalised number itself. [ui thread]
class Parameter
{
public:
    /// Texts are widened byte by byte (at most 127 characters); shortTitle stays empty.
    Parameter(const char* title, ParamID id, const char* units, int32 stepCount,
              ParamValue defaultNormalized, int32 flags, UnitID unitId);
    virtual ~Parameter() = default;
    Parameter(const Parameter&) = delete;
    Parameter& operator=(const Parameter&) = delete;

    const ParameterInfo& getInfo() const { return info; }
    ParamID getId() const { return info.id; }
    /// The value a host starts and resets the parameter at (0..1).
    void setDefaultNormalizedValue(ParamValue value) { info.defaultNormalizedValue = value; }

    virtual ParamValue toPlain(ParamValue normalized) const { return normalized; }
    virtual ParamValue toNormalized(ParamValue plain) const { return plain; }
    /// Reads `text` into a normalised value; false when it cannot be read.
    virtual bool fromString(const TChar* text, ParamValue& normalized) const;

protected:
    ParameterInfo info{};
};

} // namespace vst3
