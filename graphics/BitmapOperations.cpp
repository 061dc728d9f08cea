#include "graphics/BitmapOperations.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace
{
constexpr uint32_t kHalfMask = 0x7F7F7F7F;
constexpr uint32_t kQuarterMask = 0x3F3F3F3F;

uint32_t Half(uint32_t v)
{
    return (v >> 1) & kHalfMask;
}

uint32_t Quarter(uint32_t v)
{
    return (v >> 2) & kQuarterMask;
}

uint32_t Byte(uint32_t v, int shift)
{
    return (v >> shift) & 0xFF;
}

/// s + (d - s) * keep / 256 for each byte, integer division toward zero.
uint32_t MixBytes(uint32_t s, uint32_t d, int keep)
{
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8)
    {
        const int sb = static_cast<int>(Byte(s, shift));
        const int db = static_cast<int>(Byte(d, shift));
        out |= static_cast<uint32_t>(sb + (db - sb) * keep / 256) << shift;
    }
    return out;
}

/// Source-alpha combination: colour bytes s + (d - s) * (255 - a) / 256, alpha grows by a.
uint32_t MixAlpha(uint32_t s, uint32_t d, int a)
{
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8)
    {
        const int sb = static_cast<int>(Byte(s, shift));
        const int db = static_cast<int>(Byte(d, shift));
        out |= static_cast<uint32_t>(sb + (db - sb) * (255 - a) / 256) << shift;
    }
    const int alpha = std::min(255, static_cast<int>(d >> 24) + a);
    return out | (static_cast<uint32_t>(alpha) << 24);
}

/// How source pixels land on the destination for one BlitBitmap or StretchBitmap call.
class Combiner
{
public:
    Combiner(float weight, int mode)
        : useAlpha((mode & kBlendUseAlpha) != 0),
          w(weight >= 1.0f ? 256 : static_cast<int>(std::floor(weight * 256.0f))),
          half(!useAlpha && weight == 0.5f)
    {
    }

    /// False when nothing would change (a weight below 1/256).
    bool Active() const { return w >= 1; }
    /// Rows can be copied as they are.
    bool Plain() const { return !useAlpha && w == 256; }

    uint32_t operator()(uint32_t s, uint32_t d) const
    {
        if (useAlpha)
        {
            // A partial weight scales the source alpha (the editor only uses weight 1).
            const int a = static_cast<int>(s >> 24) * w / 256;
            if (a == 0)
                return d;
            if (a == 255)
                return s;
            return MixAlpha(s, d, a);
        }
        if (w == 256)
            return s;
        if (half)
            return Half(d) + Half(s);
        return MixBytes(s, d, 256 - w);
    }

private:
    bool useAlpha;
    int w;
    bool half;
};

bool Usable(const IBitmap* bitmap)
{
    return bitmap != nullptr && bitmap->Pixels() != nullptr && bitmap->Width() > 0 &&
           bitmap->Height() > 0;
}

/// A bitmap's memory, read once per operation (the accessors are virtual).
struct Plane
{
    explicit Plane(const IBitmap& b)
        : pixels(b.Pixels()), stride(b.RowPixels()), width(b.Width()), height(b.Height())
    {
    }
    uint32_t* Row(int64_t y) const { return pixels + y * stride; }

    uint32_t* pixels;
    int64_t stride;
    int64_t width;
    int64_t height;
};

/// A rectangle in 64-bit coordinates, so that clipping hostile values cannot overflow.
struct Span
{
    int64_t x0, y0, x1, y1;
    bool Empty() const { return x1 <= x0 || y1 <= y0; }
};

Span ClipToBitmap(Span s, const Plane& bitmap)
{
    return {std::max<int64_t>(s.x0, 0), std::max<int64_t>(s.y0, 0),
            std::min<int64_t>(s.x1, bitmap.width), std::min<int64_t>(s.y1, bitmap.height)};
}

