#pragma once

#include "hosting/vst3/ParamValueQueue.h"

#include <vector>

/// The parameter changes a host hands to one process call: one queue per parameter id, in
/// the order first added. Queues are reused from block to block.
class ParameterChanges : public vst3::FObject, public vst3::IParameterChanges
{
public:
    ParameterChanges() = default;
    ~ParameterChanges() override;

    VST3_FUNKNOWN_METHODS

    vst3::int32 PLUGIN_API getParameterCount() override { return used; }
    vst3::IParamValueQueue* PLUGIN_API getParameterData(vst3::int32 index) override;
    /// The queue of `id`, added when missing; `index` receives its position.
    vst3::IParamValueQueue* PLUGIN_API addParameterData(const vst3::ParamID& id,
                                                        vst3::int32& index) override;

    /// Adds one point to the queue of `id`.
    void Add(vst3::ParamID id, vst3::int32 offset, double value);
    /// Empties every queue (keeps them for reuse).
    void Clear() { used = 0; }

private:
    std::vector<ParamValueQueue*> queues; ///< owned (one reference each)
    vst3::int32 used = 0;
};
