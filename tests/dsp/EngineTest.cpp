#include "EngineFixture.h"
#include "dsp/filters/SmoothedFilterDesign.h"
#include "dsp/filters/WideVectors.h"
#include "dsp/filters/rbj/LowPass.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace
{

/// A frame whose chain records what it receives and writes a recognisable result.
class RecordingProcessor : public AudioProcessor
{
public:
    std::vector<std::vector<double>> received[2];
    int rateChanges = 0;
    double offset = 0.0;        ///< the chain writes x * 3 + offset + i (+ channelOffset x c)
    double channelOffset = 0.0; ///< tells the channels' results apart

protected:
    void processOversampled(double* const* channels, int n) override
    {
        for (int c = 0; c < 2; ++c)
        {
            received[c].emplace_back(channels[c], channels[c] + n);
            for (int i = 0; i < n; ++i)
                channels[c][i] = channels[c][i] * 3.0 + offset + i + channelOffset * c;
        }
    }
    void rateChanged() override { ++rateChanges; }
};

TEST(AudioProcessor, FactorOneCopiesTheBlockThroughTheChain)
{
    RecordingProcessor p;
    p.setOversampling(1);
    auto block = StereoBlock::random(300, 1);
    const auto input = block;
    p.runBlock(block.channels(), block.size());
    ASSERT_EQ(p.received[0].size(), 1u);
    EXPECT_EQ(p.received[0][0], input.left);
    EXPECT_EQ(p.received[1][0], input.right);
    for (std::size_t i = 0; i < 300; ++i)
    {
        EXPECT_EQ(block.left[i], input.left[i] * 3.0 + static_cast<double>(i));
        EXPECT_EQ(block.right[i], input.right[i] * 3.0 + static_cast<double>(i));
    }
}

// A caller that hands the same buffer for both channels gets channel 0's result: the
// copy back writes channel 1 first.
TEST(AudioProcessor, FactorOneWithOneBufferForBothChannelsKeepsChannelZero)
{
    RecordingProcessor p;
    p.setOversampling(1);
    p.channelOffset = 100.0;
    auto block = StereoBlock::random(64, 5);
    const auto input = block.left;
    double* same[2] = {block.left.data(), block.left.data()};
    p.runBlock(same, block.size());
    for (std::size_t i = 0; i < input.size(); ++i)
        ASSERT_EQ(block.left[i], input[i] * 3.0 + static_cast<double>(i)) << i;
}

TEST(AudioProcessor, FactorBelowOneIsTreatedAsOneAndEverySettingCallsRateChanged)
{
    RecordingProcessor p;
    p.setSampleRate(48000);
    for (int factor : {0, -3, 1})
    {
        p.setOversampling(factor);
        EXPECT_EQ(p.oversampling, 1);
        EXPECT_EQ(p.engineRate(), 48000);
    }
    EXPECT_EQ(p.rateChanges, 3);
    // Both anti-aliasing filters are designed for (engine rate, order 8, half the base rate).
    p.setOversampling(2);
    for (const auto* f : {&p.upFilter, &p.downFilter})
    {
        EXPECT_EQ(f->FilterParameters[0], 96000.0);
        EXPECT_EQ(f->FilterParameters[1], 8.0);
        EXPECT_EQ(f->FilterParameters[2], 24000.0);
    }
}

TEST(AudioProcessor, FactorTwoStuffsFiltersAndDecimates)
{
    RecordingProcessor p;
    p.setOversampling(2);
    StereoBlock block(4);
    block.left = {0.1, 0.2, 0.3, 0.4};
    block.right = {-1, -2, -3, -4};

    std::vector<double> w0(8), w1(8);
    double* work[2] = {w0.data(), w1.data()};
    p.upsample(block.channels(), work, 8);
    EXPECT_EQ(w0, (std::vector<double>{0.2, 0, 0.4, 0, 0.6, 0, 0.8, 0}));
    EXPECT_EQ(w1, (std::vector<double>{-2, 0, -4, 0, -6, 0, -8, 0}));

    // Reference filters designed as the frame designs its own.
    AudioProcessor::AntiAliasFilter up, down;
    up.setParameters(p.upFilter.FilterParameters);
    down.setParameters(p.downFilter.FilterParameters);
    up.filterBlock(8, work);

    p.offset = 0.5;
    p.runBlock(block.channels(), 4);
    ASSERT_EQ(p.received[0].size(), 1u);
    EXPECT_EQ(p.received[0][0], w0);
    EXPECT_EQ(p.received[1][0], w1);

    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < 8; ++i)
            work[c][i] = work[c][i] * 3.0 + 0.5 + i;
    down.filterBlock(8, work);
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_EQ(block.left[static_cast<std::size_t>(i)], w0[static_cast<std::size_t>(2 * i)]);
        EXPECT_EQ(block.right[static_cast<std::size_t>(i)], w1[static_cast<std::size_t>(2 * i)]);
    }
}

