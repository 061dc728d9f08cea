#pragma once

#include "FuzzCheck.h"
#include "framework/IPreset.h"

#include <cstring>
#include <string>
#include <vector>

namespace fuzz
{

/// What one preset holds, to compare banks by.
struct PresetRecord
{
    bool initialized;
    std::string name;
    std::vector<uint8_t> state;
    std::vector<double> values;
    bool operator==(const PresetRecord&) const = default;
};

inline std::vector<PresetRecord> Presets(IEffectBase& effect)
{
    std::vector<PresetRecord> records;
    for (const auto& p : effect.presets)
        records.push_back(
            {p->initialized, std::string(p->name, strnlen(p->name, IPreset::kNameSize)),
             std::vector<uint8_t>(p->chunk.Data(), p->chunk.Data() + p->chunk.Size()), p->values});
    return records;
}

/// The presets, the current preset and the values as loading a bank of them leaves them,
/// put back by copying: the bank targets reset before almost every input, and reading a
/// whole bank for it cost more than the input itself.
class BankSnapshot
{
public:
    explicit BankSnapshot(IEffectBase& effect)
        : presets(Presets(effect)), current(effect.currentPreset.load()), values(Values(effect))
    {
    }
    void Restore(IEffectBase& effect) const
    {
        for (std::size_t i = 0; i < presets.size(); ++i)
        {
            IPreset& p = *effect.presets[i];
            const PresetRecord& r = presets[i];
            p.initialized = r.initialized;
            std::memset(p.name, 0, sizeof p.name);
            std::memcpy(p.name, r.name.data(), r.name.size());
            p.chunk.Clear();
            if (!r.state.empty())
                p.chunk.PutBytes(r.state.data(), static_cast<int32_t>(r.state.size()));
            p.values = r.values;
        }
        effect.currentPreset = current;
        ResetValues(effect, values);
    }

private:
    std::vector<PresetRecord> presets;
    int32_t current;
    std::vector<double> values;
};

} // namespace fuzz
