// The editor's controls drawn into a real drawing bitmap through cairo, and operated
// through the graphics object's routing as a window would.

#include "TestPlugin.h"

#include "controls/ICairoButton.h"
#include "controls/ICairoControlXY.h"
#include "controls/ICairoDropdown.h"
#include "controls/ICairoLabel.h"
#include "controls/IPanelControl.h"
#include "controls/IScaledBitmapControl.h"
#include "dsp/filters/DirectFormII.h"
#include "dsp/filters/FilterDesign.h"
#include "dsp/filters/rbj/LowPass.h"
#include "framework/IParameter.h"
#include "graphics/ImageRecordList.h"
#include "resources/EmbeddedResources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <malloc.h>
#include <vector>

namespace
{
constexpr IArgbColour kBackground{255, 48, 48, 48};
constexpr IArgbColour kAccent{255, 255, 205, 67};
constexpr IArgbColour kPadFill{128, 32, 32, 32};
constexpr uint32_t kBackgroundPixel = 0x303030;
constexpr uint32_t kAccentPixel = 0xFFCD43;

using LowPassFilter = Dsp::FilterDesign<Dsp::RBJ::Design::LowPass, 2, Dsp::DirectFormII>;

int Red(uint32_t pixel)
{
    return static_cast<int>((pixel >> 16) & 0xFF);
}

// An editor with the background panel, as the effect builds it.
struct Widgets : EditorFixture
{
    explicit Widgets(int api = 0, double scale = 1.0)
        : EditorFixture(api, scale, UseEmbeddedResources())
    {
        graphics->AddBackground(
            std::make_unique<IPanelControl>(&plugin, IRectangle{0, 0, 500, 450}, kBackground));
    }
    ICairoButton* Button(int parameterIndex, const IRectangle& bounds)
    {
        return Add(std::make_unique<ICairoButton>(&plugin, parameterIndex, *canvas, bounds, kAccent,
                                                  2.0, 1.0));
    }
    ICairoDropdown* Box(int parameterIndex, const IRectangle& bounds = {80, 76, 200, 104})
    {
        return Add(std::make_unique<ICairoDropdown>(&plugin, *canvas, bounds, parameterIndex,
                                                    kAccent, 2.0, 1.0));
    }
    ICairoControlXY* Pad()
    {
        return Add(std::make_unique<ICairoControlXY>(&plugin, *canvas, IRectangle{8, 112, 344, 364},
                                                     kAccent, kPadFill, 300, 18000, 2.0, 1.5));
    }
    void Repaint()
    {
        while (graphics->Tick())
        {
        }
    }
    void Click(int x, int y, const IMouseState& buttons = Left())
    {
        graphics->RoutePress(x, y, buttons);
        graphics->RouteRelease(x, y, buttons);
    }
    double Value(int index) { return plugin.Param(index)->Value(); }
    double Normalised(int index) { return plugin.Param(index)->Normalised(); }
};

// A filter whose design has broken down: every response is not-a-number.
struct BrokenFilter : LowPassFilter
{
    Dsp::BiquadCascade targetCoefficients() const override
    {
        Dsp::BiquadCascade cascade;
        cascade.setStageCount(1);
        cascade.stage(0).a1 = std::numeric_limits<double>::quiet_NaN();
        return cascade;
    }
};
} // namespace

// ---- Panel and logo ----

TEST(Panel, FirstRepaintTurnsTheWholeBitmapBackgroundAtAnyScale)
{
    for (double scale : {1.0, 2.0})
    {
        Widgets editor(0, scale);
        editor.Attach();
        editor.Repaint();
        IBitmap* bitmap = editor.graphics->DrawingBitmap();
        EXPECT_EQ(bitmap->Width(), static_cast<int>(500 * scale));
        EXPECT_EQ(editor.Pixel(0, 0), kBackgroundPixel);
        EXPECT_EQ(editor.Pixel(bitmap->Width() - 1, bitmap->Height() - 1), kBackgroundPixel);
    }
}

