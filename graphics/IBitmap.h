#pragma once

#include <cstdint>

/// Blend-mode bits of the bitmap operations (BlitBitmap, StretchBitmap, FillArea).
/// The low byte selects how pixels combine; only copy is built.
inline constexpr int32_t kBlendCopy = 0;
inline constexpr int32_t kBlendCombineMask = 0xFF;
/// StretchBitmap: filtered scaling (box average when shrinking by 1.7 or more, else bilinear).
inline constexpr int32_t kBlendFiltered = 0x100;
/// BlitBitmap: combine through the source alpha. FillArea: scale the weight by the colour's alpha.
inline constexpr int32_t kBlendUseAlpha = 0x10000;

/// A 32-bit bitmap the editor paints into. Pixels are 0xAARRGGBB values in native
/// (little-endian) order, straight alpha, rows top to bottom, RowPixels() per stored row.
/// [ui thread]
class IBitmap
{
public:
    IBitmap() = default;
    IBitmap(const IBitmap&) = delete;
    IBitmap& operator=(const IBitmap&) = delete;
    virtual ~IBitmap() = default;

    /// First pixel of the top row, or null while the bitmap holds no memory.
    virtual uint32_t* Pixels() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    /// Pixels per stored row (>= Width()); the row stride is RowPixels() * 4 bytes.
    virtual int RowPixels() const = 0;
    /// Always false here: rows run top to bottom.
    virtual bool IsBottomUp() const = 0;
    /// Changes the size; contents are neither preserved nor cleared. See each kind for the result.
    virtual bool Resize(int width, int height) = 0;
    /// The platform drawing context, or null (memory bitmaps, and every bitmap on Linux).
    virtual void* DeviceContext() const = 0;
    /// Reserved query; answers 0.
    virtual intptr_t ExtendedQuery(int code, void* data) = 0;
};
