#include "graphics/BitmapOperations.h"
#include "graphics/IMemBitmap.h"
#include "graphics/ISysBitmap.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>

namespace
{
uint32_t& At(IBitmap& b, int x, int y)
{
    return b.Pixels()[static_cast<size_t>(y) * b.RowPixels() + x];
}

std::unique_ptr<IMemBitmap> Filled(int w, int h, uint32_t value)
{
    auto b = std::make_unique<IMemBitmap>();
    b->Resize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            At(*b, x, y) = value;
    return b;
}

/// Blue = x, green = y, red = x * y (all mod 256), opaque: averages are easy to predict.
std::unique_ptr<IMemBitmap> Coordinates(int w, int h)
{
    auto b = std::make_unique<IMemBitmap>();
    b->Resize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            At(*b, x, y) = 0xFF000000u | (static_cast<uint32_t>((x * y) & 0xFF) << 16) |
                           (static_cast<uint32_t>(y & 0xFF) << 8) | static_cast<uint32_t>(x & 0xFF);
    return b;
}

bool Aligned64(const void* p)
{
    return reinterpret_cast<uintptr_t>(p) % 64 == 0;
}
} // namespace

// ---- Memory and system bitmaps ----

TEST(MemBitmap, GrowsByAQuarterAndKeepsTheAllocationWhenShrinking)
{
    IMemBitmap b;
    EXPECT_EQ(b.Pixels(), nullptr);
    EXPECT_TRUE(b.Resize(10, 10));
    EXPECT_EQ(b.RowPixels(), 12);
    EXPECT_EQ(b.AllocatedBytes(), 10 * 12 * 4);

    // 12 x 10 has the same 12-pixel rows, so it needs nothing more.
    EXPECT_TRUE(b.Resize(12, 10));
    EXPECT_EQ(b.AllocatedBytes(), 10 * 12 * 4);
    EXPECT_TRUE(b.Resize(14, 10));
    EXPECT_EQ(b.AllocatedBytes(), 10 * 16 * 4 * 5 / 4);
    EXPECT_TRUE(b.Resize(10, 10));
    EXPECT_EQ(b.AllocatedBytes(), 10 * 16 * 4 * 5 / 4);
    EXPECT_EQ(b.Width(), 10);
    EXPECT_FALSE(b.Resize(10, 10)) << "an unchanged size reports no change";
}

TEST(MemBitmap, PixelsAre64ByteAlignedAndRowsAMultipleOf4)
{
    IMemBitmap b;
    for (int w : {1, 3, 5, 17, 64, 191, 333})
    {
        b.Resize(w, 7);
        EXPECT_TRUE(Aligned64(b.Pixels())) << "width " << w;
        EXPECT_EQ(b.RowPixels() % 4, 0);
        EXPECT_GE(b.RowPixels(), w);
        At(b, w - 1, 6) = 0x12345678; // the last pixel is inside the allocation (sanitizers)
    }
    b.Resize(5, 1);
    EXPECT_EQ(b.RowPixels(), 8);
}

TEST(MemBitmap, UnusableSizesLeaveAnEmptyBitmap)
{
    const struct
    {
        int w, h;
    } cases[] = {{0, 0},          {0, 5}, {-10, -10}, {-3, 4}, {std::numeric_limits<int>::max(), 2},
                 {100000, 100000}};
    for (const auto& c : cases)
    {
        IMemBitmap b;
        b.Resize(4, 4);
        EXPECT_TRUE(b.Resize(c.w, c.h));
        EXPECT_EQ(b.Width(), 0) << c.w << " x " << c.h;
        EXPECT_EQ(b.Height(), 0);
        EXPECT_EQ(b.Pixels(), nullptr);
        // Operations on it do nothing rather than write anywhere.
        FillArea(&b, 0, 0, 10, 10, 0xFFFFFFFF, 1.0f, 0);
    }
}

TEST(SysBitmap, ReusesItsMemoryWhileTheSizeFitsAndIsZeroed)
{
    ISysBitmap b;
    EXPECT_EQ(b.DeviceContext(), nullptr);
    ASSERT_TRUE(b.Resize(101, 50));
    EXPECT_EQ(b.RowPixels(), 104);
    EXPECT_TRUE(Aligned64(b.Pixels()));
    EXPECT_EQ(At(b, 100, 49), 0u);
    uint32_t* first = b.Pixels();

    ASSERT_TRUE(b.Resize(60, 20));
    EXPECT_EQ(b.Pixels(), first);
    EXPECT_EQ(b.RowPixels(), 104) << "the stride stays that of the allocation";
    EXPECT_EQ(b.Width(), 60);

    ASSERT_TRUE(b.Resize(200, 10));
    EXPECT_EQ(b.RowPixels(), 200);
    At(b, 199, 9) = 1;

    EXPECT_FALSE(b.Resize(0, 10));
    EXPECT_EQ(b.Pixels(), nullptr);
    EXPECT_EQ(b.Width(), 0);
    EXPECT_FALSE(b.Resize(-5, -5));
    EXPECT_EQ(b.Height(), 0);
}

