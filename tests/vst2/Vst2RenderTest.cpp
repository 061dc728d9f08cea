// A long render through the real Verdigrix.so must equal the effect driven directly with the
// same settings: the adapter may slice, convert and lock, but never change the sound.
// The modulation source is the sine oscillator, so both runs are deterministic.
#include "effect/Verdigrix.h"
#include "hosting/vst2/Vst2Instance.h"
#include "hosting/vst2/Vst2Module.h"
#include "resources/EmbeddedResources.h"
#include "tests/vst2/Vst2ModulePath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace
{
constexpr double kRate = 48000.0;
constexpr int kBlock = 512;
constexpr int kBlocks = 400; // a little over four seconds

struct Change
{
    int block;
    int index;
    float normalised;
};

// Sine source, a swept filter, some drive, and automation while running.
const Change kChanges[] = {
    {0, 0, 0.4f},   {0, 2, 0.1f},   {0, 3, 0.5f},   {0, 6, 0.6f},   {100, 2, 0.3f},
    {150, 1, 0.0f}, {220, 4, 0.5f}, {300, 9, 0.0f}, {350, 0, 0.8f}, {380, 7, 0.25f},
};

float Input(int channel, long frame)
{
    const double t = static_cast<double>(frame) / kRate;
    return static_cast<float>(0.4 * std::sin(2.0 * M_PI * (channel == 0 ? 220.0 : 331.0) * t) +
                              0.1 * std::sin(2.0 * M_PI * 1250.0 * t));
}

std::vector<float> RenderThroughModule()
{
    auto module = Vst2Module::Load(Vst2ModulePath());
    EXPECT_NE(module, nullptr);
    if (module == nullptr)
        return {};
    auto host = Vst2Instance::Create(module->Entry());
    host->Start(kRate, kBlock);
    std::vector<float> in[4], out[2];
    for (auto& c : in)
        c.assign(kBlock, 0.0f);
    for (auto& c : out)
        c.assign(kBlock, 0.0f);
    float* inputs[4] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
    float* outputs[2] = {out[0].data(), out[1].data()};
    std::vector<float> rendered;
    for (int block = 0; block < kBlocks; ++block)
    {
        for (const Change& change : kChanges)
            if (change.block == block)
                host->SetParameter(change.index, change.normalised);
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < kBlock; ++i)
                in[c][i] = Input(c, long(block) * kBlock + i);
        host->ProcessReplacing(inputs, outputs, kBlock);
        for (int i = 0; i < kBlock; ++i)
        {
            rendered.push_back(out[0][i]);
            rendered.push_back(out[1][i]);
        }
    }
    host->Stop();
    return rendered;
}

std::vector<float> RenderDirectly()
{
    UseEmbeddedResources();
    Verdigrix effect;
    // What the module's host calls amount to: open, rate, block size, start.
    effect.SetChannelConnections(4, 2);
    effect.SetMaxBlockSize(1024);
    for (int i = 0; i < effect.ParamCount(); ++i)
        effect.ParameterChanged(i, IEffectBase::kSourceOpening);
    effect.sampleRate = kRate;
    effect.ResetProcessing();
    effect.SetMaxBlockSize(kBlock);
    effect.ResetProcessing();
    effect.ActivationChanged(true);

    std::vector<double> in[4], out[2];
    for (auto& c : in)
        c.assign(kBlock, 0.0);
    for (auto& c : out)
        c.assign(kBlock, 0.0);
    double* inputs[4] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
    double* outputs[2] = {out[0].data(), out[1].data()};
    std::vector<float> rendered;
    for (int block = 0; block < kBlocks; ++block)
    {
        for (const Change& change : kChanges)
            if (change.block == block)
            {
                effect.Param(change.index)->SetFromNormalised(change.normalised);
                effect.ParameterChanged(change.index, IEffectBase::kSourceHost);
            }
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < kBlock; ++i)
                in[c][i] = Input(c, long(block) * kBlock + i);
        effect.ProcessChannels(inputs, outputs, kBlock);
        for (int i = 0; i < kBlock; ++i)
        {
            rendered.push_back(static_cast<float>(out[0][i]));
            rendered.push_back(static_cast<float>(out[1][i]));
        }
    }
    return rendered;
}
} // namespace

TEST(Vst2Render, LongRenderEqualsTheEffectDrivenDirectly)
{
    const std::vector<float> viaModule = RenderThroughModule();
    const std::vector<float> direct = RenderDirectly();
    ASSERT_EQ(viaModule.size(), direct.size());
    double energy = 0.0;
    for (std::size_t i = 0; i < direct.size(); ++i)
    {
        ASSERT_EQ(viaModule[i], direct[i]) << "sample " << i / 2 << " channel " << i % 2;
        energy += double(direct[i]) * direct[i];
    }
    EXPECT_GT(energy, 100.0); // the render is not silence
}
