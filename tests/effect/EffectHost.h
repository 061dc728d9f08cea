#pragma once

#include "effect/Verdigrix.h"

#include <array>
#include <cstddef>

namespace effect_test
{

/// Drives a Verdigrix as an adapter does: sets the rate and block size, connects channels,
/// resets, and hands each block's host buffers to the base's channel slots under the lock.
class EffectHost
{
public:
    /// Connection of the four inputs (main left, main right, side-chain left and right).
    using Connections = std::array<bool, 4>;
    static constexpr Connections kAllInputs = {true, true, true, true};

    explicit EffectHost(Verdigrix& effect) : effect(effect) {}

    /// Host set-up: sample rate, largest block, channel connections, then the effect's reset.
    void Configure(double sampleRate, int maxBlock, Connections connections = kAllInputs)
    {
        effect.sampleRate = sampleRate;
        effect.SetMaxBlockSize(maxBlock);
        effect.SetChannelConnections(4, 2);
        for (std::size_t i = 0; i < connections.size(); ++i)
        {
            IInputChannel& channel = *effect.inputChannels[i];
            channel.connected = connections[i];
            if (!channel.connected)
                effect.inputPointers[static_cast<std::size_t>(channel.slot)] =
                    channel.scratch.data();
        }
        connected = connections;
        effect.ResetProcessing();
    }

    /// One block: `inputs` holds a buffer per input channel (those of unconnected channels
    /// are not handed over, as a host would not have them).
    void Process(std::array<double*, 4> inputs, std::array<double*, 2> outputs, int frames)
    {
        IPluginLock::Guard guard(effect.lock);
        std::array<double*, 4> hostInputs{};
        int count = 0;
        for (std::size_t i = 0; i < inputs.size(); ++i)
            if (connected[i])
                hostInputs[static_cast<std::size_t>(count++)] = inputs[i];
        effect.AttachInputs(hostInputs.data(), count, frames);
        effect.AttachOutputs(outputs.data(), 2, frames);
        effect.ProcessAttached(frames);
    }

    /// Sets parameter `index` to the plain `value` as a restored state would announce it.
    void Set(int index, double value)
    {
        effect.Param(index)->SetClamped(value);
        effect.ParameterChanged(index, IEffectBase::kSourceState);
    }

    /// Announces every parameter (as after opening or a state load).
    void AnnounceAll()
    {
        for (int i = 0; i < effect.ParamCount(); ++i)
            effect.ParameterChanged(i, IEffectBase::kSourceOpening);
    }

private:
    Verdigrix& effect;
    Connections connected = kAllInputs;
};

} // namespace effect_test