/// Integer division of a box sum (at most 25 x 255) by the pixel count (1..25) as a
/// multiplication: with m = ceil(2^24 / n), (v * m) >> 24 equals v / n exactly while
/// v * (m * n - 2^24) < 2^24, which holds for every v below 2^24 / 25.
constexpr int kInverseShift = 24;
constexpr auto kInverse = []
{
    std::array<uint64_t, 26> table{};
    for (uint64_t n = 1; n < table.size(); ++n)
        table[n] = ((uint64_t{1} << kInverseShift) + n - 1) / n;
    return table;
}();

/// Source sampling of StretchBitmap for one destination pixel at a 16.16 source position.
class Sampler
{
public:
    Sampler(const Plane& src, Span rect, int mode, double factorX, double factorY, int64_t stepX,
            int64_t stepY)
        : src(src), rect(rect)
    {
        if ((mode & kBlendFiltered) == 0)
            kind = Kind::Nearest;
        else if (factorX >= 1.7 && factorY >= 1.7)
        {
            kind = Kind::Box;
            window = std::max(stepX, stepY) <= 0x30000 ? 3 : 5;
        }
        else
            kind = Kind::Bilinear;
    }

    /// False when the position lies outside the source rectangle (leave the pixel).
    bool Sample(int64_t posX, int64_t posY, uint32_t& out) const
    {
        const int64_t ix = posX >> 16;
        const int64_t iy = posY >> 16;
        if (ix < rect.x0 || ix >= rect.x1 || iy < rect.y0 || iy >= rect.y1)
            return false;
        switch (kind)
        {
        case Kind::Nearest:
            out = src.Row(iy)[ix];
            break;
        case Kind::Box:
            out = Box(ix, iy);
            break;
        case Kind::Bilinear:
            out = Bilinear(ix, iy, static_cast<uint32_t>(posX & 0xFFFF),
                           static_cast<uint32_t>(posY & 0xFFFF));
            break;
        }
        return true;
    }

private:
    enum class Kind
    {
        Nearest,
        Box,
        Bilinear
    };

    uint32_t Box(int64_t ix, int64_t iy) const
    {
        const int64_t back = window / 2;
        const int64_t x0 = std::max(ix - back, rect.x0);
        const int64_t x1 = std::min(ix - back + window, rect.x1);
        const int64_t y0 = std::max(iy - back, rect.y0);
        const int64_t y1 = std::min(iy - back + window, rect.y1);
        // Blue and red, and green and alpha, add up side by side in 16-bit lanes: at most
        // 25 bytes of 255 per lane, so no lane overflows into the next.
        uint32_t blueRed = 0;
        uint32_t greenAlpha = 0;
        for (int64_t y = y0; y < y1; ++y)
        {
            const uint32_t* row = src.Row(y);
            for (int64_t x = x0; x < x1; ++x)
            {
                blueRed += row[x] & 0x00FF00FF;
                greenAlpha += (row[x] >> 8) & 0x00FF00FF;
            }
        }
        const auto count = static_cast<uint32_t>((x1 - x0) * (y1 - y0));
        const uint64_t inverse = kInverse[count];
        const auto divide = [inverse](uint32_t sum)
        { return static_cast<uint32_t>((sum * inverse) >> kInverseShift); };
        return divide(blueRed & 0xFFFF) | (divide(blueRed >> 16) << 16) |
               (divide(greenAlpha & 0xFFFF) << 8) | (divide(greenAlpha >> 16) << 24);
    }

    static uint32_t Lerp(uint32_t a, uint32_t b, uint32_t f)
    {
        uint32_t out = 0;
        for (int shift = 0; shift < 32; shift += 8)
        {
            const uint64_t v =
                uint64_t{Byte(a, shift)} * (65536 - f) + uint64_t{Byte(b, shift)} * f;
            out |= static_cast<uint32_t>(v >> 16) << shift;
        }
        return out;
    }

