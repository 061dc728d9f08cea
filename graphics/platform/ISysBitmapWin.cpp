// The drawing bitmap on Windows: a DIB section in a memory device context, so the window
// copies it with one GDI call and cairo draws straight into its bits.

#include "graphics/ISysBitmap.h"

#include <windows.h>

#include <cstdint>

ISysBitmap::ISysBitmap()
{
    HDC screen = GetDC(nullptr);
    deviceContext = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
}

ISysBitmap::~ISysBitmap()
{
    Release();
    if (deviceContext != nullptr)
        DeleteDC(static_cast<HDC>(deviceContext));
}

void ISysBitmap::Release()
{
    if (dibSection != nullptr)
    {
        SelectObject(static_cast<HDC>(deviceContext), static_cast<HGDIOBJ>(previousBitmap));
        DeleteObject(static_cast<HGDIOBJ>(dibSection));
    }
    dibSection = nullptr;
    previousBitmap = nullptr;
    pixels = nullptr;
    allocatedRowPixels = 0;
    allocatedHeight = 0;
}

bool ISysBitmap::Resize(int newWidth, int newHeight)
{
    if (deviceContext == nullptr)
    {
        width = height = 0;
        return false;
    }
    if (newWidth == width && newHeight == height)
        return pixels != nullptr;
    width = newWidth;
    height = newHeight;
    if (newWidth > 0 && newHeight > 0 && pixels != nullptr && newWidth <= allocatedRowPixels &&
        newHeight <= allocatedHeight)
        return true;

    Release();
    const int64_t rowPixels = (int64_t{newWidth} + 3) & ~int64_t{3};
    if (newWidth < 1 || newHeight < 1 || rowPixels * newHeight * 4 > INT32_MAX)
    {
        width = height = 0;
        return false;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(rowPixels);
    info.bmiHeader.biHeight = -newHeight; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(static_cast<HDC>(deviceContext), &info, DIB_RGB_COLORS,
                                       &bits, nullptr, 0);
    if (section == nullptr || bits == nullptr)
    {
        if (section != nullptr)
            DeleteObject(section);
        width = height = 0;
        return false;
    }
    dibSection = section;
    previousBitmap = SelectObject(static_cast<HDC>(deviceContext), section);
    pixels = static_cast<uint32_t*>(bits);
    allocatedRowPixels = static_cast<int>(rowPixels);
    allocatedHeight = newHeight;
    return true;
}
