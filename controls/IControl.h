#pragma once

#include "graphics/IBlendMode.h"
#include "graphics/IMouseState.h"
#include "graphics/IRectangle.h"
#include "graphics/ITextStyle.h"

#include <atomic>
#include <vector>

class IEffectBase;
class IGraphics;

/// Base of every editor element: its rectangle, its optional binding to one plug-in
/// parameter, its normalised value and the flags the repaint cycle and the mouse
/// routing read.
///
/// Threads: the user-interface thread, except SetGrayed, Invalidate(false) and ShowValue,
/// which the audio thread and host parameter changes may call. The value and the
/// dirty, repaint-pending, grayed and hidden flags are therefore atomics.
class IControl
{
public:
    /// A further parameter shown by the control (no control of this editor has any).
    struct SecondaryBinding
    {
        double value = 0.0;
        int parameterIndex = -1;
    };

    /// `plugin` may be null (tests); `parameterIndex` -1 leaves the control unbound.
    IControl(IEffectBase* plugin, const IRectangle& bounds, int parameterIndex,
             const IBlendMode& blend = {});
    IControl(const IControl&) = delete;
    IControl& operator=(const IControl&) = delete;

    // Virtual operations in slot order; coordinates are logical pixels.
    virtual ~IControl();
    /// Right button: asks the user for a value.
    virtual void MousePressed(int x, int y, const IMouseState& buttons);
    virtual void MouseReleased(int x, int y, const IMouseState& buttons);
    virtual void MouseDragged(int x, int y, int dx, int dy, const IMouseState& buttons);
    /// Restores the default value (the value at the time the editor was attached).
    virtual void MouseDoubleClicked(int x, int y, const IMouseState& buttons);
    virtual void MouseWheeled(int x, int y, const IMouseState& buttons, int notches);
    virtual bool KeyPressed(int x, int y, int code);
    virtual void MouseHovering(int x, int y, const IMouseState& buttons);
    virtual void MouseLeft();
    /// Draws the control into the graphics object's drawing bitmap.
    virtual bool Paint(IGraphics& graphics) = 0;
    virtual void Reserved10();
    /// A normalised value from the plug-in. The first one also becomes the default.
    virtual void ShowValue(double v);
    /// A value the user picked in a menu or typed.
    virtual void AcceptUserValue(double v);
    /// Text typed for a control without parameter.
    virtual void AcceptText(const char* text);
    virtual void SetHidden(bool h);
    virtual void SetGrayed(bool g);
    /// Whether a logical point lies inside `bounds` (right and bottom edges excluded).
    virtual bool Contains(int x, int y);
    /// Clamps the value, marks the control for two repaints and, with `notifyPlugin`,
    /// sends the value to the bound parameter; then refreshes every control bound to it.
    virtual void Invalidate(bool notifyPlugin);
    virtual void MarkPainted();
    virtual bool NeedsPaint();
    virtual void Idle();
    virtual void ShowSecondaryValue(int position, double v);
    virtual void MoveTo(int x, int y);

    /// Asks the user for a value of the bound parameter through the graphics object.
    void AskForValue();

    /// Set by the graphics object when the control is added (list position and owner).
    void AttachTo(IGraphics* owner, int index);
    IGraphics* Graphics() const { return graphicsOwner; }
    IEffectBase* Plugin() const { return plugin; }

    int textEntryLimit = 7;
    ITextStyle textStyle;
    IRectangle bounds;
    /// Reference area for drag scaling.
    IRectangle targetBounds;
    int parameterIndex;
    int controlIndex = 0;
    std::vector<SecondaryBinding> secondaryBindings;
    std::atomic<double> value{0.0};
    /// Restored by a double click; negative until the first ShowValue.
    double defaultValue = -1.0;
    double clampLow = 0.0;
    double clampHigh = 1.0;
    std::atomic<bool> dirty{true};
    /// The control's picture never changes by itself (a background, a caption, an image):
    /// the editor may keep it in its static layer instead of painting it on every repaint.
    /// Marking the control dirty (Invalidate, SetGrayed, SetHidden) renews that layer.
    bool staticPicture = false;
    std::atomic<bool> hidden{false};
    std::atomic<bool> grayed{false};
    std::atomic<bool> repaintPending{false};
    bool promptDisabled = true;
    bool doubleClickAsPress = false;
    bool hoverWhenGrayed = false;
    /// Weight and mode used when the control paints through the bitmap layer.
    std::atomic<float> blendWeight;
    int blendMode;

    IBlendMode Blend() const { return {blendMode, blendWeight.load()}; }

protected:
    IEffectBase* plugin;

private:
    IGraphics* graphicsOwner = nullptr;
};
