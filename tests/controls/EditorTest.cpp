// The Verdigrix editor as the effect builds it: layout, hit testing at the seams, the
// editor steps of the change handler, reset and block processing, the drawn picture, and
// the snapshot tool run as a program.

#include "controls/ICairoButton.h"
#include "controls/ICairoControlXY.h"
#include "controls/ICairoDropdown.h"
#include "controls/ICairoLabel.h"
#include "controls/IPanelControl.h"
#include "controls/IScaledBitmapControl.h"
#include "effect/Verdigrix.h"
#include "graphics/IBitmap.h"
#include "graphics/IGraphicsHeadless.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <string>
#include <thread>
#include <typeinfo>
#include <utility>
#include <vector>

namespace
{
constexpr uint32_t kBackgroundPixel = 0x303030;
constexpr uint32_t kAccentPixel = 0xFFCD43;

struct Editor
{
    Editor()
    {
        for (int i = 0; i < effect.ParamCount(); ++i)
            effect.ParameterChanged(i, IEffectBase::kSourceOpening);
        graphics = dynamic_cast<IGraphicsHeadless*>(effect.graphics.get());
    }
    void Reset(double rate)
    {
        effect.sampleRate = rate;
        effect.SetMaxBlockSize(256);
        effect.ResetProcessing();
    }
    void Set(int index, double value)
    {
        effect.Param(index)->SetClamped(value);
        effect.ParameterChanged(index, IEffectBase::kSourceHost);
    }
    void Repaint()
    {
        while (graphics->Tick())
        {
        }
    }
    IControl* Row(int i) { return static_cast<IControl*>(graphics->ControlAt(i)); }
    ICairoControlXY* Pad() { return dynamic_cast<ICairoControlXY*>(Row(effect.padIndex)); }
    bool GrayedRow(int i) { return Row(i)->grayed; }
    uint32_t Pixel(int x, int y)
    {
        IBitmap* bitmap = graphics->DrawingBitmap();
        return bitmap->Pixels()[y * bitmap->RowPixels() + x] & 0xFFFFFFu;
    }

    Verdigrix effect;
    IGraphicsHeadless* graphics = nullptr;
};

int Channel(uint32_t pixel, int shift)
{
    return static_cast<int>((pixel >> shift) & 0xFF);
}
} // namespace

TEST(EditorLayout, RowsHoldTheirControlsBoundsAndParameters)
{
    Editor editor;
    ASSERT_NE(editor.graphics, nullptr);
    ASSERT_EQ(editor.graphics->ControlCount(), 26);
    EXPECT_EQ(editor.effect.padIndex, 6);

    struct Row
    {
        int index;
        const std::type_info& type;
        IRectangle bounds;
        int parameter;
    };
    const Row rows[] = {
        {0, typeid(IPanelControl), {0, 0, 500, 450}, -1},
        {1, typeid(ICairoLabel), {8, 8, 268, 72}, -1},
        {2, typeid(IScaledBitmapControl), {292, 16, 484, 48}, -1},
        {3, typeid(ICairoLabel), {292, 52, 484, 72}, -1},
        {5, typeid(ICairoDropdown), {80, 76, 200, 104}, Verdigrix::kSourceType},
        {6, typeid(ICairoControlXY), {8, 112, 344, 364}, -1},
        {8, typeid(ICairoDropdown), {8, 396, 112, 424}, Verdigrix::kFilterFrequency},
        {10, typeid(ICairoDropdown), {124, 396, 228, 424}, Verdigrix::kFilterQ},
        {12, typeid(ICairoDropdown), {352, 112, 456, 140}, Verdigrix::kEffectAmount},
        {14, typeid(ICairoDropdown), {240, 396, 344, 424}, Verdigrix::kFilterType},
        {16, typeid(ICairoButton), {352, 340, 376, 364}, Verdigrix::kFollowPitch},
        {18, typeid(ICairoButton), {352, 276, 376, 300}, Verdigrix::kBypass},
        {20, typeid(ICairoButton), {352, 308, 376, 332}, Verdigrix::kAnalogSaturation},
        {22, typeid(ICairoDropdown), {352, 172, 456, 200}, Verdigrix::kInputLevel},
        {24, typeid(ICairoDropdown), {352, 232, 456, 260}, Verdigrix::kOutputLevel},
        {25, typeid(ICairoLabel), {392, 396, 432, 408}, -1},
    };
    for (const Row& row : rows)
    {
        IControl* control = editor.Row(row.index);
        EXPECT_EQ(typeid(*control), row.type) << row.index;
        EXPECT_EQ(control->bounds, row.bounds) << row.index;
        EXPECT_EQ(control->parameterIndex, row.parameter) << row.index;
    }
    EXPECT_EQ(dynamic_cast<ICairoLabel*>(editor.Row(3))->Text(), "by Tamrok");
    EXPECT_EQ(editor.Pad()->minFrequency, 300);
    EXPECT_EQ(editor.Pad()->maxFrequency, 18000);
}

