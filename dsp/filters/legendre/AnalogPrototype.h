#pragma once

#include "dsp/filters/BiquadCascade.h"

#include <array>
#include <complex>

namespace Dsp::Legendre
{

/// Papoulis's optimum-L (Legendre) all-pole analog low pass, normalised to -3 dB at
/// 1 rad/s and gain 1 at DC, and its bilinear transform into a digital cascade.
/// Design time only (not real-time safe: may throw).
class AnalogPrototype
{
public:
    static constexpr int kMaxOrder = 2 * BiquadCascade::kMaxStages;

    /// Computes the `order` poles (1..kMaxOrder): builds 1 + L(-s^2), the polynomial whose
    /// roots are the poles and their mirror images, finds its roots with Laguerre's method
    /// and keeps the left half-plane ones. Throws std::logic_error("laguerre failed") when
    /// the iteration does not converge.
    void design(int order);

    /// Bilinear transform with the cutoff prewarped (analog scale tan(pi cutoff / rate)),
    /// poles paired into second-order sections (a real pole alone when the order is odd),
    /// each section scaled to gain 1 at DC.
    void transform(double sampleRate, double cutoff, BiquadCascade& cascade) const;

    /// Order of the poles held; 0 before the first design.
    int order = 0;
    /// Poles, complex ones first as (p, conj p) pairs with positive imaginary part first,
    /// the real pole (odd orders) last.
    std::array<std::complex<double>, kMaxOrder> poles{};
};

} // namespace Dsp::Legendre
