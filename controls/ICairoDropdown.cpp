#include "controls/ICairoDropdown.h"

#include "framework/IEffectBase.h"
#include "graphics/IGraphics.h"
#include "graphics/RoundedRectanglePath.h"

namespace
{
constexpr int kCursorArrow = 0;
constexpr int kCursorTextBeam = 1;
constexpr int kCursorSizeNorthSouth = 8;
} // namespace

ICairoDropdown::ICairoDropdown(IEffectBase* plugin, CairoCanvas& canvas, const IRectangle& bounds,
                               int parameterIndex, const IArgbColour& colour, double lineWidth,
                               double cornerFactor)
    : IKnobControl(plugin, bounds, parameterIndex), painter(this->bounds, canvas, this),
      textPainter(canvas), colour(colour), lineWidth(lineWidth), cornerFactor(cornerFactor)
{
    promptDisabled = false;
    textPainter.LoadFont(104);
}

ICairoDropdown::~ICairoDropdown() = default;

bool ICairoDropdown::IsEnumeration() const
{
    const IParameter* parameter = plugin ? plugin->Param(parameterIndex) : nullptr;
    return parameter && parameter->Type() == IParameter::kTypeEnum;
}

void ICairoDropdown::MousePressed(int, int, const IMouseState& buttons)
{
    // A continuous box changes by the drag that follows the press.
    if (IsEnumeration() && (buttons.left || buttons.right))
        AskForValue();
}

void ICairoDropdown::MouseDoubleClicked(int, int, const IMouseState&)
{
    if (graphics)
        graphics->SetMouseCursor(kCursorTextBeam);
    AskForValue();
}

void ICairoDropdown::MouseHovering(int, int, const IMouseState&)
{
    if (graphics && !IsEnumeration())
        graphics->SetMouseCursor(kCursorSizeNorthSouth);
}

void ICairoDropdown::MouseLeft()
{
    if (graphics)
        graphics->SetMouseCursor(kCursorArrow);
}

bool ICairoDropdown::Paint(IGraphics& owner)
{
    graphics = &owner;
    owner.hoverTracking = true;
    const double fade = grayed ? 0.4 : 1.0;

    // The box shows the value as the plug-in holds it (snapped to its step), read under
    // the plug-in lock because host automation may be writing it.
    char text[IParameter::kTextSize] = {};
    std::string label;
    if (IParameter* parameter = plugin ? plugin->Param(parameterIndex) : nullptr)
    {
        IPluginLock::Guard guard(plugin->lock);
        parameter->DisplayText(text, sizeof text);
        label = parameter->DisplayLabel();
    }
    displayText = text;
    if (showLabel)
        displayText += " " + label;

    cairo_t* context = painter.Begin();
    if (!context)
        return true;
    const double lw = lineWidth;
    const double f = cornerFactor;
    const double w = bounds.Width();
    const double h = bounds.Height();
    cairo_set_line_width(context, lw);
    cairo_set_source_rgba(context, colour.red / 255.0, colour.green / 255.0, colour.blue / 255.0,
                          colour.alpha / 255.0 * fade);
    if (f > 0)
        RoundedRectanglePath(context, bounds.left + lw / 2, bounds.top + lw / 2, w - lw, h - lw,
                             (h - lw) / 10 / f);
    else
        cairo_rectangle(context, bounds.left + lw / 2, bounds.top + lw / 2, w - lw, h - lw);
    cairo_stroke(context);

    IArgbColour textColour = colour;
    textColour.alpha = static_cast<int>(colour.alpha * fade);
    textPainter.WriteText(context, displayText.c_str(), h * 0.5, textColour, bounds,
                          CairoTextPainter::kAlignCentre);
    painter.End();
    return true;
}
