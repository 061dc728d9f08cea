#include "controls/IScaledBitmapControl.h"

#include "graphics/BitmapOperations.h"
#include "graphics/IGraphics.h"
#include "graphics/IMemBitmap.h"

IScaledBitmapControl::IScaledBitmapControl(IEffectBase* plugin, const IRectangle& bounds,
                                           const ImageRecord& image)
    : IControl(plugin, bounds, -1), image(image)
{
    staticPicture = true;
}

IScaledBitmapControl::~IScaledBitmapControl() = default;

bool IScaledBitmapControl::Paint(IGraphics& graphics)
{
    // The drawing bitmap holds window pixels, so the image is scaled to the control's
    // size on screen.
    const double scale = graphics.DisplayScale();
    const int w = static_cast<int>(bounds.Width() * scale);
    const int h = static_cast<int>(bounds.Height() * scale);
    if (w <= 0 || h <= 0 || !image.bitmap)
        return true;
    IMemBitmap scaled;
    scaled.Resize(w, h);
    if (!scaled.Pixels())
        return true;
    StretchBitmap(&scaled, image.bitmap, 0, 0, w, h, 0.0f, 0.0f, static_cast<float>(image.width),
                  static_cast<float>(image.height), 1.0f, kBlendCopy | kBlendFiltered);
    const ImageRecord record{&scaled, w, h, image.frameCount, false};
    return graphics.BlitImage(record, bounds, 0, sourceRow, nullptr);
}
