#include "framework/IHostBlock.h"

#include "framework/IEffectBase.h"

#include <algorithm>
#include <cstddef>

namespace
{
// What an input without a host buffer reads. Inputs are never written, so every instance can
// share one block of zeros (zero-initialised storage, not in the module file).
double silence[IEffectBase::kMaxBlockSize];
} // namespace

IHostBlock::IHostBlock(IEffectBase& effect)
    : effect(effect), inputs(effect.inputChannels.size(), nullptr),
      outputs(effect.outputChannels.size(), nullptr)
{
}

void IHostBlock::Clear(SampleSize sampleSize)
{
    size = sampleSize;
    std::fill(inputs.begin(), inputs.end(), nullptr);
    std::fill(outputs.begin(), outputs.end(), nullptr);
}

void IHostBlock::SetInput(int channel, const void* buffer)
{
    if (channel >= 0 && static_cast<std::size_t>(channel) < inputs.size() && buffer != nullptr)
        inputs[static_cast<std::size_t>(channel)] = buffer;
}

void IHostBlock::SetOutput(int channel, void* buffer)
{
    if (channel >= 0 && static_cast<std::size_t>(channel) < outputs.size() && buffer != nullptr)
        outputs[static_cast<std::size_t>(channel)] = buffer;
}

int IHostBlock::Run(int frames, OutputMode mode, bool passThrough)
{
    // The scratch buffers hold blockSize samples; a host block longer than it announced is
    // processed in slices of that size.
    const int slice = std::min(effect.blockSize, IEffectBase::kMaxBlockSize);
    if (frames < 1 || slice < 1)
        return 0;
    for (int offset = 0; offset < frames; offset += slice)
        RunSlice(offset, std::min(slice, frames - offset), mode, passThrough);
    return frames;
}

void IHostBlock::RunSlice(int offset, int frames, OutputMode mode, bool passThrough)
{
    const bool is64 = size == SampleSize::Float64;
    for (std::size_t ch = 0; ch < inputs.size(); ++ch)
    {
        IInputChannel& channel = *effect.inputChannels[ch];
        double* scratch = channel.scratch.data();
        const void* host = inputs[ch];
        const double* slot = silence;
        if (host != nullptr && !is64)
        {
            ConvertIn(static_cast<const float*>(host) + offset, scratch, frames);
            slot = scratch;
        }
        else if (host != nullptr)
        {
            slot = static_cast<const double*>(host) + offset;
            if (IsOutputBuffer(host))
            {
                std::copy_n(slot, frames, scratch);
                slot = scratch;
            }
        }
        effect.inputPointers[static_cast<std::size_t>(channel.slot)] = slot;
    }
    for (std::size_t ch = 0; ch < outputs.size(); ++ch)
    {
        IOutputChannel& channel = *effect.outputChannels[ch];
        double* slot = channel.scratch.data();
        if (is64 && outputs[ch] != nullptr)
            slot = static_cast<double*>(outputs[ch]) + offset;
        effect.outputPointers[static_cast<std::size_t>(channel.slot)] = slot;
    }

    if (passThrough)
        effect.PassThrough(frames);
    else
        effect.ProcessAttached(frames);

    if (is64)
        return;
    for (std::size_t ch = 0; ch < outputs.size(); ++ch)
    {
        if (outputs[ch] == nullptr)
            continue;
        const double* result = effect.outputChannels[ch]->scratch.data();
        float* host = static_cast<float*>(outputs[ch]) + offset;
        if (mode == OutputMode::Accumulate)
            AddOut(result, host, frames);
        else
            StoreOut(result, host, frames);
    }
}

bool IHostBlock::IsOutputBuffer(const void* buffer) const
{
    return std::find(outputs.begin(), outputs.end(), buffer) != outputs.end();
}

void IHostBlock::ConvertIn(const float* source, double* target, int frames)
{
    std::copy_n(source, std::max(frames, 0), target);
}

void IHostBlock::StoreOut(const double* source, float* target, int frames)
{
    for (int i = 0; i < frames; ++i)
        target[i] = static_cast<float>(source[i]);
}

void IHostBlock::AddOut(const double* source, float* target, int frames)
{
    for (int i = 0; i < frames; ++i)
        target[i] += static_cast<float>(source[i]);
}
