#pragma once

#include "graphics/IBitmap.h"

#include <cstdint>

/// A source rectangle for BlitBitmap: left, top inclusive; right, bottom exclusive.
struct BitmapRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Pixel operations of the bitmap layer. `weight` is an opacity (1.0 = full, 0 does
// nothing); `mode` combines kBlendCopy with the kBlendUseAlpha / kBlendFiltered flags.
// Combinations other than copy in the low byte are not built and act as copy.
// Null bitmaps and empty or fully clipped rectangles do nothing. [ui thread]

/// Copies `sourceRect` of `src` (the whole source when null) to `dest` at (x, y), clipped
/// to both bitmaps. Without kBlendUseAlpha: weight 1 copies, 0.5 averages by shifted
/// halves, any other weight mixes every byte (alpha too). With kBlendUseAlpha each pixel
/// is mixed by its own alpha and the destination alpha grows by it (capped at 255).
void BlitBitmap(IBitmap* dest, const IBitmap* src, int x, int y, const BitmapRect* sourceRect,
                float weight, int mode);

/// Copies the source rectangle (sx, sy, sw, sh in source pixels, fractional allowed)
/// scaled into the destination rectangle (dx, dy, dw, dh; a negative size mirrors).
/// Equal sizes at whole offsets are an exact BlitBitmap. With kBlendFiltered: a 3 x 3 or
/// 5 x 5 box average when both factors are at least 1.7, else bilinear; without it, the
/// nearest pixel. The scaled pixels combine with `dest` as in BlitBitmap.
void StretchBitmap(IBitmap* dest, const IBitmap* src, int dx, int dy, int dw, int dh, float sx,
                   float sy, float sw, float sh, float weight, int mode);

/// Fills a rectangle with an 0xAARRGGBB colour at `weight`; with kBlendUseAlpha the weight
/// is first multiplied by the colour's alpha / 255. Weight 1 writes the colour (alpha
/// included); 0.5, 0.25 and 0.75 mix by shifted halves and quarters.
void FillArea(IBitmap* dest, int x, int y, int w, int h, uint32_t colour, float weight, int mode);