TEST(AudioProcessor, LongBlocksReachTheChainInSlicesThatFitItsArrays)
{
    for (int factor : {1, 2, 3})
    {
        RecordingProcessor p;
        p.setOversampling(factor);
        auto block = StereoBlock::random(20000, 2);
        p.runBlock(block.channels(), block.size());
        int total = 0;
        for (const auto& slice : p.received[0])
        {
            EXPECT_LE(static_cast<int>(slice.size()), AudioProcessor::kMaxChainSamples);
            total += static_cast<int>(slice.size());
        }
        EXPECT_EQ(total, 20000 * factor);
    }
}

TEST(AudioPlugin, ConstructionValuesDescribeADefinedEngine)
{
    AudioPlugin e;
    EXPECT_EQ(e.frequency, 3000.0);
    EXPECT_EQ(e.q, 1.0);
    EXPECT_EQ(e.amount, 0.5);   // "Effect Amount" default 100 %
    EXPECT_EQ(e.sourceType, 0); // "Source Type" default: noise
    EXPECT_EQ(e.filterType, 0); // the low pass that is installed
    EXPECT_STREQ(e.filter->name(), "RBJ Low Pass");
    EXPECT_EQ(e.inputGain, 1.0);
    EXPECT_EQ(e.outputGain, 1.0);
    EXPECT_TRUE(e.saturation);
    EXPECT_FALSE(e.bypass);
    EXPECT_FALSE(e.followPitch);
    EXPECT_EQ(e.filter->FilterParameters[0], 44100.0);
    EXPECT_EQ(e.filter->FilterParameters[1], 3000.0);
    EXPECT_EQ(e.filter->FilterParameters[2], 1.0);
    EXPECT_EQ(e.pitchWindowLength, 0);
    EXPECT_EQ(e.lastCrossings, 0);
    for (int i = 0; i < AudioProcessor::kMaxChainSamples; ++i)
        ASSERT_EQ(e.modulation[0][static_cast<std::size_t>(i)], 0.0);

    // A block before any reset or parameter change is processed, and modulated.
    auto block = StereoBlock::tones(512);
    const auto input = block;
    e.followPitch = true; // even with no pitch window yet
    e.runBlock(block.channels(), block.size());
    bool changed = false;
    for (std::size_t i = 0; i < 512; ++i)
    {
        ASSERT_TRUE(std::isfinite(block.left[i]));
        changed |= block.left[i] != input.left[i];
    }
    EXPECT_TRUE(changed);
}

TEST(AudioPlugin, MakeFilterInstallsTheDesignOfEachFilterType)
{
    struct Case
    {
        int type;
        const char* name;
    };
    for (const Case& c : {Case{0, "RBJ Low Pass"}, Case{1, "RBJ Band Pass 1"},
                          Case{2, "RBJ High Pass"}, Case{7, "RBJ Low Pass"}})
    {
        const auto f = AudioPlugin::makeFilter(c.type);
        EXPECT_STREQ(f->name(), c.name);
        EXPECT_EQ(f->channelCount(), 2);
        using LowPass = Dsp::SmoothedFilterDesign<Dsp::RBJ::Design::LowPass, 2, Dsp::DirectFormII>;
        if (const auto* smoothed = dynamic_cast<const LowPass*>(f.get()))
        {
            EXPECT_EQ(smoothed->transitionSamples, 512);
        }
    }
}

TEST(AudioPlugin, UnusableSampleRatesAreLimitedAndProcessingStaysFinite)
{
    for (int rate : {0, -44100, 5, 2000000000})
    {
        AudioPlugin e;
        resetEngine(e, rate);
        EXPECT_GE(e.sampleRate, 1);
        EXPECT_LE(e.sampleRate, AudioProcessor::kMaxSampleRate);
        for (int source = 0; source <= 4; ++source)
        {
            e.sourceType = source;
            e.followPitch = source % 2 == 0;
            auto block = StereoBlock::random(300, 9);
            e.runBlock(block.channels(), block.size());
            for (double v : block.left)
                ASSERT_TRUE(std::isfinite(v)) << rate << " " << source;
        }
    }
}

