#pragma once

#include "controls/IControl.h"
#include "graphics/CairoTextPainter.h"
#include "graphics/ControlPainter.h"
#include "graphics/IArgbColour.h"

#include <string>

class CairoCanvas;

/// A fixed, left-aligned text in a TrueType font from the module's resources, vertically
/// centred at `textScale` times the label's height. Unbound; looks the same when grayed.
class ICairoLabel : public IControl
{
public:
    ICairoLabel(IEffectBase* plugin, CairoCanvas& canvas, const IRectangle& bounds,
                const IArgbColour& colour, int fontResourceId, const char* text, double textScale);
    ~ICairoLabel() override;

    bool Paint(IGraphics& graphics) override;

    const std::string& Text() const { return text; }
    const CairoTextPainter& TextPainter() const { return textPainter; }

private:
    ControlPainter painter;
    CairoTextPainter textPainter;
    std::string text;
    IArgbColour colour;
    double textScale;
};
