#include "dsp/filters/ParamInfo.h"

#include <stdexcept>

namespace Dsp
{

const ParamInfo& checkedParamInfo(const ParamInfo* table, int count, int position)
{
    if (position < 0 || position >= count)
        throw std::logic_error("invalid usage of ParamInfo");
    return table[position];
}

} // namespace Dsp