TEST(AudioPlugin, RateChangeRedesignsAndRecreatesButKeepsOscillatorPeriods)
{
    AudioPlugin e;
    resetEngine(e, 44100);
    setFrequency(e, 1000);
    resetEngine(e, 48000);
    EXPECT_EQ(e.filter->FilterParameters[0], 48000.0);
    EXPECT_EQ(e.pitchWindowLength, 4800);
    EXPECT_EQ(e.sine.sampleRate, 48000);
    EXPECT_EQ(e.saw.sampleRate, 48000);
    EXPECT_EQ(e.square.periodSamples, 44); // still the 44.1 kHz period until setFrequency
    EXPECT_DOUBLE_EQ(e.saw.blockerCoefficient, 1.0 - M_PI / 48000);
}

TEST(AudioPlugin, SaturationCurve)
{
    double x[] = {1.0, -1.0, 0.0, 3.0};
    saturate(x, 4);
    EXPECT_NEAR(x[0], 0.8321205588, 1e-9);
    EXPECT_NEAR(x[1], -0.6321205588, 1e-9);
    EXPECT_EQ(x[2], 0.0);
    EXPECT_NEAR(x[3], 1 - std::exp(-3.0) + 0.6, 1e-15);
    double n = std::nan("");
    saturate(&n, 1);
    EXPECT_TRUE(std::isnan(n));
}

TEST(AudioPlugin, SaturationAppliesTwiceAroundTheModulation)
{
    AudioPlugin e;
    resetEngine(e);
    e.amount = 0.0;
    StereoBlock block(2);
    block.left = {1.0, -1.0};
    block.right = {-1.0, 1.0};
    e.runBlock(block.channels(), 2);
    EXPECT_NEAR(block.left[0], 0.7312985139, 1e-9);
    EXPECT_NEAR(block.left[1], -0.4685363946, 1e-9);
    EXPECT_NEAR(block.right[0], -0.4685363946, 1e-9);
    EXPECT_NEAR(block.right[1], 0.7312985139, 1e-9);
}

TEST(AudioPlugin, WithoutDepthOrSaturationOnlyTheGainsRemain)
{
    AudioPlugin e;
    resetEngine(e);
    e.amount = 0.0;
    e.saturation = false;
    e.inputGain = 0.1778279;
    e.outputGain = 5.6234133;
    auto block = StereoBlock::random(256, 3);
    const auto input = block;
    e.runBlock(block.channels(), block.size());
    for (std::size_t i = 0; i < 256; ++i)
    {
        EXPECT_NEAR(block.left[i], input.left[i] * 0.1778279 * 5.6234133, 1e-12);
        EXPECT_NEAR(block.right[i], input.right[i] * 0.1778279 * 5.6234133, 1e-12);
    }
}

TEST(AudioPlugin, BypassPassesTheBlockUnchangedAndDoesNotFeedTheFollower)
{
    AudioPlugin e;
    resetEngine(e);
    e.bypass = true;
    e.followPitch = true;
    auto block = StereoBlock::tones(1000);
    const auto input = block;
    e.runBlock(block.channels(), block.size());
    EXPECT_EQ(block.left, input.left);
    EXPECT_EQ(block.right, input.right);
    EXPECT_EQ(e.pitchWriteIndex, 0);
    EXPECT_EQ(e.filter->FilterParameters[1], 3000.0);
}

// Out = (m x amount + 1) x in x gains, channel by channel, with m the modulation of the block.
void expectModulatedBy(const AudioPlugin& e, const StereoBlock& in, const StereoBlock& out)
{
    for (std::size_t i = 0; i < in.left.size(); ++i)
    {
        const double gains = e.inputGain * e.outputGain;
        ASSERT_NEAR(out.left[i], (e.modulation[0][i] * e.amount + 1) * in.left[i] * gains, 1e-12);
        ASSERT_NEAR(out.right[i], (e.modulation[1][i] * e.amount + 1) * in.right[i] * gains, 1e-12);
    }
}

