#pragma once

class IBitmap;

/// What the cairo canvas needs from the editor: the bitmap all controls paint into.
/// IGraphics implements it next to IEditor; CairoCanvas::BindCanvas finds it by
/// dynamic_cast on the IEditor it is given. [ui thread]
class IDrawingSurface
{
public:
    virtual ~IDrawingSurface() = default;
    /// The drawing bitmap, or null before CreateDrawingBitmap.
    virtual IBitmap* DrawingBitmap() const = 0;
    /// Bitmap pixels per logical editor pixel; the canvas scales its context by it so that
    /// controls draw in logical pixels.
    virtual double DisplayScale() = 0;
};
