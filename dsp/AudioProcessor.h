#pragma once

#include "dsp/filters/DirectFormII.h"
#include "dsp/filters/FilterDesign.h"
#include "dsp/filters/legendre/LowPass.h"

#include <memory>

/// The oversampling frame: takes a stereo block at the base (host) rate, brings it to the
/// engine rate (base rate x factor) in its own work channels, lets the derived class
/// process it there (`processOversampled`) and brings the result back. At factor 1 it only
/// copies; from factor 2 it zero-stuffs and low-passes on the way up and low-passes and
/// decimates on the way down.
///
/// Threads: all calls under the plug-in lock; `runBlock` on the audio thread, allocation-free.
class AudioProcessor
{
public:
    using AntiAliasFilter =
        Dsp::FilterDesign<Dsp::Legendre::Design::LowPass<8>, 2, Dsp::DirectFormII>;

    /// Samples per work channel.
    static constexpr int kWorkBufferLength = 16384;
    /// Most samples one `processOversampled` call receives at the engine rate; longer blocks
    /// are processed in slices of at most this many.
    static constexpr int kMaxChainSamples = 8192;
    /// Highest oversampling factor; larger requests are limited to it.
    static constexpr int kMaxOversampling = 16;
    /// Highest base rate in Hz; higher (and non-positive) rates are limited to 1..this.
    static constexpr int kMaxSampleRate = 1536000;

    AudioProcessor();
    virtual ~AudioProcessor() = default;
    AudioProcessor(const AudioProcessor&) = delete;
    AudioProcessor& operator=(const AudioProcessor&) = delete;

    /// Sets the factor (below 1 means 1), designs both anti-aliasing filters for the engine
    /// rate with the cutoff at half the base rate, then calls `rateChanged`.
    virtual void setOversampling(int factor);
    /// Stores the base rate in Hz (limited to 1..kMaxSampleRate). Designs nothing: follow it with
    /// `setOversampling`.
    virtual void setSampleRate(int rate);

    /// Processes `frames` samples of the two arrays in `channels` in place, at the base
    /// rate. Any length: blocks longer than the chain takes are processed in slices with
    /// the same result. Audio thread; no allocation.
    void runBlock(double* const* channels, int frames);

    /// Zero-stuffing: work[c][i] = factor x channels[c][i / factor] at multiples of the
    /// factor, 0 elsewhere, for i < n, channel 0 then 1.
    void upsample(const double* const* channels, double* const* work, int n) const;

    /// Base rate x factor, multiplied as integers.
    int engineRate() const { return sampleRate * oversampling; }

    int sampleRate = 44100; ///< base rate in Hz
    int oversampling = 1;   ///< oversampling factor, 1..kMaxOversampling
    AntiAliasFilter upFilter;
    AntiAliasFilter downFilter;
    /// The two channels at the engine rate (kWorkBufferLength doubles each, 16-byte aligned).
    std::unique_ptr<double[]> workBuffers[2];

protected:
    /// The chain at the engine rate: modifies n <= kMaxChainSamples samples of the two
    /// work channels in place.
    virtual void processOversampled(double* const* channels, int n) = 0;
    /// Called whenever the factor is set, since the engine rate may have changed.
    virtual void rateChanged() = 0;

    /// Base-rate position of the slice being processed within the block given to
    /// `runBlock` (0 unless the block is longer than one slice).
    int sliceOffset = 0;

private:
    void runSlice(double* const* channels, int frames);
};
