#include "framework/IByteChunk.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace
{

std::vector<uint8_t> Bytes(const IByteChunk& chunk)
{
    return {chunk.Data(), chunk.Data() + chunk.Size()};
}

IByteChunk ChunkOf(const std::vector<uint8_t>& bytes)
{
    IByteChunk chunk;
    chunk.PutBytes(bytes.data(), static_cast<int32_t>(bytes.size()));
    return chunk;
}

TEST(ByteChunkTest, PutsAppendLittleEndianWithoutPadding)
{
    IByteChunk chunk;
    EXPECT_EQ(chunk.PutInt32(0x01020304), 4);
    EXPECT_EQ(chunk.PutByte(0xAB), 5);
    EXPECT_EQ(chunk.PutBool(true), 6);
    EXPECT_EQ(chunk.PutString("ab"), 12);
    EXPECT_EQ(chunk.PutString(nullptr), 16);
    EXPECT_EQ(chunk.PutDouble(1.0), 24);
    const std::vector<uint8_t> want = {0x04, 0x03, 0x02, 0x01, 0xAB, 0x01, 2, 0, 0, 0, 'a',  'b',
                                       0,    0,    0,    0,    0,    0,    0, 0, 0, 0, 0xF0, 0x3F};
    EXPECT_EQ(Bytes(chunk), want);

    chunk.Clear();
    EXPECT_EQ(chunk.Size(), 0);
    EXPECT_EQ(chunk.PutBytes("xyz", 3), 3);
}

TEST(ByteChunkTest, ReadsReturnTheNextPositionAndChainFailures)
{
    IByteChunk chunk;
    chunk.PutInt32(-7);
    chunk.PutDouble(2.5);
    chunk.PutByte(9);

    int32_t i = 0;
    double d = 0;
    uint8_t b = 0;
    int32_t pos = chunk.GetInt32(0, i);
    pos = chunk.GetDouble(pos, d);
    pos = chunk.GetByte(pos, b);
    EXPECT_EQ(pos, 13);
    EXPECT_EQ(i, -7);
    EXPECT_DOUBLE_EQ(d, 2.5);
    EXPECT_EQ(b, 9);

    // Past the end, every later read fails and leaves its destination alone.
    pos = chunk.GetByte(pos, b);
    EXPECT_EQ(pos, -1);
    i = 42;
    EXPECT_EQ(chunk.GetInt32(pos, i), -1);
    EXPECT_EQ(i, 42);
}

TEST(ByteChunkTest, FixedWidthReadsStayInsideTheChunk)
{
    const IByteChunk chunk = ChunkOf({1, 2, 3, 4, 5, 6, 7});
    const int32_t badPositions[] = {-1,
                                    -4,
                                    4,
                                    6,
                                    7,
                                    8,
                                    std::numeric_limits<int32_t>::max(),
                                    std::numeric_limits<int32_t>::min()};
    for (int32_t pos : badPositions)
    {
        int32_t i = 42;
        EXPECT_EQ(chunk.GetInt32(pos, i), -1) << pos;
        EXPECT_EQ(i, 42);
        double d = 1.5;
        EXPECT_EQ(chunk.GetDouble(pos, d), -1) << pos;
        EXPECT_EQ(d, 1.5);
    }
    int32_t i = 0;
    EXPECT_EQ(chunk.GetInt32(3, i), 7); // exactly the last four bytes
    uint8_t b = 0;
    EXPECT_EQ(chunk.GetByte(6, b), 7);
    EXPECT_EQ(chunk.GetByte(7, b), -1);
}

struct StringCase
{
    const char* what;
    std::vector<uint8_t> bytes;
    int32_t pos;
    int32_t wantPos;
    std::string wantText; // the destination starts as "old"
};

class GetStringTest : public testing::TestWithParam<StringCase>
{
};

TEST_P(GetStringTest, ReturnsPositionsAndReplacesTextOnlyWhenWhole)
{
    const StringCase c = GetParam();
    const IByteChunk chunk = ChunkOf(c.bytes);
    std::string text = "old";
    EXPECT_EQ(chunk.GetString(c.pos, text), c.wantPos) << c.what;
    EXPECT_EQ(text, c.wantText) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GetStringTest,
    testing::Values(StringCase{"whole text", {3, 0, 0, 0, 'a', 'b', 'c'}, 0, 7, "abc"},
                    StringCase{"at an offset", {9, 2, 0, 0, 0, 'h', 'i'}, 1, 7, "hi"},
                    StringCase{"length 0", {0, 0, 0, 0}, 0, 4, "old"},
                    StringCase{"runs past the end", {10, 0, 0, 0, 'a'}, 0, 14, "old"},
                    StringCase{"stops at a zero byte", {4, 0, 0, 0, 'a', 0, 'b', 'c'}, 0, 8, "a"},
                    StringCase{"length cut short", {3, 0, 0}, 0, -1, "old"},
                    StringCase{"negative position", {0, 0, 0, 0}, -1, -1, "old"},
                    StringCase{"negative length", {0xFC, 0xFF, 0xFF, 0xFF, 'a'}, 0, -1, "old"},
                    StringCase{"end would pass 32 bits", {0, 0xFF, 0xFF, 0xFF, 0x7F}, 1, -1, "old"},
                    StringCase{
                        "end exactly 32-bit max", {0xFB, 0xFF, 0xFF, 0x7F}, 0, 0x7FFFFFFF, "old"}));

TEST(ByteChunkTest, PutStringRoundTripsThroughGetString)
{
    IByteChunk chunk;
    const std::string json = R"({"params":[],"version":"1.1.0"})";
    chunk.PutString(json);
    chunk.PutString(std::string_view{});
    std::string a, b = "kept";
    const int32_t pos = chunk.GetString(0, a);
    EXPECT_EQ(a, json);
    EXPECT_EQ(chunk.GetString(pos, b), chunk.Size());
    EXPECT_EQ(b, "kept");
}

TEST(ByteChunkTest, AFailedGrowthLeavesTheChunkUnchangedAndReportsZero)
{
    IByteChunk chunk;
    chunk.SetSizeLimit(10);
    ASSERT_EQ(chunk.PutInt32(1), 4);
    const std::vector<uint8_t> before = Bytes(chunk);

    EXPECT_EQ(chunk.PutDouble(1.0), 0);
    EXPECT_EQ(chunk.PutString("too long"), 0); // length would fit, the text would not
    EXPECT_EQ(chunk.PutBytes("1234567", 7), 0);
    EXPECT_EQ(chunk.PutBytes(nullptr, 1), 0);
    EXPECT_EQ(chunk.PutBytes("x", -1), 0);
    EXPECT_EQ(Bytes(chunk), before);

    EXPECT_EQ(chunk.PutString("ab"), 10); // what still fits is written
}

TEST(ByteChunkTest, GrowthKeepsContentsAcrossManyReallocations)
{
    IByteChunk chunk;
    for (int32_t i = 0; i < 50000; ++i)
        ASSERT_GT(chunk.PutInt32(i), 0);
    for (int32_t i = 0, pos = 0; i < 50000; ++i)
    {
        int32_t v = -1;
        pos = chunk.GetInt32(pos, v);
        ASSERT_EQ(v, i);
    }
}

// Random bytes read at random positions: every successful read must return a position inside
// the chunk (or, for a string, the stated end) and yield exactly the bytes at that position.
TEST(ByteChunkTest, RandomChunksAreReadOnlyWithinTheirBytes)
{
    std::mt19937 random(1234);
    for (int round = 0; round < 3000; ++round)
    {
        std::vector<uint8_t> bytes(random() % 40);
        for (auto& b : bytes)
            b = static_cast<uint8_t>(random() % 4 == 0 ? 0xFF : random());
        const IByteChunk chunk = ChunkOf(bytes);
        const auto size = static_cast<int32_t>(bytes.size());
        for (int read = 0; read < 8; ++read)
        {
            const int32_t pos = static_cast<int32_t>(random() % (bytes.size() + 6)) - 3;
            int32_t i = 0;
            const int32_t afterInt = chunk.GetInt32(pos, i);
            if (afterInt >= 0)
            {
                ASSERT_EQ(afterInt, pos + 4);
                ASSERT_LE(afterInt, size);
                ASSERT_EQ(std::memcmp(&i, bytes.data() + pos, 4), 0);
            }
            std::string text;
            const int32_t afterString = chunk.GetString(pos, text);
            if (afterString >= 0)
            {
                ASSERT_GE(afterString, pos + 4);
                int32_t length = 0;
                std::memcpy(&length, bytes.data() + pos, 4);
                ASSERT_EQ(afterString, pos + 4 + length);
                if (!text.empty())
                {
                    ASSERT_LE(afterString, size);
                    ASSERT_EQ(std::memcmp(text.data(), bytes.data() + pos + 4, text.size()), 0);
                }
            }
            else
            {
                ASSERT_TRUE(text.empty());
            }
        }
    }
}

} // namespace
