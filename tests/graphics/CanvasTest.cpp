#include "graphics/CairoCanvas.h"
#include "graphics/CairoTextPainter.h"
#include "graphics/ControlPainter.h"
#include "graphics/FontFaceCache.h"
#include "graphics/IDrawingSurface.h"
#include "graphics/ISysBitmap.h"
#include "graphics/RoundedRectanglePath.h"
#include "graphics/platform/ResourceTable.h"
#include "resources/EmbeddedResources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace
{
/// The little of an editor the canvas needs: a drawing bitmap at a display scale.
class FakeEditor : public IEditor, public IDrawingSurface
{
public:
    FakeEditor(int width, int height, double scale) : scale(scale)
    {
        bitmap.Resize(static_cast<int>(width * scale), static_cast<int>(height * scale));
    }
    void CreateDrawingBitmap() override {}
    void SetControlsFromNormalised(int, double) override {}
    void ShowParameterValue(int, double, bool) override {}
    void MarkParameterChanged(int) override {}
    IBitmap* DrawingBitmap() const override { return const_cast<ISysBitmap*>(&bitmap); }
    double DisplayScale() override { return scale; }

    ISysBitmap bitmap;
    double scale;
};

/// An editor without a drawing surface.
class BareEditor : public IEditor
{
public:
    void CreateDrawingBitmap() override {}
    void SetControlsFromNormalised(int, double) override {}
    void ShowParameterValue(int, double, bool) override {}
    void MarkParameterChanged(int) override {}
};

uint32_t Rgb(const IBitmap& b, int x, int y)
{
    return b.Pixels()[static_cast<size_t>(y) * b.RowPixels() + x] & 0xFFFFFF;
}

void Fill(cairo_t* cr, double r, double g, double b)
{
    cairo_set_source_rgb(cr, r, g, b);
    cairo_paint(cr);
}

/// Columns and rows holding ink (any pixel darker than the white background).
struct InkBox
{
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
};

InkBox FindInk(const IBitmap& b)
{
    InkBox box;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if ((Rgb(b, x, y) & 0xFF) < 0xC0)
            {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x + 1);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y + 1);
            }
    return box;
}

constexpr IArgbColour kBlack{255, 0, 0, 0};
} // namespace

// ---- Canvas ----

TEST(CairoCanvas, BindsToTheEditorsBitmapAndFillsTheBackground)
{
    FakeEditor editor(50, 40, 1.0);
    CairoCanvas canvas(nullptr, EmbeddedModuleHandle());
    EXPECT_FALSE(canvas.IsBound());
    canvas.SetBackground(1.0, 0.5, 0.0);
    canvas.BindCanvas(editor);
    ASSERT_TRUE(canvas.IsBound());
    EXPECT_EQ(canvas.PixelWidth(), 50);
    EXPECT_EQ(canvas.PixelHeight(), 40);
    EXPECT_EQ(Rgb(editor.bitmap, 0, 0), 0xFF8000u);
    EXPECT_EQ(Rgb(editor.bitmap, 49, 39), 0xFF8000u);

    // One image: what cairo draws is in the bitmap, and the bitmap's pixels are what cairo
    // blends with.
    editor.bitmap.Pixels()[0] = 0xFF0000FF;
    cairo_surface_mark_dirty(canvas.Surface());
    cairo_set_source_rgba(canvas.Context(), 1.0, 0.0, 0.0, 0.5);
    cairo_rectangle(canvas.Context(), 0, 0, 1, 1);
    cairo_fill(canvas.Context());
    cairo_surface_flush(canvas.Surface());
    const uint32_t mixed = Rgb(editor.bitmap, 0, 0);
    EXPECT_NEAR(static_cast<int>(mixed >> 16), 128, 1);
    EXPECT_NEAR(static_cast<int>(mixed & 0xFF), 127, 1);
}

