#include "dsp/AudioProcessor.h"

#include <algorithm>

static_assert(__STDCPP_DEFAULT_NEW_ALIGNMENT__ >= 16, "work buffers must be 16-byte aligned");

AudioProcessor::AudioProcessor()
{
    for (auto& buffer : workBuffers)
        buffer = std::make_unique_for_overwrite<double[]>(kWorkBufferLength);
}

void AudioProcessor::setSampleRate(int rate)
{
    sampleRate = std::clamp(rate, 1, kMaxSampleRate);
}

void AudioProcessor::setOversampling(int factor)
{
    oversampling = std::clamp(factor, 1, kMaxOversampling);
    const double rate = static_cast<double>(engineRate());
    Dsp::Filter::Parameters parameters{};
    parameters[0] = rate;
    parameters[1] = 8.0;
    parameters[2] = sampleRate * 0.5;
    upFilter.setParameters(parameters);
    downFilter.setParameters(parameters);
    rateChanged();
}

void AudioProcessor::upsample(const double* const* channels, double* const* work, int n) const
{
    const int factor = oversampling;
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < n; ++i)
            work[c][i] = (i % factor == 0) ? factor * channels[c][i / factor] : 0.0;
}

void AudioProcessor::runBlock(double* const* channels, int frames)
{
    if (channels == nullptr || channels[0] == nullptr || channels[1] == nullptr)
        return;
    // Slices keep the chain within its modulation arrays and the work buffers; every
    // stage carries its state across, so the slices join seamlessly.
    const int sliceFrames = kMaxChainSamples / oversampling;
    for (int done = 0; done < frames; done += sliceFrames)
    {
        sliceOffset = done;
        double* slice[2] = {channels[0] + done, channels[1] + done};
        runSlice(slice, std::min(sliceFrames, frames - done));
    }
    sliceOffset = 0;
}

void AudioProcessor::runSlice(double* const* channels, int frames)
{
    const int n = frames * oversampling;
    double* work[2] = {workBuffers[0].get(), workBuffers[1].get()};
    if (oversampling >= 2)
    {
        upsample(channels, work, n);
        upFilter.filterBlock(n, work);
    }
    else
    {
        std::copy_n(channels[1], n, work[1]);
        std::copy_n(channels[0], n, work[0]);
    }

    processOversampled(work, n);

    if (oversampling >= 2)
    {
        downFilter.filterBlock(n, work);
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < n; i += oversampling)
                channels[c][i / oversampling] = work[c][i];
    }
    else
    {
        // Channel 1 first, so channel 0 wins when a caller hands one buffer for both.
        std::copy_n(work[1], n, channels[1]);
        std::copy_n(work[0], n, channels[0]);
    }
}
