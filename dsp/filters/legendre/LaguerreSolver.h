#pragma once

#include <complex>

namespace Dsp::Legendre
{

/// Roots of a complex polynomial by Laguerre's method with deflation and polishing.
class LaguerreSolver
{
public:
    static constexpr int kMaxDegree = 32;

    /// `coefficients[i]` multiplies x^i, i = 0..degree (degree 1..kMaxDegree, leading
    /// coefficient non-zero). Writes the `degree` roots to `roots`. Throws
    /// std::logic_error("laguerre failed") when an iteration does not converge or the
    /// input is unusable.
    static void findRoots(const std::complex<double>* coefficients, int degree,
                          std::complex<double>* roots);
};

} // namespace Dsp::Legendre