// ---- BlitBitmap ----

TEST(BlitBitmap, SourceAlphaMixesColourAndAddsAlpha)
{
    struct Case
    {
        uint32_t source, dest, expected;
        const char* what;
    };
    const Case cases[] = {
        // Alpha 128 over opaque white: s + (255 - s) * 127 / 256 per colour byte.
        {0x80102030, 0xFFFFFFFF, 0xFF868E96, "alpha 128 over white"},
        {0x80000000, 0xFFFFFFFF, 0xFF7E7E7E, "alpha 128 black over white"},
        {0x00123456, 0xFFABCDEF, 0xFFABCDEF, "alpha 0 leaves the destination"},
        {0xFF123456, 0x00ABCDEF, 0xFF123456, "alpha 255 copies"},
        {0x80FFFFFF, 0x40000000, 0xC0818181, "alpha grows by the source alpha"},
    };
    for (const Case& c : cases)
    {
        auto src = Filled(1, 1, c.source);
        auto dest = Filled(1, 1, c.dest);
        BlitBitmap(dest.get(), src.get(), 0, 0, nullptr, 1.0f, kBlendUseAlpha);
        EXPECT_EQ(At(*dest, 0, 0), c.expected) << c.what;
    }
}

TEST(BlitBitmap, WeightsWithoutAlpha)
{
    struct Case
    {
        uint32_t source, dest;
        float weight;
        uint32_t expected;
        const char* what;
    };
    const Case cases[] = {
        {0x11223344, 0xFFFFFFFF, 1.0f, 0x11223344, "weight 1 copies, alpha included"},
        {0x00000000, 0xFFFFFFFF, 0.5f, 0x7F7F7F7F, "0.5: halves of both"},
        {0x01010101, 0x01010101, 0.5f, 0x00000000, "0.5: each half loses its low bit"},
        {0x00000000, 0xC8C8C8C8, 0.25f, 0x96969696, "0.25: s + (d - s) * 192 / 256"},
        {0x01010101, 0x00000000, 0.25f, 0x01010101, "division truncates toward zero"},
        {0xC8C8C8C8, 0x00000000, 0.75f, 0x96969696, "0.75"},
        {0x12345678, 0x9ABCDEF0, 0.001f, 0x9ABCDEF0, "below 1/256 nothing changes"},
        {0x12345678, 0x9ABCDEF0, 0.0f, 0x9ABCDEF0, "weight 0"},
    };
    for (const Case& c : cases)
    {
        auto src = Filled(1, 1, c.source);
        auto dest = Filled(1, 1, c.dest);
        BlitBitmap(dest.get(), src.get(), 0, 0, nullptr, c.weight, kBlendCopy);
        EXPECT_EQ(At(*dest, 0, 0), c.expected) << c.what;
    }
}

TEST(BlitBitmap, ClipsSourceAndDestinationKeepingPixelsInPlace)
{
    auto src = Coordinates(10, 10);
    struct Case
    {
        int x, y;
        BitmapRect rect;
        // Where source pixel (sx, sy) should land: dest = (sx + shiftX, sy + shiftY).
        int shiftX, shiftY;
        int firstDestX, firstDestY;
        const char* what;
    };
    const Case cases[] = {
        {2, 3, {1, 1, 4, 4}, 1, 2, 2, 3, "plain offset"},
        {-2, 0, {0, 0, 10, 10}, -2, 0, 0, 0, "negative x shifts the source"},
        {0, 0, {-3, -1, 5, 5}, 3, 1, 3, 1, "negative source edge shifts the destination"},
        {4, 4, {0, 0, 50, 50}, 4, 4, 4, 4, "source limited to its size, dest clipped"},
    };
    for (const Case& c : cases)
    {
        auto dest = Filled(8, 8, 0x01020304);
        BlitBitmap(dest.get(), src.get(), c.x, c.y, &c.rect, 1.0f, kBlendCopy);
        const int sx = c.firstDestX - c.shiftX;
        const int sy = c.firstDestY - c.shiftY;
        EXPECT_EQ(At(*dest, c.firstDestX, c.firstDestY), At(*src, sx, sy)) << c.what;
        int changed = 0;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                if (At(*dest, x, y) != 0x01020304u)
                {
                    ++changed;
                    EXPECT_EQ(At(*dest, x, y), At(*src, x - c.shiftX, y - c.shiftY)) << c.what;
                }
        EXPECT_GT(changed, 0) << c.what;
    }
}

