#pragma once

#include "graphics/IBlendMode.h"
#include "graphics/IEditorElement.h"

#include <atomic>

class IEffectBase;
class IGraphics;

/// Base of every editor element: its rectangle, its optional binding to one plug-in
/// parameter, its normalised value and the flags the repaint cycle and the mouse
/// routing read.
///
/// Threads: the user-interface thread, except SetGrayed, Invalidate(false) and ShowValue,
/// which the audio thread and host parameter changes may call. The value and the
/// dirty, repaint-pending, grayed and hidden flags are therefore atomics.
class IControl : public IEditorElement
{
public:
    /// `plugin` may be null (tests); `parameterIndex` -1 leaves the control unbound.
    IControl(IEffectBase* plugin, const IRectangle& bounds, int parameterIndex,
             const IBlendMode& blend = {});

    // Virtual operations in slot order; coordinates are logical pixels.
    ~IControl() override;
    /// Right button: asks the user for a value.
    void MousePressed(int x, int y, const IMouseState& buttons) override;
    void MouseReleased(int x, int y, const IMouseState& buttons) override;
    void MouseDragged(int x, int y, int dx, int dy, const IMouseState& buttons) override;
    /// Restores the default value (the value at the time the editor was attached).
    void MouseDoubleClicked(int x, int y, const IMouseState& buttons) override;
    void MouseWheeled(int x, int y, const IMouseState& buttons, int notches) override;
    bool KeyPressed(int x, int y, int code) override;
    void MouseHovering(int x, int y, const IMouseState& buttons) override;
    void MouseLeft() override;
    /// Draws the control into the graphics object's drawing bitmap.
    bool Paint(IGraphics& graphics) override = 0;
    void Reserved10() override;
    /// A normalised value from the plug-in. The first one also becomes the default.
    void ShowValue(double v) override;
    /// A value the user picked in a menu or typed.
    void AcceptUserValue(double v) override;
    /// Text typed for a control without parameter.
    void AcceptText(const char* text) override;
    void SetHidden(bool h) override;
    void SetGrayed(bool g) override;
    /// Whether a logical point lies inside `bounds` (right and bottom edges excluded).
    bool Contains(int x, int y) override;
    /// Clamps the value, marks the control for two repaints and, with `notifyPlugin`,
    /// sends the value to the bound parameter; then refreshes every control bound to it.
    void Invalidate(bool notifyPlugin) override;
    void MarkPainted() override;
    bool NeedsPaint() override;
    void Idle() override;
    void ShowSecondaryValue(int position, double v) override;
    void MoveTo(int x, int y) override;

    /// Asks the user for a value of the bound parameter through the graphics object.
    void AskForValue();

    IEffectBase* Plugin() const { return plugin; }

    /// Reference area for drag scaling.
    IRectangle targetBounds;
    std::atomic<double> value{0.0};
    /// Restored by a double click; negative until the first ShowValue.
    double defaultValue = -1.0;
    double clampLow = 0.0;
    double clampHigh = 1.0;
    std::atomic<bool> repaintPending{false};
    bool promptDisabled = true;
    /// Weight and mode used when the control paints through the bitmap layer.
    std::atomic<float> blendWeight;
    int blendMode;

    IBlendMode Blend() const { return {blendMode, blendWeight.load()}; }

protected:
    IEffectBase* plugin;
};
