// The two modules carry the same effect: a long render with the same settings and the same
// automation must come out sample for sample the same through either of them.
#include "hosting/vst2/Vst2Instance.h"
#include "hosting/vst2/Vst2Module.h"
#include "hosting/vst3/Vst3Module.h"
#include "hosting/vst3/Vst3Plugin.h"
#include "tests/vst2/Vst2ModulePath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace
{
constexpr double kRate = 44100.0;
constexpr int kBlock = 256;
constexpr int kBlocks = 600; // about three and a half seconds

struct Change
{
    int block;
    int index;
    float normalised;
};

// Every parameter set at the start (so neither module's opening sequence matters), then
// automation while running. The source is the sine oscillator: deterministic.
const Change kChanges[] = {
    {0, 0, 0.4f},   {0, 1, 0.5f},   {0, 2, 0.15f},  {0, 3, 0.4f},   {0, 4, 0.8f},
    {0, 5, 0.0f},   {0, 6, 0.55f},  {0, 7, 0.45f},  {0, 8, 0.0f},   {0, 9, 1.0f},
    {120, 2, 0.4f}, {240, 1, 1.0f}, {360, 0, 0.6f}, {480, 9, 0.0f}, {540, 4, 0.3f},
};

float Input(int channel, long frame)
{
    const double t = static_cast<double>(frame) / kRate;
    return static_cast<float>(0.45 * std::sin(2.0 * M_PI * (channel == 0 ? 196.0 : 293.0) * t));
}

template <class Apply, class Process> std::vector<float> Render(Apply apply, Process process)
{
    std::vector<float> in[2], out[2];
    for (int c = 0; c < 2; ++c)
    {
        in[c].assign(kBlock, 0.0f);
        out[c].assign(kBlock, 0.0f);
    }
    std::vector<float> rendered;
    for (int block = 0; block < kBlocks; ++block)
    {
        for (const Change& change : kChanges)
            if (change.block == block)
                apply(change.index, change.normalised);
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < kBlock; ++i)
                in[c][i] = Input(c, long(block) * kBlock + i);
        float* inputs[2] = {in[0].data(), in[1].data()};
        float* outputs[2] = {out[0].data(), out[1].data()};
        process(inputs, outputs);
        for (int i = 0; i < kBlock; ++i)
        {
            rendered.push_back(out[0][i]);
            rendered.push_back(out[1][i]);
        }
    }
    return rendered;
}
} // namespace

TEST(Vst2Vst3Parity, LongRenderEqualsTheVst3Module)
{
    KeepDrawingLibrariesResident();
    auto module2 = Vst2Module::Load(Vst2ModulePath());
    ASSERT_NE(module2, nullptr);
    auto host2 = Vst2Instance::Create(module2->Entry());
    ASSERT_NE(host2, nullptr);
    host2->Start(kRate, kBlock);
    std::vector<float> silence(kBlock, 0.0f);
    const std::vector<float> viaVst2 =
        Render([&](int index, float value) { host2->SetParameter(index, value); },
               [&](float** in, float** out)
               {
                   float* inputs[4] = {in[0], in[1], silence.data(), silence.data()};
                   host2->ProcessReplacing(inputs, out, kBlock);
               });

    Vst3Module module3;
    ASSERT_TRUE(module3.Load(VERDIGRIX_VST3_MODULE)) << module3.LastError();
    Vst3Plugin host3;
    ASSERT_TRUE(host3.Create(module3.Factory())) << host3.LastError();
    ASSERT_TRUE(host3.Start(kRate, kBlock)) << host3.LastError();
    const std::vector<float> viaVst3 =
        Render([&](int index, float value) { host3.QueueParameter(index, value); },
               [&](float** in, float** out) { host3.Process(in, nullptr, out, kBlock); });
    host3.Release();

    ASSERT_EQ(viaVst2.size(), viaVst3.size());
    double energy = 0.0;
    for (std::size_t i = 0; i < viaVst2.size(); ++i)
    {
        ASSERT_EQ(viaVst2[i], viaVst3[i]) << "sample " << i / 2 << " channel " << i % 2;
        energy += double(viaVst2[i]) * viaVst2[i];
    }
    EXPECT_GT(energy, 100.0);
}