TEST(BlitBitmap, NothingHappensForNullEmptyOrOutsideRectangles)
{
    auto src = Filled(4, 4, 0xFFFFFFFF);
    auto dest = Filled(4, 4, 0);
    IMemBitmap empty;
    const BitmapRect inverted{3, 3, 1, 1};
    BlitBitmap(nullptr, src.get(), 0, 0, nullptr, 1.0f, 0);
    BlitBitmap(dest.get(), nullptr, 0, 0, nullptr, 1.0f, 0);
    BlitBitmap(dest.get(), &empty, 0, 0, nullptr, 1.0f, 0);
    BlitBitmap(dest.get(), src.get(), 4, 0, nullptr, 1.0f, 0);
    BlitBitmap(dest.get(), src.get(), 0, -4, nullptr, 1.0f, 0);
    BlitBitmap(dest.get(), src.get(), 0, 0, &inverted, 1.0f, 0);
    BlitBitmap(dest.get(), src.get(), std::numeric_limits<int>::min(),
               std::numeric_limits<int>::max(), nullptr, 1.0f, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(At(*dest, x, y), 0u);
}

// ---- FillArea ----

TEST(FillArea, WeightsMixByShiftedHalvesAndQuarters)
{
    struct Case
    {
        float weight;
        int mode;
        uint32_t colour, expected;
        const char* what;
    };
    const uint32_t dest = 0xFF204080;
    const Case cases[] = {
        {1.0f, 0, 0x11804020, 0x11804020, "weight 1 writes the colour, alpha included"},
        {0.5f, 0, 0xFF804020, 0xFE504050, "0.5"},
        {0.25f, 0, 0xFF804020, 0xFD384068, "0.25: a quarter of the colour"},
        {0.75f, 0, 0xFF804020, 0xFD684038, "0.75: three quarters of the colour"},
        {0.3f, 0, 0xFF804020, 0xC93D4063, "other weights: alpha moves toward m = 76"},
        {1.0f, kBlendUseAlpha, 0xFF302010, 0xFF302010, "opaque with the alpha flag is exact"},
        {1.0f, kBlendUseAlpha, 0x80804020, 0xBF504050, "alpha 128 scales the weight to 0.5"},
        {1.0f, kBlendUseAlpha, 0x00FFFFFF, dest, "transparent colour with the flag"},
        {0.0f, 0, 0xFFFFFFFF, dest, "weight 0"},
    };
    for (const Case& c : cases)
    {
        auto b = Filled(1, 1, dest);
        FillArea(b.get(), 0, 0, 1, 1, c.colour, c.weight, c.mode);
        EXPECT_EQ(At(*b, 0, 0), c.expected) << c.what;
    }
}

TEST(FillArea, ClipsToTheBitmap)
{
    auto b = Filled(6, 4, 0);
    FillArea(b.get(), -2, 2, 4, 10, 0xFFFFFFFF, 1.0f, 0);
    int filled = 0;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
        {
            const bool inside = x < 2 && y >= 2;
            EXPECT_EQ(At(*b, x, y), inside ? 0xFFFFFFFFu : 0u) << x << ", " << y;
            filled += inside;
        }
    EXPECT_EQ(filled, 4);
    FillArea(b.get(), 3, 3, -5, -5, 0xFF00FF00, 1.0f, 0);
    FillArea(b.get(), std::numeric_limits<int>::max(), 0, std::numeric_limits<int>::max(), 1,
             0xFF00FF00, 1.0f, 0);
    FillArea(nullptr, 0, 0, 1, 1, 0xFF00FF00, 1.0f, 0);
    EXPECT_EQ(At(*b, 3, 3), 0u);
}

// ---- StretchBitmap ----

TEST(StretchBitmap, LogoSizeAveragesFiveByFiveBoxesClippedAtTheImage)
{
    // The editor's logo path: 814 x 152 into 192 x 32, steps 277845 and 311296 in 16.16.
    auto src = Coordinates(814, 152);
    auto dest = Filled(192, 32, 0);
    StretchBitmap(dest.get(), src.get(), 0, 0, 192, 32, 0, 0, 814, 152, 1.0f, kBlendFiltered);

    // Corner: only source x, y in 0..2 lie inside the window (-2..2): means 1, 1 and
    // (0 + 1 + 2)^2 / 9 = 1.
    EXPECT_EQ(At(*dest, 0, 0), 0xFF010101u);
    // (1, 1) samples source (4, 4): window 2..6 in both directions, 25 pixels: x and y
    // average 4, x * y averages 20 * 20 / 25 = 16.
    EXPECT_EQ(At(*dest, 1, 1), 0xFF100404u);
    // (191, 31) samples (809, 147): window 807..811 x 145..149, blue (x mod 256) 39..43.
    EXPECT_EQ(At(*dest, 191, 31) & 0xFFFF, (147u << 8) | 41u);
}

TEST(StretchBitmap, HalvingUsesThreeByThreeBoxes)
{
    // red = x * x over a window 3..5 averages 16 (a 5 x 5 window 2..6 would give 18).
    auto src = std::make_unique<IMemBitmap>();
    src->Resize(20, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            At(*src, x, y) = 0xFF000000u | static_cast<uint32_t>(x * x & 0xFF) << 16;
    auto dest = Filled(10, 10, 0);
    StretchBitmap(dest.get(), src.get(), 0, 0, 10, 10, 0, 0, 20, 20, 1.0f, kBlendFiltered);
    EXPECT_EQ(At(*dest, 2, 2), 0xFF100000u);
}

TEST(StretchBitmap, EnlargingInterpolatesAndEndsOneDimensional)
{
    auto src = Filled(2, 1, 0);
    At(*src, 1, 0) = 0xC8C88040;
    auto dest = Filled(4, 2, 0x11111111);
    StretchBitmap(dest.get(), src.get(), 0, 0, 4, 2, 0, 0, 2, 1, 1.0f, kBlendFiltered);
    EXPECT_EQ(At(*dest, 0, 0), 0u);
    EXPECT_EQ(At(*dest, 1, 0), 0x64644020u) << "half way between the two pixels";
    EXPECT_EQ(At(*dest, 2, 0), 0xC8C88040u) << "last column: no neighbour to mix";
    EXPECT_EQ(At(*dest, 3, 1), 0xC8C88040u) << "last row and column";
}

TEST(StretchBitmap, EqualSizesAtWholeOffsetsAreAnExactCopy)
{
    auto src = Coordinates(30, 20);
    for (int mode : {kBlendCopy, kBlendFiltered})
    {
        auto dest = Filled(10, 8, 0);
        StretchBitmap(dest.get(), src.get(), 0, 0, 10, 8, 5.02f, 2.98f, 10.0005f, 8.0f, 1.0f, mode);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 10; ++x)
                ASSERT_EQ(At(*dest, x, y), At(*src, x + 5, y + 3)) << x << ", " << y;
    }
}

TEST(StretchBitmap, HostileArgumentsDoNothingOrStayInside)
{
    auto src = Coordinates(16, 16);
    auto dest = Filled(8, 8, 0x01010101);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    StretchBitmap(dest.get(), src.get(), 0, 0, 8, 8, nan, 0, 16, 16, 1.0f, kBlendFiltered);
    StretchBitmap(dest.get(), src.get(), 0, 0, 8, 8, 0, 0, inf, 16, 1.0f, kBlendFiltered);
    StretchBitmap(dest.get(), src.get(), 0, 0, 8, 8, 0, 0, -16, 16, 1.0f, kBlendFiltered);
    StretchBitmap(dest.get(), src.get(), 0, 0, 0, 8, 0, 0, 16, 16, 1.0f, kBlendFiltered);
    StretchBitmap(dest.get(), src.get(), 0, 0, 8, 8, 0, 0, 16, 16, 0.0f, kBlendFiltered);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(At(*dest, x, y), 0x01010101u);

    // Partly outside both bitmaps: only what maps inside is written (the sanitizers check
    // that nothing outside is read or written).
    StretchBitmap(dest.get(), src.get(), -5, 3, 40, 40, 10, 10, 30, 30, 1.0f, kBlendFiltered);
    StretchBitmap(dest.get(), src.get(), 7, 7, 1000000, 3, -100, -100, 300, 300, 1.0f,
                  kBlendFiltered);
    EXPECT_EQ(At(*dest, 0, 0), 0x01010101u);
}

TEST(StretchBitmap, NegativeSizeMirrors)
{
    auto src = Coordinates(4, 1);
    auto dest = Filled(4, 1, 0);
    // Destination [4 - 4, 4) walked backwards: source column 0 lands in column 3.
    StretchBitmap(dest.get(), src.get(), 4, 0, -4, 1, 0, 0, 4, 1, 1.0f, kBlendCopy);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(At(*dest, x, 0), At(*src, 3 - x, 0));
}
