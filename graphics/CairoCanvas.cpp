#include "graphics/CairoCanvas.h"

#include "graphics/IBitmap.h"
#include "graphics/IDrawingSurface.h"

CairoCanvas::CairoCanvas(IEffectBase* plugin, ModuleHandle module) : plugin(plugin), module(module)
{
}

CairoCanvas::~CairoCanvas()
{
    Release();
}

void CairoCanvas::Release()
{
    // Context first: it holds a reference to the surface.
    if (context != nullptr)
        cairo_destroy(context);
    if (surface != nullptr)
        cairo_surface_destroy(surface);
    context = nullptr;
    surface = nullptr;
    pixelWidth = 0;
    pixelHeight = 0;
}

void CairoCanvas::BindCanvas(IEditor& editor)
{
    auto* drawing = dynamic_cast<IDrawingSurface*>(&editor);
    IBitmap* bitmap = drawing != nullptr ? drawing->DrawingBitmap() : nullptr;
    if (bitmap == nullptr)
    {
        Release();
        return;
    }
    BindBitmap(*bitmap, drawing->DisplayScale());
}

void CairoCanvas::BindBitmap(IBitmap& bitmap, double scale)
{
    Release();
    if (bitmap.Pixels() == nullptr || bitmap.Width() <= 0 || bitmap.Height() <= 0)
        return;

    // RGB24 is one native 32-bit xRGB word per pixel: the bitmap layer's 0xAARRGGBB layout.
    const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, bitmap.RowPixels());
    cairo_surface_t* created = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(bitmap.Pixels()), CAIRO_FORMAT_RGB24, bitmap.Width(),
        bitmap.Height(), stride);
    if (cairo_surface_status(created) != CAIRO_STATUS_SUCCESS)
    {
        cairo_surface_destroy(created);
        return;
    }
    cairo_t* createdContext = cairo_create(created);
    if (cairo_status(createdContext) != CAIRO_STATUS_SUCCESS)
    {
        cairo_destroy(createdContext);
        cairo_surface_destroy(created);
        return;
    }
    surface = created;
    context = createdContext;
    pixelWidth = bitmap.Width();
    pixelHeight = bitmap.Height();

    cairo_set_source_rgb(context, backgroundRed, backgroundGreen, backgroundBlue);
    cairo_rectangle(context, 0, 0, pixelWidth, pixelHeight);
    cairo_fill(context);
    if (scale > 0.0 && scale != 1.0)
        cairo_scale(context, scale, scale);
}

void CairoCanvas::SetBackground(double red, double green, double blue)
{
    backgroundRed = red;
    backgroundGreen = green;
    backgroundBlue = blue;
}
