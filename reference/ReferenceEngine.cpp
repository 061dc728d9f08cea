#include "reference/ReferenceEngine.h"

#include "reference/ReferenceFilter.h"

#include <algorithm>
#include <cmath>

namespace
{
void saturateAll(double* samples, int count)
{
    for (int i = 0; i < count; ++i)
    {
        const double x = samples[i];
        samples[i] = x > 0.0 ? 1.0 - std::exp(-x) + 0.2 * x : std::exp(-std::fabs(x)) - 1.0;
    }
}

void gainAll(int count, double* const* channels, double gain)
{
    for (int c = 1; c >= 0; --c)
        for (int i = 0; i < count; ++i)
            channels[c][i] *= gain;
}
} // namespace

ReferenceEngine::ReferenceEngine()
{
    setFilterType(kLowPass);
}

void ReferenceEngine::setFilterType(int type)
{
    filter = std::make_unique<ReferenceFilter>(type, kFilterTransitionSamples);
    filterType = type;
    updateFilter();
}

void ReferenceEngine::processOversampled(double* const* channels, int n)
{
    if (bypass)
        return;
    if (followPitch)
        followPitchStep(channels[0], n);
    fill(n);
    double* mod[2] = {modulation[0].get(), modulation[1].get()};
    if (isFilteredSource(sourceType))
        filter->filterBlock(n, mod);
    if (saturation)
    {
        saturateAll(mod[0], n);
        saturateAll(mod[1], n);
    }
    gainAll(n, channels, inputGain);
    for (int c = 0; c < 2; ++c)
    {
        double* x = channels[c];
        if (saturation)
            saturateAll(x, n);
        for (int i = 0; i < n; ++i)
            x[i] = (mod[c][i] * amount + 1.0) * x[i];
        if (saturation)
            saturateAll(x, n);
    }
    gainAll(n, channels, outputGain);
}

void ReferenceEngine::fill(int n)
{
    double* left = modulation[0].get();
    double* right = modulation[1].get();
    switch (sourceType)
    {
    case kNoise:
        fillNoise(left, n, noise);
        std::copy_n(left, n, right);
        break;
    case kStereoNoise:
        fillNoise(left, n, noise);
        fillNoise(right, n, noise);
        break;
    case kSine:
        sine.fill(left, n);
        std::copy_n(left, n, right);
        break;
    case kSaw:
        saw.fill(left, n);
        std::copy_n(left, n, right);
        break;
    case kSquare:
        square.fill(left, n);
        std::copy_n(left, n, right);
        break;
    case kSideChain:
        for (int c = 0; c < 2; ++c)
        {
            const double* in = sidechain[static_cast<unsigned>(c)];
            for (int i = 0; i < n; ++i)
                modulation[c][static_cast<unsigned>(i)] =
                    in ? in[sliceOffset + i / oversampling] : 0.0;
        }
        break;
    default:
        break;
    }
}
