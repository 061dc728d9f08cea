#include "framework/IGrowableBuffer.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{

struct AllocationCase
{
    int32_t granularity;
    int32_t size;
    int32_t wantAllocated;
};

class GrowableBufferAllocationTest : public testing::TestWithParam<AllocationCase>
{
};

TEST_P(GrowableBufferAllocationTest, AllocatesByTheGranularityRule)
{
    const AllocationCase c = GetParam();
    IGrowableBuffer buffer(c.granularity);
    ASSERT_TRUE(buffer.Resize(c.size));
    EXPECT_EQ(buffer.Size(), c.size);
    EXPECT_EQ(buffer.Allocated(), c.wantAllocated);
}

INSTANTIATE_TEST_SUITE_P(Cases, GrowableBufferAllocationTest,
                         testing::Values(AllocationCase{128, 10, 138},         // n + granularity
                                         AllocationCase{128, 1000, 1500},      // n + n / 2
                                         AllocationCase{4096, 1, 4000},        // one page less 96
                                         AllocationCase{4096, 4000, 8096},     // n + 4096 rounded
                                         AllocationCase{4096, 100000, 147360}, // n/2 in pages
                                         AllocationCase{4096, 20000000, 24190880})); // capped step

TEST(GrowableBufferTest, ResizingKeepsBytesAndShrinksOnlyWhenAllowed)
{
    IGrowableBuffer buffer;
    ASSERT_TRUE(buffer.Resize(3));
    std::memcpy(buffer.Data(), "abc", 3);
    ASSERT_TRUE(buffer.Resize(100000));
    EXPECT_EQ(std::memcmp(buffer.Data(), "abc", 3), 0);
    const int32_t big = buffer.Allocated();

    ASSERT_TRUE(buffer.Resize(2));
    EXPECT_EQ(buffer.Allocated(), big); // no shrink unless asked
    ASSERT_TRUE(buffer.Resize(2, true));
    EXPECT_LT(buffer.Allocated(), big);
    EXPECT_EQ(std::memcmp(buffer.Data(), "ab", 2), 0);

    ASSERT_TRUE(buffer.Resize(0, true));
    EXPECT_EQ(buffer.Data(), nullptr);
    EXPECT_EQ(buffer.Allocated(), 0);
}

TEST(GrowableBufferTest, RefusedSizesChangeNothing)
{
    IGrowableBuffer buffer;
    buffer.SetSizeLimit(16);
    ASSERT_TRUE(buffer.Resize(8));
    std::memcpy(buffer.Data(), "12345678", 8);
    EXPECT_FALSE(buffer.Resize(-1));
    EXPECT_FALSE(buffer.Resize(17));
    EXPECT_FALSE(buffer.Resize(IGrowableBuffer::kMaxSize));
    EXPECT_EQ(buffer.Size(), 8);
    EXPECT_EQ(std::memcmp(buffer.Data(), "12345678", 8), 0);
}

TEST(GrowableBufferTest, MovingHandsOverTheBlock)
{
    IGrowableBuffer a;
    ASSERT_TRUE(a.Resize(5));
    std::memcpy(a.Data(), "hello", 5);
    IGrowableBuffer b(std::move(a));
    EXPECT_EQ(b.Size(), 5);
    EXPECT_EQ(std::memcmp(b.Data(), "hello", 5), 0);
    IGrowableBuffer c;
    c = std::move(b);
    EXPECT_EQ(c.Size(), 5);
}

} // namespace
