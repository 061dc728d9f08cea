// The Verdigrix editor: its layout, built once in the constructor, and the editor steps of
// the change handler, the reset and the block processing.

#include "effect/Verdigrix.h"

#include "controls/ICairoButton.h"
#include "controls/ICairoControlXY.h"
#include "controls/ICairoDropdown.h"
#include "controls/ICairoLabel.h"
#include "controls/IPanelControl.h"
#include "controls/IScaledBitmapControl.h"
#include "graphics/CairoCanvas.h"
#include "graphics/EditorFactory.h"
#include "graphics/IGraphics.h"
#include "graphics/ImageRecordList.h"
#include "resources/EmbeddedResources.h"

#include <string>

namespace
{
constexpr int kEditorWidth = 500;
constexpr int kEditorHeight = 450;
constexpr int kFramesPerSecond = 30;

constexpr IArgbColour kBackground{255, 48, 48, 48};
constexpr IArgbColour kCaption{255, 180, 180, 180};
constexpr IArgbColour kAccent{255, 255, 205, 67};
constexpr IArgbColour kPadFill{128, 32, 32, 32};
constexpr double kLineWidth = 2.0;
constexpr double kBoxCorners = 1.0;
constexpr double kPadCorners = 1.5;
constexpr double kTitleScale = 0.9;
constexpr double kCaptionScale = 0.5;
constexpr const char* kLogoName = "resources/img/quarrelwick-logo.png";

// The host's rate truncated to whole hertz for the pad's curve. A rate no engine runs at
// (not finite, below 1 Hz or beyond the engine's limit) shows no curve instead of being
// cast undefined.
int PadSampleRate(double rate)
{
    if (!(rate >= 1.0 && rate <= AudioProcessor::kMaxSampleRate))
        return 0;
    return static_cast<int>(rate);
}

// Sources the engine does not pass through its filter: Sine, Saw, Square.
bool IsOscillatorSource(int source)
{
    return !AudioPlugin::isFilteredSource(source);
}
} // namespace

void Verdigrix::BuildEditor()
{
    // The module's window class where it installed one, else the window-less editor.
    std::unique_ptr<IGraphics> editor =
        EditorFactory::Make(this, kEditorWidth, kEditorHeight, kFramesPerSecond);
    auto canvas = std::make_unique<CairoCanvas>(this, UseEmbeddedResources());
    editor->SetCanvas(canvas.get());
    CairoCanvas& paper = *canvas;
    SetDrawingContext(std::move(canvas));

    IGraphics* graphicsObject = editor.get();
    const ImageRecord* logo = LoadImageRecord(
        kLogoId, kLogoName,
        [graphicsObject] { return graphicsObject->LoadPngResource(kLogoId, kLogoName); });

    auto label = [&](const IRectangle& bounds, const char* text, bool title)
    {
        editor->AddControl(std::make_unique<ICairoLabel>(
            this, paper, bounds, kCaption, title ? kTitleFontId : kCaptionFontId, text,
            title ? kTitleScale : kCaptionScale));
    };
    auto box = [&](const IRectangle& bounds, int parameter)
    {
        editor->AddControl(std::make_unique<ICairoDropdown>(this, paper, bounds, parameter, kAccent,
                                                            kLineWidth, kBoxCorners));
    };
    auto button = [&](const IRectangle& bounds, int parameter)
    {
        editor->AddControl(std::make_unique<ICairoButton>(this, parameter, paper, bounds, kAccent,
                                                          kLineWidth, kBoxCorners));
    };

    // The list index of each control is its row in the layout; the pad is row 6.
    editor->AddBackground(std::make_unique<IPanelControl>(
        this, IRectangle{0, 0, kEditorWidth, kEditorHeight}, kBackground));
    label({8, 8, 268, 72}, kEffectName, true);
    editor->AddControl(
        std::make_unique<IScaledBitmapControl>(this, IRectangle{292, 16, 484, 48}, *logo));
    label({292, 52, 484, 72}, (std::string("by ") + product::kVendor).c_str(), true);
    label({8, 76, 80, 104}, "Source", false);
    box({80, 76, 200, 104}, kSourceType);
    const IParameter& frequency = *Param(kFilterFrequency);
    padIndex = editor->AddControl(std::make_unique<ICairoControlXY>(
        this, paper, IRectangle{8, 112, 344, 364}, kAccent, kPadFill,
        static_cast<int>(frequency.Min()), static_cast<int>(frequency.Max()), kLineWidth,
        kPadCorners));
    label({8, 372, 52, 396}, "Freq.", false);
    box({8, 396, 112, 424}, kFilterFrequency);
    label({124, 372, 160, 396}, "Q", false);
    box({124, 396, 228, 424}, kFilterQ);
    label({352, 88, 416, 112}, "Amount", false);
    box({352, 112, 456, 140}, kEffectAmount);
    label({240, 372, 296, 396}, "Type", false);
    box({240, 396, 344, 424}, kFilterType);
    label({376, 340, 468, 364}, "Track Pitch", false);
    button({352, 340, 376, 364}, kFollowPitch);
    label({376, 276, 436, 300}, "Bypass", false);
    button({352, 276, 376, 300}, kBypass);
    label({376, 308, 436, 332}, "Analog", false);
    button({352, 308, 376, 332}, kAnalogSaturation);
    label({352, 148, 396, 172}, "Input", false);
    box({352, 172, 456, 200}, kInputLevel);
    label({352, 208, 412, 232}, "Output", false);
    box({352, 232, 456, 260}, kOutputLevel);
    label({392, 396, 432, 408}, (std::string("V. ") + product::kVersionText).c_str(), true);

    AttachEditor(std::move(editor));
}

