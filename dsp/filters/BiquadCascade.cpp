#include "dsp/filters/BiquadCascade.h"

#include <algorithm>

namespace Dsp
{

void BiquadCascade::setStageCount(int stages)
{
    count = std::clamp(stages, 0, kMaxStages);
}

std::complex<double> BiquadCascade::responseAt(double normalizedFrequency) const
{
    std::complex<double> response{1.0, 0.0};
    for (int i = 0; i < count; ++i)
        response *= stages[static_cast<unsigned>(i)].responseAt(normalizedFrequency);
    return response;
}

} // namespace Dsp