TEST(ScaledBitmap, LogoCoversExactlyItsRectangleAndRepaintingKeepsMemoryFlat)
{
    Widgets editor;
    const ImageRecord* logo = LoadImageRecord(
        kLogoId, "resources/img/quarrelwick-logo.png",
        [&] {
            return editor.graphics->LoadPngResource(kLogoId, "resources/img/quarrelwick-logo.png");
        });
    ASSERT_TRUE(logo->bitmap);
    [[maybe_unused]] auto* control = editor.Add(std::make_unique<IScaledBitmapControl>(
        &editor.plugin, IRectangle{292, 16, 484, 48}, *logo));
    editor.Attach();
    editor.Repaint();

    IRectangle ink{500, 450, 0, 0};
    for (int y = 0; y < 450; ++y)
        for (int x = 0; x < 500; ++x)
            if (editor.Pixel(x, y) != kBackgroundPixel)
                ink = {std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x + 1),
                       std::max(ink.bottom, y + 1)};
    EXPECT_GE(ink.left, 292);
    EXPECT_GE(ink.top, 16);
    EXPECT_LE(ink.right, 484);
    EXPECT_LE(ink.bottom, 48);
    EXPECT_GT(ink.right - ink.left, 150) << "the wordmark spans most of the rectangle";

#if !defined(__SANITIZE_ADDRESS__)
    // Every paint scales into a temporary bitmap; none may stay behind.
    control->Invalidate(false);
    editor.Repaint();
    const size_t before = mallinfo2().uordblks;
    for (int i = 0; i < 1000; ++i)
        editor.graphics->RedrawArea(control->bounds);
    EXPECT_LE(mallinfo2().uordblks, before + 4096);
#endif
}

TEST(ScaledBitmap, APartialRepaintRedrawsOnlyItsAreaWithPixelsInPlace)
{
    constexpr uint32_t kMarker = 0x00FF00;
    for (int scale : {1, 2})
    {
        Widgets editor(0, scale);
        const ImageRecord* logo =
            LoadImageRecord(kLogoId, "resources/img/quarrelwick-logo.png",
                            [&] {
                                return editor.graphics->LoadPngResource(
                                    kLogoId, "resources/img/quarrelwick-logo.png");
                            });
        ASSERT_TRUE(logo->bitmap);
        editor.Add(std::make_unique<IScaledBitmapControl>(&editor.plugin,
                                                          IRectangle{292, 16, 484, 48}, *logo));
        editor.Attach();
        editor.Repaint();
        IBitmap& bitmap = *editor.graphics->DrawingBitmap();
        std::vector<uint32_t> whole(bitmap.Pixels(),
                                    bitmap.Pixels() + size_t(bitmap.RowPixels()) * bitmap.Height());

        // The right half of the logo only: the panel and the logo draw there exactly what
        // the whole repaint drew, and nothing anywhere else.
        std::fill(bitmap.Pixels(), bitmap.Pixels() + whole.size(), kMarker);
        const IRectangle area{388, 10, 484, 48};
        editor.graphics->RedrawArea(area);
        int wrong = 0;
        for (int y = 0; y < bitmap.Height(); ++y)
            for (int x = 0; x < bitmap.Width(); ++x)
            {
                const bool inside = x >= area.left * scale && x < area.right * scale &&
                                    y >= area.top * scale && y < area.bottom * scale;
                const uint32_t expected =
                    inside ? whole[size_t(y) * bitmap.RowPixels() + x] & 0xFFFFFF : kMarker;
                wrong += editor.Pixel(x, y) != expected;
            }
        EXPECT_EQ(wrong, 0) << "scale " << scale;
    }
}

TEST(ScaledBitmap, MissingImageOrEmptyRectanglePaintsNothing)
{
    Widgets editor;
    editor.Add(std::make_unique<IScaledBitmapControl>(&editor.plugin, IRectangle{10, 10, 50, 50},
                                                      ImageRecord{}));
    editor.Add(std::make_unique<IScaledBitmapControl>(&editor.plugin, IRectangle{60, 60, 60, 90},
                                                      ImageRecord{}));
    editor.Attach();
    editor.Repaint();
    EXPECT_EQ(editor.Pixel(20, 20), kBackgroundPixel);
}

