// The module's process allocates nothing, also when a block carries a preset change and a
// change of every parameter: the bundle is loaded and driven as a host drives it, with the
// global operator new of this executable counting what the module asks for.

#include "BundleFixture.h"
#include "hosting/allocation/AllocationCounter.h"

#include <vector>

using namespace vst3;

namespace
{

constexpr ParamID kPresetId = 0x70727374;
constexpr ParamID kBypassId = 0x62706173;

class AllocationTest : public BundleTest
{
protected:
    /// Queues a preset change, the host bypass and a new value of every effect parameter.
    void QueueEverything(Vst3Plugin& plugin, double value)
    {
        plugin.QueueParameter(kPresetId, 0.0);
        plugin.QueueParameter(kBypassId, 0.0);
        for (ParamID id = 0; id < 10; ++id)
            plugin.QueueParameter(id, value);
    }

    template <class Sample> void ExpectProcessAllocatesNothing(int sampleSize)
    {
        auto plugin = NewPlugin();
        ASSERT_TRUE(plugin->Start(48000.0, 512, sampleSize, true)) << plugin->LastError();
        std::vector<Sample> in(2048, Sample(0.25)), side(2048, Sample(-0.5)), out(2 * 2048);
        const Sample* ins[2] = {in.data(), in.data()};
        const Sample* sides[2] = {side.data(), side.data()};
        Sample* outs[2] = {out.data(), out.data() + 2048};
        // One round outside the counter: the host side's queues grow to their size here.
        QueueEverything(*plugin, 0.3);
        plugin->Process(ins, sides, outs, 512);
        for (double value : {0.9, 0.0, 0.55, 1.0})
            for (int frames : {512, 2048, 1})
            {
                QueueEverything(*plugin, value);
                AllocationCounter counter;
                EXPECT_EQ(plugin->Process(ins, sides, outs, frames), kResultOk);
                EXPECT_EQ(counter.count(), 0) << "value " << value << " frames " << frames;
            }
    }
};

TEST_F(AllocationTest, SixtyFourBitBlocksWithPresetAndParameterChanges)
{
    ExpectProcessAllocatesNothing<double>(kSample64);
}

TEST_F(AllocationTest, ThirtyTwoBitBlocksWithPresetAndParameterChanges)
{
    ExpectProcessAllocatesNothing<float>(kSample32);
}

} // namespace
