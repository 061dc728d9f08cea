#include "AllocationCounter.h"
#include "EngineFixture.h"

#include <gtest/gtest.h>

namespace
{

TEST(AllocationCounter, SeesAllocations)
{
    AllocationCounter counter;
    auto p = std::make_unique<int>(3);
    EXPECT_EQ(counter.count(), 1);
}

// Processing must never allocate: for every source and filter type, with the follower on
// and off, during a glide and after it, and for blocks longer than one slice.
TEST(AudioPlugin, ProcessingAllocatesNothing)
{
    AudioPlugin e;
    resetEngine(e);
    auto side = StereoBlock::random(10000, 1);
    auto block = StereoBlock::tones(10000);
    e.sidechain = {side.left.data(), side.right.data()};
    for (int type : {0, 1, 2})
    {
        setFilterType(e, type);
        for (int source = 0; source <= 5; ++source)
            for (bool follow : {false, true})
                for (bool saturation : {false, true})
                {
                    e.sourceType = source;
                    e.followPitch = follow;
                    e.saturation = saturation;
                    setFrequency(e, 1200 + 100 * source); // starts a glide
                    AllocationCounter counter;
                    for (int n : {32, 256, 700, 10000}) // during the glide, then after it
                        e.runBlock(block.channels(), n);
                    e.bypass = true;
                    e.runBlock(block.channels(), 64);
                    e.bypass = false;
                    EXPECT_EQ(counter.count(), 0)
                        << "type " << type << " source " << source << " follow " << follow;
                }
    }
}

} // namespace
