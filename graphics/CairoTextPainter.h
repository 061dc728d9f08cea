#pragma once

#include "graphics/IArgbColour.h"
#include "graphics/IRectangle.h"
#include "graphics/platform/ModuleHandle.h"

#include <cairo.h>

class CairoCanvas;

/// Draws one line of text with a TrueType font from the module's resources (type 10,
/// through FreeType), placed in a rectangle: left, right or centred by its ink, and
/// vertically centred on the font's height (so texts of one size share a baseline).
/// Every control that writes text embeds one; painters of one font share its face.
/// [ui thread]
class CairoTextPainter
{
public:
    enum Align : int
    {
        kAlignLeft = 0,
        kAlignRight = 1,
        kAlignCentre = 2
    };

    /// Where a text goes, from its extents: the pen position for cairo_show_text.
    struct Origin
    {
        double x = 0.0;
        double y = 0.0;
    };

    /// Takes the canvas's module for font look-ups; no font loaded yet.
    explicit CairoTextPainter(const CairoCanvas& canvas);
    explicit CairoTextPainter(ModuleHandle module);
    ~CairoTextPainter();
    CairoTextPainter(const CairoTextPainter&) = delete;
    CairoTextPainter& operator=(const CairoTextPainter&) = delete;

    /// Replaces the font with the TrueType resource `id`. Answers whether a font is loaded;
    /// a missing or unreadable resource leaves none, and text then uses the context's font.
    bool LoadFont(int id);
    bool FontLoaded() const { return fontLoaded; }

    /// Draws `text` at `size` (pixels) in `colour`, placed in `area` by `horizontalAlign`
    /// (kAlignLeft, kAlignRight, kAlignCentre). Does nothing for a null context or text.
    void WriteText(cairo_t* context, const char* text, double size, const IArgbColour& colour,
                   const IRectangle& area, int horizontalAlign);

    /// The placement arithmetic of WriteText (pure).
    static Origin PlaceText(const cairo_text_extents_t& textExtents,
                            const cairo_font_extents_t& fontExtents, const IRectangle& area,
                            int horizontalAlign);

    /// What the last WriteText measured and where it drew (for tests and callers that
    /// need the ink size).
    const cairo_text_extents_t& TextExtents() const { return textExtents; }
    const cairo_font_extents_t& FontExtents() const { return fontExtents; }
    Origin LastOrigin() const { return lastOrigin; }

private:
    void ReleaseFont();

    const char* text = nullptr;
    IRectangle area;
    int horizontalAlign = kAlignLeft;
    /// Our reference to the loaded font's face (shared module-wide, see FontFaceCache).
    cairo_font_face_t* fontFace = nullptr;
    cairo_text_extents_t textExtents{};
    cairo_font_extents_t fontExtents{};
    bool fontLoaded = false;
    ModuleHandle module;
    Origin lastOrigin;
};
