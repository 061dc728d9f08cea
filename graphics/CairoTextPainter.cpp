#include "graphics/CairoTextPainter.h"

#include "graphics/CairoCanvas.h"
#include "graphics/FontFaceCache.h"
#include "graphics/platform/ResourceTable.h"

CairoTextPainter::CairoTextPainter(const CairoCanvas& canvas) : module(canvas.Module()) {}

CairoTextPainter::CairoTextPainter(ModuleHandle module) : module(module) {}

CairoTextPainter::~CairoTextPainter()
{
    ReleaseFont();
}

void CairoTextPainter::ReleaseFont()
{
    if (fontFace != nullptr)
        cairo_font_face_destroy(fontFace);
    fontFace = nullptr;
    fontLoaded = false;
}

bool CairoTextPainter::LoadFont(int id)
{
    ReleaseFont();
    const ResourceData resource = FindModuleResource(module, kResourceRawData, id);
    if (!resource)
        return false;

    // One face per font file for the whole module: the same bytes give the same glyphs.
    cairo_font_face_t* created = FontFaceCache::Instance().Acquire(resource.data, resource.size);
    if (created == nullptr)
        return false;
    fontFace = created;
    fontLoaded = true;
    return true;
}

CairoTextPainter::Origin CairoTextPainter::PlaceText(const cairo_text_extents_t& textExtents,
                                                     const cairo_font_extents_t& fontExtents,
                                                     const IRectangle& area, int horizontalAlign)
{
    const double left = area.left;
    const double top = area.top;
    const double right = area.right;
    const double bottom = area.bottom;
    Origin origin;
    switch (horizontalAlign)
    {
    case kAlignRight:
        origin.x = right - textExtents.width - textExtents.x_bearing;
        break;
    case kAlignCentre:
        origin.x = (right - left - textExtents.width - textExtents.x_bearing) * 0.5 + left;
        break;
    default:
        origin.x = left;
        break;
    }
    origin.y = bottom - (bottom - top - fontExtents.height) * 0.5 - fontExtents.descent;
    return origin;
}

void CairoTextPainter::WriteText(cairo_t* context, const char* newText, double size,
                                 const IArgbColour& colour, const IRectangle& newArea, int newAlign)
{
    if (context == nullptr || newText == nullptr)
        return;
    cairo_set_source_rgba(context, colour.red / 255.0, colour.green / 255.0, colour.blue / 255.0,
                          colour.alpha / 255.0);
    if (fontLoaded)
        cairo_set_font_face(context, fontFace);
    cairo_set_font_size(context, size);
    text = newText;
    area = newArea;
    horizontalAlign = newAlign;

    cairo_font_extents(context, &fontExtents);
    cairo_text_extents(context, text, &textExtents);
    lastOrigin = PlaceText(textExtents, fontExtents, area, horizontalAlign);
    cairo_move_to(context, lastOrigin.x, lastOrigin.y);
    cairo_show_text(context, text);
}
