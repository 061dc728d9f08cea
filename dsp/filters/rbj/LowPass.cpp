#include "dsp/filters/rbj/LowPass.h"

#include "dsp/filters/WideVectors.h"
#include "dsp/filters/rbj/CookbookAngles.h"
#include "dsp/filters/rbj/NyquistGuard.h"

#include <cmath>

namespace Dsp::RBJ::Design
{

void LowPass::designStage(double fs, double f, double p, BiquadCoefficients& c)
{
    const double w0 = (guardedFrequency(fs, f) * 6.283185307179586) / fs;
    const double cs = std::cos(w0);
    const double sn = std::sin(w0);
    const double alpha = sn / (p + p);
    const double b1 = 1.0 - cs;
    const double b0 = b1 * 0.5;
    c.assignCoefficients(1.0 + alpha, -2.0 * cs, 1.0 - alpha, b0, b1, b0);
}

namespace
{
[[gnu::always_inline]] inline void designLowPass(SectionBlock& block, int n)
{
    cookbookAngles(block, n);
    for (int s = 0; s < n; ++s)
    {
        const double cs = block.cs[s];
        const double alpha = block.sn[s] / (block.p[s] + block.p[s]);
        const double b1 = 1.0 - cs;
        const double b0 = b1 * 0.5;
        block.assign(s, 1.0 + alpha, -2.0 * cs, 1.0 - alpha, b0, b1, b0);
    }
}

// The same loops compiled three times: for the baseline vector unit, AVX2 and AVX-512.
VERDIGRIX_WIDER void designLowPassWider(SectionBlock& block, int n)
{
    designLowPass(block, n);
}

VERDIGRIX_WIDE void designLowPassWide(SectionBlock& block, int n)
{
    designLowPass(block, n);
}

void designLowPassBaseline(SectionBlock& block, int n)
{
    designLowPass(block, n);
}
} // namespace

void LowPass::designBlock(SectionBlock& block, int n)
{
    if (widerVectors())
        designLowPassWider(block, n);
    else if (wideVectors())
        designLowPassWide(block, n);
    else
        designLowPassBaseline(block, n);
}

} // namespace Dsp::RBJ::Design