    uint32_t Bilinear(int64_t ix, int64_t iy, uint32_t fx, uint32_t fy) const
    {
        const bool lastColumn = ix + 1 >= rect.x1;
        const bool lastRow = iy + 1 >= rect.y1;
        const uint32_t* row = src.Row(iy);
        const uint32_t top = lastColumn ? row[ix] : Lerp(row[ix], row[ix + 1], fx);
        if (lastRow)
            return top;
        const uint32_t* next = src.Row(iy + 1);
        const uint32_t bottom = lastColumn ? next[ix] : Lerp(next[ix], next[ix + 1], fx);
        return Lerp(top, bottom, fy);
    }

    const Plane& src;
    Span rect;
    Kind kind = Kind::Nearest;
    int64_t window = 3;
};

/// Largest coordinate StretchBitmap accepts, so that 16.16 positions stay exact.
constexpr double kMaxCoordinate = 1 << 20;

bool Reasonable(double v)
{
    return std::isfinite(v) && std::fabs(v) < kMaxCoordinate;
}
} // namespace

void BlitBitmap(IBitmap* dest, const IBitmap* src, int x, int y, const BitmapRect* sourceRect,
                float weight, int mode)
{
    if (!Usable(dest) || !Usable(src) || !(weight > 0.0f))
        return;
    const Combiner combine(weight, mode);
    if (!combine.Active())
        return;
    const Plane from(*src);
    const Plane to(*dest);

    Span s = sourceRect != nullptr
                 ? Span{sourceRect->left, sourceRect->top, sourceRect->right, sourceRect->bottom}
                 : Span{0, 0, from.width, from.height};
    int64_t px = x;
    int64_t py = y;
    // A source edge before the image moves the destination along, so pixels keep their place.
    if (s.x0 < 0)
    {
        px -= s.x0;
        s.x0 = 0;
    }
    if (s.y0 < 0)
    {
        py -= s.y0;
        s.y0 = 0;
    }
    s.x1 = std::min(s.x1, from.width);
    s.y1 = std::min(s.y1, from.height);
    if (px < 0)
    {
        s.x0 -= px;
        px = 0;
    }
    if (py < 0)
    {
        s.y0 -= py;
        py = 0;
    }
    const int64_t w = std::min(s.x1 - s.x0, to.width - px);
    const int64_t h = std::min(s.y1 - s.y0, to.height - py);
    if (w <= 0 || h <= 0)
        return;

    for (int64_t j = 0; j < h; ++j)
    {
        const uint32_t* source = from.Row(s.y0 + j) + s.x0;
        uint32_t* target = to.Row(py + j) + px;
        if (combine.Plain())
            std::memmove(target, source, static_cast<size_t>(w) * sizeof(uint32_t));
        else
            for (int64_t i = 0; i < w; ++i)
                target[i] = combine(source[i], target[i]);
    }
}

