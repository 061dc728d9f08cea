#include "graphics/PngDecoder.h"

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <vector>

namespace
{
constexpr unsigned char kSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

/// Never past the end: ReadFromMemory fails before it would move there.
struct MemoryReader
{
    const unsigned char* data;
    size_t size;
    size_t position;
};

/// Hands libpng the next bytes. Reading past the end is an error at once: a chunk whose
/// length claims gigabytes would otherwise be read (and checksummed) as zeros in full.
void ReadFromMemory(png_structp png, png_bytep out, size_t length)
{
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (length > reader->size - reader->position)
        png_error(png, "file ends early");
    std::memcpy(out, reader->data + reader->position, length);
    reader->position += length;
}

void OnError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

/// Deflate expands at most 1032 times (runs of 258 bytes in under two bits each).
constexpr uint64_t kMaxDeflateRatio = 1032;

/// Whether the bytes left after the header could inflate to the image the header declares.
/// A file of a few dozen bytes claiming the largest side would otherwise have its whole
/// bitmap allocated before its data runs out.
bool DataCanHoldImage(png_structp png, png_infop info, const MemoryReader& reader)
{
    const uint64_t bitsPerPixel =
        uint64_t{png_get_channels(png, info)} * png_get_bit_depth(png, info);
    const uint64_t imageBytes = uint64_t{png_get_image_width(png, info)} *
                                png_get_image_height(png, info) * bitsPerPixel / 8;
    return imageBytes <= uint64_t{reader.size - reader.position} * kMaxDeflateRatio + 4096;
}

/// Everything one decode owns. It lives on the heap and is only reached through a
/// reference, so its contents are well defined after libpng's longjmp.
struct Decoding
{
    png_structp png = nullptr;
    png_infop info = nullptr;
    MemoryReader reader{};
    std::unique_ptr<IMemBitmap> bitmap;
    std::vector<png_bytep> rows;

    Decoding() = default;
    Decoding(const Decoding&) = delete;
    Decoding& operator=(const Decoding&) = delete;
    ~Decoding() { png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr); }
};

void ChooseTransforms(png_structp png, png_infop info)
{
    const int colourType = png_get_color_type(png, info);
    const int bitDepth = png_get_bit_depth(png, info);
    const bool transparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;

    if (colourType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (transparency)
        png_set_tRNS_to_alpha(png);
    if (bitDepth == 16)
        png_set_strip_16(png);
    if (bitDepth < 8)
        png_set_packing(png);
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    if ((colourType & PNG_COLOR_MASK_ALPHA) != 0 || transparency)
        png_set_swap_alpha(png);
    else
        png_set_filler(png, 0xFF, PNG_FILLER_BEFORE);
    png_set_interlace_handling(png);
}

/// Runs libpng; false on any libpng error. Nothing with a destructor is created in this
/// frame after setjmp, so the longjmp skips no cleanup.
bool Run(Decoding& d)
{
    if (setjmp(png_jmpbuf(d.png)))
        return false;

    png_set_user_limits(d.png, kMaxPngSide, kMaxPngSide);
    png_set_read_fn(d.png, &d.reader, ReadFromMemory);
    png_read_info(d.png, d.info);
    if (!DataCanHoldImage(d.png, d.info, d.reader))
        return false;
    ChooseTransforms(d.png, d.info);
    png_read_update_info(d.png, d.info);

    const auto width = static_cast<int>(png_get_image_width(d.png, d.info));
    const auto height = static_cast<int>(png_get_image_height(d.png, d.info));
    if (png_get_rowbytes(d.png, d.info) != static_cast<size_t>(width) * 4)
        return false;
    d.bitmap = std::make_unique<IMemBitmap>();
    d.bitmap->Resize(width, height);
    if (d.bitmap->Width() != width || d.bitmap->Height() != height)
        return false;

    d.rows.resize(static_cast<size_t>(height));
    for (int y = 0; y < height; ++y)
        d.rows[static_cast<size_t>(y)] = reinterpret_cast<png_bytep>(
            d.bitmap->Pixels() + static_cast<size_t>(y) * d.bitmap->RowPixels());
    png_read_image(d.png, d.rows.data());
    return true;
}

/// Rewrites each pixel's A, R, G, B bytes as one native 0xAARRGGBB value.
void PackPixels(IMemBitmap& bitmap)
{
    for (int y = 0; y < bitmap.Height(); ++y)
    {
        uint32_t* row = bitmap.Pixels() + static_cast<size_t>(y) * bitmap.RowPixels();
        for (int x = 0; x < bitmap.Width(); ++x)
        {
            const auto* b = reinterpret_cast<const unsigned char*>(row + x);
            row[x] = (uint32_t{b[0]} << 24) | (uint32_t{b[1]} << 16) | (uint32_t{b[2]} << 8) | b[3];
        }
    }
}
} // namespace

std::unique_ptr<IMemBitmap> DecodePng(const void* data, size_t size)
{
    if (data == nullptr || size <= 7 || std::memcmp(data, kSignature, sizeof kSignature) != 0)
        return nullptr;

    auto d = std::make_unique<Decoding>();
    d->reader = {static_cast<const unsigned char*>(data), size, 0};
    d->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (d->png == nullptr)
        return nullptr;
    d->info = png_create_info_struct(d->png);
    if (d->info == nullptr)
        return nullptr;
    if (!Run(*d))
        return nullptr;
    PackPixels(*d->bitmap);
    return std::move(d->bitmap);
}
