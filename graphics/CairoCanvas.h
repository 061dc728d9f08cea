#pragma once

#include "framework/IEditor.h"
#include "graphics/platform/ModuleHandle.h"

#include <cairo.h>

class IBitmap;
class IEffectBase;

/// The one cairo context of a plug-in, drawing straight into the editor's drawing bitmap
/// (cairo RGB24 over the bitmap's 0xAARRGGBB memory, so cairo drawing and bitmap-layer
/// fills end up in one image). Created by the editor set-up, owned by the plug-in base,
/// bound once by AttachEditor. [ui thread]
class CairoCanvas final : public IDrawingContext
{
public:
    /// `plugin`: the owning plug-in (not owned, may be null in tests); `module`: where
    /// the text painters look up their fonts.
    CairoCanvas(IEffectBase* plugin, ModuleHandle module);
    ~CairoCanvas() override;
    CairoCanvas(const CairoCanvas&) = delete;
    CairoCanvas& operator=(const CairoCanvas&) = delete;

    /// Binds to the drawing bitmap of `editor` (which must also be an IDrawingSurface, as
    /// IGraphics is) and fills it with the background colour. The context is scaled by the
    /// editor's DisplayScale(), so controls draw in logical pixels. Without a bitmap with
    /// pixels the canvas stays unbound. Binding again releases the previous surface first.
    void BindCanvas(IEditor& editor) override;
    /// Binds to `bitmap` directly, drawing at `scale` bitmap pixels per logical pixel (the
    /// bitmap must outlive the canvas or the next bind).
    void BindBitmap(IBitmap& bitmap, double scale = 1.0);

    /// The cairo context, or null while unbound (then nothing may be drawn).
    cairo_t* Context() const { return context; }
    cairo_surface_t* Surface() const { return surface; }
    bool IsBound() const { return context != nullptr; }
    int PixelWidth() const { return pixelWidth; }
    int PixelHeight() const { return pixelHeight; }
    IEffectBase* Plugin() const { return plugin; }
    ModuleHandle Module() const { return module; }

    /// Colour (components 0..1) that binding fills the surface with.
    void SetBackground(double red, double green, double blue);

private:
    void Release();

    cairo_surface_t* surface = nullptr;
    cairo_t* context = nullptr;
    int pixelWidth = 0;
    int pixelHeight = 0;
    double backgroundRed = 0.0;
    double backgroundGreen = 0.0;
    double backgroundBlue = 0.0;
    IEffectBase* plugin;
    ModuleHandle module;
};
