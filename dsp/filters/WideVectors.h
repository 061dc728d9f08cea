#pragma once

#include <algorithm>
#include <atomic>

/// Loops that run two doubles at a time on any x86-64 processor run four at a time on one
/// with AVX2, and eight on one with AVX-512. A function marked VERDIGRIX_WIDE is compiled
/// for AVX2, one marked VERDIGRIX_WIDER for AVX-512; each may only be called when
/// `wideVectors()` or `widerVectors()` says the processor has the instructions. Neither
/// fuses a multiply and an add (AVX2 is taken without FMA, and the libraries that use the
/// marks are built with -ffp-contract=off, which AVX-512's own fused forms would otherwise
/// invite), so every lane computes what the baseline code computes, bit for bit. Elsewhere
/// the marks do nothing and both queries are false.
namespace Dsp
{

/// The vector units, narrowest first.
enum class VectorWidth
{
    kBaseline = 0,
    kAvx2 = 1,
    kAvx512 = 2
};

namespace Detail
{
inline std::atomic<int> vectorWidthLimit{static_cast<int>(VectorWidth::kAvx512)};
} // namespace Detail

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define VERDIGRIX_WIDE __attribute__((target("avx2")))
#define VERDIGRIX_WIDER __attribute__((target("avx512f")))

/// The widest unit the processor has.
inline VectorWidth supportedVectorWidth()
{
    static const VectorWidth width = __builtin_cpu_supports("avx512f") ? VectorWidth::kAvx512
                                     : __builtin_cpu_supports("avx2")  ? VectorWidth::kAvx2
                                                                       : VectorWidth::kBaseline;
    return width;
}
#else
#define VERDIGRIX_WIDE
#define VERDIGRIX_WIDER

inline VectorWidth supportedVectorWidth()
{
    return VectorWidth::kBaseline;
}
#endif

/// Caps the width the marked code chooses from here on (every width gives the same
/// results: tests and benchmarks compare them). Any thread.
inline void limitVectorWidth(VectorWidth width)
{
    Detail::vectorWidthLimit.store(static_cast<int>(width), std::memory_order_relaxed);
}

/// The width the marked code runs at: the processor's, within the limit.
inline VectorWidth vectorWidth()
{
    return static_cast<VectorWidth>(
        std::min(static_cast<int>(supportedVectorWidth()),
                 Detail::vectorWidthLimit.load(std::memory_order_relaxed)));
}

inline bool wideVectors()
{
    return vectorWidth() >= VectorWidth::kAvx2;
}

inline bool widerVectors()
{
    return vectorWidth() >= VectorWidth::kAvx512;
}

} // namespace Dsp