TEST(EditorLayout, PressesAtTheSeamsLandWhereTheLayoutSays)
{
    Editor editor;
    // The Source box opens its menu (and picks Saw); the caption beside it ignores presses.
    editor.graphics->QueueMenuChoice(3);
    editor.graphics->RoutePress(80, 90, {true, false, false, false, false});
    editor.graphics->RouteRelease(80, 90, {});
    EXPECT_EQ(editor.effect.Param(Verdigrix::kSourceType)->Value(), 3.0);
    editor.graphics->QueueMenuChoice(0);
    editor.graphics->RoutePress(79, 90, {true, false, false, false, false});
    EXPECT_EQ(editor.graphics->captureIndex, 4);
    editor.graphics->RouteRelease(79, 90, {});
    EXPECT_EQ(editor.effect.Param(Verdigrix::kSourceType)->Value(), 3.0);

    // A press on a switch's caption does not toggle the switch next to it.
    const double bypass = editor.effect.Param(Verdigrix::kBypass)->Value();
    editor.graphics->RoutePress(376, 288, {true, false, false, false, false});
    editor.graphics->RouteRelease(376, 288, {});
    EXPECT_EQ(editor.effect.Param(Verdigrix::kBypass)->Value(), bypass);
    editor.graphics->RoutePress(375, 288, {true, false, false, false, false});
    editor.graphics->RouteRelease(375, 288, {});
    EXPECT_NE(editor.effect.Param(Verdigrix::kBypass)->Value(), bypass);
}

TEST(EditorSteps, FollowPitchLocksTheFrequencyAndSourceDecidesTheCurve)
{
    Editor editor;
    ICairoControlXY* pad = editor.Pad();
    editor.Set(Verdigrix::kFollowPitch, 1);
    EXPECT_TRUE(editor.GrayedRow(8));
    EXPECT_TRUE(pad->frequencyLocked);
    EXPECT_TRUE(pad->responseHidden);

    editor.Set(Verdigrix::kSourceType, 1); // Stereo Noise
    EXPECT_FALSE(pad->responseHidden);
    EXPECT_TRUE(pad->frequencyLocked);
    EXPECT_TRUE(editor.GrayedRow(8));

    editor.Set(Verdigrix::kSourceType, 3); // Saw: not filtered
    EXPECT_TRUE(pad->responseHidden);
    EXPECT_TRUE(editor.GrayedRow(10));
    EXPECT_TRUE(editor.GrayedRow(14));
    EXPECT_FALSE(editor.GrayedRow(12));

    editor.Set(Verdigrix::kSourceType, 5); // side chain: filtered again
    EXPECT_FALSE(editor.GrayedRow(10));
    EXPECT_FALSE(editor.GrayedRow(14));
    editor.Set(Verdigrix::kFollowPitch, 0);
    EXPECT_FALSE(editor.GrayedRow(8));
    EXPECT_FALSE(pad->frequencyLocked);
    EXPECT_FALSE(pad->responseHidden);
}

TEST(EditorSteps, InBetweenSourceCountsAsNoiseForTheSourceButNotForFollowPitch)
{
    Editor editor;
    ICairoControlXY* pad = editor.Pad();
    editor.Set(Verdigrix::kSourceType, 0.5);
    EXPECT_FALSE(pad->responseHidden);
    EXPECT_FALSE(editor.GrayedRow(10));
    editor.Set(Verdigrix::kFollowPitch, 0);
    EXPECT_TRUE(pad->responseHidden);
}

TEST(EditorSteps, ResetTypeChangeAndBlocksReachThePad)
{
    Editor editor;
    ICairoControlXY* pad = editor.Pad();
    EXPECT_EQ(pad->sampleRate, 0) << "no curve before the first reset";

    editor.Reset(48000.0);
    EXPECT_EQ(pad->sampleRate, 48000);
    EXPECT_EQ(pad->filter, editor.effect.engine.filter.get());

    editor.Set(Verdigrix::kFilterType, 2);
    EXPECT_EQ(pad->filter, editor.effect.engine.filter.get());

    editor.Repaint();
    EXPECT_FALSE(pad->NeedsPaint());
    std::vector<double> in(4 * 64, 0.0), out(2 * 64, 0.0);
    double* inputs[4] = {&in[0], &in[64], &in[128], &in[192]};
    double* outputs[2] = {&out[0], &out[64]};
    {
        IPluginLock::Guard guard(editor.effect.lock);
        editor.effect.ProcessChannels(inputs, outputs, 64);
    }
    EXPECT_TRUE(pad->NeedsPaint());
}

