// Reset and block processing driven as a host drives them: assorted block sizes and rates,
// every source, side-chain routing, bypass, and host buffer layouts (in place, crossed).
#include "effect/Verdigrix.h"
#include "tests/effect/EffectHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace
{
using effect_test::EffectHost;
using Signal = std::vector<double>;

constexpr int kLongest = 20000;

Signal Tone(int frames, double hz, double rate, double amplitude)
{
    Signal s(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i)
        s[static_cast<size_t>(i)] = amplitude * std::sin(2.0 * std::numbers::pi * hz * i / rate);
    return s;
}

/// Four host input channels: a stereo tone and a stereo side-chain tone, all different.
struct Inputs
{
    explicit Inputs(int frames, double rate = 44100.0)
        : channels{Tone(frames, 220.0, rate, 0.5), Tone(frames, 330.0, rate, 0.4),
                   Tone(frames, 1100.0, rate, 0.8), Tone(frames, 3300.0, rate, 0.6)}
    {
    }
    std::array<double*, 4> Pointers(int offset = 0)
    {
        std::array<double*, 4> p{};
        for (size_t c = 0; c < 4; ++c)
            p[c] = channels[c].data() + offset;
        return p;
    }
    std::array<Signal, 4> channels;
};

struct Outputs
{
    explicit Outputs(int frames, double fill = 0.0)
        : channels{Signal(static_cast<size_t>(frames), fill),
                   Signal(static_cast<size_t>(frames), fill)}
    {
    }
    std::array<double*, 2> Pointers(int offset = 0)
    {
        return {channels[0].data() + offset, channels[1].data() + offset};
    }
    std::array<Signal, 2> channels;
};

/// An effect with a fixed noise seed (so two instances sound alike), its parameters announced
/// and the given source, configured by a host.
struct Rig
{
    explicit Rig(int source, double rate = 44100.0, int maxBlock = kLongest,
                 EffectHost::Connections connections = EffectHost::kAllInputs)
        : host(effect)
    {
        host.Configure(rate, maxBlock, connections);
        host.AnnounceAll();
        host.Set(Verdigrix::kSourceType, source);
        effect.engine.noise.setSeed(12345);
    }
    Verdigrix effect;
    EffectHost host;
};

constexpr double kSentinel = -12345.0;

struct BlockCase
{
    double rate;
    int source;
    bool saturation;
};

class AssortedBlocks : public testing::TestWithParam<BlockCase>
{
};

TEST_P(AssortedBlocks, WriteExactlyTheOutputsAndNeverTheInputs)
{
    const BlockCase& c = GetParam();
    Rig rig(c.source, c.rate);
    rig.host.Set(Verdigrix::kAnalogSaturation, c.saturation ? 1 : 0);

    for (int frames : {0, 1, 31, 512, 8192, 20000})
    {
        SCOPED_TRACE(frames);
        Inputs in(kLongest, c.rate);
        const Inputs untouched(kLongest, c.rate);
        Outputs out(kLongest + 1, kSentinel);
        rig.host.Process(in.Pointers(), out.Pointers(), frames);

        for (size_t ch = 0; ch < 4; ++ch)
            ASSERT_EQ(in.channels[ch], untouched.channels[ch]) << "input " << ch << " written";
        for (size_t ch = 0; ch < 2; ++ch)
        {
            const Signal& o = out.channels[ch];
            bool changed = false;
            for (int i = 0; i < frames; ++i)
            {
                ASSERT_TRUE(std::isfinite(o[static_cast<size_t>(i)])) << i;
                changed =
                    changed || o[static_cast<size_t>(i)] != in.channels[ch][static_cast<size_t>(i)];
            }
            for (size_t i = static_cast<size_t>(frames); i < o.size(); ++i)
            {
                ASSERT_EQ(o[i], kSentinel) << "written past the block at " << i;
            }
            if (frames >= 31)
            {
                EXPECT_TRUE(changed) << "output " << ch << " is the dry input";
            }
        }
    }
}

std::vector<BlockCase> AllBlockCases()
{
    std::vector<BlockCase> cases;
    for (double rate : {44100.0, 48000.0})
        for (int source = 0; source <= 5; ++source)
            for (bool saturation : {true, false})
                cases.push_back({rate, source, saturation});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Verdigrix, AssortedBlocks, testing::ValuesIn(AllBlockCases()),
                         [](const auto& info)
                         {
                             return "rate" + std::to_string(static_cast<int>(info.param.rate)) +
                                    "_source" + std::to_string(info.param.source) +
                                    (info.param.saturation ? "_saturated" : "_clean");
                         });

TEST(VerdigrixProcessing, LongBlockSoundsLikeTheSameSignalInShortBlocks)
{
    for (int source : {AudioPlugin::kNoise, AudioPlugin::kSaw, AudioPlugin::kSideChain})
    {
        SCOPED_TRACE(source);
        Rig whole(source);
        Rig pieces(source);
        Inputs in(kLongest);
        Outputs once(kLongest);
        Outputs split(kLongest);
        whole.host.Process(in.Pointers(), once.Pointers(), kLongest);
        int done = 0;
        for (int frames : {1, 31, 512, 8192, 7000, 4264})
        {
            pieces.host.Process(in.Pointers(done), split.Pointers(done), frames);
            done += frames;
        }
        ASSERT_EQ(done, kLongest);
        EXPECT_EQ(once.channels, split.channels);
    }
}

TEST(VerdigrixProcessing, BypassPassesTheInputExactly)
{
    Rig rig(AudioPlugin::kSideChain);
    rig.host.Set(Verdigrix::kInputLevel, 15);
    rig.host.Set(Verdigrix::kOutputLevel, -7);
    rig.host.Set(Verdigrix::kBypass, 1);
    Inputs in(4096);
    Outputs out(4096);
    rig.host.Process(in.Pointers(), out.Pointers(), 4096);
    EXPECT_EQ(out.channels[0], in.channels[0]);
    EXPECT_EQ(out.channels[1], in.channels[1]);
}

TEST(VerdigrixProcessing, BlockOfNoFramesTouchesNothing)
{
    Rig rig(AudioPlugin::kSine);
    Inputs in(16);
    for (int frames : {0, -1, -8192})
    {
        Outputs out(16, kSentinel);
        rig.effect.ProcessChannels(in.Pointers().data(), out.Pointers().data(), frames);
        EXPECT_EQ(out.channels[0], Signal(16, kSentinel));
        EXPECT_EQ(out.channels[1], Signal(16, kSentinel));
    }
    EXPECT_EQ(rig.effect.engine.sine.step, Rig(AudioPlugin::kSine).effect.engine.sine.step);
}

// Side-chain output of a rig whose side-chain inputs are (left, right) and whose main input's
// right channel is flagged `rightConnected`; the buffers are handed over directly.
Outputs SideChainOutput(const Signal& left, const Signal& right, bool rightConnected)
{
    const int frames = static_cast<int>(left.size());
    Rig rig(AudioPlugin::kSideChain);
    rig.effect.inputChannels[1]->connected = rightConnected;
    Inputs in(frames);
    in.channels[2] = left;
    in.channels[3] = right;
    Outputs out(frames);
    rig.effect.ProcessChannels(in.Pointers().data(), out.Pointers().data(), frames);
    return out;
}

TEST(VerdigrixProcessing, StereoSideChainWhenTheMainRightChannelIsConnected)
{
    const Inputs in(2048);
    const Signal& s = in.channels[2];
    const Signal& t = in.channels[3];
    const Outputs both = SideChainOutput(s, t, true);
    EXPECT_EQ(both.channels[0], SideChainOutput(s, s, true).channels[0]);
    EXPECT_EQ(both.channels[1], SideChainOutput(t, t, true).channels[1]);
    EXPECT_NE(both.channels[1], SideChainOutput(s, s, true).channels[1]);
}

TEST(VerdigrixProcessing, SideChainLeftServesBothSidesWhenTheMainRightChannelIsNot)
{
    const Inputs in(2048);
    const Signal& s = in.channels[2];
    const Signal& t = in.channels[3];
    const Outputs mono = SideChainOutput(s, t, false);
    EXPECT_EQ(mono.channels[0], SideChainOutput(s, s, true).channels[0]);
    EXPECT_EQ(mono.channels[1], SideChainOutput(s, s, true).channels[1]);
}

TEST(VerdigrixProcessing, SideChainWithAMonoMainInputThroughTheHostPath)
{
    // Main input mono, side chain stereo: the unconnected right channel reads silence.
    Rig rig(AudioPlugin::kSideChain, 44100.0, 1024, {true, false, true, true});
    Inputs in(1024);
    Outputs out(1024, kSentinel);
    rig.host.Process(in.Pointers(), out.Pointers(), 1024);
    EXPECT_EQ(out.channels[1], Signal(1024, 0.0));
    EXPECT_NE(out.channels[0], in.channels[0]);
}

// Host buffer layouts: which output shares which input's buffer.
struct Layout
{
    const char* what;
    int out0; ///< index of the input whose buffer output 0 is, or -1 for its own buffer
    int out1;
};

class HostBufferLayouts : public testing::TestWithParam<Layout>
{
};

TEST_P(HostBufferLayouts, SoundLikeSeparateBuffers)
{
    const int frames = 10000; // more than one engine slice
    for (int source : {AudioPlugin::kNoise, AudioPlugin::kSideChain})
    {
        SCOPED_TRACE(source);
        Rig separate(source);
        Inputs reference(frames);
        Outputs expected(frames);
        separate.host.Process(reference.Pointers(), expected.Pointers(), frames);

        Rig shared(source);
        Inputs in(frames);
        Outputs own(frames);
        std::array<double*, 2> outputs = own.Pointers();
        if (GetParam().out0 >= 0)
            outputs[0] = in.Pointers()[static_cast<size_t>(GetParam().out0)];
        if (GetParam().out1 >= 0)
            outputs[1] = in.Pointers()[static_cast<size_t>(GetParam().out1)];
        shared.host.Process(in.Pointers(), outputs, frames);

        EXPECT_TRUE(
            std::equal(expected.channels[0].begin(), expected.channels[0].end(), outputs[0]));
        EXPECT_TRUE(
            std::equal(expected.channels[1].begin(), expected.channels[1].end(), outputs[1]));
    }
}

INSTANTIATE_TEST_SUITE_P(Verdigrix, HostBufferLayouts,
                         testing::Values(Layout{"InPlace", 0, 1}, Layout{"Crossed", 1, 0},
                                         Layout{"LeftInPlaceOnly", 0, -1},
                                         Layout{"OutputOnSideChain", 2, 3},
                                         Layout{"OutputOnOtherSideChain", 3, 1}),
                         [](const auto& info) { return std::string(info.param.what); });

TEST(VerdigrixProcessing, ResetDesignsTheEngineForEachRate)
{
    Verdigrix effect;
    EffectHost host(effect);
    for (double rate : {48000.0, 44100.0, 96000.0, 48000.0})
    {
        SCOPED_TRACE(rate);
        host.Configure(rate, 512);
        EXPECT_EQ(effect.engine.sampleRate, static_cast<int>(rate));
        EXPECT_EQ(effect.engine.oversampling, 1);
        EXPECT_EQ(effect.engine.filter->FilterParameters[0], rate);
        EXPECT_EQ(effect.engine.pitchWindowLength, static_cast<int>(rate) / 10);
        EXPECT_EQ(effect.engine.sine.sampleRate, static_cast<int>(rate));
        EXPECT_EQ(effect.engine.saw.sampleRate, static_cast<int>(rate));
        EXPECT_EQ(effect.engine.square.sampleRate, static_cast<int>(rate));
    }
}

// A host loads the state at the default rate, then starts processing at its own.
TEST(VerdigrixProcessing, OscillatorsKeepTheirPitchAcrossARateChange)
{
    Verdigrix effect;
    EffectHost host(effect);
    host.Set(Verdigrix::kSourceType, 2);
    host.Set(Verdigrix::kFilterFrequency, 2500);
    for (double rate : {48000.0, 96000.0, 44100.0})
    {
        SCOPED_TRACE(rate);
        host.Configure(rate, 512);
        const double period = rate / 2500.0;
        const std::array<const Oscillator*, 2> tuned = {&effect.engine.sine, &effect.engine.square};
        for (const Oscillator* oscillator : tuned)
        {
            EXPECT_NEAR(oscillator->phaseIncrement, 6.283185307179586 / period, 1e-12);
            EXPECT_EQ(oscillator->periodSamples, static_cast<int>(std::lround(period)));
        }
    }
}

TEST(VerdigrixProcessing, OscillatorsNeverTunedStaySilentAfterAReset)
{
    Verdigrix effect;
    EffectHost host(effect);
    host.Configure(48000.0, 512);
    EXPECT_EQ(effect.engine.sine.phaseIncrement, 0.0);
    EXPECT_EQ(effect.engine.square.periodSamples, 0);
}

TEST(VerdigrixProcessing, HostRatesAreTruncatedAndUnusableOnesHeld)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::pair<double, int> rates[] = {{44099.9, 44099},
                                            {1e12, AudioProcessor::kMaxSampleRate},
                                            {inf, 1},
                                            {nan, 1},
                                            {-48000.0, 1}};
    for (const auto& [rate, engineRate] : rates)
    {
        SCOPED_TRACE(rate);
        Rig rig(AudioPlugin::kNoise, rate, 512);
        EXPECT_EQ(rig.effect.engine.sampleRate, engineRate);
        Inputs in(512);
        Outputs out(512);
        rig.host.Process(in.Pointers(), out.Pointers(), 512);
        EXPECT_TRUE(std::all_of(out.channels[0].begin(), out.channels[0].end(),
                                [](double x) { return std::isfinite(x); }));
    }
}

} // namespace
