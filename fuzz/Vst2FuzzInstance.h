#pragma once

#include "FuzzCheck.h"
#include "effect/Verdigrix.h"
#include "vst2/abi/vst2_abi.h"

#include <cstdint>
#include <vector>

namespace fuzz
{

inline intptr_t FuzzHost(vst2_effect*, int32_t opcode, int32_t, intptr_t, void*, float)
{
    return opcode == VST2_HOST_VERSION ? 2400 : 0;
}

/// One VST2 instance made as the module entry makes it, driven through its effect record.
struct Vst2FuzzInstance
{
    Vst2FuzzInstance() : plugin(new Verdigrix(&FuzzHost))
    {
        plugin->PrepareForHost();
        effect = plugin->EffectRecord();
        Dispatch(VST2_EFF_OPEN);
    }
    intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr)
    {
        return effect->dispatcher(effect, opcode, index, value, ptr, 0.0f);
    }
    /// A copy of what effGetChunk hands out (index 0: bank).
    std::vector<uint8_t> Chunk(bool bank)
    {
        void* bytes = nullptr;
        const intptr_t size = Dispatch(VST2_EFF_GET_CHUNK, bank ? 0 : 1, 0, &bytes);
        Require(size > 0 && bytes != nullptr, "no chunk");
        const auto* b = static_cast<const uint8_t*>(bytes);
        return std::vector<uint8_t>(b, b + size);
    }
    intptr_t SetChunk(bool bank, std::vector<uint8_t> bytes)
    {
        return Dispatch(VST2_EFF_SET_CHUNK, bank ? 0 : 1, static_cast<intptr_t>(bytes.size()),
                        bytes.data());
    }
    std::vector<float> Normalised()
    {
        std::vector<float> values;
        for (int i = 0; i < effect->num_params; ++i)
            values.push_back(effect->get_parameter(effect, i));
        return values;
    }

    Verdigrix* plugin;
    vst2_effect* effect;
};

} // namespace fuzz
