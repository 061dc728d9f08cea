// The two modules carry the same effect: a long render with the same settings and the same
// automation must come out sample for sample the same through either of them, and a host
// block takes the same way through both: in-place buffers and blocks past the slice cap.
#include "hosting/vst2/Vst2Instance.h"
#include "hosting/vst2/Vst2Module.h"
#include "hosting/vst3/Vst3Module.h"
#include "hosting/vst3/Vst3Plugin.h"
#include "tests/vst2/Vst2ModulePath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
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

namespace
{
constexpr int kCap = 8192; // the plug-in base's largest slice

/// One started instance of either module with 32- or 64-bit blocks, the sine source and a
/// deep effect, so that what comes out differs plainly from what goes in.
class BlockHost
{
public:
    BlockHost(bool vst3, bool is64, int maxBlock) : is64(is64)
    {
        if (vst3)
        {
            module3 = std::make_unique<Vst3Module>();
            EXPECT_TRUE(module3->Load(VERDIGRIX_VST3_MODULE)) << module3->LastError();
            host3 = std::make_unique<Vst3Plugin>();
            EXPECT_TRUE(host3->Create(module3->Factory())) << host3->LastError();
            EXPECT_TRUE(host3->Start(kRate, maxBlock, is64 ? vst3::kSample64 : vst3::kSample32))
                << host3->LastError();
        }
        else
        {
            module2 = Vst2Module::Load(Vst2ModulePath());
            EXPECT_NE(module2, nullptr);
            host2 = Vst2Instance::Create(module2->Entry());
            EXPECT_NE(host2, nullptr);
            host2->Start(kRate, maxBlock);
        }
        side.assign(static_cast<std::size_t>(3 * kCap), 0.0);
        sideFloat.assign(side.size(), 0.0f);
        for (const Change change : {Change{0, 0, 0.4f}, Change{0, 4, 0.9f}, Change{0, 1, 0.3f}})
            if (host3)
                host3->QueueParameter(change.index, change.normalised);
            else
                host2->SetParameter(change.index, change.normalised);
    }
    ~BlockHost()
    {
        if (host3)
            host3->Release();
    }

    /// One block; `in` and `out` may be the very same buffers.
    void Process(double** in, double** out, int frames) { Run(in, out, frames, side.data()); }
    void Process(float** in, float** out, int frames) { Run(in, out, frames, sideFloat.data()); }

    const bool is64;

private:
    template <class Sample> void Run(Sample** in, Sample** out, int frames, Sample* silent)
    {
        if (host3)
        {
            const Sample* inputs[2] = {in[0], in[1]};
            ASSERT_EQ(host3->Process(inputs, nullptr, out, frames), vst3::kResultOk);
        }
        else if constexpr (sizeof(Sample) == sizeof(double))
        {
            double* inputs[4] = {in[0], in[1], silent, silent};
            host2->ProcessDoubleReplacing(inputs, out, frames);
        }
        else
        {
            float* inputs[4] = {in[0], in[1], silent, silent};
            host2->ProcessReplacing(inputs, out, frames);
        }
    }

    std::unique_ptr<Vst2Module> module2;
    std::unique_ptr<Vst2Instance> host2;
    std::unique_ptr<Vst3Module> module3;
    std::unique_ptr<Vst3Plugin> host3;
    std::vector<double> side;
    std::vector<float> sideFloat;
};

/// Planar stereo input from `start` on, `frames` long.
template <class Sample> std::vector<std::vector<Sample>> Signal(long start, int frames)
{
    std::vector<std::vector<Sample>> signal(2,
                                            std::vector<Sample>(static_cast<std::size_t>(frames)));
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < frames; ++i)
            signal[static_cast<std::size_t>(c)][static_cast<std::size_t>(i)] = Input(c, start + i);
    return signal;
}

/// Renders consecutive blocks of the given lengths: in-place (the output written over the
/// input buffers) or into buffers of their own. Returns the output, interleaved.
template <class Sample>
std::vector<Sample> RenderBlocks(BlockHost& host, const std::vector<int>& lengths, bool inPlace)
{
    std::vector<Sample> rendered;
    long start = 0;
    for (const int frames : lengths)
    {
        auto in = Signal<Sample>(start, frames);
        auto own = Signal<Sample>(0, frames);
        auto& out = inPlace ? in : own;
        Sample* inputs[2] = {in[0].data(), in[1].data()};
        Sample* outputs[2] = {out[0].data(), out[1].data()};
        host.Process(inputs, outputs, frames);
        for (int i = 0; i < frames; ++i)
            for (int c = 0; c < 2; ++c)
                rendered.push_back(out[static_cast<std::size_t>(c)][static_cast<std::size_t>(i)]);
        start += frames;
    }
    return rendered;
}

struct BlockCase
{
    bool vst3;
    bool is64;
};

class HostBlock : public ::testing::TestWithParam<BlockCase>
{
protected:
    void SetUp() override { KeepDrawingLibrariesResident(); }

    template <class Sample> void ExpectInPlaceLikeSeparate()
    {
        const BlockCase c = GetParam();
        BlockHost separate(c.vst3, c.is64, 512);
        BlockHost inPlace(c.vst3, c.is64, 512);
        const std::vector<int> blocks(12, 512);
        const auto expected = RenderBlocks<Sample>(separate, blocks, false);
        const auto got = RenderBlocks<Sample>(inPlace, blocks, true);
        ASSERT_EQ(got.size(), expected.size());
        for (std::size_t i = 0; i < got.size(); ++i)
            ASSERT_EQ(got[i], expected[i]) << "frame " << i / 2 << " channel " << i % 2;
        // The effect did change the sound, so in-place reads of written outputs would show.
        const auto dry = Signal<Sample>(0, 512);
        EXPECT_NE(expected[2 * 300], dry[0][300]);
    }

    template <class Sample> void ExpectBlockPastTheCapLikeCapSizedBlocks()
    {
        const BlockCase c = GetParam();
        const int frames = 2 * kCap + 777;
        BlockHost whole(c.vst3, c.is64, 3 * kCap); // a host announcing more than the cap
        BlockHost pieces(c.vst3, c.is64, kCap);
        const auto expected = RenderBlocks<Sample>(pieces, {kCap, kCap, 777}, false);
        const auto got = RenderBlocks<Sample>(whole, {frames}, false);
        ASSERT_EQ(got.size(), expected.size());
        for (std::size_t i = 0; i < got.size(); ++i)
            ASSERT_EQ(got[i], expected[i]) << "frame " << i / 2 << " channel " << i % 2;
    }
};

TEST_P(HostBlock, InPlaceBuffersSoundLikeSeparateOnes)
{
    if (GetParam().is64)
        ExpectInPlaceLikeSeparate<double>();
    else
        ExpectInPlaceLikeSeparate<float>();
}

TEST_P(HostBlock, ABlockPastTheCapSoundsLikeCapSizedBlocks)
{
    if (GetParam().is64)
        ExpectBlockPastTheCapLikeCapSizedBlocks<double>();
    else
        ExpectBlockPastTheCapLikeCapSizedBlocks<float>();
}

INSTANTIATE_TEST_SUITE_P(BothModules, HostBlock,
                         ::testing::Values(BlockCase{false, false}, BlockCase{false, true},
                                           BlockCase{true, false}, BlockCase{true, true}),
                         [](const ::testing::TestParamInfo<BlockCase>& info)
                         {
                             return std::string(info.param.vst3 ? "Vst3" : "Vst2") +
                                    (info.param.is64 ? "Double" : "Float");
                         });
} // namespace
