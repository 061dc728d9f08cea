#pragma once

#include "controls/IKnobControl.h"
#include "graphics/CairoTextPainter.h"
#include "graphics/ControlPainter.h"
#include "graphics/IArgbColour.h"

#include <string>

class CairoCanvas;

/// The editor's value box: a rounded outline with the parameter's display text and unit
/// centred inside. Enumerations open a menu of their value texts on a press; continuous
/// parameters follow drags and the wheel and take a typed value after a double click.
class ICairoDropdown : public IKnobControl
{
public:
    /// `cornerFactor` 0 or less gives square corners.
    ICairoDropdown(IEffectBase* plugin, CairoCanvas& canvas, const IRectangle& bounds,
                   int parameterIndex, const IArgbColour& colour, double lineWidth,
                   double cornerFactor);
    ~ICairoDropdown() override;

    void MousePressed(int x, int y, const IMouseState& buttons) override;
    void MouseDoubleClicked(int x, int y, const IMouseState& buttons) override;
    void MouseHovering(int x, int y, const IMouseState& buttons) override;
    void MouseLeft() override;
    bool Paint(IGraphics& graphics) override;

    /// The text drawn by the last paint (value text or number, a space, the unit label).
    const std::string& DisplayText() const { return displayText; }

    /// The unit label follows the value text.
    bool showLabel = true;

private:
    bool IsEnumeration() const;

    ControlPainter painter;
    CairoTextPainter textPainter;
    IArgbColour colour;
    std::string displayText;
    double lineWidth;
    double cornerFactor;
    /// Remembered by the first paint, for cursor changes.
    IGraphics* graphics = nullptr;
};
