#include "graphics/ISysBitmap.h"

#include <cstring>
#include <limits>
#include <new>

namespace
{
constexpr size_t kPixelAlignment = 64;
} // namespace

ISysBitmap::ISysBitmap() = default;

ISysBitmap::~ISysBitmap()
{
    Release();
}

void ISysBitmap::Release()
{
    // The aligned operator new, not aligned_alloc: the Windows C runtime has no aligned_alloc.
    if (pixels != nullptr)
        ::operator delete(pixels, std::align_val_t{kPixelAlignment});
    pixels = nullptr;
    allocatedRowPixels = 0;
    allocatedHeight = 0;
}

bool ISysBitmap::Resize(int newWidth, int newHeight)
{
    if (newWidth == width && newHeight == height)
        return pixels != nullptr;
    width = newWidth;
    height = newHeight;
    if (newWidth > 0 && newHeight > 0 && pixels != nullptr && newWidth <= allocatedRowPixels &&
        newHeight <= allocatedHeight)
        return true;

    Release();
    if (newWidth < 1 || newHeight < 1)
    {
        width = 0;
        height = 0;
        return false;
    }

    // Rows of the width rounded up to 4 pixels, like a DIB section; zeroed like one too.
    const int64_t rowPixels = (int64_t{newWidth} + 3) & ~int64_t{3};
    const int64_t bytes = rowPixels * newHeight * 4;
    void* memory = nullptr;
    if (bytes <= std::numeric_limits<int32_t>::max())
    {
        const size_t rounded =
            (static_cast<size_t>(bytes) + kPixelAlignment - 1) & ~(kPixelAlignment - 1);
        memory = ::operator new(rounded, std::align_val_t{kPixelAlignment}, std::nothrow);
        if (memory != nullptr)
            std::memset(memory, 0, rounded);
    }
    if (memory == nullptr)
    {
        width = 0;
        height = 0;
        return false;
    }
    pixels = static_cast<uint32_t*>(memory);
    allocatedRowPixels = static_cast<int>(rowPixels);
    allocatedHeight = newHeight;
    return true;
}
