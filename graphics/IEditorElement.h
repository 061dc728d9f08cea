#pragma once

#include "graphics/IMouseState.h"
#include "graphics/IRectangle.h"
#include "graphics/ITextStyle.h"

#include <atomic>
#include <vector>

class IGraphics;

/// A control as the editor object sees it: the state the repaint cycle and the event
/// routing read and write, and the operations they call. The control base (IControl, one
/// layer up) implements the operations; the editor object owns its controls through this
/// type, so the graphics layer never needs to know the controls.
///
/// Threads: as IControl; the dirty, grayed and hidden flags are written from any thread.
class IEditorElement
{
public:
    /// A further parameter shown by the control (no control of this editor has any).
    struct SecondaryBinding
    {
        double value = 0.0;
        int parameterIndex = -1;
    };

    IEditorElement(const IRectangle& bounds, int parameterIndex)
        : bounds(bounds), parameterIndex(parameterIndex)
    {
    }
    IEditorElement(const IEditorElement&) = delete;
    IEditorElement& operator=(const IEditorElement&) = delete;

    // Virtual operations in the control's slot order (see IControl for what each does);
    // coordinates are logical pixels.
    virtual ~IEditorElement() = default;
    virtual void MousePressed(int x, int y, const IMouseState& buttons) = 0;
    virtual void MouseReleased(int x, int y, const IMouseState& buttons) = 0;
    virtual void MouseDragged(int x, int y, int dx, int dy, const IMouseState& buttons) = 0;
    virtual void MouseDoubleClicked(int x, int y, const IMouseState& buttons) = 0;
    virtual void MouseWheeled(int x, int y, const IMouseState& buttons, int notches) = 0;
    virtual bool KeyPressed(int x, int y, int code) = 0;
    virtual void MouseHovering(int x, int y, const IMouseState& buttons) = 0;
    virtual void MouseLeft() = 0;
    virtual bool Paint(IGraphics& graphics) = 0;
    virtual void Reserved10() = 0;
    virtual void ShowValue(double v) = 0;
    virtual void AcceptUserValue(double v) = 0;
    virtual void AcceptText(const char* text) = 0;
    virtual void SetHidden(bool h) = 0;
    virtual void SetGrayed(bool g) = 0;
    virtual bool Contains(int x, int y) = 0;
    virtual void Invalidate(bool notifyPlugin) = 0;
    virtual void MarkPainted() = 0;
    virtual bool NeedsPaint() = 0;
    virtual void Idle() = 0;
    virtual void ShowSecondaryValue(int position, double v) = 0;
    virtual void MoveTo(int x, int y) = 0;

    /// Set by the graphics object when the control is added (list position and owner).
    void AttachTo(IGraphics* owner, int index)
    {
        graphicsOwner = owner;
        controlIndex = index;
    }
    IGraphics* Graphics() const { return graphicsOwner; }

    int textEntryLimit = 7;
    ITextStyle textStyle;
    IRectangle bounds;
    int parameterIndex;
    int controlIndex = 0;
    std::vector<SecondaryBinding> secondaryBindings;
    std::atomic<bool> dirty{true};
    /// The control's picture never changes by itself (a background, a caption, an image):
    /// the editor may keep it in its static layer instead of painting it on every repaint.
    /// Marking the control dirty (Invalidate, SetGrayed, SetHidden) renews that layer.
    bool staticPicture = false;
    std::atomic<bool> hidden{false};
    std::atomic<bool> grayed{false};
    bool doubleClickAsPress = false;
    bool hoverWhenGrayed = false;

protected:
    IGraphics* graphicsOwner = nullptr;
};
