#pragma once

#include "graphics/IRectangle.h"

#include <cairo.h>

class CairoCanvas;
class IEditorElement;

/// The per-control helper of the cairo controls: clips the canvas's context to the
/// control's bounds for one Paint. [ui thread]
class ControlPainter
{
public:
    /// `area` is the owning control's bounds (watched, not copied); `owner` may be null.
    ControlPainter(const IRectangle& area, CairoCanvas& canvas, IEditorElement* owner);

    /// Starts a paint: takes the canvas's context, starts a new path and clips to the
    /// area. Answers the context, or null when the canvas is not bound (draw nothing then).
    cairo_t* Begin();
    /// Ends a paint: resets the clip.
    void End();

    cairo_t* Context() const { return context; }
    CairoCanvas& Canvas() const { return *canvas; }
    IEditorElement* Owner() const { return owner; }

private:
    const IRectangle* area;
    CairoCanvas* canvas;
    cairo_t* context = nullptr;
    IEditorElement* owner;
};