// ---- Buttons ----

TEST(Button, EachPressTogglesWithOneParameterChange)
{
    Widgets editor;
    editor.Button(TestPlugin::kToggle, {352, 276, 376, 300});
    editor.Attach();
    editor.plugin.log.clear();
    editor.Click(360, 280);
    EXPECT_TRUE(editor.plugin.Param(TestPlugin::kToggle)->BoolValue());
    editor.Click(360, 280, Right()); // the right button toggles too (VST2)
    EXPECT_FALSE(editor.plugin.Param(TestPlugin::kToggle)->BoolValue());
    EXPECT_EQ(editor.plugin.log, (std::vector<std::string>{"begin 1", "changed 1 3", "end 1",
                                                           "begin 1", "changed 1 3", "end 1"}));
}

TEST(Button, QuickDoubleClickTogglesOnceThenReturnsToTheAttachedValue)
{
    Widgets editor;
    editor.Button(TestPlugin::kToggle, {352, 276, 376, 300});
    editor.Attach();
    editor.Click(360, 280);
    editor.graphics->RouteDoubleClick(360, 280, Left());
    editor.graphics->RouteRelease(360, 280, Left());
    EXPECT_FALSE(editor.plugin.Param(TestPlugin::kToggle)->BoolValue());
}

TEST(Button, DrawsOutlineAlwaysAndInnerSquareWhenOnFadedWhenGrayed)
{
    Widgets editor;
    ICairoButton* button = editor.Button(TestPlugin::kToggle, {100, 100, 124, 124});
    editor.Attach();
    editor.Repaint();
    // The 2-pixel outline covers pixels 100 and 101; the inner square starts at 104.
    EXPECT_EQ(editor.Pixel(100, 112), kAccentPixel);
    EXPECT_EQ(editor.Pixel(101, 112), kAccentPixel);
    EXPECT_EQ(editor.Pixel(102, 112), kBackgroundPixel);
    EXPECT_EQ(editor.Pixel(112, 112), kBackgroundPixel);

    editor.Click(110, 110);
    editor.Repaint();
    EXPECT_EQ(editor.Pixel(112, 112), kAccentPixel);
    EXPECT_EQ(editor.Pixel(104, 112), kAccentPixel);
    EXPECT_EQ(editor.Pixel(103, 112), kBackgroundPixel);

    button->SetGrayed(true);
    editor.Repaint();
    // 40 % of the accent over the background.
    EXPECT_NEAR(Red(editor.Pixel(112, 112)), 48 + (255 - 48) * 0.4, 1.0);
    EXPECT_NEAR(Red(editor.Pixel(100, 112)), 48 + (255 - 48) * 0.4, 1.0);
    editor.Click(110, 110); // grayed: not hit
    EXPECT_TRUE(editor.plugin.Param(TestPlugin::kToggle)->BoolValue());
    button->SetGrayed(false);
    editor.Repaint();
    EXPECT_EQ(editor.Pixel(112, 112), kAccentPixel);
}

TEST(Button, StillDrawsAfterTheEditorIsResized)
{
    // Resizing rebuilds the drawing bitmap: cairo must draw into the new memory, not the
    // released one, and everything must be painted there again.
    Widgets editor;
    editor.Button(TestPlugin::kToggle, {100, 100, 124, 124});
    editor.Attach();
    editor.Repaint();
    editor.graphics->SetEditorSize(600, 500);
    EXPECT_EQ(editor.graphics->DrawingBitmap()->Width(), 600);
    EXPECT_EQ(editor.canvas->PixelWidth(), 600);
    editor.Repaint();
    EXPECT_EQ(editor.Pixel(100, 112), kAccentPixel);
    EXPECT_EQ(editor.Pixel(10, 10), kBackgroundPixel);
}

// ---- Value boxes ----

