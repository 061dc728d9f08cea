#include "dsp/AudioPlugin.h"

#include "dsp/filters/SmoothedFilterDesign.h"
#include "dsp/filters/VectorMath.h"
#include "dsp/filters/WideVectors.h"
#include "dsp/filters/rbj/BandPass1.h"
#include "dsp/filters/rbj/HighPass.h"
#include "dsp/filters/rbj/LowPass.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace
{

constexpr int kMinFollowedFrequency = 50;
constexpr int kMaxFollowedFrequency = 18000;

/// The follower's sign test: positive after conversion to single precision, so entries
/// too small for a float count as zero. A double converts to a positive float exactly when
/// it exceeds 2^-150 (half the smallest float denormal, which rounds to even, to 0). The
/// comparison is made in double precision, so the answer does not depend on the
/// flush-to-zero and denormals-are-zero modes of the host's thread: the count kept entry
/// by entry would drift if an entry tested positive when written and not when overwritten.
/// It also avoids the conversion, undefined for doubles beyond the float range.
bool isPositive(double x)
{
    return x > 0x1p-150;
}

// Inlined by force: as a call, three per sample, it keeps the chain's loop from vectorising.
[[gnu::always_inline]] inline double saturated(double x)
{
    // The vectorisable exponential: a loop of these runs two samples at a time.
    const double e = Dsp::VectorMath::expOfNonPositive(-std::fabs(x));
    return x > 0.0 ? 1.0 - e + 0.2 * x : e - 1.0;
}

struct Gains
{
    double depth;
    double in;
    double out;
};

[[gnu::always_inline]] inline void modulateSaturated(double* x, double* m, int n, Gains gains)
{
    for (int i = 0; i < n; ++i)
    {
        const double s = saturated(m[i]);
        m[i] = s;
        x[i] = saturated((s * gains.depth + 1.0) * saturated(x[i] * gains.in)) * gains.out;
    }
}

// The same loop compiled three times: for the baseline vector unit, AVX2 and AVX-512.
VERDIGRIX_WIDER void modulateSaturatedWider(double* x, double* m, int n, Gains gains)
{
    modulateSaturated(x, m, n, gains);
}

VERDIGRIX_WIDE void modulateSaturatedWide(double* x, double* m, int n, Gains gains)
{
    modulateSaturated(x, m, n, gains);
}

void modulateSaturatedBaseline(double* x, double* m, int n, Gains gains)
{
    modulateSaturated(x, m, n, gains);
}

} // namespace

void saturate(double* samples, int count)
{
    for (int i = 0; i < count; ++i)
        samples[i] = saturated(samples[i]);
}

void applyGain(int count, double* const* channels, double gain)
{
    for (int c = 1; c >= 0; --c)
    {
        double* x = channels[c];
        for (int i = 0; i < count; ++i)
            x[i] *= gain;
    }
}

AudioPlugin::AudioPlugin()
{
    filter = makeFilter(kLowPass);
    updateFilter();
    for (auto& channel : modulation)
        channel = std::make_unique<double[]>(kMaxChainSamples);
    // Only rateChanged sets the blocker in the chain's order of things; giving it the
    // construction rate keeps a saw block before the first reset well defined.
    saw.resetDcBlocker();
    noise.seedFromTime();
}

std::unique_ptr<Dsp::Filter> AudioPlugin::makeFilter(int type)
{
    using Dsp::DirectFormII;
    switch (type)
    {
    case kBandPass:
        return std::make_unique<
            Dsp::SmoothedFilterDesign<Dsp::RBJ::Design::BandPass1, 2, DirectFormII>>(
            kFilterTransitionSamples);
    case kHighPass:
        return std::make_unique<
            Dsp::SmoothedFilterDesign<Dsp::RBJ::Design::HighPass, 2, DirectFormII>>(
            kFilterTransitionSamples);
    default:
        return std::make_unique<
            Dsp::SmoothedFilterDesign<Dsp::RBJ::Design::LowPass, 2, DirectFormII>>(
            kFilterTransitionSamples);
    }
}

void AudioPlugin::updateFilter()
{
    Dsp::Filter::Parameters parameters{};
    parameters[0] = static_cast<double>(engineRate());
    parameters[1] = frequency;
    parameters[2] = q;
    filter->setParameters(parameters);
}

void AudioPlugin::setOscillatorFrequencies(double hz)
{
    sine.setFrequency(hz);
    square.setFrequency(hz);
    saw.setFrequency(hz);
}

void AudioPlugin::rateChanged()
{
    updateFilter();
    recreatePitchWindow();
    const int rate = engineRate();
    sine.sampleRate = rate;
    square.sampleRate = rate;
    saw.sampleRate = rate;
    saw.resetDcBlocker();
}

