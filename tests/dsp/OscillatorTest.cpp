#include "dsp/SawOscillator.h"
#include "dsp/SineOscillator.h"
#include "dsp/SquareOscillator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace
{

std::vector<double> run(Oscillator& o, int n)
{
    std::vector<double> out(static_cast<std::size_t>(n));
    o.fill(out.data(), n);
    return out;
}

TEST(Oscillator, SetFrequencyRoundsThePeriodAndKeepsTheIncrementUnrounded)
{
    struct Case
    {
        double hz;
        double frequency;
        int period;
    };
    for (const Case& c : {Case{18000, 18000, 2}, Case{50, 50, 882}, Case{300.7, 300, 147},
                          Case{1000, 1000, 44}, Case{17640, 17640, 3}}) // 2.5 rounds away from 0
    {
        SineOscillator o;
        o.setFrequency(c.hz);
        EXPECT_EQ(o.frequency, c.frequency) << c.hz;
        EXPECT_EQ(o.periodSamples, c.period) << c.hz;
        EXPECT_NEAR(o.periodLength, 44100.0 / c.frequency, 1e-9);
        EXPECT_NEAR(o.phaseIncrement, 2 * M_PI * c.frequency / 44100.0, 1e-9);
    }
    SineOscillator o;
    o.setFrequency(18000);
    EXPECT_NEAR(o.phaseIncrement, 2.5645654, 1e-7);
}

TEST(Oscillator, FrequencyBelowOneHertzIsLimited)
{
    SawOscillator o;
    o.setFrequency(0.0);
    EXPECT_EQ(o.frequency, 1.0);
    EXPECT_EQ(o.periodSamples, 44100);
    o.setFrequency(std::nan(""));
    EXPECT_EQ(o.frequency, 1.0);
}

TEST(Oscillator, UnsetOscillatorsAreSilentAndTheCounterStaysAtZero)
{
    SineOscillator sine;
    SquareOscillator square;
    for (Oscillator* o : {static_cast<Oscillator*>(&sine), static_cast<Oscillator*>(&square)})
    {
        for (double v : run(*o, 10))
            EXPECT_EQ(v, 0.0);
        EXPECT_EQ(o->step, 0);
    }
}

TEST(SineOscillator, PhaseRestartsOnlyAfterPassingTwoPi)
{
    // 1000 Hz at 44.1 kHz: 44.1-sample period, so each cycle lasts 45 samples (980 Hz).
    SineOscillator o;
    o.setFrequency(1000);
    const auto out = run(o, 450);
    for (std::size_t i = 0; i < out.size(); ++i)
    {
        if (i % 45 == 0)
            EXPECT_EQ(out[i], 0.0) << i;
        else
            EXPECT_NE(out[i], 0.0) << i;
    }
    EXPECT_EQ(o.lastSine, out.back());
}

TEST(SineOscillator, FrequencyChangeKeepsThePhase)
{
    SineOscillator o;
    o.setFrequency(1000);
    run(o, 10);
    const double phase = o.phase;
    o.setFrequency(2000);
    EXPECT_EQ(o.phase, phase);
    EXPECT_NEAR(run(o, 1)[0], std::sin(phase), 1e-15);
}

TEST(SquareOscillator, ShapeClipsAndRoundsTheTop)
{
    EXPECT_NEAR(SquareOscillator::shape(0.5), 0.9375, 1e-12);
    EXPECT_NEAR(SquareOscillator::shape(-0.5), -0.9375, 1e-12);
    EXPECT_EQ(SquareOscillator::shape(0.0), 0.0);
    EXPECT_EQ(SquareOscillator::shape(1.0), 1.0);
    EXPECT_EQ(SquareOscillator::shape(7.0), 1.0);
    EXPECT_EQ(SquareOscillator::shape(-1.2), -1.0);
    for (double x = -1; x <= 1; x += 0.01) // sign(x) (1 - (1 - |x|)^4)
        EXPECT_NEAR(SquareOscillator::shape(x), std::copysign(1 - std::pow(1 - std::fabs(x), 4), x),
                    1e-12);
}

TEST(SquareOscillator, IsExactlyFullScaleWheneverTheSineExceeds017)
{
    SquareOscillator o;
    o.setFrequency(440);
    double phase = 0;
    for (int i = 0; i < 2000; ++i)
    {
        if (phase > 2 * M_PI)
            phase = 0;
        const double s = std::sin(phase);
        phase += o.phaseIncrement;
        const double v = run(o, 1)[0];
        ASSERT_EQ(o.lastSine, s);
        if (std::fabs(s) > 0.17)
            ASSERT_EQ(std::fabs(v), 1.0) << i;
        else
            ASSERT_EQ(v, SquareOscillator::shape(s * 20 / 3.4));
    }
}

TEST(SawOscillator, RampRunsThroughTheCounterSteps)
{
    SawOscillator o;
    o.resetDcBlocker();
    o.setFrequency(18000); // period 2: steps 0, 1, 2
    const double ramps[] = {-1, 0, 1, -1, 0, 1};
    double previousRamp = 0, previousOutput = 0;
    for (double ramp : ramps)
    {
        const double v = run(o, 1)[0];
        EXPECT_EQ(o.previousRamp, ramp);
        const double expected = (1 - M_PI / 44100) * previousOutput + (ramp - previousRamp);
        EXPECT_NEAR(v, expected, 1e-15);
        previousRamp = ramp;
        previousOutput = v;
    }
}

TEST(SawOscillator, HasNoDcOffsetAndUsesANewRateAtOnce)
{
    SawOscillator o;
    o.resetDcBlocker();
    o.setFrequency(100);
    const auto out = run(o, 44100 * 4);
    double mean = 0;
    for (std::size_t i = out.size() - 44100; i < out.size(); ++i)
        mean += out[i] / 44100;
    EXPECT_NEAR(mean, 0.0, 0.02);

    // The counter keeps its old bound (441) but the ramp divides by the new period (882).
    o.sampleRate = 88200;
    o.step = -1;
    run(o, 442);
    EXPECT_NEAR(o.previousRamp, 2.0 * 441 / 882 - 1, 1e-15);
}

TEST(SawOscillator, FrequencyAboveTheRateStaysFinite)
{
    SawOscillator o;
    o.sampleRate = 8000;
    o.resetDcBlocker();
    o.setFrequency(18000); // a period of 0.44 samples rounds to 0
    for (double v : run(o, 100))
        ASSERT_TRUE(std::isfinite(v));
}

TEST(Oscillator, LoweringThePeriodBelowTheStepRestartsTheCounter)
{
    SawOscillator o;
    o.resetDcBlocker();
    o.setFrequency(100);
    run(o, 300);
    EXPECT_EQ(o.step, 299);
    o.setFrequency(1000);
    run(o, 1);
    EXPECT_EQ(o.step, 0);
    EXPECT_EQ(o.previousRamp, -1.0);
}

} // namespace
