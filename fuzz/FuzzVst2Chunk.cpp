// effSetChunk, program and bank, through the VST2 effect record's dispatcher.
// The first input byte chooses: even = program chunk, odd = bank chunk; the rest is the chunk.

#include "BankSnapshot.h"
#include "Vst2FuzzInstance.h"

#include <cstddef>
#include <cstdint>
#include <vector>

using namespace fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    static Vst2FuzzInstance instance;
    static const BankSnapshot defaultBank(*instance.plugin);
    defaultBank.Restore(*instance.plugin);
    if (size == 0)
        return 0;
    const bool bank = (data[0] & 1) != 0;
    const std::vector<uint8_t> bytes(data + 1, data + size);

    const intptr_t result = instance.SetChunk(bank, bytes);
    Require(result == 0 || result == 1, "effSetChunk result");
    RequireParametersInRange(*instance.plugin);
    for (float v : instance.Normalised())
        RequireNormalised(v, "getParameter out of 0..1");
    if (result != 1)
        return 0;

    // A chunk that loaded gives a chunk that loads to the same values and saves the same.
    const std::vector<double> loaded = Values(*instance.plugin);
    const std::vector<uint8_t> saved = instance.Chunk(bank);
    defaultBank.Restore(*instance.plugin);
    Require(instance.SetChunk(bank, saved) == 1, "saved chunk refused");
    RequireSameValues(*instance.plugin, loaded, "saved chunk loads other values");
    Require(instance.Chunk(bank) == saved, "saving twice gives other bytes");
    return 0;
}
