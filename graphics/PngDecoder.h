#pragma once

#include "graphics/IMemBitmap.h"

#include <cstddef>
#include <memory>

/// Decodes a PNG image held in memory into a new memory bitmap of 0xAARRGGBB pixels.
/// Palette, grey, 16-bit, sub-byte and transparency-chunk images are all converted to
/// 8-bit ARGB; images without alpha become opaque. Answers null for anything that is not
/// a whole, valid PNG (or is larger than kMaxPngSide on a side). Any thread; no shared state.
std::unique_ptr<IMemBitmap> DecodePng(const void* data, size_t size);

/// Largest width or height DecodePng accepts, so a hostile header cannot ask for gigabytes.
inline constexpr int kMaxPngSide = 8192;
