#include "graphics/BitmapCache.h"
#include "graphics/BitmapOperations.h"
#include "graphics/IMemBitmap.h"
#include "graphics/ISysBitmap.h"
#include "graphics/ImageRecordList.h"
#include "graphics/platform/PngResource.h"
#include "resources/EmbeddedResources.h"

#include <gtest/gtest.h>

#include <atomic>
#include <malloc.h>
#include <thread>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
// From the sanitizer runtime (GCC ships no header for it).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace
{
constexpr const char* kLogoName = "resources/img/quarrelwick-logo.png";

class ImageCaches : public ::testing::Test
{
protected:
    void SetUp() override { Empty(); }
    void TearDown() override { Empty(); }
    static void Empty()
    {
        // Records point at cached bitmaps: drop them first.
        ImageRecordList::Instance().Clear();
        BitmapCache::Instance().Clear();
    }

    /// A loader that counts its calls and makes a w x h bitmap (or fails when w is 0).
    auto Loader(int w, int h)
    {
        return [this, w, h]() -> std::unique_ptr<IBitmap>
        {
            ++loads;
            if (w == 0)
                return nullptr;
            auto b = std::make_unique<IMemBitmap>();
            b->Resize(w, h);
            return b;
        };
    }

    std::atomic<int> loads{0};
};

size_t HeapInUse()
{
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

/// One paint of the editor's logo control: a temporary bitmap of the control's size, the
/// filtered stretch into it, the alpha blit onto the drawing bitmap.
void PaintLogo(IBitmap& drawing, const IBitmap& logo)
{
    IMemBitmap scaled;
    scaled.Resize(192, 32);
    StretchBitmap(&scaled, &logo, 0, 0, 192, 32, 0, 0, static_cast<float>(logo.Width()),
                  static_cast<float>(logo.Height()), 1.0f, kBlendFiltered);
    const BitmapRect whole{0, 0, 192, 32};
    BlitBitmap(&drawing, &scaled, 292, 16, &whole, 1.0f, kBlendUseAlpha);
}
} // namespace

TEST_F(ImageCaches, LoadOnceThenShareTheCachedBitmap)
{
    const ImageRecord* first = LoadImageRecord(106, kLogoName, Loader(30, 20));
    ASSERT_NE(first->bitmap, nullptr);
    EXPECT_EQ(first->width, 30);
    EXPECT_EQ(first->height, 20);
    EXPECT_EQ(first->frameCount, 1);
    EXPECT_FALSE(first->framesHorizontal);

    const ImageRecord* second = LoadImageRecord(106, kLogoName, Loader(99, 99));
    EXPECT_EQ(loads, 1) << "the second editor takes the cached bitmap";
    EXPECT_EQ(second->bitmap, first->bitmap);
    EXPECT_EQ(second, first) << "an identical record is shared, so the list does not grow";
    EXPECT_EQ(ImageRecordList::Instance().Count(), 1);

    const ImageRecord* other = LoadImageRecord(7, "other.png", Loader(4, 4));
    EXPECT_NE(other->bitmap, first->bitmap);
    EXPECT_EQ(BitmapCache::Instance().Count(), 2);
}

TEST_F(ImageCaches, AFailedLoadCachesNothingAndIsTriedAgain)
{
    const ImageRecord* failed = LoadImageRecord(106, kLogoName, Loader(0, 0));
    EXPECT_EQ(failed->bitmap, nullptr);
    EXPECT_EQ(failed->width, 0);
    EXPECT_EQ(BitmapCache::Instance().Count(), 0);

    const ImageRecord* loaded = LoadImageRecord(106, kLogoName, Loader(8, 8));
    EXPECT_EQ(loads, 2);
    ASSERT_NE(loaded->bitmap, nullptr);
    EXPECT_EQ(failed->bitmap, nullptr) << "records are never changed once handed out";
}

TEST_F(ImageCaches, InstancesOpeningAtOnceDecodeTheImageOnce)
{
    std::vector<std::thread> threads;
    std::vector<const ImageRecord*> records(8);
    for (size_t i = 0; i < records.size(); ++i)
        threads.emplace_back([&, i]
                             { records[i] = LoadImageRecord(106, kLogoName, Loader(16, 16)); });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(BitmapCache::Instance().Count(), 1);
    for (const ImageRecord* r : records)
        EXPECT_EQ(r->bitmap, records[0]->bitmap);
}

TEST_F(ImageCaches, TheEmbeddedLogoLoadsThroughTheCache)
{
    const ImageRecord* logo = LoadImageRecord(kLogoId, kLogoName,
                                              []
                                              {
                                                  return std::unique_ptr<IBitmap>(LoadPngFromModule(
                                                      EmbeddedModuleHandle(), kLogoId, kLogoName));
                                              });
    ASSERT_NE(logo->bitmap, nullptr);
    EXPECT_EQ(logo->width, 814);
    EXPECT_EQ(logo->height, 152);
}

TEST(LogoRepaint, AThousandRepaintsLeaveMemoryUnchanged)
{
    const auto logo = LoadPngFromModule(EmbeddedModuleHandle(), kLogoId, kLogoName);
    ASSERT_NE(logo, nullptr);
    ISysBitmap drawing;
    ASSERT_TRUE(drawing.Resize(500, 450));
    FillArea(&drawing, 0, 0, 500, 450, 0xFF303030, 1.0f, kBlendUseAlpha);

    PaintLogo(drawing, *logo); // warm-up: anything allocated once for good happens here
    const size_t before = HeapInUse();
    for (int i = 0; i < 1000; ++i)
        PaintLogo(drawing, *logo);
    EXPECT_EQ(HeapInUse(), before);

    // The logo landed: its rectangle now differs from the background, the rest does not.
    int changed = 0;
    for (int y = 0; y < 450; ++y)
        for (int x = 0; x < 500; ++x)
        {
            const bool differs = drawing.Pixels()[y * drawing.RowPixels() + x] != 0xFF303030u;
            const bool inLogo = x >= 292 && x < 484 && y >= 16 && y < 48;
            if (differs)
            {
                ++changed;
                ASSERT_TRUE(inLogo) << x << ", " << y;
            }
        }
    EXPECT_GT(changed, 500);
}