TEST(EditorSteps, ResetHandsThePadTheTruncatedRateOrNoneWhenUnusable)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::pair<double, int> rates[] = {{44099.9, 44099}, {96000.0, 96000}, {nan, 0}, {inf, 0},
                                            {1e12, 0},        {-48000.0, 0},    {0.5, 0}};
    for (const auto& [rate, padRate] : rates)
    {
        Editor editor;
        editor.Reset(rate);
        EXPECT_EQ(editor.Pad()->sampleRate, padRate) << rate;
        editor.Repaint(); // no curve without a usable rate, and nothing breaks
    }
}

TEST(EditorPicture, SnapshotShowsEveryControlWhereTheLayoutPutsIt)
{
    Editor editor;
    editor.Reset(44100.0);
    editor.Repaint();

    EXPECT_EQ(editor.Pixel(2, 440), kBackgroundPixel);
    EXPECT_EQ(editor.Pixel(80, 90), kAccentPixel) << "Source box outline";
    EXPECT_EQ(editor.Pixel(8, 238), kAccentPixel) << "pad border";
    EXPECT_EQ(editor.Pixel(352, 288), kAccentPixel) << "Bypass switch outline";
    EXPECT_EQ(editor.Pixel(364, 320), kAccentPixel) << "Analog switch is on by default";
    EXPECT_EQ(editor.Pixel(364, 288), kBackgroundPixel) << "Bypass switch is off";
    // Half-transparent near-black pad fill over the background, between grid lines.
    const uint32_t fill = editor.Pixel(30, 118);
    EXPECT_NEAR(Channel(fill, 16), 48 + (32 - 48) * 128 / 255, 1);
    EXPECT_EQ(Channel(fill, 16), Channel(fill, 0));

    // The logo draws inside its rectangle only.
    int logoInk = 0;
    for (int y = 16; y < 48; ++y)
        for (int x = 292; x < 484; ++x)
            logoInk += editor.Pixel(x, y) != kBackgroundPixel;
    EXPECT_GT(logoInk, 500);
    for (int y = 0; y < 52; ++y)
        for (int x = 485; x < 500; ++x)
            ASSERT_EQ(editor.Pixel(x, y), kBackgroundPixel) << x << "," << y;
}

TEST(EditorPicture, ScreenScaleTwoDrawsAThousandByNineHundred)
{
    IGraphicsHeadless::SetScreenScale(2.0);
    Editor editor;
    IGraphicsHeadless::SetScreenScale(1.0);
    editor.Repaint();
    IBitmap* bitmap = editor.graphics->DrawingBitmap();
    EXPECT_EQ(bitmap->Width(), 1000);
    EXPECT_EQ(bitmap->Height(), 900);
    EXPECT_EQ(editor.Pixel(160, 180), kAccentPixel) << "Source box outline, doubled";
    EXPECT_EQ(editor.Pixel(998, 898), kBackgroundPixel);
}

// The pad's curve, kept between paints and drawn at the display's resolution, looks as the
// curve evaluated at every hertz on every paint does: only anti-aliased edge pixels differ,
// and only slightly.
TEST(EditorPicture, CachedPadCurveLooksAsTheCurveDrawnAtEveryHertz)
{
    struct Case
    {
        int type;
        double frequency;
        double q;
    };
    const Case cases[] = {{0, 300, 4}, {1, 2500, 0.1}, {1, 18000, 4}, {2, 5000, 1}, {0, 18000, 0.1}};
    for (double scale : {1.0, 2.0})
        for (const Case& c : cases)
        {
            SCOPED_TRACE("type " + std::to_string(c.type) + ", " + std::to_string(c.frequency) +
                         " Hz, Q " + std::to_string(c.q) + ", scale " + std::to_string(scale));
            IGraphicsHeadless::SetScreenScale(scale);
            Editor editor;
            IGraphicsHeadless::SetScreenScale(1.0);
            editor.Reset(44100.0);
            editor.Set(Verdigrix::kFilterType, c.type);
            editor.Set(Verdigrix::kFilterFrequency, c.frequency);
            editor.Set(Verdigrix::kFilterQ, c.q);
            const IRectangle pad = editor.Pad()->bounds;
            const auto capture = [&]
            {
                editor.Pad()->Invalidate(false);
                editor.Repaint();
                std::vector<uint32_t> pixels;
                for (int y = static_cast<int>(pad.top * scale); y < pad.bottom * scale; ++y)
                    for (int x = static_cast<int>(pad.left * scale); x < pad.right * scale; ++x)
                        pixels.push_back(editor.Pixel(x, y));
                return pixels;
            };
            const std::vector<uint32_t> cached = capture();
            editor.Pad()->paintCache = false;
            const std::vector<uint32_t> everyHertz = capture();
            ASSERT_EQ(cached.size(), everyHertz.size());
            int worst = 0;
            double total = 0;
            for (size_t i = 0; i < cached.size(); ++i)
                for (int shift : {0, 8, 16})
                {
                    const int d = std::abs(Channel(cached[i], shift) - Channel(everyHertz[i], shift));
                    worst = std::max(worst, d);
                    total += d;
                }
            EXPECT_LE(worst, 16);
            EXPECT_LE(total / static_cast<double>(cached.size()), 0.02);
        }
}

