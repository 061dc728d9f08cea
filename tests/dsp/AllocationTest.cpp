#include "EngineFixture.h"
#include "hosting/allocation/AllocationCounter.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{

// Makes `p` observable, so the allocation behind it cannot be optimised away.
template <class T>
T* Escape(T* p)
{
    asm volatile("" : : "g"(p) : "memory");
    return p;
}

// The counter must see what the audio path could really allocate. A compiler may drop a
// new/delete pair whose memory nothing observes, so each allocation here escapes first.
TEST(AllocationCounter, SeesEveryKindOfAllocation)
{
    struct Case
    {
        const char* name;
        std::function<void()> allocate;
    };
    const std::vector<Case> cases = {
        {"new-expression", [] { delete Escape(new int(3)); }},
        {"array new", [] { delete[] Escape(new double[64]); }},
        {"unique_ptr", [] { Escape(std::make_unique<long>(7).get()); }},
        {"shared_ptr", [] { Escape(std::make_shared<std::array<char, 100>>().get()); }},
        {"vector growth", [] { std::vector<int> v; v.push_back(1); Escape(v.data()); }},
        {"long string", [] { std::string s(100, 'x'); Escape(s.data()); }},
    };
    for (const Case& c : cases)
    {
        AllocationCounter counter;
        c.allocate();
        EXPECT_EQ(counter.count(), 1) << c.name;
    }
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

// Running out of memory while the window is re-created must leave a usable engine: no
// exception out of the reset, no length without a window behind it, and the follower
// holding its last estimate until a later rate change succeeds.
TEST(AudioPlugin, RateChangeWithoutMemoryForThePitchWindowKeepsTheEngineUsable)
{
    AudioPlugin e;
    resetEngine(e, 44100);
    e.followPitch = true;
    auto tone = StereoBlock::tones(20000);
    e.runBlock(tone.channels(), tone.size());
    const double estimate = e.filter->FilterParameters[1];
    EXPECT_GT(estimate, 50.0);

    AllocationCounter::failAllocationsAbove(1024);
    EXPECT_NO_THROW(resetEngine(e, 96000));
    AllocationCounter::failAllocationsAbove(0);
    EXPECT_EQ(e.pitchWindowLength, 0);
    EXPECT_EQ(e.filter->FilterParameters[0], 96000.0); // the rest of the reset went on
    EXPECT_EQ(e.sine.sampleRate, 96000);
    auto block = StereoBlock::tones(4096, 96000.0);
    e.runBlock(block.channels(), block.size());
    EXPECT_EQ(e.filter->FilterParameters[1], estimate);

    resetEngine(e, 96000);
    EXPECT_EQ(e.pitchWindowLength, 9600);
    e.runBlock(block.channels(), block.size());
    for (double v : block.left)
        ASSERT_TRUE(std::isfinite(v));
}

} // namespace
