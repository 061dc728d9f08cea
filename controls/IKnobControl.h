#pragma once

#include "controls/IControl.h"

/// A control whose value follows vertical (or horizontal) drags and the mouse wheel.
/// `gearing` control heights of travel cover the whole 0..1 range; control or shift
/// makes it ten times finer.
class IKnobControl : public IControl
{
public:
    IKnobControl(IEffectBase* plugin, const IRectangle& bounds, int parameterIndex);

    void MouseDragged(int x, int y, int dx, int dy, const IMouseState& buttons) override;
    /// One notch moves the value by 0.01 (0.001 with control or shift).
    void MouseWheeled(int x, int y, const IMouseState& buttons, int notches) override;

    int direction = 0; ///< 0 vertical, 1 horizontal
    double gearing = 4.0;
};