TEST(Dropdown, DragGearingCoversTheRangeInFourHeightsOrFortyWithAModifier)
{
    struct Case
    {
        IMouseState buttons;
        int travel;
        double expected;
    };
    const IMouseState withControl{true, false, false, true, false};
    const IMouseState withShift{true, false, true, false, false};
    for (const Case& c : {Case{Left(), 112, 1.0}, Case{Left(), 56, 0.5},
                          Case{withControl, 112, 0.1}, Case{withShift, 1120, 1.0}})
    {
        Widgets editor;
        editor.Box(TestPlugin::kFrequency, {8, 396, 112, 424}); // 28 high
        editor.plugin.Param(TestPlugin::kFrequency)->SetClamped(300);
        editor.Attach();
        editor.graphics->RoutePress(50, 410, c.buttons);
        editor.graphics->RouteDrag(50, 410 - c.travel, c.buttons); // upwards raises
        editor.graphics->RouteRelease(50, 410 - c.travel, c.buttons);
        EXPECT_NEAR(editor.Normalised(TestPlugin::kFrequency), c.expected, 1e-4) << c.travel;
    }
}

TEST(Dropdown, WheelNotchesStepTheNormalisedValue)
{
    Widgets editor;
    editor.Box(TestPlugin::kFrequency);
    editor.plugin.Param(TestPlugin::kFrequency)->SetClamped(300);
    editor.Attach();
    editor.graphics->RouteWheel(100, 90, {}, 1);
    EXPECT_DOUBLE_EQ(editor.Value(TestPlugin::kFrequency), 477.0); // 0.01 of 17700 Hz
    editor.graphics->RouteWheel(100, 90, {false, false, false, true, false}, -10);
    EXPECT_DOUBLE_EQ(editor.Value(TestPlugin::kFrequency), 300.0);
    editor.graphics->RouteWheel(100, 90, {}, 0); // a partial notch arrives as 0
    EXPECT_DOUBLE_EQ(editor.Value(TestPlugin::kFrequency), 300.0);
}

TEST(Dropdown, EnumerationPressOpensTheMenuContinuousPressDoesNot)
{
    Widgets editor;
    editor.Box(TestPlugin::kSource, {80, 76, 200, 104});
    editor.Box(TestPlugin::kFrequency, {8, 396, 112, 424});
    editor.Attach();
    editor.graphics->QueueMenuChoice(1);
    editor.Click(100, 90);
    EXPECT_DOUBLE_EQ(editor.Value(TestPlugin::kSource), 1.0);
    EXPECT_EQ(editor.graphics->LastMenu()->rectangle, (IRectangle{80, 76, 200, 104}));
    editor.graphics->QueueMenuChoice(0);
    editor.Click(50, 410);
    EXPECT_DOUBLE_EQ(editor.Value(TestPlugin::kSource), 1.0);
}

TEST(Dropdown, AMenuOpenedByAPressEndsTheEditItBegan)
{
    // The menu takes the button's release, so the press alone must close the host gesture,
    // whether an entry is chosen or the menu is dismissed.
    Widgets editor;
    editor.Box(TestPlugin::kSource, {80, 76, 200, 104});
    editor.Attach();
    editor.plugin.log.clear();
    editor.graphics->QueueMenuChoice(2);
    editor.graphics->RoutePress(100, 90, Left());
    editor.graphics->RoutePress(100, 90, Left()); // nothing queued: dismissed
    EXPECT_EQ(editor.plugin.log,
              (std::vector<std::string>{"begin 0", "changed 0 3", "end 0", "begin 0", "end 0"}));
    EXPECT_DOUBLE_EQ(editor.Value(TestPlugin::kSource), 2.0);
}

TEST(Dropdown, DoubleClickTypesAValueWithTheTextBeamCursor)
{
    Widgets editor;
    editor.Box(TestPlugin::kFrequency, {8, 396, 112, 424});
    editor.Attach();
    editor.Repaint(); // the first paint remembers the graphics object
    editor.graphics->QueueTextEntry(std::string("1234"));
    editor.graphics->RouteDoubleClick(50, 410, Left());
    EXPECT_EQ(editor.graphics->LastCursor(), 1);
    EXPECT_DOUBLE_EQ(editor.Value(TestPlugin::kFrequency), 1234.0);
}

