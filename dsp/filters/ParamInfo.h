#pragma once

namespace Dsp
{

/// Describes one position of a design's parameter array (`Filter::FilterParameters`).
struct ParamInfo
{
    int id;                ///< stable identifier, used by `Filter::setParameterById`
    const char* shortName; ///< e.g. "Fc"
    const char* longName;  ///< e.g. "Cutoff Frequency"
};

} // namespace Dsp

namespace Dsp
{

/// Returns `table[position]`; throws std::logic_error("invalid usage of ParamInfo") when
/// `position` is outside 0..count-1 (a programming error, never raised by ordinary use).
const ParamInfo& checkedParamInfo(const ParamInfo* table, int count, int position);

} // namespace Dsp
