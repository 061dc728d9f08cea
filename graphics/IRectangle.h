#pragma once

#include <cstdint>

/// A rectangle in logical editor pixels (left, top inclusive; right, bottom exclusive).
/// Only the all-zero rectangle counts as empty, whatever the size of any other.
struct IRectangle
{
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool IsEmpty() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }

    /// Whether a paint area overlaps this rectangle. The right and bottom edges of the
    /// area count as inside, so an area touching a control's left edge repaints it.
    bool Overlaps(const IRectangle& area) const
    {
        return !IsEmpty() && !area.IsEmpty() && area.right >= left && area.left < right &&
               area.bottom >= top && area.top < bottom;
    }

    /// Smallest rectangle holding both; an empty side leaves the other unchanged.
    IRectangle Union(const IRectangle& other) const
    {
        if (IsEmpty())
            return other;
        if (other.IsEmpty())
            return *this;
        return {left < other.left ? left : other.left, top < other.top ? top : other.top,
                right > other.right ? right : other.right,
                bottom > other.bottom ? bottom : other.bottom};
    }

    bool operator==(const IRectangle&) const = default;
};
