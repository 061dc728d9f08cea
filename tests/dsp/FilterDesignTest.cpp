#include "dsp/filters/FilterDesign.h"
#include "dsp/filters/SmoothedFilterDesign.h"
#include "dsp/filters/rbj/BandPass1.h"
#include "dsp/filters/rbj/HighPass.h"
#include "dsp/filters/rbj/LowPass.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace
{

using Dsp::DirectFormII;
using Dsp::Filter;
template <class D> using Smoothed = Dsp::SmoothedFilterDesign<D, 2, DirectFormII>;
template <class D> using Plain = Dsp::FilterDesign<D, 2, DirectFormII>;
using LowPass = Dsp::RBJ::Design::LowPass;
using HighPass = Dsp::RBJ::Design::HighPass;
using BandPass = Dsp::RBJ::Design::BandPass1;

Filter::Parameters params(double fs, double f, double p)
{
    Filter::Parameters result{};
    result[0] = fs;
    result[1] = f;
    result[2] = p;
    return result;
}

struct Stereo
{
    std::vector<double> left, right;
    explicit Stereo(int n, unsigned seed = 1)
        : left(static_cast<std::size_t>(n)), right(left.size())
    {
        std::mt19937 rng(seed);
        std::uniform_real_distribution<double> u(-1.0, 1.0);
        for (std::size_t i = 0; i < left.size(); ++i)
        {
            left[i] = u(rng);
            right[i] = u(rng);
        }
    }
    double* ptr[2] = {nullptr, nullptr};
    double* const* channels()
    {
        ptr[0] = left.data();
        ptr[1] = right.data();
        return ptr;
    }
    int size() const { return static_cast<int>(left.size()); }
};

// The cookbook's formulas, written out independently of the library.
Dsp::BiquadCoefficients cookbook(int type, double fs, double f, double p)
{
    const double w0 = 2.0 * M_PI * f / fs, cs = std::cos(w0), sn = std::sin(w0);
    double alpha = sn / (2.0 * p);
    double b0, b1, b2;
    if (type == 0)
        b0 = (1 - cs) / 2, b1 = 1 - cs, b2 = (1 - cs) / 2;
    else if (type == 2)
        b0 = (1 + cs) / 2, b1 = -(1 + cs), b2 = (1 + cs) / 2;
    else
    {
        alpha = sn * std::sinh(std::log(2.0) / 2.0 * p * w0 / sn);
        b0 = p * alpha, b1 = 0, b2 = -p * alpha;
    }
    Dsp::BiquadCoefficients c;
    c.assignCoefficients(1 + alpha, -2 * cs, 1 - alpha, b0, b1, b2);
    return c;
}

TEST(RbjDesign, DescriptorsAndNamesMatchTheDesigns)
{
    Smoothed<LowPass> lp;
    Smoothed<HighPass> hp;
    Smoothed<BandPass> bp;
    EXPECT_STREQ(lp.name(), "RBJ Low Pass");
    EXPECT_STREQ(hp.name(), "RBJ High Pass");
    EXPECT_STREQ(bp.name(), "RBJ Band Pass 1");
    for (Filter* f : {static_cast<Filter*>(&lp), static_cast<Filter*>(&hp)})
    {
        EXPECT_EQ(f->parameterCount(), 3);
        EXPECT_EQ(f->channelCount(), 2);
        EXPECT_STREQ(f->parameterInfo(0).longName, "Sample Rate");
        EXPECT_EQ(f->parameterInfo(1).id, 1);
        EXPECT_STREQ(f->parameterInfo(1).shortName, "Fc");
        EXPECT_STREQ(f->parameterInfo(1).longName, "Cutoff Frequency");
        EXPECT_EQ(f->parameterInfo(2).id, 2);
        EXPECT_STREQ(f->parameterInfo(2).longName, "Resonance");
    }
    EXPECT_STREQ(bp.parameterInfo(1).longName, "Center Frequency");
    EXPECT_EQ(bp.parameterInfo(2).id, 3);
    EXPECT_STREQ(bp.parameterInfo(2).shortName, "BW");
    EXPECT_STREQ(bp.parameterInfo(2).longName, "Bandwidth (Octaves)");
}

TEST(RbjDesign, PositionOutsideTheDescriptorsIsALogicError)
{
    Smoothed<BandPass> bp;
    for (int position : {-1, 3, 8})
    {
        try
        {
            bp.parameterInfo(position);
            ADD_FAILURE() << "no error for position " << position;
        }
        catch (const std::logic_error& e)
        {
            EXPECT_EQ(std::string(e.what()), "invalid usage of ParamInfo");
        }
    }
}

TEST(RbjDesign, CoefficientsFollowTheCookbookAtUsualRates)
{
    // Includes 18000 Hz at 44.1 and 48 kHz: the Nyquist guard must not touch them.
    for (double fs : {44100.0, 48000.0, 96000.0})
        for (double f : {50.0, 2500.0, 18000.0})
            for (double p : {0.1, 1.0, 4.0})
            {
                Dsp::BiquadCoefficients got[3];
                LowPass::designStage(fs, f, p, got[0]);
                BandPass::designStage(fs, f, p, got[1]);
                HighPass::designStage(fs, f, p, got[2]);
                for (int type = 0; type < 3; ++type)
                {
                    const auto want = cookbook(type, fs, f, p);
                    const auto& c = got[type];
                    for (auto [a, b] : {std::pair{c.a1, want.a1},
                                        {c.a2, want.a2},
                                        {c.b0, want.b0},
                                        {c.b1, want.b1},
                                        {c.b2, want.b2}})
                        EXPECT_NEAR(a, b, 1e-12 * std::max(1.0, std::fabs(b)))
                            << "type " << type << " fs " << fs << " f " << f << " p " << p;
                }
            }
}

TEST(RbjDesign, ResponseMatchesTheGainsTheDesignPromises)
{
    Smoothed<LowPass> lp;
    lp.setParameters(params(44100, 2500, 1));
    EXPECT_NEAR(std::abs(lp.responseAt(2500.0 / 44100.0)), 1.0, 1e-9);
    EXPECT_NEAR(std::abs(lp.responseAt(0.0)), 1.0, 1e-9);

    Smoothed<BandPass> bp;
    bp.setParameters(params(44100, 2500, 4));
    EXPECT_NEAR(std::abs(bp.responseAt(2500.0 / 44100.0)), 4.0, 1e-9);
    bp.setParameters(params(44100, 2500, 0.1));
    EXPECT_NEAR(std::abs(bp.responseAt(2500.0 / 44100.0)), 0.1, 1e-9);

    Smoothed<HighPass> hp;
    hp.setParameters(params(44100, 2500, 2));
    EXPECT_NEAR(std::abs(hp.responseAt(2500.0 / 44100.0)), 2.0, 1e-9);
    EXPECT_NEAR(std::abs(hp.responseAt(0.5)), 1.0, 1e-9);
    EXPECT_NEAR(std::abs(hp.responseAt(0.0)), 0.0, 1e-12);
}

TEST(RbjDesign, ResponseIsNotANumberWhereTheDenominatorVanishes)
{
    Dsp::BiquadCoefficients c;
    c.assignCoefficients(1, -2, 1, 1, 0, 0); // double pole at z = 1
    const auto r = c.responseAt(0.0);
    EXPECT_TRUE(std::isnan(r.real()));
    EXPECT_TRUE(std::isnan(r.imag()));
}

TEST(SmoothedFilter, FirstConfigurationAppliesWithoutAGlide)
{
    Smoothed<BandPass> smoothed;
    Plain<BandPass> plain;
    smoothed.setParameters(params(44100, 1200, 2));
    plain.setParameters(params(44100, 1200, 2));
    EXPECT_EQ(smoothed.remainingSamples, 0);
    Stereo a(700), b(700);
    smoothed.filterBlock(a.size(), a.channels());
    plain.filterBlock(b.size(), b.channels());
    EXPECT_EQ(a.left, b.left);
    EXPECT_EQ(a.right, b.right);
}

// Filtering before the first configuration is a caller's slip; it must stay within the
// samples it was given. An unconfigured filter passes samples through, so the count of
// processed samples shows in the alternating offset: 32 flips bring it back to +1e-8.
TEST(SmoothedFilter, FilteringBeforeAnyConfigurationStaysInsideTheBlock)
{
    Smoothed<LowPass> f;
    std::vector<double> left(33, 7.0), right(33, 7.0);
    double* channels[2] = {left.data() + 1, right.data() + 1};
    f.filterBlock(32, channels);
    EXPECT_EQ(f.state[0].antiDenormal, 1e-8);
    EXPECT_EQ(f.state[1].antiDenormal, 1e-8);
    EXPECT_EQ(f.remainingSamples, -1);
    for (double v : left)
        EXPECT_TRUE(std::isfinite(v));
}

TEST(SmoothedFilter, PlainFilteringIsTheDirectFormWithAlternatingOffset)
{
    Plain<LowPass> plain;
    plain.setParameters(params(44100, 3000, 1));
    const auto c = cookbook(0, 44100, 3000, 1);
    Stereo s(64);
    const std::vector<double> input = s.left;
    plain.filterBlock(s.size(), s.channels());
    double d1 = 0, d2 = 0, offset = 1e-8;
    for (std::size_t i = 0; i < input.size(); ++i)
    {
        offset = -offset; // the first sample adds -1e-8
        const double w = input[i] - c.a1 * d1 - c.a2 * d2 + offset;
        const double y = c.b0 * w + c.b1 * d1 + c.b2 * d2;
        d2 = d1;
        d1 = w;
        EXPECT_NEAR(s.left[i], y, 1e-15) << i;
    }
}

TEST(SmoothedFilter, GlideEndsExactlyOnTheTargetAfterTwoBlocksOf256)
{
    Smoothed<LowPass> f;
    f.setParameters(params(44100, 1000, 1));
    f.setParameterById(1, 3000);
    EXPECT_EQ(f.remainingSamples, 512);
    Stereo s(256);
    f.filterBlock(256, s.channels());
    EXPECT_EQ(f.remainingSamples, 256);
    EXPECT_NEAR(f.transitionParameters[1], 2000.0, 1e-9);
    f.filterBlock(256, s.channels());
    EXPECT_EQ(f.remainingSamples, 0);
    EXPECT_EQ(f.transitionParameters, f.FilterParameters);

    // After the glide the target coefficients run: the same as a plain filter that
    // carries the glide's memory.
    Plain<LowPass> plain;
    plain.setParameters(f.FilterParameters);
    plain.state = f.state;
    Stereo a(100, 7), b(100, 7);
    f.filterBlock(100, a.channels());
    plain.filterBlock(100, b.channels());
    EXPECT_EQ(a.left, b.left);
}

TEST(SmoothedFilter, GlideDesignsEverySampleFromTheInterpolatedParameters)
{
    // Runs a glide one sample at a time against a plain filter redesigned each sample.
    Smoothed<HighPass> f;
    Plain<HighPass> reference;
    f.setParameters(params(44100, 500, 0.5));
    reference.setParameters(params(44100, 500, 0.5));
    f.setParameters(params(48000, 4000, 3));
    Stereo s(600), r(600);
    double fs = 44100, fc = 500, q = 0.5;
    for (int i = 0; i < 600; ++i)
    {
        if (i < 512)
        {
            fs += (48000 - 44100) / 512.0;
            fc += (4000 - 500) / 512.0;
            q += (3 - 0.5) / 512.0;
        }
        reference.setParameters(i < 512 ? params(fs, fc, q) : params(48000, 4000, 3));
        double* one[2] = {&s.left[static_cast<std::size_t>(i)],
                          &s.right[static_cast<std::size_t>(i)]};
        double* ref[2] = {&r.left[static_cast<std::size_t>(i)],
                          &r.right[static_cast<std::size_t>(i)]};
        f.filterBlock(1, one);
        reference.filterBlock(1, ref);
        ASSERT_NEAR(s.left[static_cast<std::size_t>(i)], r.left[static_cast<std::size_t>(i)], 1e-9)
            << "sample " << i;
        ASSERT_NEAR(s.right[static_cast<std::size_t>(i)], r.right[static_cast<std::size_t>(i)],
                    1e-9);
    }
}

TEST(SmoothedFilter, ChangeInMidGlideStartsAFreshGlideFromThePointReached)
{
    Smoothed<LowPass> f;
    f.setParameters(params(44100, 1000, 1));
    f.setParameterById(1, 6120); // 10 Hz per sample
    Stereo s(100);
    f.filterBlock(100, s.channels());
    EXPECT_NEAR(f.transitionParameters[1], 2000.0, 1e-9);
    f.setParameterById(1, 2512);
    EXPECT_EQ(f.remainingSamples, 512);
    f.filterBlock(1, s.channels());
    EXPECT_NEAR(f.transitionParameters[1], 2001.0, 1e-9);
    Stereo rest(511);
    f.filterBlock(511, rest.channels());
    EXPECT_EQ(f.remainingSamples, 0);
    EXPECT_EQ(f.transitionParameters[1], 2512.0);
}

TEST(SmoothedFilter, SetParameterByIdFindsTheDescriptor)
{
    Smoothed<BandPass> bp;
    bp.setParameters(params(44100, 2500, 1));
    bp.setParameterById(1, 800);
    EXPECT_EQ(bp.FilterParameters[1], 800.0);
    EXPECT_EQ(bp.remainingSamples, 512);

    Stereo s(512);
    bp.filterBlock(512, s.channels());
    const auto before = bp.FilterParameters;
    bp.setParameterById(2, 3.0); // the band pass's width has id 3
    EXPECT_EQ(bp.FilterParameters, before);
    EXPECT_EQ(bp.remainingSamples, 0);
    bp.setParameterById(3, 3.0);
    EXPECT_EQ(bp.FilterParameters[2], 3.0);
    EXPECT_EQ(bp.remainingSamples, 512);
}

// Without the guard 18000 Hz at 32 kHz (or the follower's 18000 Hz at 22.05 kHz) is at or
// above Nyquist and the output runs off to infinity.
TEST(SmoothedFilter, DesignAtOrAboveNyquistStaysStable)
{
    for (double fs : {8000.0, 22050.0, 32000.0, 36000.0})
        for (double p : {0.1, 1.0, 4.0})
        {
            std::vector<Filter*> filters;
            Smoothed<LowPass> lp;
            Smoothed<BandPass> bp;
            Smoothed<HighPass> hp;
            for (Filter* f :
                 {static_cast<Filter*>(&lp), static_cast<Filter*>(&bp), static_cast<Filter*>(&hp)})
            {
                f->setParameters(params(fs, 1000, p));
                f->setParameterById(1, 18000); // glide up to it, then hold
                double peak = 0;
                for (int block = 0; block < 40; ++block)
                {
                    Stereo s(1024, static_cast<unsigned>(block));
                    f->filterBlock(s.size(), s.channels());
                    for (double v : s.left)
                        peak = std::max(peak, std::fabs(v));
                }
                EXPECT_TRUE(std::isfinite(peak)) << f->name() << " fs " << fs << " p " << p;
                EXPECT_LT(peak, 1e4) << f->name() << " fs " << fs << " p " << p;
                EXPECT_TRUE(std::isfinite(std::abs(f->responseAt(0.25))));
            }
        }
}

} // namespace
