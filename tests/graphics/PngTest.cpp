#include "graphics/PngDecoder.h"
#include "graphics/platform/PngResource.h"
#include "graphics/platform/ResourceTable.h"
#include "resources/EmbeddedResources.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstring>
#include <utility>
#include <vector>

namespace
{
/// A small PNG written with libpng, so each test states exactly what the file holds.
struct PngImage
{
    int width = 1;
    int height = 1;
    int colourType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    std::vector<unsigned char> rows; ///< packed rows as PNG stores them, top to bottom
    std::vector<png_color> palette;
    std::vector<unsigned char> paletteAlpha; ///< tRNS for palette images
    const png_color_16* colourKey = nullptr; ///< tRNS for grey and RGB images
    bool interlaced = false;
};

void Append(png_structp png, png_bytep data, size_t length)
{
    auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void Flush(png_structp) {}

std::vector<unsigned char> Encode(const PngImage& image)
{
    std::vector<unsigned char> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)))
    {
        png_destroy_write_struct(&png, &info);
        ADD_FAILURE() << "libpng could not write the test image";
        return {};
    }
    png_set_write_fn(png, &out, Append, Flush);
    png_set_IHDR(png, info, image.width, image.height, image.bitDepth, image.colourType,
                 image.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!image.palette.empty())
        png_set_PLTE(png, info, image.palette.data(), static_cast<int>(image.palette.size()));
    if (!image.paletteAlpha.empty())
        png_set_tRNS(png, info, image.paletteAlpha.data(),
                     static_cast<int>(image.paletteAlpha.size()), nullptr);
    if (image.colourKey != nullptr)
        png_set_tRNS(png, info, nullptr, 0, image.colourKey);
    png_write_info(png, info);
    const size_t rowBytes = image.rows.size() / static_cast<size_t>(image.height);
    std::vector<png_bytep> rows;
    for (int y = 0; y < image.height; ++y)
        rows.push_back(
            const_cast<png_bytep>(image.rows.data() + rowBytes * static_cast<size_t>(y)));
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<uint32_t> Pixels(const IMemBitmap& b)
{
    std::vector<uint32_t> out;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            out.push_back(b.Pixels()[static_cast<size_t>(y) * b.RowPixels() + x]);
    return out;
}

PngImage Image(int width, int height, int colourType, int bitDepth, std::vector<unsigned char> rows,
               std::vector<png_color> palette = {}, std::vector<unsigned char> paletteAlpha = {},
               const png_color_16* colourKey = nullptr)
{
    PngImage s;
    s.width = width;
    s.height = height;
    s.colourType = colourType;
    s.bitDepth = bitDepth;
    s.rows = std::move(rows);
    s.palette = std::move(palette);
    s.paletteAlpha = std::move(paletteAlpha);
    s.colourKey = colourKey;
    return s;
}

PngImage Rgb2x2()
{
    PngImage s;
    s.width = 2;
    s.height = 2;
    s.rows = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120};
    return s;
}
} // namespace

TEST(DecodePng, ConvertsEveryPixelFormatToArgb)
{
    const png_color_16 greyKey{0, 0, 0, 0, 0x40};
    const png_color_16 rgbKey{0, 1, 2, 3, 0};
    struct Case
    {
        const char* what;
        PngImage image;
        std::vector<uint32_t> expected;
    };
    const std::vector<Case> cases = {
        {"RGB gets an opaque alpha", Rgb2x2(), {0xFF0A141E, 0xFF28323C, 0xFF46505A, 0xFF646E78}},
        {"RGBA keeps straight alpha",
         Image(2, 1, PNG_COLOR_TYPE_RGBA, 8, {1, 2, 3, 0, 200, 100, 50, 128}),
         {0x00010203, 0x80C86432}},
        {"palette with transparency: alpha from tRNS, opaque past its end",
         Image(3, 1, PNG_COLOR_TYPE_PALETTE, 8, {0, 1, 2}, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}},
               {0, 128}),
         {0x00FF0000, 0x8000FF00, 0xFF0000FF}},
        {"4-bit palette unpacks",
         Image(2, 1, PNG_COLOR_TYPE_PALETTE, 4, {0x10}, {{1, 2, 3}, {4, 5, 6}}),
         {0xFF040506, 0xFF010203}},
        {"grey becomes RGB",
         Image(2, 1, PNG_COLOR_TYPE_GRAY, 8, {0x40, 0xFF}),
         {0xFF404040, 0xFFFFFFFF}},
        {"2-bit grey expands to 8 bits",
         Image(4, 1, PNG_COLOR_TYPE_GRAY, 2, {0x1B}),
         {0xFF000000, 0xFF555555, 0xFFAAAAAA, 0xFFFFFFFF}},
        {"grey with alpha", Image(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {0x30, 0x90}), {0x90303030}},
        {"16-bit samples keep their high byte",
         Image(1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 16,
               {0x12, 0x34, 0xAB, 0xFF, 0x00, 0x01, 0x80, 0x00}),
         {0x8012AB00}},
        {"16-bit grey", Image(1, 1, PNG_COLOR_TYPE_GRAY, 16, {0xC0, 0xFF}), {0xFFC0C0C0}},
        {"grey colour key becomes transparent",
         Image(2, 1, PNG_COLOR_TYPE_GRAY, 8, {0x40, 0x41}, {}, {}, &greyKey),
         {0x00404040, 0xFF414141}},
        {"RGB colour key becomes transparent",
         Image(2, 1, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 1, 2, 4}, {}, {}, &rgbKey),
         {0x00010203, 0xFF010204}},
    };
    for (const Case& c : cases)
    {
        const std::vector<unsigned char> file = Encode(c.image);
        const auto bitmap = DecodePng(file.data(), file.size());
        ASSERT_NE(bitmap, nullptr) << c.what;
        EXPECT_EQ(bitmap->Width(), c.image.width) << c.what;
        EXPECT_EQ(bitmap->Height(), c.image.height) << c.what;
        EXPECT_EQ(Pixels(*bitmap), c.expected) << c.what;
    }
}

