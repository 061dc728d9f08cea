#include "EngineFixture.h"

#include <gtest/gtest.h>
#include <xmmintrin.h>

#include <cmath>
#include <random>
#include <set>
#include <vector>

namespace
{

/// The follower as first written: store every second sample, then rescan the whole window
/// in storage order with the single-precision sign test.
struct FullScanFollower
{
    std::vector<double> window;
    std::size_t writeIndex = 0;
    int lastCrossings = 0;

    explicit FullScanFollower(int rate) : window(static_cast<std::size_t>(rate / 10), 0.0) {}

    int step(const double* x, int n)
    {
        for (int i = 0; i < n; i += 2)
        {
            window[writeIndex] = x[i];
            if (++writeIndex == window.size())
                writeIndex = 0;
        }
        int count = 0;
        for (std::size_t j = 0; j + 1 < window.size(); ++j)
            count += (static_cast<float>(window[j]) > 0.0f) !=
                     (static_cast<float>(window[j + 1]) > 0.0f);
        int c = lastCrossings;
        if (count >= 1)
            lastCrossings = c = count * 4;
        return std::clamp(static_cast<int>(c * 2.0), 50, 18000);
    }
};

/// An engine with Follow Pitch on, bypassing nothing.
void startFollowing(AudioPlugin& e, int rate)
{
    resetEngine(e, rate);
    e.followPitch = true;
    e.saturation = false;
}

double followed(const AudioPlugin& e)
{
    return e.filter->FilterParameters[1];
}

/// Runs `seconds` of a sine of `hz` (phase continuing from `sample`) in blocks of
/// `blockSize`; returns the estimates seen after each block once the window was full.
std::set<double> followSine(AudioPlugin& e, double hz, double seconds, long& sample,
                            int blockSize = 512, double level = 0.5)
{
    const int rate = e.engineRate();
    const long total = static_cast<long>(seconds * rate);
    std::set<double> estimates;
    StereoBlock block(blockSize);
    for (long done = 0; done < total; done += blockSize)
    {
        for (std::size_t i = 0; i < block.left.size(); ++i, ++sample)
            block.left[i] = block.right[i] = level * std::sin(2 * M_PI * hz * sample / rate);
        e.runBlock(block.channels(), blockSize);
        if (done > rate / 4)
            estimates.insert(followed(e));
    }
    return estimates;
}

TEST(PitchFollower, SteadyTonesGiveAboutThreePointTwoTimesTheirFrequency)
{
    // Whether the pair across the ring's storage end holds a crossing depends on the phase,
    // so a tone's estimate may dip by one crossing (8 Hz) from block to block.
    struct Case
    {
        double hz;
        double estimate;
    };
    for (const Case& c : {Case{100, 320}, Case{1000, 3200}, Case{440, 1400}, Case{7000, 18000}})
    {
        AudioPlugin e;
        startFollowing(e, 44100);
        long sample = 0;
        const auto estimates = followSine(e, c.hz, 2.0, sample);
        EXPECT_TRUE(estimates.count(c.estimate)) << c.hz;
        for (double v : estimates)
            EXPECT_TRUE(v == c.estimate || v == c.estimate - 8) << c.hz << ": " << v;
        // The oscillators follow too; the stored parameter frequency does not change.
        EXPECT_EQ(e.sine.frequency, followed(e));
        EXPECT_EQ(e.saw.frequency, followed(e));
        EXPECT_EQ(e.square.frequency, followed(e));
        EXPECT_EQ(e.frequency, 3000.0);
    }
    AudioPlugin e;
    startFollowing(e, 44100);
    long sample = 0;
    EXPECT_EQ(followSine(e, 440, 2.0, sample), std::set<double>{1400.0});
    EXPECT_EQ(e.lastCrossings, 175 * 4);
}

TEST(PitchFollower, SilenceHoldsTheLastCountAndStartsAtFifty)
{
    AudioPlugin e;
    startFollowing(e, 44100);
    long sample = 0;
    EXPECT_EQ(followSine(e, 0, 0.5, sample), std::set<double>{50.0});
    EXPECT_EQ(e.lastCrossings, 0);
    followSine(e, 1000, 0.5, sample);
    EXPECT_EQ(followed(e), 3200.0);

    // As the tone leaves the window the count falls; once the window is silent the last
    // non-zero count holds.
    followSine(e, 1000, 0.5, sample, 512, 0.0);
    const int held = e.lastCrossings;
    EXPECT_GT(held, 0);
    EXPECT_EQ(followSine(e, 1000, 0.5, sample, 512, 0.0),
              std::set<double>{std::clamp(held * 2.0, 50.0, 18000.0)});

    // A DC offset never changes sign: once it fills the window the estimate holds.
    followSine(e, 1000, 0.5, sample);
    StereoBlock dc(512);
    std::fill(dc.left.begin(), dc.left.end(), 0.3);
    for (int i = 0; i < 20; ++i)
        e.runBlock(dc.channels(), 512);
    const double settled = followed(e);
    for (int i = 0; i < 20; ++i)
        e.runBlock(dc.channels(), 512);
    EXPECT_EQ(followed(e), settled);
    EXPECT_EQ(e.pitchCrossings, 0);
}

TEST(PitchFollower, EntriesTooSmallForSinglePrecisionAreNotPositive)
{
    // Around 2^-150, half the smallest float denormal: at it the conversion rounds to 0,
    // just above it to the denormal.
    for (double tiny : {1e-50, 0x1p-150, std::nextafter(0x1p-150, 1.0), 1e-40, 1e-3})
    {
        AudioPlugin e;
        startFollowing(e, 44100);
        StereoBlock input(512);
        for (int i = 0; i < 512; ++i) // even samples alternate tiny, -1
            input.left[static_cast<std::size_t>(i)] = (i % 4 == 0) ? tiny : -1.0;
        for (int n = 0; n < 20; ++n)
        {
            StereoBlock block = input; // processed in place
            e.runBlock(block.channels(), 512);
        }
        const bool positive = static_cast<float>(tiny) > 0.0f;
        EXPECT_EQ(positive, tiny > 0x1p-150) << tiny;
        EXPECT_EQ(followed(e), positive ? 18000.0 : 50.0) << tiny;
    }
}

TEST(PitchFollower, RateChangeRecreatesTheWindowAndKeepsTheLastCount)
{
    AudioPlugin e;
    startFollowing(e, 44100);
    long sample = 0;
    followSine(e, 1000, 0.5, sample);
    const int last = e.lastCrossings;
    resetEngine(e, 96000);
    EXPECT_EQ(e.pitchWindowLength, 9600);
    EXPECT_EQ(e.pitchWriteIndex, 0);
    EXPECT_EQ(e.pitchCrossings, 0);
    EXPECT_EQ(e.lastCrossings, last);
    StereoBlock silence(64);
    e.runBlock(silence.channels(), 64);
    EXPECT_EQ(followed(e), 3200.0);
}

// The count is kept up to date entry by entry; it must equal a full rescan after every
// block, whatever the block lengths (odd ones restart at their own sample 0), the values
// (zeros, tiny, huge, not-a-number) and the rate.
TEST(PitchFollower, IncrementalCountEqualsAFullRescan)
{
    std::mt19937 rng(2024);
    for (int rate : {8000, 44100, 192000})
    {
        AudioPlugin e;
        startFollowing(e, rate);
        FullScanFollower reference(rate);
        std::uniform_int_distribution<int> lengths(1, 700);
        std::uniform_real_distribution<double> u(-1.0, 1.0);
        std::uniform_int_distribution<int> kind(0, 19);
        double phase = 0;
        for (int block = 0; block < 600; ++block)
        {
            int n = lengths(rng);
            if (block % 50 == 7)
                n = 9000; // longer than one slice
            if (block % 50 == 8)
                n = 32;
            StereoBlock b(n);
            const double hz = 30.0 + 50.0 * (block % 40); // musical: a sweeping tone
            for (int i = 0; i < n; ++i)
            {
                double v;
                switch (kind(rng))
                {
                case 0:
                    v = 0.0;
                    break;
                case 1:
                    v = 1e-46 * u(rng);
                    break;
                case 2:
                    v = 1e300 * u(rng);
                    break;
                case 3:
                    v = std::nan("");
                    break;
                case 4:
                case 5:
                case 6:
                case 7:
                    v = u(rng);
                    break;
                default:
                    v = std::sin(phase) + 0.05 * u(rng);
                }
                phase += 2 * M_PI * hz / rate;
                b.left[static_cast<std::size_t>(i)] = v;
            }
            // The engine slices blocks longer than 8192; the reference scans per slice too.
            int expected = 0;
            for (int start = 0; start < n; start += AudioProcessor::kMaxChainSamples)
                expected = reference.step(b.left.data() + start,
                                          std::min(AudioProcessor::kMaxChainSamples, n - start));
            e.bypass = false;
            e.runBlock(b.channels(), n);
            ASSERT_EQ(followed(e), expected) << "rate " << rate << " block " << block;
            ASSERT_EQ(e.lastCrossings, reference.lastCrossings);
        }
    }
}

/// Runs a scope with the SSE flush-to-zero and denormals-are-zero flags as given, as many
/// hosts set them on their audio threads.
class FloatMode
{
public:
    explicit FloatMode(bool flushDenormals) : saved(_mm_getcsr())
    {
        _mm_setcsr(flushDenormals ? (saved | 0x8040u) : (saved & ~0x8040u));
    }
    ~FloatMode() { _mm_setcsr(saved); }
    FloatMode(const FloatMode&) = delete;
    FloatMode& operator=(const FloatMode&) = delete;

private:
    unsigned saved;
};

// Entries that are single-precision denormals (1e-40) are positive by the follower's test
// whatever mode the host's thread runs in, and the count kept entry by entry must not drift
// when the mode differs between the blocks that write and overwrite an entry.
TEST(PitchFollower, SignTestDoesNotDependOnTheThreadsFloatingPointMode)
{
    AudioPlugin e;
    startFollowing(e, 8000); // an 800-entry window, overwritten every 1600 samples
    FullScanFollower reference(8000);
    StereoBlock tiny(400);
    for (int i = 0; i < 400; ++i) // even samples alternate 1e-40, -1
        tiny.left[static_cast<std::size_t>(i)] = (i % 4 == 0) ? 1e-40 : -1.0;
    const auto tone = StereoBlock::tones(400, 8000.0);
    for (int block = 0; block < 24; ++block)
    {
        StereoBlock b = (block / 4) % 2 == 0 ? tiny : tone;
        const int expected = reference.step(b.left.data(), b.size());
        {
            FloatMode mode(block % 3 == 1);
            e.runBlock(b.channels(), b.size());
        }
        ASSERT_EQ(followed(e), expected) << "block " << block;
    }
}

TEST(PitchFollower, SwitchingOffRestoresTheStoredFrequency)
{
    AudioPlugin e;
    startFollowing(e, 44100);
    setFrequency(e, 2500);
    long sample = 0;
    followSine(e, 1000, 0.5, sample);
    EXPECT_EQ(followed(e), 3200.0);
    // What the Follow Pitch handler does when switched off.
    e.followPitch = false;
    e.updateFilter();
    EXPECT_EQ(followed(e), 2500.0);
    followSine(e, 100, 0.3, sample);
    EXPECT_EQ(followed(e), 2500.0);
}

} // namespace
