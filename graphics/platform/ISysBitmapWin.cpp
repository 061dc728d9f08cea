// The drawing bitmap on Windows: a DIB section in a memory device context, so the window
// copies it with one GDI call and cairo draws straight into its bits.

#include "graphics/ISysBitmap.h"

#include <windows.h>

#include <cstdint>

ISysBitmap::ISysBitmap()
{
    HDC screen = GetDC(nullptr);
    device.deviceContext = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
}

ISysBitmap::~ISysBitmap()
{
    Release();
    if (device.deviceContext != nullptr)
        DeleteDC(static_cast<HDC>(device.deviceContext));
}

void ISysBitmap::Release()
{
    if (device.dibSection != nullptr)
    {
        SelectObject(static_cast<HDC>(device.deviceContext),
                     static_cast<HGDIOBJ>(device.previousBitmap));
        DeleteObject(static_cast<HGDIOBJ>(device.dibSection));
    }
    device.dibSection = nullptr;
    device.previousBitmap = nullptr;
    pixels = nullptr;
    allocatedRowPixels = 0;
    allocatedHeight = 0;
}

bool ISysBitmap::Resize(int newWidth, int newHeight)
{
    if (device.deviceContext == nullptr)
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
    HBITMAP section = CreateDIBSection(static_cast<HDC>(device.deviceContext), &info,
                                       DIB_RGB_COLORS, &bits, nullptr, 0);
    if (section == nullptr || bits == nullptr)
    {
        if (section != nullptr)
            DeleteObject(section);
        width = height = 0;
        return false;
    }
    device.dibSection = section;
    device.previousBitmap = SelectObject(static_cast<HDC>(device.deviceContext), section);
    pixels = static_cast<uint32_t*>(bits);
    allocatedRowPixels = static_cast<int>(rowPixels);
    allocatedHeight = newHeight;
    return true;
}
