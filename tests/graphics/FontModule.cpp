// A stand-in for a plug-in module in the font-lifetime test: it draws one caption with an
// embedded font and is then unloaded while cairo still caches the font.
#include "graphics/CairoTextPainter.h"
#include "resources/EmbeddedResources.h"

extern "C" __attribute__((visibility("default"))) int DrawCaption(cairo_t* context)
{
    CairoTextPainter painter(EmbeddedModuleHandle());
    if (!painter.LoadFont(kCaptionFontId))
        return 0;
    painter.WriteText(context, "Unloaded", 20, {255, 0, 0, 0}, {0, 0, 200, 40}, 0);
    return 1;
}