// The static layer changes how the picture is made, not the picture: with and without it
// the editor's pixels are the same, also when only the pad repaints over the layer.
TEST(EditorPicture, StaticLayerLeavesThePictureAsPaintingEveryControlDoes)
{
    for (double scale : {1.0, 2.0})
    {
        IGraphicsHeadless::SetScreenScale(scale);
        Editor layered, painted;
        IGraphicsHeadless::SetScreenScale(1.0);
        painted.graphics->staticLayerCache = false;
        for (Editor* e : {&layered, &painted})
        {
            e->Reset(44100.0);
            e->Repaint();
            e->Set(Verdigrix::kFilterFrequency, 700);
            e->Pad()->Invalidate(false);
            e->Repaint();
        }
        IBitmap* a = layered.graphics->DrawingBitmap();
        IBitmap* b = painted.graphics->DrawingBitmap();
        ASSERT_EQ(a->Width(), b->Width());
        int differing = 0;
        for (int y = 0; y < a->Height(); ++y)
            for (int x = 0; x < a->Width(); ++x)
                differing += layered.Pixel(x, y) != painted.Pixel(x, y);
        EXPECT_EQ(differing, 0) << "scale " << scale;
    }
}

TEST(EditorLifetime, ConstructAndDestroyManyTimes)
{
    // The sanitizer build checks that nothing leaks; fonts, canvas and controls go each time.
    for (int i = 0; i < 12; ++i)
    {
        Editor editor;
        editor.Reset(44100.0);
        editor.Repaint();
    }
}

TEST(EditorThreads, FilterTypeChangesWhilePaintingNeverHurtThePad)
{
    Editor editor;
    editor.Reset(44100.0);
    std::atomic<bool> done{false};
    std::thread host(
        [&]
        {
            for (int i = 0; !done; ++i)
            {
                editor.Set(Verdigrix::kFilterType, i % 3);
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        });
    // The host keeps the pad dirty, so tick a fixed number of times.
    for (int tick = 0; tick < 30; ++tick)
        editor.graphics->Tick();
    done = true;
    host.join();
    EXPECT_EQ(editor.Pad()->filter, editor.effect.engine.filter.get());
}

TEST(SnapshotTool, WritesTheEditorAsPngAtTheAskedScale)
{
    const char* buildDir = std::getenv("VERDIGRIX_BUILD_DIR");
    if (!buildDir)
        GTEST_SKIP() << "run through CTest to find the tool";
    const std::string tool = std::string(buildDir) + "/tools/snapshot/verdigrix-snapshot";
    const std::string out = ::testing::TempDir() + "verdigrix-snapshot-test.png";
    const std::string command =
        "\"" + tool + "\" \"" + out + "\" --scale 2 --set \"Source Type=Saw\" --set \"Filter Q=2\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream png(out, std::ios::binary);
    unsigned char header[24] = {};
    png.read(reinterpret_cast<char*>(header), sizeof header);
    const auto be32 = [&](int at) {
        return (header[at] << 24) | (header[at + 1] << 16) | (header[at + 2] << 8) | header[at + 3];
    };
    EXPECT_EQ(header[1], 'P');
    EXPECT_EQ(be32(16), 1000);
    EXPECT_EQ(be32(20), 900);
    std::remove(out.c_str());

    for (const char* setting : {"No Such=1", "Filter Q=2x", "Source Type=Sawtooth"})
    {
        const std::string bad =
            "\"" + tool + "\" \"" + out + "\" --set \"" + setting + "\" 2>/dev/null";
        EXPECT_NE(std::system(bad.c_str()), 0) << setting;
    }
}
