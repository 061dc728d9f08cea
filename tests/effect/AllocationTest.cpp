// Nothing on the audio path allocates: block processing for every source and host buffer
// layout, and parameter changes as host automation applies them inside processing.
#include "effect/Verdigrix.h"
#include "hosting/allocation/AllocationCounter.h"
#include "tests/effect/EffectHost.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace
{
using effect_test::EffectHost;

constexpr int kFrames = 20000; // longer than one engine slice

struct Buffers
{
    Buffers() : channels(6, std::vector<double>(kFrames, 0.25)) {}
    std::array<double*, 4> Inputs()
    {
        return {channels[0].data(), channels[1].data(), channels[2].data(), channels[3].data()};
    }
    std::array<double*, 2> Outputs() { return {channels[4].data(), channels[5].data()}; }
    std::vector<std::vector<double>> channels;
};

TEST(VerdigrixAllocation, ProcessingAllocatesNothing)
{
    Verdigrix effect;
    EffectHost host(effect);
    host.Configure(48000.0, kFrames);
    host.AnnounceAll();
    Buffers buffers;
    std::array<double*, 4> in = buffers.Inputs();
    const std::array<std::array<double*, 2>, 3> layouts = {
        buffers.Outputs(), std::array<double*, 2>{in[0], in[1]}, // separate, in place
        std::array<double*, 2>{in[1], in[2]}};                   // crossed onto the side chain

    for (int source = 0; source <= 5; ++source)
        for (bool saturation : {false, true})
            for (bool follow : {false, true})
            {
                host.Set(Verdigrix::kSourceType, source);
                host.Set(Verdigrix::kAnalogSaturation, saturation);
                host.Set(Verdigrix::kFollowPitch, follow);
                AllocationCounter counter;
                for (const auto& out : layouts)
                    for (int frames : {0, 1, 512, kFrames})
                        host.Process(in, out, frames);
                EXPECT_EQ(counter.count(), 0)
                    << "source " << source << " saturation " << saturation << " follow " << follow;
            }
}

TEST(VerdigrixAllocation, AutomationInsideProcessingAllocatesNothing)
{
    Verdigrix effect;
    EffectHost host(effect);
    host.Configure(44100.0, 512);
    host.AnnounceAll();
    const double values[][Verdigrix::kParamCount] = {
        {5, 0, 300, 0.1, 0, 1, -15, -15, 1, 0},
        {2.5, 1, 18000, 4, 100, 0, 15, 15, 0, 1},
        {0, 2, 2500, 1, 50, 0.5, 0, 0, 0.5, 0.5},
        {1, 2, 1000, 2, 10, 0, 3, -3, 0, 1}, // the same filter type again
    };
    AllocationCounter counter;
    IPluginLock::Guard processing(effect.lock);
    for (const auto& row : values)
        for (int i = 0; i < Verdigrix::kParamCount; ++i)
        {
            effect.Param(i)->SetClamped(row[i]);
            effect.ParameterChanged(i, IEffectBase::kSourceHost);
        }
    EXPECT_EQ(counter.count(), 0);
}

} // namespace
