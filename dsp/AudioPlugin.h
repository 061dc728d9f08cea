#pragma once

#include "dsp/AudioProcessor.h"
#include "dsp/NoiseGenerator.h"
#include "dsp/SawOscillator.h"
#include "dsp/SineOscillator.h"
#include "dsp/SquareOscillator.h"
#include "dsp/filters/Filter.h"

#include <array>
#include <memory>

/// Asymmetric saturation in place: x > 0 gives 1 - exp(-x) + 0.2 x; otherwise (and for
/// not-a-number) exp(-|x|) - 1. Audio thread; no allocation.
void saturate(double* samples, int count);

/// Multiplies the first `count` samples of both channels by `gain`, channel 1 first.
void applyGain(int count, double* const* channels, double gain);

/// The signal engine: a stereo modulation signal from one of six sources, optionally
/// filtered and saturated, amplitude-modulates the two channels between an input and an
/// output gain. The effect's parameter handler writes the public fields directly, under
/// the plug-in lock; the engine never reads parameter objects.
class AudioPlugin : public AudioProcessor
{
public:
    enum SourceType
    {
        kNoise = 0,
        kStereoNoise = 1,
        kSine = 2,
        kSaw = 3,
        kSquare = 4,
        kSideChain = 5
    };
    enum FilterType
    {
        kLowPass = 0,
        kBandPass = 1,
        kHighPass = 2
    };

    /// Whether the chain passes `source`'s modulation through the filter: noise, stereo noise
    /// and the side chain; the oscillators never are.
    static constexpr bool isFilteredSource(int source)
    {
        return source == kNoise || source == kStereoNoise || source == kSideChain;
    }

    /// Glide length of the modulation filter, in samples.
    static constexpr int kFilterTransitionSamples = 512;

    AudioPlugin();

    /// A new modulation filter of `type` (0 low pass, 1 band pass, 2 high pass; anything
    /// else a low pass): a 2-channel smoothed RBJ design with a 512-sample glide, not yet
    /// configured. Allocates: call from the parameter handler, not while processing.
    static std::unique_ptr<Dsp::Filter> makeFilter(int type);

    /// Hands the filter (engine rate, `frequency`, `q`) through `setParameters`.
    void updateFilter();

    /// Tunes the sine, square and saw to `hz` (see Oscillator::setFrequency). No allocation.
    void setOscillatorFrequencies(double hz);

    // Values the parameter handler writes.
    double frequency = 3000.0; ///< Hz
    double q = 1.0;            ///< low/high pass Q; band pass width in octaves
    double amount = 0.5;       ///< modulation depth 0..0.5 ("Effect Amount" 100 %)
    double inputGain = 1.0;    ///< linear
    double outputGain = 1.0;   ///< linear
    int filterType = kLowPass; ///< informational: the kind of `filter` installed
    int sourceType = kNoise;   ///< SourceType
    bool saturation = true;
    bool bypass = false;
    bool followPitch = false;

    /// The modulation filter; never empty. The Filter Type handler replaces it (release the
    /// old one, install `makeFilter(t)`, then `updateFilter()`).
    std::unique_ptr<Dsp::Filter> filter;

    /// Modulation signal, two channels of kMaxChainSamples doubles.
    std::unique_ptr<double[]> modulation[2];

    /// Side-chain channels of the current block at the base rate, set before each block.
    /// Null channels read as silence.
    std::array<const double*, 2> sidechain{nullptr, nullptr};

    SineOscillator sine;
    SquareOscillator square;
    SawOscillator saw;

    /// The engine's noise source (seeded from the time at construction).
    NoiseGenerator noise;

    // Pitch follower state.
    std::unique_ptr<double[]> pitchWindow; ///< ring of every second left-channel sample
    int pitchWindowLength = 0;             ///< engine rate / 10; 0 while there is no window
    int pitchWriteIndex = 0;               ///< next entry to write
    int lastCrossings = 0;                 ///< last non-zero crossing count x 4
    /// Sign changes between neighbouring window entries, scanned in storage order, kept up
    /// to date as entries are replaced (equal to a full rescan of the window).
    int pitchCrossings = 0;

    /// The frequency the follower derives from its window: 8 x crossings (the last non-zero
    /// count held through silence), limited to 50..18000 Hz.
    int followedFrequency() const;

    /// The follow step over `n` samples of the left work channel: feeds every second sample
    /// into the window, then sets the filter's frequency (id 1) and the oscillators'
    /// frequencies to the estimate. The chain calls it while Follow Pitch is on. Audio
    /// thread; no allocation; cost proportional to `n`, not to the window length.
    void followPitchStep(const double* x, int n);

protected:
    void processOversampled(double* const* channels, int n) override;
    void rateChanged() override;

private:
    void recreatePitchWindow();
    void writePitchEntry(double value);
    void fillModulation(int n);
    /// Saturation (when `Saturated`), gains and the modulation by `mod` in one pass.
    template <bool Saturated> void modulate(double* const* channels, double* const* mod, int n) const;
};
