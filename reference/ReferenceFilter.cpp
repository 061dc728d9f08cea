#include "reference/ReferenceFilter.h"

#include "dsp/filters/rbj/BandPass1.h"
#include "dsp/filters/rbj/LowPass.h"

#include <algorithm>
#include <cmath>

ReferenceFilter::ReferenceFilter(int type, int transitionSamples)
    : type(type), transitionSamples(transitionSamples)
{
}

Dsp::ParamInfo ReferenceFilter::parameterInfo(int position) const
{
    return type == 1 ? Dsp::RBJ::Design::BandPass1::kParameters[static_cast<unsigned>(position)]
                     : Dsp::RBJ::Design::LowPass::kParameters[static_cast<unsigned>(position)];
}

ReferenceFilter::Section ReferenceFilter::design(double fs, double f, double p) const
{
    const double w0 = (std::min(f, (0.5 - 0.02) * fs) * 6.283185307179586) / fs;
    const double cs = std::cos(w0);
    const double sn = std::sin(w0);
    double alpha, b0, b1, b2;
    if (type == 1)
    {
        alpha = sn * std::sinh(std::log(2.0) * 0.5 * p * w0 / sn);
        b0 = p * alpha;
        b1 = 0.0;
        b2 = -(p * alpha);
    }
    else
    {
        alpha = sn / (p + p);
        b0 = type == 2 ? (1.0 + cs) * 0.5 : (1.0 - cs) * 0.5;
        b1 = type == 2 ? -(1.0 + cs) : 1.0 - cs;
        b2 = b0;
    }
    const double a0 = 1.0 + alpha;
    return {a0, -2.0 * cs / a0, (1.0 - alpha) / a0, b0 / a0, b1 / a0, b2 / a0};
}

double ReferenceFilter::filterSample(Channel& channel, double x, const Section& s) const
{
    channel.antiDenormal = -channel.antiDenormal;
    if (!configured)
        return x;
    const double w = x - s.a1 * channel.delay1 - s.a2 * channel.delay2 + channel.antiDenormal;
    const double y = s.b0 * w + s.b1 * channel.delay1 + s.b2 * channel.delay2;
    channel.delay2 = channel.delay1;
    channel.delay1 = w;
    return y;
}

void ReferenceFilter::applyParameters(const Parameters& parameters)
{
    if (remainingSamples < 0)
    {
        remainingSamples = 0;
        transition = parameters;
    }
    else
    {
        remainingSamples = transitionSamples;
    }
    target = design(parameters[0], parameters[1], parameters[2]);
    configured = true;
}

void ReferenceFilter::filterBlock(int count, double* const* x)
{
    // A glide moves the parameters by a step worked out at the start of each block.
    const int gliding = std::clamp(remainingSamples, 0, std::max(count, 0));
    double step[3] = {};
    for (int k = 0; k < 3 && gliding > 0; ++k)
        step[k] = (FilterParameters[static_cast<unsigned>(k)] -
                   transition[static_cast<unsigned>(k)]) /
                  remainingSamples;
    for (int i = 0; i < count; ++i)
    {
        Section section = target;
        if (i < gliding)
        {
            for (int k = 0; k < 3; ++k)
                transition[static_cast<unsigned>(k)] += step[k];
            section = design(transition[0], transition[1], transition[2]);
        }
        for (int c = 1; c >= 0; --c)
            x[c][i] = filterSample(channels[c], x[c][i], section);
    }
    if (gliding > 0)
    {
        remainingSamples -= gliding;
        if (remainingSamples == 0)
            transition = FilterParameters;
    }
    for (Channel& channel : channels)
        if (!std::isfinite(channel.delay1) || !std::isfinite(channel.delay2))
            channel = {0, 0, channel.antiDenormal};
}

std::complex<double> ReferenceFilter::responseAt(double normalizedFrequency) const
{
    return targetCoefficients().responseAt(normalizedFrequency);
}

Dsp::BiquadCascade ReferenceFilter::targetCoefficients() const
{
    Dsp::BiquadCascade cascade;
    cascade.setStageCount(1);
    cascade.stage(0) = {target.a0, target.a1, target.a2, target.b1, target.b2, target.b0};
    return cascade;
}
