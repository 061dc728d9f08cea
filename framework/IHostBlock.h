#pragma once

#include <vector>

class IEffectBase;

/// The way of one host block through the plug-in base, the same for every adapter. The adapter
/// names each channel's host buffer (its own routing: buses, connected channels), then `Run`
/// slices the block at the scratch size, converts 32-bit samples to the effect's 64-bit ones
/// and back, and calls the effect once per slice. Inputs are only read: 64-bit host inputs are
/// handed to the effect in place, except one that is also an output buffer of the block (a host
/// processing in place), which is read from a copy so no output overwrites an input still to be
/// read.
///
/// Sized once for the base's channels; nothing here allocates. [audio thread, lock held]
class IHostBlock
{
public:
    enum class SampleSize
    {
        Float32,
        Float64
    };
    enum class OutputMode
    {
        Replace,   ///< the host's outputs receive the result
        Accumulate ///< the result is added to what the host's outputs hold (32-bit only)
    };

    /// One entry per input and output channel `effect` has now.
    explicit IHostBlock(IEffectBase& effect);
    IHostBlock(const IHostBlock&) = delete;
    IHostBlock& operator=(const IHostBlock&) = delete;

    /// Starts a block of host buffers of `size`: every channel forgets its buffer (inputs hear
    /// silence, outputs are written nowhere).
    void Clear(SampleSize size);
    /// The host buffer of input `channel` for this block: `const float*` or `const double*` as
    /// Clear said. Null, or a channel out of range, changes nothing.
    void SetInput(int channel, const void* buffer);
    /// The host buffer of output `channel` (`float*` or `double*`).
    void SetOutput(int channel, void* buffer);
    /// Processes `frames` samples in slices of at most the scratch size (the base's blockSize,
    /// itself at most IEffectBase::kMaxBlockSize): ProcessChannels, or the base's PassThrough
    /// when `passThrough`. Returns the frames processed: 0 for no frames or no scratch.
    int Run(int frames, OutputMode mode, bool passThrough);

    /// The one sample conversion in each direction: host 32-bit to 64-bit, and back (stored or
    /// added).
    static void ConvertIn(const float* source, double* target, int frames);
    static void StoreOut(const double* source, float* target, int frames);
    static void AddOut(const double* source, float* target, int frames);

private:
    void RunSlice(int offset, int frames, OutputMode mode, bool passThrough);
    /// Whether `buffer` is one of this block's output buffers.
    bool IsOutputBuffer(const void* buffer) const;

    IEffectBase& effect;
    SampleSize size = SampleSize::Float32;
    std::vector<const void*> inputs;
    std::vector<void*> outputs;
};
