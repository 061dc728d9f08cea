#pragma once

/// Loops that run two doubles at a time on any x86-64 processor run four at a time on one
/// with AVX2. A function marked VERDIGRIX_WIDE is compiled for AVX2 (without FMA, so no
/// multiply and add is fused and every result is the same as the baseline code's); it may
/// only be called when `wideVectors()` says the processor has the instructions. Elsewhere
/// the mark does nothing and `wideVectors()` is false.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define VERDIGRIX_WIDE __attribute__((target("avx2")))

namespace Dsp
{
inline bool wideVectors()
{
    static const bool available = __builtin_cpu_supports("avx2");
    return available;
}
} // namespace Dsp
#else
#define VERDIGRIX_WIDE

namespace Dsp
{
inline bool wideVectors()
{
    return false;
}
} // namespace Dsp
#endif
