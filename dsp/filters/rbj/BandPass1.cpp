#include "dsp/filters/rbj/BandPass1.h"

#include "dsp/filters/WideVectors.h"
#include "dsp/filters/rbj/CookbookAngles.h"
#include "dsp/filters/rbj/NyquistGuard.h"

#include <cmath>

namespace Dsp::RBJ::Design
{

void BandPass1::designStage(double fs, double f, double p, BiquadCoefficients& c)
{
    const double w0 = (guardedFrequency(fs, f) * 6.283185307179586) / fs;
    const double cs = std::cos(w0);
    const double sn = std::sin(w0);
    const double alpha = sn * std::sinh(std::log(2.0) * 0.5 * p * w0 / sn);
    c.assignCoefficients(1.0 + alpha, -2.0 * cs, 1.0 - alpha, p * alpha, 0.0, -(p * alpha));
}

namespace
{
[[gnu::always_inline]] inline void designBandPass1(SectionBlock& block, int n)
{
    cookbookAngles(block, n);
    const double ln2 = std::log(2.0);
    // a0 holds the sinh's argument and a1 the sinh until assign overwrites both.
    for (int s = 0; s < n; ++s)
        block.a0[s] = ln2 * 0.5 * block.p[s] * block.w0[s] / block.sn[s];
    for (int s = 0; s < n; ++s)
        block.a1[s] = VectorMath::sinh(block.a0[s]);
    for (int s = 0; s < n; ++s)
        if (!(std::fabs(block.a0[s]) <= VectorMath::kSinhLargest))
            block.a1[s] = std::sinh(block.a0[s]);
    for (int s = 0; s < n; ++s)
    {
        const double cs = block.cs[s];
        const double p = block.p[s];
        const double alpha = block.sn[s] * block.a1[s];
        block.assign(s, 1.0 + alpha, -2.0 * cs, 1.0 - alpha, p * alpha, 0.0, -(p * alpha));
    }
}

// The same loops compiled three times: for the baseline vector unit, AVX2 and AVX-512.
VERDIGRIX_WIDER void designBandPass1Wider(SectionBlock& block, int n)
{
    designBandPass1(block, n);
}

VERDIGRIX_WIDE void designBandPass1Wide(SectionBlock& block, int n)
{
    designBandPass1(block, n);
}

void designBandPass1Baseline(SectionBlock& block, int n)
{
    designBandPass1(block, n);
}
} // namespace

void BandPass1::designBlock(SectionBlock& block, int n)
{
    if (widerVectors())
        designBandPass1Wider(block, n);
    else if (wideVectors())
        designBandPass1Wide(block, n);
    else
        designBandPass1Baseline(block, n);
}

} // namespace Dsp::RBJ::Design
