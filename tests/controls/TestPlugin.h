#pragma once

// A plug-in base with a few parameters like the effect's, that records what the editor
// asks of it, and an editor fixture on the window-less graphics object.

#include "controls/IControl.h"
#include "framework/IEffectBase.h"
#include "graphics/CairoCanvas.h"
#include "graphics/IBitmap.h"
#include "graphics/IGraphicsHeadless.h"

#include <memory>
#include <string>
#include <vector>

class TestPlugin : public IEffectBase
{
public:
    enum : int
    {
        kSource = 0, // enumeration, value texts added out of order
        kToggle = 1, // boolean
        kFrequency = 2,
        kQ = 3,
        kLevel = 4, // double with one decimal
        kCount = 5
    };

    explicit TestPlugin(int api = 0) : IEffectBase(Config())
    {
        apiCode = api;
        Param(kSource)->ConfigureChoice("Source Type", 0, 3);
        Param(kSource)->AddValueText(0, "Noise");
        Param(kSource)->AddValueText(2, "Sine");
        Param(kSource)->AddValueText(1, "Stereo");
        Param(kToggle)->ConfigureToggle("Bypass", false);
        Param(kFrequency)->ConfigureRange("Filter Frequency", 2500, 300, 18000, 1, "Hz");
        Param(kQ)->ConfigureRange("Filter Q", 1, 0.1, 4, 0.01);
        Param(kLevel)->ConfigureRange("Input", 0, -24, 24, 0.1, "dB");
    }

    void BeginHostEdit(int index) override { log.push_back("begin " + std::to_string(index)); }
    void EndHostEdit(int index) override { log.push_back("end " + std::to_string(index)); }
    bool ShowHostParameterMenu(int index, int x, int y) override
    {
        log.push_back("menu " + std::to_string(index) + " " + std::to_string(x) + "," +
                      std::to_string(y));
        return true;
    }
    void ParameterChanged(int index, int source) override
    {
        log.push_back("changed " + std::to_string(index) + " " + std::to_string(source));
        RefreshEditorControls(); // as the effect does after every change
    }
    void EditorIdle() override { ++idleCalls; }

    std::vector<std::string> log;
    int idleCalls = 0;

private:
    static IEffectConfig Config()
    {
        IEffectConfig config;
        config.paramCount = kCount;
        config.channelConfigText = "2-2";
        config.effectName = "Test";
        config.makerName = "Tamrok";
        return config;
    }
};

/// A plug-in with an attached window-less editor and a bound cairo canvas. Controls are
/// added with Add() before Attach(); the plug-in then owns the editor, as in the effect.
struct EditorFixture
{
    /// `module` is where the text painters find their fonts (none: cairo's own font).
    explicit EditorFixture(int api = 0, double scale = 1.0, ModuleHandle module = nullptr)
        : plugin(api)
    {
        auto owned = std::make_unique<IGraphicsHeadless>(&plugin, 500, 450, 30, scale);
        graphics = owned.get();
        pending = std::move(owned);
        auto ownedCanvas = std::make_unique<CairoCanvas>(&plugin, module);
        canvas = ownedCanvas.get();
        graphics->SetCanvas(canvas);
        plugin.SetDrawingContext(std::move(ownedCanvas));
    }

    template <class Control> Control* Add(std::unique_ptr<Control> control)
    {
        Control* raw = control.get();
        graphics->AddControl(std::move(control));
        return raw;
    }

    void Attach() { plugin.AttachEditor(std::move(pending)); }

    /// Pixel of the drawing bitmap as 0x00RRGGBB (cairo's RGB24 leaves the top byte alone).
    uint32_t Pixel(int x, int y) const
    {
        IBitmap* bitmap = graphics->DrawingBitmap();
        return bitmap->Pixels()[y * bitmap->RowPixels() + x] & 0xFFFFFFu;
    }

    TestPlugin plugin;
    IGraphicsHeadless* graphics;
    CairoCanvas* canvas;
    std::unique_ptr<IGraphicsHeadless> pending;
};

inline IMouseState Left()
{
    return {true, false, false, false, false};
}
inline IMouseState Right()
{
    return {false, true, false, false, false};
}
