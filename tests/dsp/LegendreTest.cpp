#include "dsp/filters/DirectFormII.h"
#include "dsp/filters/FilterDesign.h"
#include "dsp/filters/legendre/LaguerreSolver.h"
#include "dsp/filters/legendre/LowPass.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <stdexcept>
#include <string>
#include <vector>

namespace
{

using Complex = std::complex<double>;
using Legendre8 = Dsp::FilterDesign<Dsp::Legendre::Design::LowPass<8>, 2, Dsp::DirectFormII>;

Dsp::Filter::Parameters params(double fs, double order, double fc)
{
    Dsp::Filter::Parameters p{};
    p[0] = fs;
    p[1] = order;
    p[2] = fc;
    return p;
}

/// |H(jw)|^2 of the analog prototype from its poles (gain chosen for 1 at DC).
double analogPower(const Dsp::Legendre::AnalogPrototype& proto, double w)
{
    Complex h = 1.0;
    for (int i = 0; i < proto.order; ++i)
    {
        const Complex p = proto.poles[static_cast<unsigned>(i)];
        h *= -p / (Complex(0.0, w) - p);
    }
    return std::norm(h);
}

TEST(LegendreDesign, DescriptorsAndName)
{
    Legendre8 f;
    EXPECT_STREQ(f.name(), "Legendre Low Pass");
    EXPECT_EQ(f.parameterCount(), 3);
    EXPECT_EQ(f.parameterInfo(1).id, 7);
    EXPECT_STREQ(f.parameterInfo(1).shortName, "Order");
    EXPECT_STREQ(f.parameterInfo(1).longName, "Order");
    EXPECT_EQ(f.parameterInfo(2).id, 1);
    EXPECT_STREQ(f.parameterInfo(2).longName, "Cutoff Frequency");
    EXPECT_THROW(f.parameterInfo(3), std::logic_error);
}

// The optimum-L magnitudes in closed form: 1 / (1 + L(w^2)) with L from Papoulis's tables.
TEST(LegendreDesign, PrototypeMatchesTheOptimumLPolynomials)
{
    struct Case
    {
        int order;
        double (*l)(double u);
    };
    const Case cases[] = {
        {1, [](double u) { return u; }},
        {2, [](double u) { return u * u; }},
        {3, [](double u) { return 3 * u * u * u - 3 * u * u + u; }},
        {4, [](double u) { return 6 * std::pow(u, 4) - 8 * std::pow(u, 3) + 3 * u * u; }},
        {5,
         [](double u) {
             return 20 * std::pow(u, 5) - 40 * std::pow(u, 4) + 28 * std::pow(u, 3) - 8 * u * u + u;
         }},
        {6,
         [](double u)
         {
             return 50 * std::pow(u, 6) - 120 * std::pow(u, 5) + 105 * std::pow(u, 4) -
                    40 * std::pow(u, 3) + 6 * u * u;
         }},
        {7,
         [](double u)
         {
             return 175 * std::pow(u, 7) - 525 * std::pow(u, 6) + 615 * std::pow(u, 5) -
                    355 * std::pow(u, 4) + 105 * std::pow(u, 3) - 15 * u * u + u;
         }},
        {8, // the frame's anti-aliasing order
         [](double u)
         {
             return 490 * std::pow(u, 8) - 1680 * std::pow(u, 7) + 2310 * std::pow(u, 6) -
                    1624 * std::pow(u, 5) + 615 * std::pow(u, 4) - 120 * std::pow(u, 3) +
                    10 * u * u;
         }},
    };
    for (const Case& c : cases)
    {
        Dsp::Legendre::AnalogPrototype proto;
        proto.design(c.order);
        ASSERT_EQ(proto.order, c.order);
        for (double w : {0.0, 0.3, 0.7, 1.0, 1.5, 3.0})
            EXPECT_NEAR(analogPower(proto, w), 1.0 / (1.0 + c.l(w * w)), 1e-9)
                << "order " << c.order << " w " << w;
        for (int i = 0; i < c.order; ++i)
            EXPECT_LT(proto.poles[static_cast<unsigned>(i)].real(), 0.0);
    }
}

TEST(LegendreDesign, OrderEightIsMonotonicWithHalfPowerAtTheCutoff)
{
    Dsp::Legendre::AnalogPrototype proto;
    proto.design(8);
    EXPECT_NEAR(analogPower(proto, 0.0), 1.0, 1e-9);
    EXPECT_NEAR(analogPower(proto, 1.0), 0.5, 1e-9);
    double previous = 1.0;
    for (double w = 0.01; w < 4.0; w += 0.01)
    {
        const double p = analogPower(proto, w);
        EXPECT_LE(p, previous + 1e-12) << w;
        previous = p;
    }
}

TEST(LegendreDesign, DigitalLowPassHasUnityDcAndHalfPowerAtTheCutoff)
{
    for (double fs : {88200.0, 96000.0, 384000.0})
    {
        Legendre8 f;
        f.setParameters(params(fs, 8, fs / 4));
        EXPECT_EQ(f.coefficients.stageCount(), 4);
        EXPECT_NEAR(std::abs(f.responseAt(0.0)), 1.0, 1e-9);
        EXPECT_NEAR(std::abs(f.responseAt(0.25)), std::sqrt(0.5), 1e-9);
        EXPECT_LT(std::abs(f.responseAt(0.45)), 1e-3);
        for (int s = 0; s < 4; ++s) // every pole inside the unit circle
            EXPECT_LT(std::fabs(f.coefficients.stage(s).a2), 1.0);

        // A step settles at 1.
        std::vector<double> a(4000, 1.0), b(4000, 1.0);
        double* ch[2] = {a.data(), b.data()};
        f.filterBlock(4000, ch);
        EXPECT_NEAR(a.back(), 1.0, 1e-6);
    }
}

TEST(LegendreDesign, OddOrderEndsWithAFirstOrderSection)
{
    Dsp::FilterDesign<Dsp::Legendre::Design::LowPass<8>, 1, Dsp::DirectFormII> f;
    f.setParameters(params(48000, 5, 6000));
    EXPECT_EQ(f.coefficients.stageCount(), 3);
    EXPECT_EQ(f.coefficients.stage(2).a2, 0.0);
    EXPECT_NEAR(std::abs(f.responseAt(0.0)), 1.0, 1e-9);
    EXPECT_NEAR(std::abs(f.responseAt(0.125)), std::sqrt(0.5), 1e-9);
}

TEST(LegendreDesign, SameOrderReusesThePrototype)
{
    Legendre8 f;
    f.setParameters(params(88200, 8, 22050));
    auto& proto = f.design.prototype;
    const auto poles = proto.poles;
    // Marks the held prototype: a redesign of the same order must not recompute it.
    proto.poles[0] *= 1.01;
    proto.poles[1] *= 1.01;
    f.setParameters(params(96000, 8, 24000));
    EXPECT_NE(proto.poles[0], poles[0]);
    f.setParameters(params(96000, 6, 24000));
    EXPECT_EQ(proto.order, 6);
    f.setParameters(params(96000, 8, 24000));
    EXPECT_EQ(proto.poles, poles);
}

// The frame's cutoff at factor 1 sits on the Nyquist frequency: the coefficients are never
// used, but designing them must not fail.
TEST(LegendreDesign, CutoffAtNyquistDesignsWithoutError)
{
    Legendre8 f;
    EXPECT_NO_THROW(f.setParameters(params(44100, 8, 22050)));
    EXPECT_EQ(f.coefficients.stageCount(), 4);
}

TEST(LaguerreSolver, FindsTheRootsOfAKnownPolynomial)
{
    // (x - 1)(x + 2)(x^2 + 2x + 5): roots 1, -2, -1 +- 2j
    const Complex c[] = {-10.0, 1.0, 5.0, 3.0, 1.0};
    Complex roots[4];
    Dsp::Legendre::LaguerreSolver::findRoots(c, 4, roots);
    std::vector<Complex> want{{1, 0}, {-2, 0}, {-1, 2}, {-1, -2}};
    for (const Complex& w : want)
    {
        double best = 1e9;
        for (const Complex& r : roots)
            best = std::min(best, std::abs(r - w));
        EXPECT_LT(best, 1e-12) << w;
    }
}

TEST(LaguerreSolver, UnusableInputIsALogicError)
{
    const Complex zeroLeading[] = {1.0, 2.0, 0.0};
    Complex roots[2];
    try
    {
        Dsp::Legendre::LaguerreSolver::findRoots(zeroLeading, 2, roots);
        ADD_FAILURE();
    }
    catch (const std::logic_error& e)
    {
        EXPECT_EQ(std::string(e.what()), "laguerre failed");
    }
    const Complex nonNumeric[] = {std::nan(""), 1.0};
    EXPECT_THROW(Dsp::Legendre::LaguerreSolver::findRoots(nonNumeric, 1, roots), std::logic_error);
}

} // namespace
