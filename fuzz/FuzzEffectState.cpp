// The effect's state reader: the JSON document and its binary fallback.

#include "FuzzCheck.h"
#include "effect/Verdigrix.h"

#include <cstddef>
#include <cstdint>

using namespace fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    static Verdigrix& effect = *new Verdigrix();
    static const std::vector<double> defaults = Values(effect);
    ResetValues(effect, defaults);

    const IByteChunk chunk = ChunkOf(data, size);
    const int32_t end = effect.RestoreState(chunk, 0);
    RequireLoadInRange(effect, end, 4, chunk);
    if (end < 0)
        return 0;

    // What loaded saves, and the saved state loads to the same values and saves the same.
    const std::vector<double> loaded = Values(effect);
    IByteChunk saved;
    Require(effect.SerializeState(saved), "saving failed");
    ResetValues(effect, defaults);
    Require(effect.RestoreState(saved, 0) == saved.Size(), "saved state did not load whole");
    RequireSameValues(effect, loaded, "saved state loads other values");
    IByteChunk again;
    effect.SerializeState(again);
    Require(SameBytes(saved, again), "saving twice gives other bytes");
    return 0;
}
