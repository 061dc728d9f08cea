#include "controls/IKnobControl.h"

IKnobControl::IKnobControl(IEffectBase* plugin, const IRectangle& bounds, int parameterIndex)
    : IControl(plugin, bounds, parameterIndex)
{
}

void IKnobControl::MouseDragged(int, int, int dx, int dy, const IMouseState& buttons)
{
    double g = gearing;
    if (buttons.control || buttons.shift)
        g *= 10.0;
    const int extent = direction == 0 ? targetBounds.top - targetBounds.bottom
                                      : targetBounds.right - targetBounds.left;
    if (extent == 0)
        return; // a control without size has no travel to scale by
    value = value + (direction == 0 ? dy : dx) / static_cast<double>(extent) / g;
    Invalidate(true);
}

void IKnobControl::MouseWheeled(int, int, const IMouseState& buttons, int notches)
{
    const double step = (buttons.control || buttons.shift) ? 0.001 : 0.01;
    value = value + notches * step;
    Invalidate(true);
}