TEST(AudioPlugin, NoiseIsFilteredAndSharedOrIndependentPerChannel)
{
    for (int source : {AudioPlugin::kNoise, AudioPlugin::kStereoNoise})
    {
        AudioPlugin e;
        resetEngine(e, 44100, 5);
        setFilterType(e, AudioPlugin::kBandPass);
        e.saturation = false;
        e.sourceType = source;
        e.inputGain = 2.0;
        auto block = StereoBlock::tones(400);
        const auto input = block;
        e.runBlock(block.channels(), block.size());
        expectModulatedBy(e, input, block);

        // The modulation is the engine's noise, band-passed.
        NoiseGenerator g(5);
        std::vector<double> left(400), right(400);
        fillNoise(left.data(), 400, g);
        if (source == AudioPlugin::kStereoNoise)
            fillNoise(right.data(), 400, g);
        else
            right = left;
        auto reference = AudioPlugin::makeFilter(AudioPlugin::kBandPass);
        reference->setParameters(e.filter->FilterParameters);
        double* ch[2] = {left.data(), right.data()};
        reference->filterBlock(400, ch);
        for (std::size_t i = 0; i < 400; ++i)
        {
            ASSERT_EQ(e.modulation[0][i], left[i]);
            ASSERT_EQ(e.modulation[1][i], right[i]);
        }
        EXPECT_EQ(left == right, source == AudioPlugin::kNoise);
    }
}

TEST(AudioPlugin, OscillatorSourcesAreNotFiltered)
{
    struct Case
    {
        int source;
        std::unique_ptr<Oscillator> (*pick)(AudioPlugin&);
    };
    const Case cases[] = {
        {AudioPlugin::kSine,
         [](AudioPlugin& e) -> std::unique_ptr<Oscillator>
         { return std::make_unique<SineOscillator>(e.sine); }},
        {AudioPlugin::kSaw,
         [](AudioPlugin& e) -> std::unique_ptr<Oscillator>
         { return std::make_unique<SawOscillator>(e.saw); }},
        {AudioPlugin::kSquare,
         [](AudioPlugin& e) -> std::unique_ptr<Oscillator>
         { return std::make_unique<SquareOscillator>(e.square); }},
    };
    for (const Case& c : cases)
    {
        AudioPlugin e;
        resetEngine(e);
        setFrequency(e, 700);
        e.saturation = false;
        e.sourceType = c.source;
        const std::unique_ptr<Oscillator> reference = c.pick(e);
        std::vector<double> expected(300);
        reference->fill(expected.data(), 300);
        auto block = StereoBlock::tones(300);
        const auto input = block;
        e.runBlock(block.channels(), block.size());
        for (std::size_t i = 0; i < 300; ++i)
        {
            ASSERT_EQ(e.modulation[0][i], expected[i]) << c.source;
            ASSERT_EQ(e.modulation[1][i], expected[i]) << c.source;
        }
        expectModulatedBy(e, input, block);
    }
}

TEST(AudioPlugin, SideChainIsBandPassedChannelByChannel)
{
    AudioPlugin e;
    resetEngine(e);
    setFrequency(e, 2500);
    setFilterType(e, AudioPlugin::kBandPass); // a fresh filter takes 2500 Hz without a glide
    e.saturation = false;
    e.sourceType = AudioPlugin::kSideChain;
    auto side = StereoBlock::random(500, 4);
    e.sidechain = {side.left.data(), side.right.data()};
    auto block = StereoBlock::tones(500);
    e.runBlock(block.channels(), block.size());

    auto reference = AudioPlugin::makeFilter(AudioPlugin::kBandPass);
    reference->setParameters(e.filter->FilterParameters);
    reference->filterBlock(500, side.channels());
    for (std::size_t i = 0; i < 500; ++i)
    {
        ASSERT_EQ(e.modulation[0][i], side.left[i]);
        ASSERT_EQ(e.modulation[1][i], side.right[i]);
    }

    // No side chain attached: silence, not a crash.
    e.sidechain = {nullptr, nullptr};
    e.runBlock(block.channels(), block.size());
    for (std::size_t i = 0; i < 500; ++i)
        ASSERT_TRUE(std::isfinite(block.left[i]));
}

// The saturating pass and the glide's designs are compiled for each vector unit; each lane
// must round as the baseline code does, or the sound would depend on the processor.
TEST(AudioPlugin, EveryVectorWidthGivesTheSameSamples)
{
    const auto render = [](Dsp::VectorWidth width, int type)
    {
        Dsp::limitVectorWidth(width);
        AudioPlugin e;
        resetEngine(e, 44100, 5);
        setFilterType(e, type);
        e.sourceType = AudioPlugin::kStereoNoise;
        e.inputGain = 3.0; // well into the saturation curve
        auto block = StereoBlock::random(1500, 4);
        e.runBlock(block.channels(), 500);
        setFrequency(e, 11000); // a glide over the next blocks
        double* rest[2] = {block.left.data() + 500, block.right.data() + 500};
        e.runBlock(rest, 1000);
        Dsp::limitVectorWidth(Dsp::VectorWidth::kAvx512);
        return block;
    };
    const int widest = static_cast<int>(Dsp::supportedVectorWidth());
    for (int type = 0; type < 3; ++type)
    {
        const StereoBlock baseline = render(Dsp::VectorWidth::kBaseline, type);
        for (int w = 1; w <= widest; ++w)
        {
            SCOPED_TRACE("filter type " + std::to_string(type) + ", width " + std::to_string(w));
            const StereoBlock wide = render(static_cast<Dsp::VectorWidth>(w), type);
            EXPECT_EQ(wide.left, baseline.left);
            EXPECT_EQ(wide.right, baseline.right);
        }
    }
}