TEST(CairoCanvas, DrawsInLogicalPixelsAtTheDisplayScale)
{
    FakeEditor editor(50, 40, 2.0);
    CairoCanvas canvas(nullptr, nullptr);
    canvas.BindCanvas(editor);
    ASSERT_TRUE(canvas.IsBound());
    EXPECT_EQ(canvas.PixelWidth(), 100);
    cairo_set_source_rgb(canvas.Context(), 1, 1, 1);
    cairo_rectangle(canvas.Context(), 10, 10, 5, 5);
    cairo_fill(canvas.Context());
    EXPECT_EQ(Rgb(editor.bitmap, 20, 20), 0xFFFFFFu);
    EXPECT_EQ(Rgb(editor.bitmap, 29, 29), 0xFFFFFFu);
    EXPECT_EQ(Rgb(editor.bitmap, 30, 30), 0u);
    EXPECT_EQ(Rgb(editor.bitmap, 19, 19), 0u);
}

TEST(CairoCanvas, StaysUnboundWithoutADrawingBitmap)
{
    BareEditor bare;
    FakeEditor empty(0, 0, 1.0);
    CairoCanvas canvas(nullptr, nullptr);
    canvas.BindCanvas(bare);
    EXPECT_FALSE(canvas.IsBound());
    canvas.BindCanvas(empty);
    EXPECT_FALSE(canvas.IsBound());

    IRectangle area{0, 0, 10, 10};
    ControlPainter painter(area, canvas, nullptr);
    EXPECT_EQ(painter.Begin(), nullptr);
    painter.End();
    CairoTextPainter text(canvas);
    text.WriteText(painter.Context(), "nothing", 10, kBlack, area, 0);
}

TEST(CairoCanvas, RebindingReleasesTheOldSurface)
{
    FakeEditor first(20, 20, 1.0);
    FakeEditor second(30, 10, 1.0);
    CairoCanvas canvas(nullptr, nullptr);
    canvas.BindCanvas(first);
    canvas.BindCanvas(second);
    EXPECT_EQ(canvas.PixelWidth(), 30);
    EXPECT_EQ(cairo_image_surface_get_data(canvas.Surface()),
              reinterpret_cast<unsigned char*>(second.bitmap.Pixels()));
}

// ---- Control painter and rounded rectangles ----

TEST(ControlPainter, ClipsToTheControlUntilTheEnd)
{
    FakeEditor editor(40, 40, 1.0);
    CairoCanvas canvas(nullptr, nullptr);
    canvas.BindCanvas(editor);
    IRectangle bounds{10, 5, 20, 30};
    ControlPainter painter(bounds, canvas, nullptr);

    cairo_t* cr = painter.Begin();
    ASSERT_EQ(cr, canvas.Context());
    Fill(cr, 1, 1, 1);
    painter.End();
    EXPECT_EQ(Rgb(editor.bitmap, 10, 5), 0xFFFFFFu);
    EXPECT_EQ(Rgb(editor.bitmap, 19, 29), 0xFFFFFFu);
    EXPECT_EQ(Rgb(editor.bitmap, 20, 29), 0u);
    EXPECT_EQ(Rgb(editor.bitmap, 9, 5), 0u);
    EXPECT_EQ(Rgb(editor.bitmap, 10, 30), 0u);

    // The painter watches the bounds: a moved control clips to its new place.
    bounds = {0, 0, 5, 5};
    painter.Begin();
    Fill(cr, 0, 0, 1);
    painter.End();
    EXPECT_EQ(Rgb(editor.bitmap, 4, 4), 0x0000FFu);
    EXPECT_EQ(Rgb(editor.bitmap, 10, 5), 0xFFFFFFu);
    Fill(cr, 1, 0, 0);
    EXPECT_EQ(Rgb(editor.bitmap, 39, 39), 0xFF0000u) << "after End nothing is clipped";
}

