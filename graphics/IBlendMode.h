#pragma once

#include <cstdint>

/// How a control's pixels combine with the drawing bitmap.
struct IBlendMode
{
    enum : int32_t
    {
        kCopyAlpha = 0, ///< copy using the source's alpha (default)
        kCopy = 1,      ///< plain copy ignoring alpha
        kAdd = 2,
        kColourDodge = 3
    };

    int32_t mode = kCopyAlpha;
    float weight = 1.0f; ///< opacity 0..1
};
