#pragma once

// What every fuzz target asserts beyond "no crash". A broken invariant aborts, which the
// fuzzer records as a crash together with the input that caused it.

#include "framework/IByteChunk.h"
#include "framework/IEffectBase.h"
#include "framework/IParameter.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace fuzz
{

[[noreturn]] inline void Fail(const char* what, int index = -1, double value = 0.0)
{
    std::fprintf(stderr, "invariant broken: %s (index %d, value %.17g)\n", what, index, value);
    std::abort();
}

inline void Require(bool condition, const char* what)
{
    if (!condition)
        Fail(what);
}

/// Every parameter finite and within its range.
inline void RequireParametersInRange(IEffectBase& effect)
{
    for (int i = 0; i < effect.ParamCount(); ++i)
    {
        const IParameter& p = *effect.Param(i);
        const double v = p.Value();
        if (!std::isfinite(v) || v < p.Min() || v > p.Max())
            Fail("parameter out of range", i, v);
    }
}

/// After a load from position 0: every parameter in range, and the reader's result either
/// -1 (refused) or a position after at least `least` bytes (its smallest valid input) and
/// within the chunk.
inline void RequireLoadInRange(IEffectBase& effect, int32_t end, int32_t least,
                               const IByteChunk& chunk)
{
    RequireParametersInRange(effect);
    if (end != -1 && (end < least || end > chunk.Size()))
        Fail("position outside the chunk", end);
}

/// Every normalised value finite and within 0..1.
inline void RequireNormalised(double v, const char* what, int index = -1)
{
    if (!(v >= 0.0 && v <= 1.0))
        Fail(what, index, v);
}

inline std::vector<double> Values(IEffectBase& effect)
{
    std::vector<double> values;
    for (int i = 0; i < effect.ParamCount(); ++i)
        values.push_back(effect.Param(i)->Value());
    return values;
}

/// Puts back the given values as a state load does (each set, then every change announced),
/// without reading a document for it: the targets reset before almost every input.
inline void ResetValues(IEffectBase& effect, const std::vector<double>& values)
{
    if (Values(effect) == values)
        return;
    for (int i = 0; i < effect.ParamCount(); ++i)
        effect.Param(i)->SetClamped(values[static_cast<std::size_t>(i)]);
    for (int i = 0; i < effect.ParamCount(); ++i)
        effect.ParameterChanged(i, IEffectBase::kSourceState);
}

inline void RequireSameValues(IEffectBase& effect, const std::vector<double>& expected,
                              const char* what)
{
    const std::vector<double> now = Values(effect);
    for (std::size_t i = 0; i < now.size(); ++i)
        if (now[i] != expected[i])
            Fail(what, static_cast<int>(i), now[i]);
}

inline bool SameBytes(const IByteChunk& a, const IByteChunk& b)
{
    if (a.Size() != b.Size())
        return false;
    for (int32_t i = 0; i < a.Size(); ++i)
        if (a.Data()[i] != b.Data()[i])
            return false;
    return true;
}

inline IByteChunk ChunkOf(const uint8_t* data, std::size_t size)
{
    IByteChunk chunk;
    if (size > 0)
        chunk.PutBytes(data, static_cast<int32_t>(size));
    return chunk;
}

} // namespace fuzz
