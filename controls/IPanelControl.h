#pragma once

#include "controls/IControl.h"
#include "graphics/IArgbColour.h"

/// Fills its rectangle with one colour through the bitmap layer (the editor's background).
class IPanelControl : public IControl
{
public:
    IPanelControl(IEffectBase* plugin, const IRectangle& bounds, const IArgbColour& colour);
    ~IPanelControl() override;

    bool Paint(IGraphics& graphics) override;

    IArgbColour colour;
};
