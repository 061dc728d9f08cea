#include "graphics/ControlPainter.h"

#include "graphics/CairoCanvas.h"

ControlPainter::ControlPainter(const IRectangle& area, CairoCanvas& canvas, IEditorElement* owner)
    : area(&area), canvas(&canvas), owner(owner)
{
}

cairo_t* ControlPainter::Begin()
{
    context = canvas->Context();
    if (context == nullptr)
        return nullptr;
    cairo_new_path(context);
    cairo_rectangle(context, area->left, area->top, area->Width(), area->Height());
    cairo_clip(context);
    return context;
}

void ControlPainter::End()
{
    if (context != nullptr)
        cairo_reset_clip(context);
}