TEST(DecodePng, InterlacedImagesDecodeLikePlainOnes)
{
    PngImage image;
    image.width = 9;
    image.height = 7;
    for (int i = 0; i < image.width * image.height * 3; ++i)
        image.rows.push_back(static_cast<unsigned char>(i * 7));
    const auto plainFile = Encode(image);
    image.interlaced = true;
    const auto interlacedFile = Encode(image);
    const auto plain = DecodePng(plainFile.data(), plainFile.size());
    const auto interlaced = DecodePng(interlacedFile.data(), interlacedFile.size());
    ASSERT_NE(plain, nullptr);
    ASSERT_NE(interlaced, nullptr);
    EXPECT_EQ(Pixels(*plain), Pixels(*interlaced));
}

TEST(DecodePng, DamagedFilesGiveNull)
{
    const std::vector<unsigned char> good = Encode(Rgb2x2());
    ASSERT_NE(DecodePng(good.data(), good.size()), nullptr);

    auto damaged = [&](auto change)
    {
        std::vector<unsigned char> bytes = good;
        change(bytes);
        return bytes;
    };
    // IHDR starts at byte 8 (length 4, type 4, then width and height).
    const auto findIdat = [](const std::vector<unsigned char>& b)
    {
        for (size_t i = 0; i + 4 <= b.size(); ++i)
            if (std::memcmp(b.data() + i, "IDAT", 4) == 0)
                return i;
        return size_t{0};
    };
    struct Case
    {
        const char* what;
        std::vector<unsigned char> bytes;
    };
    const std::vector<Case> cases = {
        {"empty", {}},
        {"seven bytes of signature", {good.begin(), good.begin() + 7}},
        {"signature only", {good.begin(), good.begin() + 8}},
        {"wrong signature", damaged([](auto& b) { b[1] = 'Q'; })},
        {"truncated inside the header", {good.begin(), good.begin() + 20}},
        {"truncated inside the image data", {good.begin(), good.begin() + (good.size() - 20)}},
        {"header checksum wrong", damaged([](auto& b) { b[29] ^= 0xFF; })},
        {"image data claiming 2 GB",
         damaged([&](auto& b) { std::memcpy(&b[findIdat(b) - 4], "\x7F\xFF\xFF\xFF", 4); })},
        {"image data corrupted", damaged([&](auto& b) { b[findIdat(b) + 6] ^= 0x5A; })},
        {"zero width", damaged([](auto& b) { std::memset(&b[16], 0, 4); })},
        {"garbage after the signature",
         damaged([](auto& b) { std::memset(&b[8], 0xEE, b.size() - 8); })},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecodePng(c.bytes.data(), c.bytes.size()), nullptr) << c.what;
    EXPECT_EQ(DecodePng(nullptr, 100), nullptr);
}

TEST(DecodePng, RefusesHugeImagesWithoutAllocatingThem)
{
    // A whole, valid file: only its size can stop it.
    PngImage image;
    image.width = kMaxPngSide + 1;
    image.height = 1;
    image.rows.assign(static_cast<size_t>(image.width) * 3, 0);
    const auto file = Encode(image);
    EXPECT_EQ(DecodePng(file.data(), file.size()), nullptr);
}

