#pragma once

#include "graphics/IBitmap.h"

#include <cstdint>
#include <memory>

/// The bitmap the editor window shows. On Windows this is a device-independent bitmap in a
/// memory device context; on Linux it is plain zero-initialised memory with the same
/// interface and no device context. The allocation is reused while a new size fits in it.
/// [ui thread]
class ISysBitmap final : public IBitmap
{
public:
    /// Size 0 x 0 until resized.
    ISysBitmap() = default;
    ~ISysBitmap() override;

    uint32_t* Pixels() const override { return pixels; }
    int Width() const override { return width; }
    int Height() const override { return height; }
    int RowPixels() const override { return allocatedRowPixels; }
    bool IsBottomUp() const override { return false; }
    /// True when the bitmap has the new size with memory behind it. An unchanged size does
    /// nothing and answers whether there is memory. A size below 1 x 1 or a failed
    /// allocation leaves the bitmap empty (0 x 0, no pixels) and answers false.
    bool Resize(int newWidth, int newHeight) override;
    void* DeviceContext() const override { return nullptr; }
    intptr_t ExtendedQuery(int, void*) override { return 0; }

private:
    void Release();

    int width = 0;
    int height = 0;
    uint32_t* pixels = nullptr;
    int allocatedRowPixels = 0;
    int allocatedHeight = 0;
};
