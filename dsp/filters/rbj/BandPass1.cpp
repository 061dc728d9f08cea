#include "dsp/filters/rbj/BandPass1.h"

#include "dsp/filters/rbj/NyquistGuard.h"

#include <cmath>

namespace Dsp::RBJ::Design
{

void BandPass1::designStage(double fs, double f, double p, BiquadCoefficients& c)
{
    const double w0 = (guardedFrequency(fs, f) * 6.283185307179586) / fs;
    const double cs = std::cos(w0);
    const double sn = std::sin(w0);
    const double alpha = sn * std::sinh(std::log(2.0) * 0.5 * p * w0 / sn);
    c.assignCoefficients(1.0 + alpha, -2.0 * cs, 1.0 - alpha, p * alpha, 0.0, -(p * alpha));
}

} // namespace Dsp::RBJ::Design