TEST(Dropdown, ShowsThePluginsDisplayTextAndLabel)
{
    Widgets editor;
    ICairoDropdown* source = editor.Box(TestPlugin::kSource);
    ICairoDropdown* frequency = editor.Box(TestPlugin::kFrequency, {8, 396, 112, 424});
    editor.plugin.Param(TestPlugin::kFrequency)->SetClamped(2500.7);
    editor.Attach();
    editor.Repaint();
    EXPECT_EQ(source->DisplayText(), "Noise ");
    EXPECT_EQ(frequency->DisplayText(), "2500 Hz");
    // The outline is drawn in the accent colour; grayed, at 40 % over the background.
    EXPECT_EQ(editor.Pixel(80, 90), kAccentPixel);
    source->SetGrayed(true);
    editor.Repaint();
    EXPECT_NEAR(Red(editor.Pixel(80, 90)), 48 + (255 - 48) * 0.4, 1.0);
}

TEST(Dropdown, HoverCursorsStartWithTheFirstPaint)
{
    Widgets editor;
    editor.Box(TestPlugin::kSource);
    editor.Box(TestPlugin::kFrequency, {8, 396, 112, 424});
    editor.Attach();
    EXPECT_FALSE(editor.graphics->RouteHover(50, 410, {}));
    editor.Repaint();
    EXPECT_TRUE(editor.graphics->hoverTracking);
    editor.graphics->RouteHover(50, 410, {});
    EXPECT_EQ(editor.graphics->LastCursor(), 8);
    editor.graphics->RouteHover(100, 90, {}); // enumeration: no sizing cursor; left the other
    EXPECT_EQ(editor.graphics->LastCursor(), 0);
}

// ---- XY pad ----

TEST(XYPad, GeometryFollowsTheBounds)
{
    Widgets editor;
    ICairoControlXY* pad = editor.Pad();
    EXPECT_DOUBLE_EQ(pad->handleRadius, 11.2);
    EXPECT_EQ(pad->innerBounds, (IRectangle{19, 123, 332, 352}));
    EXPECT_DOUBLE_EQ(pad->FrequencyToX(300, 8, 344), 8.0);
    EXPECT_DOUBLE_EQ(pad->FrequencyToX(18000, 8, 344), 344.0);
    EXPECT_DOUBLE_EQ(pad->DecibelsToY(12), 112.0);
    EXPECT_DOUBLE_EQ(pad->DecibelsToY(-12), 364.0);
}

TEST(XYPad, DragMapsLogarithmicFrequencyAndQ)
{
    Widgets editor;
    editor.Pad();
    editor.Attach();
    editor.graphics->RoutePress(100, 200, Left());
    EXPECT_TRUE(editor.graphics->cursorHidden);
    // The horizontal middle is the geometric middle: 300 x 60^0.5 Hz.
    editor.graphics->RouteDrag(176, 112, Left());
    EXPECT_DOUBLE_EQ(editor.Value(TestPlugin::kFrequency), 2324.0);
    EXPECT_DOUBLE_EQ(editor.Normalised(TestPlugin::kQ), 1.0);
    editor.graphics->RouteDrag(500, 364, Left()); // beyond the right edge: clamped
    EXPECT_DOUBLE_EQ(editor.Value(TestPlugin::kFrequency), 18000.0);
    EXPECT_DOUBLE_EQ(editor.Normalised(TestPlugin::kQ), 0.0);
    editor.graphics->RouteRelease(500, 364, Left());
    EXPECT_FALSE(editor.graphics->cursorHidden);
    // Unbound, the pad frames the host gesture on both parameters itself.
    const std::vector<std::string>& log = editor.plugin.log;
    ASSERT_GE(log.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 2),
              (std::vector<std::string>{"begin 2", "begin 3"}));
    EXPECT_EQ(std::vector<std::string>(log.end() - 2, log.end()),
              (std::vector<std::string>{"end 2", "end 3"}));
    for (auto entry = log.begin() + 2; entry != log.end() - 2; ++entry)
        EXPECT_EQ(entry->rfind("changed", 0), 0u) << *entry;
}

