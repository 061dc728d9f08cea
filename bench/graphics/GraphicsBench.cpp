#include "graphics/BitmapOperations.h"
#include "graphics/CairoCanvas.h"
#include "graphics/CairoTextPainter.h"
#include "graphics/IMemBitmap.h"
#include "graphics/ISysBitmap.h"
#include "graphics/platform/PngResource.h"
#include "resources/EmbeddedResources.h"

#include <benchmark/benchmark.h>

namespace
{
constexpr const char* kLogoName = "resources/img/quarrelwick-logo.png";

/// The logo control's paint: filtered stretch of the 814 x 152 logo into 192 x 32 (times
/// the display scale) and the alpha blit onto the drawing bitmap.
void LogoStretch(benchmark::State& state)
{
    const int scale = static_cast<int>(state.range(0));
    const auto logo = LoadPngFromModule(EmbeddedModuleHandle(), kLogoId, kLogoName);
    ISysBitmap drawing;
    drawing.Resize(500 * scale, 450 * scale);
    for (auto _ : state)
    {
        IMemBitmap scaled;
        scaled.Resize(192 * scale, 32 * scale);
        StretchBitmap(&scaled, logo.get(), 0, 0, 192 * scale, 32 * scale, 0, 0, 814, 152, 1.0f,
                      kBlendFiltered);
        BlitBitmap(&drawing, &scaled, 292 * scale, 16 * scale, nullptr, 1.0f, kBlendUseAlpha);
        benchmark::DoNotOptimize(drawing.Pixels());
    }
}
BENCHMARK(LogoStretch)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

/// The full-size background fill every repaint starts with.
void PanelFill(benchmark::State& state)
{
    ISysBitmap drawing;
    drawing.Resize(500, 450);
    for (auto _ : state)
    {
        FillArea(&drawing, 0, 0, 500, 450, 0xFF303030, 1.0f, kBlendUseAlpha);
        benchmark::DoNotOptimize(drawing.Pixels());
    }
}
BENCHMARK(PanelFill)->Unit(benchmark::kMicrosecond);

/// One caption drawn by a control: clip, write text in the embedded font, reset the clip.
void CanvasText(benchmark::State& state)
{
    ISysBitmap drawing;
    drawing.Resize(500, 450);
    CairoCanvas canvas(nullptr, EmbeddedModuleHandle());
    canvas.BindBitmap(drawing);
    CairoTextPainter painter(canvas);
    painter.LoadFont(kCaptionFontId);
    const IRectangle area{352, 88, 416, 112};
    cairo_t* cr = canvas.Context();
    for (auto _ : state)
    {
        cairo_rectangle(cr, area.left, area.top, area.Width(), area.Height());
        cairo_clip(cr);
        painter.WriteText(cr, "Amount", area.Height() * 0.5, {255, 230, 160, 40}, area,
                          CairoTextPainter::kAlignLeft);
        cairo_reset_clip(cr);
    }
}
BENCHMARK(CanvasText)->Unit(benchmark::kMicrosecond);
} // namespace
