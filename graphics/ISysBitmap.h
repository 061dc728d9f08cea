#pragma once

#include "graphics/IBitmap.h"

#include <cstdint>
#include <memory>

/// The bitmap the editor window shows. On Windows this is a top-down 32-bit DIB section
/// selected into a memory device context of its own (platform/ISysBitmapWin.cpp), which the
/// window copies from; elsewhere it is plain zero-initialised memory with the same interface
/// and no device context. The allocation is reused while a new size fits in it. [ui thread]
class ISysBitmap final : public IBitmap
{
public:
    /// Size 0 x 0 until resized. On Windows it creates its memory device context here.
    ISysBitmap();
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
    /// The memory device context holding the DIB section (Windows), else null.
    void* DeviceContext() const override { return device.deviceContext; }
    intptr_t ExtendedQuery(int, void*) override { return 0; }

private:
    void Release();

    int width = 0;
    int height = 0;
    uint32_t* pixels = nullptr;
    int allocatedRowPixels = 0;
    int allocatedHeight = 0;
    /// Windows only: the memory device context, the DIB section selected into it and the
    /// bitmap it held before (put back before the section is deleted).
    struct DeviceBitmap
    {
        void* deviceContext = nullptr;
        void* dibSection = nullptr;
        void* previousBitmap = nullptr;
    };
    DeviceBitmap device;
};