TEST(XYPad, LockedAndHiddenStatesHoldTheirAxis)
{
    Widgets editor;
    ICairoControlXY* pad = editor.Pad();
    editor.Attach();
    editor.graphics->RoutePress(176, 200, Left());
    editor.graphics->RouteDrag(176, 150, Left());
    const double kept = editor.Normalised(TestPlugin::kFrequency);

    pad->frequencyLocked = true;
    pad->responseHidden = true;
    editor.graphics->RouteDrag(300, 130, Left());
    EXPECT_DOUBLE_EQ(editor.Normalised(TestPlugin::kFrequency), kept);
    EXPECT_NEAR(editor.Normalised(TestPlugin::kQ), 0.5, 0.01 / 3.9);
    editor.graphics->RouteRelease(300, 130, Left());

    editor.Repaint();
    // Locked: the handle stands in the middle of the inner area; it still shows Q.
    EXPECT_DOUBLE_EQ(pad->handleX, 19 + (332 - 19) * 0.5);
    EXPECT_NEAR(pad->handleY, (1 - editor.Normalised(TestPlugin::kQ)) * (352 - 123) + 123, 1e-9);
}

TEST(XYPad, CurveAppearsWithAFilterAndARate)
{
    Widgets editor;
    ICairoControlXY* pad = editor.Pad();
    editor.Attach();
    LowPassFilter filter;
    filter.setParameters({44100.0, 2500.0, 1.0});
    const int x = static_cast<int>(pad->FrequencyToX(500, 8, 344));
    const int y = 300; // below 0 dB, above the bottom: inside a low pass's area at 500 Hz

    editor.Repaint();
    const uint32_t withoutCurve = editor.Pixel(x, y);
    {
        IPluginLock::Guard guard(editor.plugin.lock);
        pad->filter = &filter;
    }
    pad->Invalidate(false);
    editor.Repaint();
    EXPECT_EQ(editor.Pixel(x, y), withoutCurve) << "no rate: no curve";

    pad->sampleRate = 44100;
    pad->Invalidate(false);
    editor.Repaint();
    EXPECT_GT(Red(editor.Pixel(x, y)), Red(withoutCurve) + 40);
    // Above the response (+10 dB at 500 Hz is outside a Q 1 low pass) nothing is filled.
    EXPECT_EQ(editor.Pixel(x, static_cast<int>(pad->DecibelsToY(10))),
              editor.Pixel(x + 1, static_cast<int>(pad->DecibelsToY(10))));
}

TEST(XYPad, BrokenResponseLeavesTheCanvasUsable)
{
    Widgets editor;
    ICairoControlXY* pad = editor.Pad();
    ICairoButton* button = editor.Button(TestPlugin::kToggle, {400, 400, 424, 424});
    editor.Attach();
    BrokenFilter filter;
    pad->filter = &filter;
    pad->sampleRate = 44100;
    editor.Repaint();
    EXPECT_EQ(cairo_status(editor.canvas->Context()), CAIRO_STATUS_SUCCESS);
    editor.Click(410, 410);
    editor.Repaint();
    EXPECT_EQ(editor.Pixel(412, 412), kAccentPixel) << "later controls still draw";
    (void)button;
}

TEST(XYPad, CurveDecibelsMatchTheFiltersComplexResponse)
{
    Dsp::BiquadCascade cascade;
    cascade.setStageCount(2);
    cascade.stage(0).assignCoefficients(1.2, -1.7, 0.75, 0.1, 0.2, 0.1);   // low pass-like
    cascade.stage(1).assignCoefficients(1.05, -1.9, 0.93, 0.3, 0.0, -0.3); // band pass-like
    for (double f : {0.003, 0.05, 0.2, 0.45}) // away from the exact zeros at 0 and 0.5
    {
        const double expected = 20.0 * std::log10(std::abs(cascade.responseAt(f)));
        EXPECT_NEAR(ICairoControlXY::ResponseDecibels(cascade, f), expected, 1e-7) << f;
    }
    Dsp::BiquadCascade broken;
    broken.setStageCount(1);
    broken.stage(0).a1 = std::numeric_limits<double>::infinity();
    EXPECT_TRUE(std::isnan(ICairoControlXY::ResponseDecibels(broken, 0.1)));
}
