// The preset bank format: names, flags and the states inside them.

#include "BankSnapshot.h"
#include "FuzzCheck.h"
#include "effect/Verdigrix.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

using namespace fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    static Verdigrix& effect = *new Verdigrix();
    static const BankSnapshot defaultBank(effect);
    defaultBank.Restore(effect);

    const IByteChunk chunk = ChunkOf(data, size);
    const int32_t end = effect.UnserializePresets(chunk, 0);
    RequireLoadInRange(effect, end, 0, chunk);
    for (const auto& p : effect.presets)
        Require(std::memchr(p->name, 0, IPreset::kNameSize) != nullptr, "preset name unterminated");
    if (end < 0)
        return 0;

    // A bank that loaded saves and loads back to the same presets and values.
    const std::vector<PresetRecord> loaded = Presets(effect);
    const std::vector<double> values = Values(effect);
    IByteChunk saved;
    Require(effect.SerializePresets(saved), "saving the bank failed");
    defaultBank.Restore(effect);
    Require(effect.UnserializePresets(saved, 0) >= 0, "saved bank did not load");
    Require(Presets(effect) == loaded, "saved bank loads other presets");
    RequireSameValues(effect, values, "saved bank loads other values");
    return 0;
}
