#pragma once

namespace Dsp
{

/// One stretch of a glide as arrays, one entry per sample: the parameters the sample sounds
/// with and the section designed from them. Laid out as arrays rather than records so that
/// a design computes a whole stretch in vector registers.
struct SectionBlock
{
    static constexpr int kLength = 64;

    // Parameters (positions 0, 1 and 2 of the filter's parameter array).
    double fs[kLength];
    double f[kLength];
    double p[kLength];

    // Working values of the design.
    double w0[kLength];
    double cs[kLength];
    double sn[kLength];

    // The section, normalised as BiquadCoefficients is (a0 as designed).
    double a0[kLength];
    double a1[kLength];
    double a2[kLength];
    double b0[kLength];
    double b1[kLength];
    double b2[kLength];

    /// Stores the section of entry `s` from raw terms, as BiquadCoefficients does: a0
    /// unchanged, the other five divided by it.
    void assign(int s, double a0_, double a1_, double a2_, double b0_, double b1_, double b2_)
    {
        a0[s] = a0_;
        a1[s] = a1_ / a0_;
        a2[s] = a2_ / a0_;
        b0[s] = b0_ / a0_;
        b1[s] = b1_ / a0_;
        b2[s] = b2_ / a0_;
    }
};

} // namespace Dsp