TEST(RoundedRectanglePath, RoundsTheCornersOnly)
{
    FakeEditor editor(40, 40, 1.0);
    CairoCanvas canvas(nullptr, nullptr);
    canvas.BindCanvas(editor);
    cairo_t* cr = canvas.Context();
    cairo_move_to(cr, 0, 39); // a path already started must not join the rectangle
    RoundedRectanglePath(cr, 5, 5, 30, 20, 8);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill(cr);
    EXPECT_EQ(Rgb(editor.bitmap, 5, 5), 0u) << "corner cut";
    EXPECT_EQ(Rgb(editor.bitmap, 34, 24), 0u);
    EXPECT_EQ(Rgb(editor.bitmap, 20, 5), 0xFFFFFFu) << "straight top edge";
    EXPECT_EQ(Rgb(editor.bitmap, 5, 15), 0xFFFFFFu) << "straight left edge";
    EXPECT_EQ(Rgb(editor.bitmap, 8, 8), 0xFFFFFFu) << "inside the arc";
    EXPECT_EQ(Rgb(editor.bitmap, 2, 38), 0u) << "the earlier point stays apart";
}

// ---- Text painter ----

TEST(CairoTextPainter, PlacementArithmetic)
{
    cairo_text_extents_t text{};
    text.x_bearing = 2;
    text.width = 30;
    cairo_font_extents_t font{};
    font.height = 20;
    font.descent = 5;
    const IRectangle area{10, 20, 110, 60};
    struct Case
    {
        int align;
        double x;
    };
    for (const Case c : {Case{CairoTextPainter::kAlignLeft, 10.0},
                         Case{CairoTextPainter::kAlignRight, 110.0 - 30 - 2},
                         Case{CairoTextPainter::kAlignCentre, (100.0 - 30 - 2) * 0.5 + 10}})
    {
        const auto origin = CairoTextPainter::PlaceText(text, font, area, c.align);
        EXPECT_DOUBLE_EQ(origin.x, c.x) << "align " << c.align;
        EXPECT_DOUBLE_EQ(origin.y, 60.0 - (40.0 - 20.0) * 0.5 - 5.0);
    }
}

TEST(CairoTextPainter, LoadsFontsFromTheModuleOnly)
{
    CairoTextPainter painter(EmbeddedModuleHandle());
    for (int id : {kCaptionFontId, kValueFontId, kTitleFontId})
        EXPECT_TRUE(painter.LoadFont(id)) << id;
    EXPECT_FALSE(painter.LoadFont(kLogoId)) << "a PNG is no font resource";
    EXPECT_FALSE(painter.FontLoaded());
    EXPECT_TRUE(painter.LoadFont(kTitleFontId));

    CairoTextPainter withoutModule(nullptr);
    EXPECT_FALSE(withoutModule.LoadFont(kCaptionFontId));

    static const unsigned char garbage[64] = {1, 2, 3, 4};
    static const ResourceEntry entries[] = {{kResourceRawData, 103, garbage, sizeof garbage}};
    ResourceTable table{entries, 1};
    CairoTextPainter damaged(&table);
    EXPECT_FALSE(damaged.LoadFont(103)) << "FreeType refuses it";
}

TEST(CairoTextPainter, PaintersShareOneFacePerFontFile)
{
    // An editor has a score of text controls and a host may open many editors: they must
    // not each keep a FreeType face.
    std::vector<std::unique_ptr<CairoTextPainter>> painters;
    for (int i = 0; i < 60; ++i)
    {
        painters.push_back(std::make_unique<CairoTextPainter>(EmbeddedModuleHandle()));
        ASSERT_TRUE(painters.back()->LoadFont(kCaptionFontId + i % 3));
    }
    EXPECT_EQ(FontFaceCache::Instance().Count(), 2) << "103 and 104 are one file";
}

class TextPainterDrawing : public ::testing::Test
{
protected:
    void SetUp() override
    {
        canvas.SetBackground(1, 1, 1);
        canvas.BindCanvas(editor);
    }
    void Clear() { Fill(canvas.Context(), 1, 1, 1); }

