#include "graphics/CairoTextPainter.h"

#include "graphics/CairoCanvas.h"
#include "graphics/platform/ResourceTable.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <cairo-ft.h>

#include <memory>

namespace
{
/// A FreeType library with one face, released together once cairo lets go of the face.
struct FreeTypeFont
{
    FT_Library library = nullptr;
    FT_Face face = nullptr;

    FreeTypeFont() = default;
    FreeTypeFont(const FreeTypeFont&) = delete;
    FreeTypeFont& operator=(const FreeTypeFont&) = delete;
    ~FreeTypeFont()
    {
        if (face != nullptr)
            FT_Done_Face(face);
        if (library != nullptr)
            FT_Done_FreeType(library);
    }
};

const cairo_user_data_key_t kFontKey{};

void DestroyFont(void* font)
{
    delete static_cast<FreeTypeFont*>(font);
}
} // namespace

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

    auto font = std::make_unique<FreeTypeFont>();
    if (FT_Init_FreeType(&font->library) != 0)
    {
        font->library = nullptr;
        return false;
    }
    // The memory stays owned by the module.
    if (FT_New_Memory_Face(font->library, resource.data, static_cast<FT_Long>(resource.size), 0,
                           &font->face) != 0)
    {
        font->face = nullptr;
        return false;
    }

    // Cairo keeps faces alive in its font caches beyond our own reference (and may find a
    // face again by its FT_Face address), so the FreeType objects must live exactly as long
    // as the cairo face: its destroy callback releases them.
    cairo_font_face_t* face = cairo_ft_font_face_create_for_ft_face(font->face, 0);
    if (cairo_font_face_status(face) != CAIRO_STATUS_SUCCESS ||
        cairo_font_face_set_user_data(face, &kFontKey, font.get(), DestroyFont) !=
            CAIRO_STATUS_SUCCESS)
    {
        cairo_font_face_destroy(face);
        return false;
    }
    font.release(); // now owned by the cairo face
    fontFace = face;
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