TEST(DecodePng, RefusesHeadersTheirDataCannotFill)
{
    // A whole 1x1 file whose header is rewritten to the largest side, checksum mended, so
    // only the amount of image data shows it cannot be that big.
    std::vector<unsigned char> file = Encode(Rgb2x2());
    for (int offset : {16, 20})
    {
        file[offset] = 0;
        file[offset + 1] = 0;
        file[offset + 2] = kMaxPngSide >> 8;
        file[offset + 3] = kMaxPngSide & 0xFF;
    }
    const uLong crc = crc32(crc32(0, nullptr, 0), file.data() + 12, 17);
    for (int i = 0; i < 4; ++i)
        file[29 + i] = static_cast<unsigned char>(crc >> (24 - 8 * i));
    EXPECT_EQ(DecodePng(file.data(), file.size()), nullptr);

    // Deflate's best ratio still passes: a plain black image packs about a thousand to one.
    PngImage black;
    black.width = 1024;
    black.height = 1024;
    black.rows.assign(size_t{1024} * 1024 * 3, 0);
    const auto packed = Encode(black);
    ASSERT_LT(packed.size() * 500, black.rows.size());
    const auto bitmap = DecodePng(packed.data(), packed.size());
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->Width(), 1024);
    EXPECT_EQ(bitmap->Pixels()[1023 * bitmap->RowPixels() + 1023], 0xFF000000u);
}

// ---- Resources ----

TEST(EmbeddedResources, CarryTheFontsAndTheLogo)
{
    const ModuleHandle module = EmbeddedModuleHandle();
    const ResourceData caption = FindModuleResource(module, kResourceRawData, kCaptionFontId);
    const ResourceData value = FindModuleResource(module, kResourceRawData, kValueFontId);
    const ResourceData title = FindModuleResource(module, kResourceRawData, kTitleFontId);
    ASSERT_TRUE(caption);
    ASSERT_TRUE(value);
    ASSERT_TRUE(title);
    ASSERT_EQ(caption.size, value.size);
    EXPECT_EQ(std::memcmp(caption.data, value.data, caption.size), 0) << "104 is 103 byte for byte";
    EXPECT_NE(title.size, caption.size);
    const unsigned char trueType[4] = {0, 1, 0, 0};
    EXPECT_EQ(std::memcmp(caption.data, trueType, 4), 0);
    EXPECT_EQ(std::memcmp(title.data, trueType, 4), 0);

    const auto logo = LoadPngFromModule(module, kLogoId, "resources/img/quarrelwick-logo.png");
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(logo->Width(), 814);
    EXPECT_EQ(logo->Height(), 152);
    EXPECT_EQ(logo->Pixels()[0] >> 24, 0u) << "the corner is transparent";
    bool opaque = false;
    for (uint32_t p : Pixels(*logo))
        opaque = opaque || (p >> 24) == 255;
    EXPECT_TRUE(opaque) << "the wordmark has solid pixels";
}

TEST(EmbeddedResources, LookUpsMatchTypeAndIdOnly)
{
    const ModuleHandle module = EmbeddedModuleHandle();
    EXPECT_TRUE(FindModuleResource(module, ResourceType{0, "png"}, kLogoId))
        << "named types compare without case";
    EXPECT_FALSE(FindModuleResource(module, kResourceRawData, kLogoId));
    EXPECT_FALSE(FindModuleResource(module, kResourcePng, kCaptionFontId));
    EXPECT_FALSE(FindModuleResource(module, kResourceRawData, 107));
    EXPECT_FALSE(FindModuleResource(nullptr, kResourceRawData, kCaptionFontId));

    EXPECT_NE(LoadPngFromModule(module, kLogoId, "LOGO.PNG"), nullptr);
    EXPECT_EQ(LoadPngFromModule(module, kLogoId, "logo.jpg"), nullptr);
    EXPECT_EQ(LoadPngFromModule(module, kLogoId, "png"), nullptr);
    EXPECT_EQ(LoadPngFromModule(module, kLogoId, nullptr), nullptr);
    EXPECT_EQ(LoadPngFromModule(module, 107, "logo.png"), nullptr);
}

TEST(EmbeddedResources, ModuleHandleIsSetOnce)
{
    // Nothing in this executable sets the handle before this test.
    EXPECT_EQ(CurrentModuleHandle(), nullptr);
    EXPECT_EQ(UseEmbeddedResources(), EmbeddedModuleHandle());
    int other = 0;
    SetModuleHandle(&other);
    EXPECT_EQ(UseEmbeddedResources(), &other) << "an explicit handle is kept";
    SetModuleHandle(nullptr);
}