void AudioPlugin::processOversampled(double* const* channels, int n)
{
    if (bypass)
        return;
    if (followPitch)
        followPitchStep(channels[0], n);

    fillModulation(n);
    double* mod[2] = {modulation[0].get(), modulation[1].get()};
    if (isFilteredSource(sourceType))
        filter->filterBlock(n, mod);
    if (saturation)
        modulate<true>(channels, mod, n);
    else
        modulate<false>(channels, mod, n);
}

template <bool Saturated>
void AudioPlugin::modulate(double* const* channels, double* const* mod, int n) const
{
    // One pass per channel, in the order of the separate steps it replaces: the modulation
    // saturated (and kept, as the block's modulation), the input gain, saturation, the
    // modulation itself, saturation again and the output gain.
    const Gains gains{amount, inputGain, outputGain};
    for (int c = 0; c < 2; ++c)
    {
        if constexpr (Saturated)
        {
            if (Dsp::widerVectors())
                modulateSaturatedWider(channels[c], mod[c], n, gains);
            else if (Dsp::wideVectors())
                modulateSaturatedWide(channels[c], mod[c], n, gains);
            else
                modulateSaturatedBaseline(channels[c], mod[c], n, gains);
        }
        else
        {
            double* x = channels[c];
            const double* m = mod[c];
            for (int i = 0; i < n; ++i)
                x[i] = (m[i] * gains.depth + 1.0) * (x[i] * gains.in) * gains.out;
        }
    }
}

void AudioPlugin::fillModulation(int n)
{
    double* left = modulation[0].get();
    double* right = modulation[1].get();
    switch (sourceType)
    {
    case kNoise:
    {
        // The block's two halves as two streams side by side, then the odd sample.
        const int half = n / 2;
        fillNoiseTwice(left, left + half, half, noise);
        fillNoise(left + 2 * half, n - 2 * half, noise);
        std::copy_n(left, n, right);
        break;
    }
    case kStereoNoise:
        fillNoiseTwice(left, right, n, noise);
        break;
    case kSine:
        sine.fill(left, n);
        std::copy_n(left, n, right);
        break;
    case kSaw:
        saw.fill(left, n);
        std::copy_n(left, n, right);
        break;
    case kSquare:
        square.fill(left, n);
        std::copy_n(left, n, right);
        break;
    case kSideChain:
        for (int c = 0; c < 2; ++c)
        {
            double* out = modulation[c].get();
            const double* in = sidechain[static_cast<unsigned>(c)];
            if (in == nullptr)
                std::fill_n(out, n, 0.0);
            else if (oversampling == 1)
                std::copy_n(in + sliceOffset, n, out);
            else // the side chain is at the base rate: hold each sample for the factor
                for (int i = 0; i < n; ++i)
                    out[i] = in[sliceOffset + i / oversampling];
        }
        break;
    default:
        break;
    }
}

int AudioPlugin::followedFrequency() const
{
    const int c = pitchCrossings >= 1 ? pitchCrossings * 4 : lastCrossings;
    return std::clamp(static_cast<int>(c * 2.0), kMinFollowedFrequency, kMaxFollowedFrequency);
}

void AudioPlugin::followPitchStep(const double* x, int n)
{
    if (pitchWindowLength > 0)
        for (int i = 0; i < n; i += 2)
            writePitchEntry(x[i]);
    if (pitchCrossings >= 1)
        lastCrossings = pitchCrossings * 4;
    const int f = followedFrequency();
    filter->setParameterById(1, f);
    setOscillatorFrequencies(f);
}

void AudioPlugin::writePitchEntry(double value)
{
    // Only the two pairs that share this entry can change the storage-order count.
    double* w = pitchWindow.get();
    const int k = pitchWriteIndex;
    const bool before = isPositive(w[k]);
    const bool after = isPositive(value);
    if (before != after)
    {
        if (k > 0)
        {
            const bool left = isPositive(w[k - 1]);
            pitchCrossings += (after != left) - (before != left);
        }
        if (k + 1 < pitchWindowLength)
        {
            const bool right = isPositive(w[k + 1]);
            pitchCrossings += (after != right) - (before != right);
        }
    }
    w[k] = value;
    pitchWriteIndex = k + 1 == pitchWindowLength ? 0 : k + 1;
}

void AudioPlugin::recreatePitchWindow()
{
    const int length = engineRate() / 10;
    pitchWindow.reset();
    if (length > 0)
        pitchWindow.reset(new (std::nothrow) double[static_cast<std::size_t>(length)]());
    // Out of memory: no window rather than a length without one. The follower then holds
    // its last estimate until a later rate change succeeds, and the reset goes on.
    pitchWindowLength = pitchWindow ? length : 0;
    pitchWriteIndex = 0;
    pitchCrossings = 0;
}
