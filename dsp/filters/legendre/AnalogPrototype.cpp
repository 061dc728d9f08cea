#include "dsp/filters/legendre/AnalogPrototype.h"

#include "dsp/filters/legendre/LaguerreSolver.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace Dsp::Legendre
{

namespace
{

using Complex = std::complex<double>;
constexpr int kMaxOrder = AnalogPrototype::kMaxOrder;
// Power-basis polynomials; index i multiplies x^i.
using Poly = std::array<double, 2 * kMaxOrder + 2>;

Poly multiply(const Poly& a, const Poly& b)
{
    Poly r{};
    for (std::size_t i = 0; i < a.size(); ++i)
        for (std::size_t j = 0; i + j < r.size(); ++j)
            r[i + j] += a[i] * b[j];
    return r;
}

/// The optimum-L function L(u), u = w^2, of `order` (Papoulis): with v a weighted sum of
/// Legendre polynomials chosen for the steepest slope at w = 1 under L(1) = 1,
/// L = integral from -1 to 2u - 1 of v(x)^2 (odd orders) or (x + 1) v(x)^2 (even orders).
Poly optimumL(int order)
{
    const int k = (order % 2 == 1) ? (order - 1) / 2 : (order - 2) / 2;
    // Legendre polynomials P_0..P_k by (i + 1) P_{i+1} = (2i + 1) x P_i - i P_{i-1}.
    std::array<Poly, kMaxOrder> legendre{};
    legendre[0][0] = 1.0;
    if (k >= 1)
        legendre[1][1] = 1.0;
    for (int i = 1; i < k; ++i)
        for (std::size_t j = 0; j < Poly{}.size(); ++j)
        {
            const double shifted = j > 0 ? legendre[static_cast<unsigned>(i)][j - 1] : 0.0;
            legendre[static_cast<unsigned>(i + 1)][j] =
                ((2 * i + 1) * shifted - i * legendre[static_cast<unsigned>(i - 1)][j]) / (i + 1);
        }

    Poly v{};
    for (int i = 0; i <= k; ++i)
    {
        double a = 0.0;
        if (order % 2 == 1)
            a = (2 * i + 1) / (std::sqrt(2.0) * (k + 1));
        else if (i % 2 == k % 2) // even orders use only the terms of k's parity
            a = (2 * i + 1) / std::sqrt(static_cast<double>((k + 1) * (k + 2)));
        for (std::size_t j = 0; j < v.size(); ++j)
            v[j] += a * legendre[static_cast<unsigned>(i)][j];
    }
    Poly integrand = multiply(v, v);
    if (order % 2 == 0)
        integrand = multiply(integrand, Poly{1.0, 1.0});

    // Antiderivative F with F(-1) = 0, as a polynomial in y.
    Poly f{};
    for (std::size_t j = 0; j + 1 < f.size(); ++j)
        f[j + 1] = integrand[j] / static_cast<double>(j + 1);
    double atMinusOne = 0.0;
    for (std::size_t j = 0; j < f.size(); ++j)
        atMinusOne += f[j] * ((j % 2 == 0) ? 1.0 : -1.0);
    f[0] -= atMinusOne;

    // Substitute y = 2u - 1 (Horner over polynomials in u).
    Poly l{};
    for (std::size_t j = f.size(); j-- > 0;)
    {
        l = multiply(l, Poly{-1.0, 2.0});
        l[0] += f[j];
    }
    return l;
}

} // namespace

void AnalogPrototype::design(int newOrder)
{
    const int n = std::clamp(newOrder, 1, kMaxOrder);
    const Poly l = optimumL(n);

    // 1 + L(-s^2): degree 2n in s; its roots are the poles and their mirror images.
    std::array<Complex, 2 * kMaxOrder + 1> characteristic{};
    characteristic[0] = 1.0;
    for (int j = 0; j <= n; ++j)
    {
        const double sign = (j % 2 == 0) ? 1.0 : -1.0;
        characteristic[static_cast<unsigned>(2 * j)] += sign * l[static_cast<unsigned>(j)];
    }
    std::array<Complex, 2 * kMaxOrder> roots{};
    LaguerreSolver::findRoots(characteristic.data(), 2 * n, roots.data());

    // The n roots furthest into the left half-plane are the poles.
    std::sort(roots.begin(), roots.begin() + 2 * n,
              [](const Complex& a, const Complex& b) { return a.real() < b.real(); });
    if (!(roots[static_cast<unsigned>(n - 1)].real() < 0.0))
        throw std::logic_error("laguerre failed");

    // Complex poles as (p, conj p) with the upper one first, real poles last.
    const double tolerance = 1e-9;
    int next = 0;
    std::array<Complex, kMaxOrder> reals{};
    int realCount = 0;
    for (int i = 0; i < n; ++i)
    {
        const Complex p = roots[static_cast<unsigned>(i)];
        if (std::abs(p.imag()) <= tolerance * std::abs(p))
            reals[static_cast<unsigned>(realCount++)] = {p.real(), 0.0};
        else if (p.imag() > 0.0)
        {
            poles[static_cast<unsigned>(next++)] = p;
            poles[static_cast<unsigned>(next++)] = std::conj(p);
        }
    }
    if (next + realCount != n)
        throw std::logic_error("laguerre failed"); // unpaired complex poles
    for (int i = 0; i < realCount; ++i)
        poles[static_cast<unsigned>(next++)] = reals[static_cast<unsigned>(i)];
    order = n;
}

void AnalogPrototype::transform(double sampleRate, double cutoff, BiquadCascade& cascade) const
{
    const double scale = std::tan(3.141592653589793 * cutoff / sampleRate);
    auto toZ = [scale](Complex p) { return (1.0 + scale * p) / (1.0 - scale * p); };

    int stages = 0;
    int i = 0;
    while (i < order)
    {
        const Complex p = poles[static_cast<unsigned>(i)];
        BiquadCoefficients& c = cascade.stage(stages++);
        const bool single = i + 1 >= order;
        if (single)
        {
            // First-order section: zero at z = -1, gain 1 at DC.
            const double z = toZ(p).real();
            const double g = (1.0 - z) * 0.5;
            c.assignCoefficients(1.0, -z, 0.0, g, g, 0.0);
            i += 1;
            continue;
        }
        // Two poles (a conjugate pair or two reals): double zero at z = -1, gain 1 at DC.
        const Complex z1 = toZ(p);
        const Complex z2 = toZ(poles[static_cast<unsigned>(i + 1)]);
        const double a1 = -(z1 + z2).real();
        const double a2 = (z1 * z2).real();
        const double g = (1.0 + a1 + a2) * 0.25;
        c.assignCoefficients(1.0, a1, a2, g, 2.0 * g, g);
        i += 2;
    }
    cascade.setStageCount(stages);
}

} // namespace Dsp::Legendre
