#include "controls/ICairoButton.h"

#include "graphics/RoundedRectanglePath.h"

ICairoButton::ICairoButton(IEffectBase* plugin, int parameterIndex, CairoCanvas& canvas,
                           const IRectangle& bounds, const IArgbColour& colour, double lineWidth,
                           double cornerFactor)
    : IControl(plugin, bounds, parameterIndex), painter(this->bounds, canvas, this),
      textPainter(canvas), colour(colour), lineWidth(lineWidth), cornerFactor(cornerFactor)
{
    textPainter.LoadFont(104);
}

ICairoButton::~ICairoButton() = default;

void ICairoButton::MousePressed(int, int, const IMouseState&)
{
    // Any button toggles; a value above 0.001 pushed by the host toggles to off.
    double next = value + 1.0;
    if (next > 1.001)
        next = 0.0;
    value = next;
    Invalidate(true);
}

bool ICairoButton::Paint(IGraphics&)
{
    cairo_t* context = painter.Begin();
    if (!context)
        return true;
    const double lw = lineWidth;
    const double f = cornerFactor;
    const double left = bounds.left;
    const double top = bounds.top;
    const double w = bounds.Width();
    const double h = bounds.Height();
    const double fade = grayed ? 0.4 : 1.0;

    cairo_set_operator(context, CAIRO_OPERATOR_OVER);
    cairo_set_source_rgba(context, colour.red / 255.0, colour.green / 255.0, colour.blue / 255.0,
                          colour.alpha / 255.0 * fade);
    cairo_set_line_width(context, lw);
    if (f > 0)
        RoundedRectanglePath(context, left + lw / 2, top + lw / 2, w - lw, h - lw,
                             (h - lw) / 10 / f);
    else
        cairo_rectangle(context, left + lw / 2, top + lw / 2, w - lw, h - lw);
    cairo_stroke(context);

    IArgbColour captionColour = colour;
    if (value > 0)
    {
        // The inner square's rounding ignores the corner factor.
        if (f > 0)
            RoundedRectanglePath(context, left + 2 * lw, top + 2 * lw, w - 4 * lw, h - 4 * lw,
                                 (h - 4 * lw) / 10);
        else
            cairo_rectangle(context, left + 2 * lw, top + 2 * lw, w - 4 * lw, h - 4 * lw);
        cairo_fill(context);
        captionColour = {255, 64, 64, 64};
    }
    textPainter.WriteText(context, caption.c_str(), h * 0.5, captionColour, bounds,
                          CairoTextPainter::kAlignCentre);
    painter.End();
    return true;
}