void StretchBitmap(IBitmap* dest, const IBitmap* src, int dx, int dy, int dw, int dh, float sx,
                   float sy, float sw, float sh, float weight, int mode)
{
    if (!Usable(dest) || !Usable(src) || dw == 0 || dh == 0 || !(weight > 0.0f))
        return;
    if (!Reasonable(sx) || !Reasonable(sy) || !Reasonable(sw) || !Reasonable(sh) || !(sw > 0.0f) ||
        !(sh > 0.0f))
        return;

    if (dw > 0 && dh > 0 && std::fabs(sw - dw) < 0.001 && std::fabs(sh - dh) < 0.001)
    {
        const double rx = std::floor(sx + 0.5);
        const double ry = std::floor(sy + 0.5);
        if (std::fabs(sx - rx) <= 0.03 && std::fabs(sy - ry) <= 0.03)
        {
            const BitmapRect rect{static_cast<int>(rx), static_cast<int>(ry),
                                  static_cast<int>(rx) + dw, static_cast<int>(ry) + dh};
            BlitBitmap(dest, src, dx, dy, &rect, weight, mode);
            return;
        }
    }

    const Combiner combine(weight, mode);
    if (!combine.Active())
        return;

    // A negative size mirrors: the destination spans [d + size, d) walked backwards.
    const bool mirrorX = dw < 0;
    const bool mirrorY = dh < 0;
    const int64_t width = mirrorX ? -int64_t{dw} : dw;
    const int64_t height = mirrorY ? -int64_t{dh} : dh;
    const int64_t left = mirrorX ? int64_t{dx} - width : dx;
    const int64_t top = mirrorY ? int64_t{dy} - height : dy;

    const auto stepX =
        static_cast<int64_t>(std::floor(double{sw} / static_cast<double>(width) * 65536.0));
    const auto stepY =
        static_cast<int64_t>(std::floor(double{sh} / static_cast<double>(height) * 65536.0));
    const auto startX = static_cast<int64_t>(std::floor(double{sx} * 65536.0));
    const auto startY = static_cast<int64_t>(std::floor(double{sy} * 65536.0));

    const Plane from(*src);
    const Plane to(*dest);
    const Span sourceRect =
        ClipToBitmap({static_cast<int64_t>(std::floor(sx)), static_cast<int64_t>(std::floor(sy)),
                      static_cast<int64_t>(std::ceil(double{sx} + sw)),
                      static_cast<int64_t>(std::ceil(double{sy} + sh))},
                     from);
    const Span target = ClipToBitmap({left, top, left + width, top + height}, to);
    if (sourceRect.Empty() || target.Empty())
        return;

    const Sampler sampler(from, sourceRect, mode, double{sw} / static_cast<double>(width),
                          double{sh} / static_cast<double>(height), stepX, stepY);
    for (int64_t y = target.y0; y < target.y1; ++y)
    {
        const int64_t j = mirrorY ? height - 1 - (y - top) : y - top;
        const int64_t posY = startY + j * stepY;
        uint32_t* row = to.Row(y);
        for (int64_t x = target.x0; x < target.x1; ++x)
        {
            const int64_t i = mirrorX ? width - 1 - (x - left) : x - left;
            uint32_t pixel = 0;
            if (sampler.Sample(startX + i * stepX, posY, pixel))
                row[x] = combine(pixel, row[x]);
        }
    }
}

void FillArea(IBitmap* dest, int x, int y, int w, int h, uint32_t colour, float weight, int mode)
{
    if ((mode & kBlendUseAlpha) != 0)
        weight *= static_cast<float>(colour >> 24) / 255.0f;
    if (!Usable(dest) || !(weight > 0.0f))
        return;
    const Plane to(*dest);
    const Span area = ClipToBitmap({x, y, int64_t{x} + w, int64_t{y} + h}, to);
    if (area.Empty())
        return;
    const int m = weight >= 1.0f ? 256 : static_cast<int>(std::floor(weight * 256.0f));
    if (m < 1)
        return;

    // One pass per row with the mix chosen once: the common weights need no multiplication.
    auto eachRow = [&](auto mix)
    {
        for (int64_t row = area.y0; row < area.y1; ++row)
        {
            uint32_t* p = to.Row(row);
            for (int64_t col = area.x0; col < area.x1; ++col)
                p[col] = mix(p[col]);
        }
    };
    switch (m)
    {
    case 256:
        for (int64_t row = area.y0; row < area.y1; ++row)
            std::fill(to.Row(row) + area.x0, to.Row(row) + area.x1, colour);
        break;
    case 128:
        eachRow([half = Half(colour)](uint32_t d) { return half + Half(d); });
        break;
    case 64:
        eachRow([quarter = Quarter(colour)](uint32_t d) { return quarter + Half(d) + Quarter(d); });
        break;
    case 192:
        eachRow([part = Half(colour) + Quarter(colour)](uint32_t d) { return part + Quarter(d); });
        break;
    default:
        // Colour bytes mix by the weight; the alpha byte moves toward m itself.
        eachRow(
            [colour, m](uint32_t d)
            {
                const uint32_t mixed = MixBytes(colour, d, 256 - m) & 0x00FFFFFF;
                const int alpha = m + (static_cast<int>(d >> 24) - m) * (256 - m) / 256;
                return mixed | (static_cast<uint32_t>(alpha) << 24);
            });
        break;
    }
}
