#pragma once

#include "controls/IControl.h"
#include "graphics/CairoTextPainter.h"
#include "graphics/ControlPainter.h"
#include "graphics/IArgbColour.h"

#include <string>

class CairoCanvas;

/// An on/off switch bound to a boolean parameter: an outlined rounded square, filled while
/// on. Any press toggles it and sends exactly one parameter change.
class ICairoButton : public IControl
{
public:
    /// `cornerFactor` 0 or less gives square corners.
    ICairoButton(IEffectBase* plugin, int parameterIndex, CairoCanvas& canvas,
                 const IRectangle& bounds, const IArgbColour& colour, double lineWidth,
                 double cornerFactor);
    ~ICairoButton() override;

    void MousePressed(int x, int y, const IMouseState& buttons) override;
    bool Paint(IGraphics& graphics) override;

    /// Text drawn inside the button (empty in this editor).
    std::string caption;

private:
    ControlPainter painter;
    CairoTextPainter textPainter;
    IArgbColour colour;
    double lineWidth;
    double cornerFactor;
};
