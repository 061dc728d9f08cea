// A long render through the real bundle against the effect driven directly: with a
// deterministic source (an oscillator, then the side chain) every sample must be identical.

#include "BundleFixture.h"
#include "effect/Verdigrix.h"

#include <cmath>
#include <cstring>

using namespace vst3;

namespace
{

constexpr ParamID kBypassId = 0x62706173;
constexpr int kRate = 48000;
constexpr int kMaxBlock = 512;

/// One automation step: at `block`, parameter `id` takes `normalized`.
struct Change
{
    int block;
    ParamID id;
    double normalized;
};

const Change kAutomation[] = {
    {0, Verdigrix::kSourceType, 0.4}, // Sine
    {0, Verdigrix::kEffectAmount, 0.8},
    {120, Verdigrix::kFollowPitch, 1.0},
    {240, Verdigrix::kInputLevel, 0.7},
    {360, Verdigrix::kAnalogSaturation, 1.0},
    {480, Verdigrix::kSourceType, 0.6}, // Saw
    {600, Verdigrix::kSourceType, 1.0}, // Ext. input: the side chain
    {600, Verdigrix::kFilterType, 0.0},
    {720, Verdigrix::kFilterFrequency, 0.2},
    {840, Verdigrix::kFilterQ, 0.9},
    {960, Verdigrix::kFilterType, 1.0},
    {1080, Verdigrix::kOutputLevel, 0.3},
    {1200, kBypassId, 1.0}, // the host's bypass: input passes through
    {1260, kBypassId, 0.0},
    {1320, Verdigrix::kBypass, 1.0}, // the effect's own bypass
    {1380, Verdigrix::kBypass, 0.0},
};
constexpr int kBlocks = 1500; // about 7 seconds of audio

/// The host's block sizes cycle through these, all within the announced maximum.
int BlockSize(int block)
{
    static const int sizes[] = {512, 100, 37, 512, 256, 1};
    return sizes[block % 6];
}

double Signal(int channel, long n)
{
    const double t = static_cast<double>(n) / kRate;
    switch (channel)
    {
    case 0:
        return 0.5 * std::sin(2 * M_PI * 196.0 * t) + 0.2 * std::sin(2 * M_PI * 523.0 * t);
    case 1:
        return 0.45 * std::sin(2 * M_PI * 247.0 * t);
    case 2:
        return 0.9 * std::sin(2 * M_PI * 4.0 * t);
    default:
        return 0.7 * std::sin(2 * M_PI * 9.0 * t + 1.0);
    }
}

template <class Sample> class RenderTest : public BundleTest
{
};
using SampleTypes = ::testing::Types<float, double>;
TYPED_TEST_SUITE(RenderTest, SampleTypes);

TYPED_TEST(RenderTest, TheModuleRendersExactlyWhatTheEffectRenders)
{
    using Sample = TypeParam;
    constexpr int size = std::is_same_v<Sample, float> ? kSample32 : kSample64;

    auto plugin = this->NewPlugin();
    ASSERT_TRUE(plugin->Start(kRate, kMaxBlock, size, true));

    // The effect, brought to the module's starting point: its state, rate and connections.
    Verdigrix direct;
    std::vector<char> state;
    ASSERT_TRUE(plugin->GetState(state));
    IByteChunk chunk;
    chunk.PutBytes(state.data(), static_cast<int32_t>(state.size() - 4));
    ASSERT_GT(direct.RestoreState(chunk, 0), 0);
    direct.sampleRate = kRate;
    direct.SetMaxBlockSize(kMaxBlock);
    direct.ResetProcessing();
    direct.SetChannelConnections(4, 2);
    bool directBypassed = false;

    std::vector<Sample> hostIn[4], hostOut[2];
    std::vector<double> directIn[4], directOut[2];
    for (auto* v : {&hostIn[0], &hostIn[1], &hostIn[2], &hostIn[3], &hostOut[0], &hostOut[1]})
        v->resize(kMaxBlock);
    for (auto* v :
         {&directIn[0], &directIn[1], &directIn[2], &directIn[3], &directOut[0], &directOut[1]})
        v->resize(kMaxBlock);

    long position = 0;
    long differing = 0;
    double loudest = 0.0;
    for (int block = 0; block < kBlocks; ++block)
    {
        for (const Change& c : kAutomation)
        {
            if (c.block != block)
                continue;
            plugin->QueueParameter(c.id, c.normalized, 17);
            if (c.id == kBypassId)
                directBypassed = c.normalized > 0.5;
            else
            {
                direct.Param(static_cast<int>(c.id))->SetFromNormalised(c.normalized);
                direct.ParameterChanged(static_cast<int>(c.id), IEffectBase::kSourceHost);
            }
        }
        const int n = BlockSize(block);
        for (int ch = 0; ch < 4; ++ch)
            for (int k = 0; k < n; ++k)
            {
                hostIn[ch][k] = static_cast<Sample>(Signal(ch, position + k));
                directIn[ch][k] = hostIn[ch][k];
            }

        const Sample* ins[2] = {hostIn[0].data(), hostIn[1].data()};
        const Sample* side[2] = {hostIn[2].data(), hostIn[3].data()};
        Sample* outs[2] = {hostOut[0].data(), hostOut[1].data()};
        ASSERT_EQ(plugin->Process(ins, side, outs, n), kResultOk);

        double* dIns[4] = {directIn[0].data(), directIn[1].data(), directIn[2].data(),
                           directIn[3].data()};
        double* dOuts[2] = {directOut[0].data(), directOut[1].data()};
        if (directBypassed)
            for (int ch = 0; ch < 2; ++ch)
                std::copy_n(dIns[ch], n, dOuts[ch]);
        else
            direct.ProcessChannels(dIns, dOuts, n);

        for (int ch = 0; ch < 2; ++ch)
            for (int k = 0; k < n; ++k)
            {
                differing += hostOut[ch][k] != static_cast<Sample>(directOut[ch][k]);
                loudest = std::max(loudest, std::abs(directOut[ch][k]));
            }
        position += n;
    }
    EXPECT_EQ(differing, 0) << "of " << 2 * position << " samples";
    EXPECT_GT(loudest, 0.01); // the render carried sound
    EXPECT_GT(position, 7 * kRate);
}

} // namespace
