#pragma once

#include "graphics/IBitmap.h"

#include <cstdint>

/// A bitmap in plain memory: 64-byte aligned pixels, rows of the width rounded up to a
/// multiple of 4 pixels. Growing reserves a quarter more so that small size changes do not
/// reallocate; shrinking keeps the allocation. [ui thread]
class IMemBitmap final : public IBitmap
{
public:
    /// Empty bitmap: no allocation, size 0 x 0.
    IMemBitmap() = default;
    ~IMemBitmap() override;

    uint32_t* Pixels() const override;
    int Width() const override { return width; }
    int Height() const override { return height; }
    int RowPixels() const override { return (width + rowAlignmentMask) & ~rowAlignmentMask; }
    bool IsBottomUp() const override { return false; }
    /// False when the size is unchanged, else true. A size of zero, a negative size or a
    /// failed allocation leaves the bitmap empty (0 x 0, no pixels).
    bool Resize(int newWidth, int newHeight) override;
    void* DeviceContext() const override { return nullptr; }
    intptr_t ExtendedQuery(int, void*) override { return 0; }

    /// Bytes usable for pixels (without the 63 spare alignment bytes); for tests.
    int32_t AllocatedBytes() const { return allocated; }

private:
    void Release();

    void* raw = nullptr;
    int width = 0;
    int height = 0;
    int32_t allocated = 0;
    int rowAlignmentMask = 3;
};
