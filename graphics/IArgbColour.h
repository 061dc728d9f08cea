#pragma once

#include <cstdint>

/// A colour with straight alpha; every component 0..255.
struct IArgbColour
{
    int32_t alpha = 255;
    int32_t red = 0;
    int32_t green = 0;
    int32_t blue = 0;

    /// The colour as one 0xAARRGGBB pixel of the bitmap layer.
    uint32_t Packed() const
    {
        return (static_cast<uint32_t>(alpha & 0xFF) << 24) |
               (static_cast<uint32_t>(red & 0xFF) << 16) |
               (static_cast<uint32_t>(green & 0xFF) << 8) | static_cast<uint32_t>(blue & 0xFF);
    }

    bool operator==(const IArgbColour&) const = default;
};
