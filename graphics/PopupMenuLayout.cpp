#include "graphics/PopupMenuLayout.h"

#include <algorithm>
#include <cmath>

PopupMenuLayout::PopupMenuLayout(const std::vector<PopupMenuItem>& items, double s,
                                 const std::function<double(const std::string&)>& textWidth)
    : scale(s > 0.0 ? s : 1.0)
{
    int y = Pixels(kPadding);
    double widest = 0.0;
    rows.reserve(items.size());
    for (const PopupMenuItem& item : items)
    {
        const int rowHeight = Pixels(item.separator ? kSeparatorHeight : kRowHeight);
        rows.push_back({y, y + rowHeight});
        y += rowHeight;
        if (!item.separator && textWidth)
            widest = std::max(widest, textWidth(item.text));
    }
    height = y + Pixels(kPadding);
    width =
        std::max(Pixels(kMinimumWidth),
                 Pixels(kCheckGutter) + static_cast<int>(std::ceil(widest)) + Pixels(kArrowGutter));
}

int PopupMenuLayout::Pixels(double logical) const
{
    return std::max(1, static_cast<int>(std::lround(logical * scale)));
}

int PopupMenuLayout::ItemAt(int y) const
{
    for (size_t i = 0; i < rows.size(); ++i)
        if (y >= rows[i].top && y < rows[i].bottom)
            return static_cast<int>(i);
    return -1;
}

int PopupMenuLayout::Step(const std::vector<PopupMenuItem>& items, int from, int step)
{
    const int count = static_cast<int>(items.size());
    if (count == 0 || (step != 1 && step != -1))
        return -1;
    int index = from;
    if (index < 0 || index >= count)
        index = step > 0 ? -1 : count;
    for (int tried = 0; tried < count; ++tried)
    {
        index = (index + step + count) % count;
        if (!items[static_cast<size_t>(index)].separator)
            return index;
    }
    return -1;
}