    FakeEditor editor{200, 60, 1.0};
    CairoCanvas canvas{nullptr, EmbeddedModuleHandle()};
};

TEST_F(TextPainterDrawing, AlignsByInkWithinThePixel)
{
    CairoTextPainter painter(canvas);
    ASSERT_TRUE(painter.LoadFont(kCaptionFontId));
    const IRectangle area{20, 10, 180, 50};

    painter.WriteText(canvas.Context(), "Wavy", 24, kBlack, area, CairoTextPainter::kAlignRight);
    InkBox ink = FindInk(editor.bitmap);
    EXPECT_NEAR(ink.right, 180, 1) << "the ink ends at the right edge";

    Clear();
    painter.WriteText(canvas.Context(), "Wavy", 24, kBlack, area, CairoTextPainter::kAlignCentre);
    ink = FindInk(editor.bitmap);
    EXPECT_NEAR((ink.left + ink.right) / 2.0, 100.0, 1.0) << "the ink is centred";

    Clear();
    painter.WriteText(canvas.Context(), "Wavy", 24, kBlack, area, CairoTextPainter::kAlignLeft);
    EXPECT_DOUBLE_EQ(painter.LastOrigin().x, 20.0);
    EXPECT_GT(FindInk(editor.bitmap).right, 20);
}

TEST_F(TextPainterDrawing, TextsOfOneSizeShareABaseline)
{
    CairoTextPainter painter(canvas);
    ASSERT_TRUE(painter.LoadFont(kTitleFontId));
    const IRectangle area{0, 0, 200, 40};
    painter.WriteText(canvas.Context(), "xo", 20, kBlack, area, 0);
    const double first = painter.LastOrigin().y;
    painter.WriteText(canvas.Context(), "Tg|", 20, kBlack, area, 0);
    EXPECT_DOUBLE_EQ(painter.LastOrigin().y, first);
    EXPECT_GT(first, 20.0);
    EXPECT_LT(first, 40.0);
}

TEST_F(TextPainterDrawing, LongTextIsClippedAtTheControl)
{
    CairoTextPainter painter(canvas);
    ASSERT_TRUE(painter.LoadFont(kCaptionFontId));
    const IRectangle bounds{10, 10, 60, 40};
    ControlPainter control(bounds, canvas, nullptr);
    cairo_t* cr = control.Begin();
    painter.WriteText(cr, "A caption far too long for its box", 20, kBlack, bounds, 0);
    control.End();
    const InkBox ink = FindInk(editor.bitmap);
    EXPECT_GE(ink.left, 10);
    EXPECT_LE(ink.right, 60);
    EXPECT_EQ(ink.right, 60) << "the text runs up to the edge";
}

TEST_F(TextPainterDrawing, AContextOutlivesThePainterThatSetItsFont)
{
    // Controls are deleted while the shared context still holds the font face they set
    // last; drawing afterwards must not reach a released FreeType face.
    for (int round = 0; round < 3; ++round)
    {
        auto painter = std::make_unique<CairoTextPainter>(canvas);
        ASSERT_TRUE(painter->LoadFont(round == 1 ? kTitleFontId : kCaptionFontId));
        painter->WriteText(canvas.Context(), "first", 18, kBlack, {0, 0, 100, 30}, 0);
        painter.reset();
        cairo_move_to(canvas.Context(), 10, 50);
        cairo_show_text(canvas.Context(), "after");
        ASSERT_EQ(cairo_status(canvas.Context()), CAIRO_STATUS_SUCCESS);
    }
    Clear();
    CairoTextPainter without(nullptr);
    without.WriteText(canvas.Context(), "still drawn", 18, kBlack, {0, 0, 200, 60}, 0);
    EXPECT_GT(FindInk(editor.bitmap).right, 0) << "without a font the context's face draws";
}
