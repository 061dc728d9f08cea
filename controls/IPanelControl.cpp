#include "controls/IPanelControl.h"

#include "graphics/IGraphics.h"

IPanelControl::IPanelControl(IEffectBase* plugin, const IRectangle& bounds,
                             const IArgbColour& colour)
    : IControl(plugin, bounds, -1), colour(colour)
{
    staticPicture = true;
}

IPanelControl::~IPanelControl() = default;

bool IPanelControl::Paint(IGraphics& graphics)
{
    const IBlendMode blend = Blend();
    graphics.FillBox(colour, bounds, &blend);
    return true;
}
