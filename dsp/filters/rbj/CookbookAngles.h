#pragma once

#include "dsp/filters/SectionBlock.h"
#include "dsp/filters/VectorMath.h"
#include "dsp/filters/rbj/NyquistGuard.h"

#include <cmath>

namespace Dsp::RBJ
{

/// The angle every cookbook section starts from, w0 = 2 pi f / fs with f guarded below
/// Nyquist, and its cosine and sine, for entries [0, n) of `block`.
[[gnu::always_inline]] inline void cookbookAngles(SectionBlock& block, int n)
{
    for (int s = 0; s < n; ++s)
    {
        const double w0 = (guardedFrequency(block.fs[s], block.f[s]) * 6.283185307179586) /
                          block.fs[s];
        block.w0[s] = w0;
        VectorMath::sinCos(w0, block.sn[s], block.cs[s]);
    }
    // Angles the reduction does not cover (a rate of 0, not a number) take the library's.
    for (int s = 0; s < n; ++s)
    {
        if (!(std::fabs(block.w0[s]) <= VectorMath::kSinCosLargest))
        {
            block.sn[s] = std::sin(block.w0[s]);
            block.cs[s] = std::cos(block.w0[s]);
        }
    }
}

} // namespace Dsp::RBJ
