#include "dsp/filters/rbj/HighPass.h"

#include "dsp/filters/WideVectors.h"
#include "dsp/filters/rbj/CookbookAngles.h"
#include "dsp/filters/rbj/NyquistGuard.h"

#include <cmath>

namespace Dsp::RBJ::Design
{

void HighPass::designStage(double fs, double f, double p, BiquadCoefficients& c)
{
    const double w0 = (guardedFrequency(fs, f) * 6.283185307179586) / fs;
    const double cs = std::cos(w0);
    const double sn = std::sin(w0);
    const double alpha = sn / (p + p);
    const double b0 = (1.0 + cs) * 0.5;
    c.assignCoefficients(1.0 + alpha, -2.0 * cs, 1.0 - alpha, b0, -(1.0 + cs), b0);
}

namespace
{
[[gnu::always_inline]] inline void designHighPass(SectionBlock& block, int n)
{
    cookbookAngles(block, n);
    for (int s = 0; s < n; ++s)
    {
        const double cs = block.cs[s];
        const double alpha = block.sn[s] / (block.p[s] + block.p[s]);
        const double b0 = (1.0 + cs) * 0.5;
        block.assign(s, 1.0 + alpha, -2.0 * cs, 1.0 - alpha, b0, -(1.0 + cs), b0);
    }
}

// The same loops compiled three times: for the baseline vector unit, AVX2 and AVX-512.
VERDIGRIX_WIDER void designHighPassWider(SectionBlock& block, int n)
{
    designHighPass(block, n);
}

VERDIGRIX_WIDE void designHighPassWide(SectionBlock& block, int n)
{
    designHighPass(block, n);
}

void designHighPassBaseline(SectionBlock& block, int n)
{
    designHighPass(block, n);
}
} // namespace

void HighPass::designBlock(SectionBlock& block, int n)
{
    if (widerVectors())
        designHighPassWider(block, n);
    else if (wideVectors())
        designHighPassWide(block, n);
    else
        designHighPassBaseline(block, n);
}

} // namespace Dsp::RBJ::Design
