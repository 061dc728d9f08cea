#pragma once

#include "graphics/PopupMenuItem.h"

#include <functional>
#include <string>
#include <vector>

/// Where the rows of one level of a popup menu drawn by the editor itself lie, in window
/// pixels of that level's window at a display scale, and how the keyboard moves between
/// them. The sizes are logical pixels times the scale, so a menu looks the same at any
/// scale as the editor does.
class PopupMenuLayout
{
public:
    /// Logical sizes: rows the height of the editor's caption rows, the caption's text size.
    static constexpr double kRowHeight = 22.0;
    static constexpr double kSeparatorHeight = 9.0;
    static constexpr double kPadding = 3.0;
    static constexpr double kCheckGutter = 22.0;
    static constexpr double kArrowGutter = 22.0;
    static constexpr double kTextSize = 12.0;
    static constexpr double kMinimumWidth = 60.0;

    struct Row
    {
        int top = 0;
        int bottom = 0;
    };

    /// `textWidth` answers the drawn width of a text in window pixels at TextSize().
    PopupMenuLayout(const std::vector<PopupMenuItem>& items, double scale,
                    const std::function<double(const std::string&)>& textWidth);

    int Width() const { return width; }
    int Height() const { return height; }
    const Row& RowOf(int item) const { return rows[static_cast<size_t>(item)]; }
    int RowCount() const { return static_cast<int>(rows.size()); }
    /// The item whose row holds window pixel row `y`, -1 for the padding and outside.
    int ItemAt(int y) const;
    /// Window pixels of a logical size at this layout's scale (at least 1).
    int Pixels(double logical) const;
    double TextSize() const { return kTextSize * scale; }

    /// The item the keyboard moves to from `from` (-1: none yet) going `step` (+1 down,
    /// -1 up), wrapping round and passing over separators; -1 when there is no such item.
    static int Step(const std::vector<PopupMenuItem>& items, int from, int step);

private:
    double scale;
    std::vector<Row> rows;
    int width = 0;
    int height = 0;
};
