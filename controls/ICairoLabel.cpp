#include "controls/ICairoLabel.h"

ICairoLabel::ICairoLabel(IEffectBase* plugin, CairoCanvas& canvas, const IRectangle& bounds,
                         const IArgbColour& colour, int fontResourceId, const char* text,
                         double textScale)
    : IControl(plugin, bounds, -1), painter(this->bounds, canvas, this), textPainter(canvas),
      text(text ? text : ""), colour(colour), textScale(textScale)
{
    staticPicture = true;
    textPainter.LoadFont(fontResourceId);
}

ICairoLabel::~ICairoLabel() = default;

bool ICairoLabel::Paint(IGraphics&)
{
    cairo_t* context = painter.Begin();
    if (!context)
        return true;
    cairo_set_source_rgb(context, colour.red / 255.0, colour.green / 255.0, colour.blue / 255.0);
    textPainter.WriteText(context, text.c_str(), bounds.Height() * textScale, colour, bounds,
                          CairoTextPainter::kAlignLeft);
    painter.End();
    return true;
}
