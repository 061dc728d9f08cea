#include "controls/IControl.h"

#include "framework/IEffectBase.h"
#include "framework/IParameter.h"
#include "graphics/IGraphics.h"

IControl::IControl(IEffectBase* plugin, const IRectangle& bounds, int parameterIndex,
                   const IBlendMode& blend)
    : IEditorElement(bounds, parameterIndex), targetBounds(bounds), blendWeight(blend.weight),
      blendMode(blend.mode), plugin(plugin)
{
}

IControl::~IControl() = default;

void IControl::MousePressed(int, int, const IMouseState& buttons)
{
    if (buttons.right)
        AskForValue();
}

void IControl::MouseReleased(int, int, const IMouseState&) {}
void IControl::MouseDragged(int, int, int, int, const IMouseState&) {}

void IControl::MouseDoubleClicked(int, int, const IMouseState&)
{
    if (defaultValue >= 0.0)
    {
        value = defaultValue;
        Invalidate(true);
    }
}

void IControl::MouseWheeled(int, int, const IMouseState&, int) {}
bool IControl::KeyPressed(int, int, int)
{
    return false;
}
void IControl::MouseHovering(int, int, const IMouseState&) {}
void IControl::MouseLeft() {}
void IControl::Reserved10() {}

void IControl::ShowValue(double v)
{
    // The first value pushed when the editor is attached becomes the double-click value.
    if (defaultValue < 0.0)
    {
        value = v;
        defaultValue = v;
        return;
    }
    if (v != value)
    {
        value = v;
        Invalidate(false);
    }
}

void IControl::AcceptUserValue(double v)
{
    if (v != value)
    {
        value = v;
        Invalidate(true);
    }
}

void IControl::AcceptText(const char*) {}

void IControl::SetHidden(bool h)
{
    hidden = h;
    repaintPending = true;
    blendWeight = h ? 0.0f : 1.0f;
    Invalidate(false);
}

void IControl::SetGrayed(bool g)
{
    grayed = g;
    blendWeight = g ? 0.25f : 1.0f;
    Invalidate(false);
}

bool IControl::Contains(int x, int y)
{
    if (bounds.IsEmpty())
        return false;
    return x >= bounds.left && x < bounds.right && y >= bounds.top && y < bounds.bottom;
}

void IControl::Invalidate(bool notifyPlugin)
{
    const double v = value;
    value = v < clampLow ? clampLow : (v < clampHigh ? v : clampHigh);
    // Pending first, dirty last: MarkPainted on the timer, racing with this from another
    // thread, then always leaves the control dirty (see MarkPainted).
    repaintPending = true;
    dirty = true;
    if (parameterIndex < 0)
        return;
    if (notifyPlugin && plugin)
        plugin->SetParameterFromEditor(parameterIndex, value);
    if (!graphicsOwner)
        return;
    const double shown = value;
    for (int i = 0; i < graphicsOwner->ControlCount(); ++i)
    {
        IEditorElement* other = graphicsOwner->ControlAt(i);
        if (other->parameterIndex == parameterIndex)
            other->ShowValue(shown);
        for (size_t k = 0; k < other->secondaryBindings.size(); ++k)
        {
            if (other->secondaryBindings[k].parameterIndex == parameterIndex)
            {
                other->ShowSecondaryValue(static_cast<int>(k), shown);
                break;
            }
        }
    }
}

void IControl::MarkPainted()
{
    // dirty = repaintPending, repaintPending = false, without losing an Invalidate from
    // another thread that lands in between: its pending flag is consumed here only after
    // dirty was cleared, so dirty ends up set again either way.
    dirty = false;
    if (repaintPending.exchange(false))
        dirty = true;
}

bool IControl::NeedsPaint()
{
    return dirty;
}
void IControl::Idle() {}

void IControl::ShowSecondaryValue(int position, double v)
{
    if (position < 0 || static_cast<size_t>(position) >= secondaryBindings.size())
        return;
    SecondaryBinding& binding = secondaryBindings[static_cast<size_t>(position)];
    if (v != binding.value)
    {
        binding.value = v;
        Invalidate(false);
    }
}

void IControl::MoveTo(int x, int y)
{
    const int w = bounds.Width();
    const int h = bounds.Height();
    bounds = {x, y, x + w, y + h};
    targetBounds = bounds;
}

void IControl::AskForValue()
{
    if (parameterIndex < 0 || promptDisabled || !plugin || !graphicsOwner)
        return;
    IParameter* parameter = plugin->Param(parameterIndex);
    if (!parameter)
        return;
    IRectangle rectangle = bounds;
    if (parameter->ValueTextCount() == 0)
    {
        const int cx = (bounds.left + bounds.right) / 2;
        const int cy = (bounds.top + bounds.bottom) / 2;
        const int hw = bounds.Width() / 2;
        const int hh = bounds.Height() / 2;
        rectangle = {cx - hw, cy - hh, cx + hw, cy + hh};
    }
    graphicsOwner->AskUserForValue(this, parameter, &rectangle);
    repaintPending = true;
}
