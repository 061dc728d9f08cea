// A host block's way through the plug-in base: slices of at most the scratch size, 32-bit
// samples converted and stored or added, missing buffers, and in-place host buffers.

#include "FrameworkFakes.h"
#include "framework/IHostBlock.h"

#include <gtest/gtest.h>

#include <vector>

using framework_test::RecordingEffect;

namespace
{

/// The base's processing (output i copies input i), with the length of every slice.
class SliceRecorder : public RecordingEffect
{
public:
    SliceRecorder() : RecordingEffect(Config("2-2")) {}
    void ProcessChannels(const double* const* inputs, double** outputs, int frames) override
    {
        slices.push_back(frames);
        IEffectBase::ProcessChannels(inputs, outputs, frames);
    }
    std::vector<int> slices;
};

template <class Sample> std::vector<Sample> Ramp(int frames, Sample first)
{
    std::vector<Sample> ramp(static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i)
        ramp[static_cast<std::size_t>(i)] = first + static_cast<Sample>(i);
    return ramp;
}

// Input 1 has no host buffer (silence) and output 1's result goes nowhere; a block of ten
// samples against scratch buffers of four.
template <class Sample>
void ExpectSlicedBlock(IHostBlock::SampleSize size, IHostBlock::OutputMode mode)
{
    SliceRecorder effect;
    effect.SetMaxBlockSize(4);
    IHostBlock block(effect);
    const std::vector<Sample> in0 = Ramp<Sample>(10, 1);
    std::vector<Sample> out0(10, 100), out1(10, 9);
    block.Clear(size);
    block.SetInput(0, in0.data());
    block.SetOutput(0, out0.data());
    EXPECT_EQ(block.Run(10, mode, false), 10);

    EXPECT_EQ(effect.slices, (std::vector<int>{4, 4, 2}));
    const Sample base = mode == IHostBlock::OutputMode::Accumulate ? 100 : 0;
    for (std::size_t i = 0; i < 10; ++i)
        EXPECT_EQ(out0[i], base + in0[i]) << i;
    EXPECT_EQ(out1, std::vector<Sample>(10, 9));
}

TEST(HostBlockTest, BlocksAreSlicedAtTheScratchSizeInEitherSampleSize)
{
    ExpectSlicedBlock<float>(IHostBlock::SampleSize::Float32, IHostBlock::OutputMode::Replace);
    ExpectSlicedBlock<float>(IHostBlock::SampleSize::Float32, IHostBlock::OutputMode::Accumulate);
    ExpectSlicedBlock<double>(IHostBlock::SampleSize::Float64, IHostBlock::OutputMode::Replace);
}

TEST(HostBlockTest, InputsWithoutHostBuffersAreSilentAndNothingRunsWithoutScratch)
{
    SliceRecorder effect;
    effect.SetMaxBlockSize(4);
    IHostBlock block(effect);
    std::vector<double> out0(4, 9.0), out1(4, 9.0);
    block.Clear(IHostBlock::SampleSize::Float64);
    block.SetOutput(0, out0.data());
    block.SetOutput(1, out1.data());
    block.SetInput(7, out0.data()); // no such channel: ignored
    EXPECT_EQ(block.Run(4, IHostBlock::OutputMode::Replace, true), 4);
    EXPECT_EQ(out0, std::vector<double>(4, 0.0));
    EXPECT_EQ(out1, std::vector<double>(4, 0.0));

    EXPECT_EQ(block.Run(0, IHostBlock::OutputMode::Replace, false), 0);
    effect.SetMaxBlockSize(0);
    EXPECT_EQ(block.Run(4, IHostBlock::OutputMode::Replace, false), 0);
    EXPECT_EQ(effect.slices, std::vector<int>{});
}

// A host that processes in place may hand output 0 the buffer of input 1 and the other way
// round: writing output 0 first must not destroy input 1 before it is read.
TEST(HostBlockTest, CrossedInPlaceBuffersKeepEveryInputUntilItIsRead)
{
    for (const bool passThrough : {false, true})
    {
        SliceRecorder effect;
        effect.SetMaxBlockSize(8);
        IHostBlock block(effect);
        std::vector<double> a = Ramp<double>(6, 1), b = Ramp<double>(6, 50);
        const std::vector<double> wantA = b, wantB = a;
        block.Clear(IHostBlock::SampleSize::Float64);
        block.SetInput(0, a.data());
        block.SetInput(1, b.data());
        block.SetOutput(0, b.data());
        block.SetOutput(1, a.data());
        block.Run(6, IHostBlock::OutputMode::Replace, passThrough);
        EXPECT_EQ(b, wantB) << passThrough;
        EXPECT_EQ(a, wantA) << passThrough;
    }
}

} // namespace
