#pragma once

#include "controls/IControl.h"
#include "graphics/ImageRecord.h"

/// Shows an image stretched to its rectangle (the logo), through the bitmap layer: the
/// image is scaled with filtering into a temporary bitmap of the control's size on every
/// paint, then copied onto the drawing bitmap through its alpha.
class IScaledBitmapControl : public IControl
{
public:
    /// `image` belongs to the module-wide image list; its bitmap may be null (not loaded),
    /// and then the control draws nothing.
    IScaledBitmapControl(IEffectBase* plugin, const IRectangle& bounds, const ImageRecord& image);
    ~IScaledBitmapControl() override;

    bool Paint(IGraphics& graphics) override;

    ImageRecord image;
    int sourceRow = 0;
};