// Blocks longer than the modulation arrays (8192) or the work buffers (16384 at factor 2)
// are processed in slices, with the same result as many small blocks.
TEST(AudioPlugin, LongBlocksEqualTheSameSignalInSmallBlocks)
{
    for (int factor : {1, 2})
        for (int source : {0, 2, 3, 4, 5})
        {
            AudioPlugin a, b;
            for (AudioPlugin* e : {&a, &b})
            {
                e->setSampleRate(44100);
                e->setOversampling(factor);
                e->noise.setSeed(11);
                e->sourceType = source;
                setFrequency(*e, 900); // starts a glide
            }
            auto side = StereoBlock::random(20000, 8);
            auto one = StereoBlock::tones(20000);
            auto many = one;
            a.sidechain = {side.left.data(), side.right.data()};
            a.runBlock(one.channels(), one.size());
            for (int start = 0; start < 20000; start += 64)
            {
                const int n = std::min(64, 20000 - start);
                b.sidechain = {side.left.data() + start, side.right.data() + start};
                double* ch[2] = {many.left.data() + start, many.right.data() + start};
                b.runBlock(ch, n);
            }
            for (std::size_t i = 0; i < 20000; ++i)
            {
                ASSERT_NEAR(one.left[i], many.left[i], 1e-12)
                    << factor << " " << source << " " << i;
                ASSERT_NEAR(one.right[i], many.right[i], 1e-12)
                    << factor << " " << source << " " << i;
            }
        }
}

// 18000 Hz is above Nyquist at 32 kHz and the follower's 18000 Hz at 22.05 kHz: the output
// must stay finite and bounded instead of running off to infinity.
TEST(AudioPlugin, HighFrequenciesAtLowRatesStayFinite)
{
    for (int rate : {22050, 32000})
        for (int type : {0, 1, 2})
            for (bool follow : {false, true})
            {
                AudioPlugin e;
                resetEngine(e, rate);
                setFilterType(e, type);
                e.q = 4;
                setFrequency(e, 18000);
                e.followPitch = follow;
                double peak = 0;
                for (int n = 0; n < 20; ++n)
                {
                    auto block = StereoBlock::random(2048, static_cast<unsigned>(n));
                    e.runBlock(block.channels(), block.size());
                    for (double v : block.left)
                        peak = std::max(peak, std::fabs(v));
                }
                EXPECT_TRUE(std::isfinite(peak)) << rate << " " << type << " " << follow;
                EXPECT_LT(peak, 100.0) << rate << " " << type << " " << follow;
            }
}

// A side chain that delivers a non-finite sample must not leave the filter's memory poisoned:
// the blocks after it sound again, whether the sample arrived during a glide or after it.
TEST(AudioPlugin, NonFiniteSideChainSamplesDoNotSilenceLaterBlocks)
{
    for (int type : {0, 1, 2})
        for (bool gliding : {false, true})
            for (double bad : {std::nan(""), HUGE_VAL})
            {
                AudioPlugin e;
                resetEngine(e);
                setFilterType(e, type);
                e.sourceType = AudioPlugin::kSideChain;
                if (gliding)
                    setFrequency(e, 1200);
                auto side = StereoBlock::random(256, 3);
                side.left[10] = bad;
                side.right[10] = bad;
                e.sidechain = {side.left.data(), side.right.data()};
                auto first = StereoBlock::tones(256);
                e.runBlock(first.channels(), first.size());

                auto clean = StereoBlock::random(1024, 4);
                e.sidechain = {clean.left.data(), clean.right.data()};
                auto later = StereoBlock::tones(1024);
                e.runBlock(later.channels(), later.size());
                for (double v : later.left)
                    ASSERT_TRUE(std::isfinite(v)) << type << " " << gliding << " " << bad;
                for (double v : later.right)
                    ASSERT_TRUE(std::isfinite(v)) << type << " " << gliding << " " << bad;
            }
}

} // namespace
