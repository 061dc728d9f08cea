#include "dsp/filters/Filter.h"

namespace Dsp
{

void Filter::setParameters(const Parameters& parameters)
{
    FilterParameters = parameters;
    applyParameters(FilterParameters);
}

void Filter::setParameterById(int id, double value)
{
    for (int position = parameterCount() - 1; position >= 0; --position)
    {
        if (parameterInfo(position).id == id)
        {
            FilterParameters[static_cast<unsigned>(position)] = value;
            applyParameters(FilterParameters);
            return;
        }
    }
}

} // namespace Dsp