// The base may hold another editor (a host-side probe, or none at all), so the editor and
// the pad are looked up by type.
ICairoControlXY* Verdigrix::Pad() const
{
    auto* editor = dynamic_cast<IGraphics*>(graphics.get());
    return editor ? dynamic_cast<ICairoControlXY*>(editor->ControlAt(padIndex)) : nullptr;
}

void Verdigrix::GrayControlsOf(int parameterIndex, bool grayed)
{
    auto* editor = dynamic_cast<IGraphics*>(graphics.get());
    if (!editor)
        return;
    for (int i = 0; i < editor->ControlCount(); ++i)
        if (IEditorElement* control = editor->ControlAt(i); control->parameterIndex == parameterIndex)
            control->SetGrayed(grayed);
}

void Verdigrix::UpdateEditorForParameter(int index)
{
    ICairoControlXY* pad = Pad();
    if (!pad)
        return;
    switch (index)
    {
    case kSourceType:
    {
        const bool oscillator = IsOscillatorSource(Param(kSourceType)->IntValue());
        pad->responseHidden = oscillator;
        GrayControlsOf(kFilterQ, oscillator);
        GrayControlsOf(kFilterType, oscillator);
        break;
    }
    case kFilterType:
        // Under the plug-in lock, in the same step that installed the engine's new filter.
        pad->filter = engine.filter.get();
        break;
    case kFilterFrequency:
    case kFilterQ:
        break;
    case kFollowPitch:
    {
        const bool on = Param(kFollowPitch)->BoolValue();
        GrayControlsOf(kFilterFrequency, on);
        pad->frequencyLocked = on;
        // Exactly the filtered sources; an in-between stored value counts as an oscillator.
        const double source = Param(kSourceType)->Value();
        const bool filtered = source == 0.0 || source == 1.0 || source == 5.0;
        pad->responseHidden = filtered ? on : true;
        break;
    }
    default:
        return;
    }
    pad->Invalidate(false);
}

void Verdigrix::UpdateEditorAfterReset()
{
    if (ICairoControlXY* pad = Pad())
    {
        pad->filter = engine.filter.get();
        pad->sampleRate = PadSampleRate(sampleRate);
    }
}

void Verdigrix::UpdateEditorAfterBlock()
{
    if (ICairoControlXY* pad = Pad())
        pad->Invalidate(false);
}
