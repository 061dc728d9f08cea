#include "dsp/filters/legendre/LaguerreSolver.h"

#include <array>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace Dsp::Legendre
{

namespace
{

using Complex = std::complex<double>;

[[noreturn]] void fail()
{
    throw std::logic_error("laguerre failed");
}

/// Laguerre's iteration for one root of a[0..m], starting at x. Cycles are broken by
/// taking a fractional step every kStepsPerBreak iterations.
Complex laguerre(const Complex* a, int m, Complex x)
{
    constexpr int kFractions = 8;
    constexpr int kStepsPerBreak = 10;
    constexpr int kMaxIterations = kFractions * kStepsPerBreak;
    constexpr double kEpsilon = std::numeric_limits<double>::epsilon();
    static constexpr std::array<double, kFractions + 1> kFraction{0.0,  0.5,  0.25, 0.75, 0.13,
                                                                  0.38, 0.62, 0.88, 1.0};
    for (int iteration = 1; iteration <= kMaxIterations; ++iteration)
    {
        Complex b = a[m];
        double error = std::abs(b);
        Complex d = 0.0, f = 0.0;
        const double absX = std::abs(x);
        for (int j = m - 1; j >= 0; --j)
        {
            f = x * f + d;
            d = x * d + b;
            b = x * b + a[j];
            error = std::abs(b) + absX * error;
        }
        if (std::abs(b) <= error * kEpsilon)
            return x; // the value is zero to rounding accuracy
        const Complex g = d / b;
        const Complex g2 = g * g;
        const Complex h = g2 - 2.0 * f / b;
        const Complex root =
            std::sqrt(static_cast<double>(m - 1) * (static_cast<double>(m) * h - g2));
        Complex plus = g + root;
        const Complex minus = g - root;
        const double absPlus = std::abs(plus), absMinus = std::abs(minus);
        if (absPlus < absMinus)
            plus = minus;
        const Complex dx = std::max(absPlus, absMinus) > 0.0
                               ? static_cast<double>(m) / plus
                               : std::polar(1.0 + absX, static_cast<double>(iteration));
        const Complex next = x - dx;
        if (!std::isfinite(next.real()) || !std::isfinite(next.imag()))
            fail();
        if (next == x)
            return x;
        if (iteration % kStepsPerBreak != 0)
            x = next;
        else
            x -= kFraction[static_cast<unsigned>(iteration / kStepsPerBreak)] * dx;
    }
    fail();
}

} // namespace

void LaguerreSolver::findRoots(const Complex* coefficients, int degree, Complex* roots)
{
    if (degree < 1 || degree > kMaxDegree || coefficients[degree] == 0.0)
        fail();
    std::array<Complex, kMaxDegree + 1> deflated{};
    for (int j = 0; j <= degree; ++j)
        deflated[static_cast<unsigned>(j)] = coefficients[j];

    for (int m = degree; m >= 1; --m)
    {
        const Complex x = laguerre(deflated.data(), m, Complex{0.0, 0.0});
        roots[m - 1] = x;
        // Synthetic division by (z - x).
        Complex b = deflated[static_cast<unsigned>(m)];
        for (int j = m - 1; j >= 0; --j)
        {
            const Complex c = deflated[static_cast<unsigned>(j)];
            deflated[static_cast<unsigned>(j)] = b;
            b = x * b + c;
        }
    }
    // Polish against the full polynomial: deflation accumulates rounding.
    for (int i = 0; i < degree; ++i)
        roots[i] = laguerre(coefficients, degree, roots[i]);
}

} // namespace Dsp::Legendre
