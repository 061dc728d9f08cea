#pragma once

#include "graphics/IArgbColour.h"
#include "graphics/IRectangle.h"

#include <string>

/// What a platform class needs to open the text-entry box: where (window pixels), with
/// which text and how it looks. Built by IGraphicsWindow::OpenTextEntry.
struct EntryBoxLayout
{
    /// The box in window pixels: one pixel wider and taller than the control's rectangle
    /// times the scale.
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    std::string text;
    std::string fontName;
    /// Pixel height of the font: trunc(style size x scale).
    int fontHeight = 0;
    bool bold = false;
    bool italic = false;
    /// 0 left, 1 centre, 2 right.
    int align = 1;
    /// Most characters the box accepts.
    int limit = 7;
    IArgbColour background{255, 255, 255, 255};
    IArgbColour foreground{255, 0, 0, 0};
};
