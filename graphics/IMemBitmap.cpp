#include "graphics/IMemBitmap.h"

#include <cstdlib>
#include <limits>

namespace
{
constexpr uintptr_t kPixelAlignment = 64;
constexpr size_t kSpareBytes = kPixelAlignment - 1;
} // namespace

IMemBitmap::~IMemBitmap()
{
    Release();
}

uint32_t* IMemBitmap::Pixels() const
{
    if (raw == nullptr)
        return nullptr;
    const uintptr_t address = reinterpret_cast<uintptr_t>(raw);
    return reinterpret_cast<uint32_t*>((address + kSpareBytes) & ~(kPixelAlignment - 1));
}

void IMemBitmap::Release()
{
    std::free(raw);
    raw = nullptr;
    allocated = 0;
}

bool IMemBitmap::Resize(int newWidth, int newHeight)
{
    if (newWidth == width && newHeight == height)
        return false;
    width = newWidth;
    height = newHeight;

    // Computed wide: a negative side (whose product with another could look positive) or a
    // size beyond the 32-bit byte count counts as nothing to hold.
    int64_t need = 0;
    if (newWidth > 0 && newHeight > 0)
        need = int64_t{newHeight} *
               ((int64_t{newWidth} + rowAlignmentMask) & ~int64_t{rowAlignmentMask}) * 4;
    if (need > std::numeric_limits<int32_t>::max() / 5 * 4)
        need = -1;

    if (need > 0)
    {
        if (raw == nullptr)
        {
            raw = std::calloc(1, static_cast<size_t>(need) + kSpareBytes);
            allocated = raw != nullptr ? static_cast<int32_t>(need) : 0;
        }
        else if (allocated < need)
        {
            const int64_t grown = need * 5 / 4;
            void* moved = std::realloc(raw, static_cast<size_t>(grown) + kSpareBytes);
            if (moved != nullptr)
            {
                raw = moved;
                allocated = static_cast<int32_t>(grown);
            }
            else
            {
                Release();
                raw = std::calloc(1, static_cast<size_t>(need) + kSpareBytes);
                allocated = raw != nullptr ? static_cast<int32_t>(need) : 0;
            }
        }
    }
    else
    {
        Release();
    }

    if (raw == nullptr)
    {
        width = 0;
        height = 0;
    }
    return true;
}
