#include "graphics/IGraphics.h"

#include "framework/IEffectBase.h"
#include "framework/IParameter.h"
#include "graphics/BitmapOperations.h"
#include "graphics/CairoCanvas.h"
#include "graphics/IEditorElement.h"
#include "graphics/ISysBitmap.h"
#include "graphics/ImageRecord.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace
{
// Key codes controls receive, from the virtual keys of the platform.
int KeyCodeOf(int virtualKey)
{
    switch (virtualKey)
    {
    case 32:
        return 0;
    case 38:
        return 1;
    case 40:
        return 2;
    case 37:
        return 3;
    case 39:
        return 4;
    default:
        break;
    }
    if (virtualKey >= '0' && virtualKey <= '9')
        return virtualKey - '0' + 5;
    if (virtualKey >= 'A' && virtualKey <= 'Z')
        return virtualKey - 'A' + 15;
    if (virtualKey >= 'a' && virtualKey <= 'z')
        return virtualKey - 'a' + 15;
    return -1;
}

// Bitmap-layer mode for a control blend: modes 0 (and add and dodge, which are not built)
// combine through the source alpha, mode 1 copies as it is.
int BitmapModeOf(const IBlendMode& blend)
{
    return blend.mode == IBlendMode::kCopy ? kBlendCopy : kBlendCopy | kBlendUseAlpha;
}

void ShowToSecondary(IEditorElement& control, int index, double value)
{
    for (size_t i = 0; i < control.secondaryBindings.size(); ++i)
    {
        if (control.secondaryBindings[i].parameterIndex == index)
        {
            control.ShowSecondaryValue(static_cast<int>(i), value);
            break;
        }
    }
}
} // namespace

IGraphics::IGraphics(IEffectBase* plugin, int width, int height, int framesPerSecond)
    : plugin(plugin), width(width), height(height), framesPerSecond(framesPerSecond)
{
    parameterCount = plugin != nullptr ? plugin->ParamCount() : 0;
    changedParameters = std::make_unique<std::atomic<bool>[]>(static_cast<size_t>(parameterCount));
}

IGraphics::~IGraphics()
{
    while (!controls.empty())
        controls.pop_back();
    drawingBitmap.reset();
}

void IGraphics::Renumber()
{
    for (size_t i = 0; i < controls.size(); ++i)
        controls[i]->AttachTo(this, static_cast<int>(i));
}

void IGraphics::AddBackground(std::unique_ptr<IEditorElement> control)
{
    if (!control)
        return;
    controls.insert(controls.begin(), std::move(control));
    Renumber();
}

int IGraphics::AddControl(std::unique_ptr<IEditorElement> control)
{
    if (!control)
        return -1;
    controls.push_back(std::move(control));
    Renumber();
    return ControlCount() - 1;
}

IEditorElement* IGraphics::ControlAt(int i) const
{
    if (i < 0 || i >= ControlCount())
        return nullptr;
    return controls[static_cast<size_t>(i)].get();
}

IBitmap* IGraphics::DrawingBitmap() const
{
    return drawingBitmap.get();
}

void IGraphics::CreateDrawingBitmap()
{
    const double scale = DisplayScale();
    drawingBitmap = std::make_unique<ISysBitmap>();
    drawingBitmap->Resize(static_cast<int>(scale * width), static_cast<int>(scale * height));
}

int IGraphics::WindowWidth()
{
    return static_cast<int>(DisplayScale() * width);
}

int IGraphics::WindowHeight()
{
    return static_cast<int>(DisplayScale() * height);
}

void IGraphics::RebuildDrawingBitmap()
{
    CreateDrawingBitmap();
    // The old bitmap's memory is gone: the canvas must draw into the new one, and every
    // control must paint its picture there again.
    if (canvas)
        canvas->BindCanvas(*this);
    for (auto& control : controls)
        control->dirty = true;
}

void IGraphics::SetControlsFromNormalised(int index, double normalised)
{
    // A host may send not-a-number; the parameter takes it as its minimum, and so must the
    // controls (their clamp would show it as the maximum).
    if (std::isnan(normalised))
        normalised = 0.0;
    for (auto& control : controls)
    {
        if (control->parameterIndex == index)
            control->ShowValue(normalised);
        ShowToSecondary(*control, index, normalised);
    }
}

void IGraphics::ShowParameterValue(int index, double value, bool isNormalised)
{
    if (index < 0)
        return;
    if (!isNormalised)
    {
        IParameter* parameter = plugin ? plugin->Param(index) : nullptr;
        if (!parameter)
            return;
        value = parameter->ToNormalised(value);
    }
    SetControlsFromNormalised(index, value);
}

// ---- Asking the user ----

void IGraphics::BuildValueMenu(IMenuModel& menu, IParameter& parameter) const
{
    char current[32];
    parameter.FormatValue(parameter.Value(), false, true, current, sizeof current);
    const int count = parameter.ValueTextCount();
    for (int i = 0; i < count; ++i)
    {
        // Entry i shows the text of value i wherever it stands in the list.
        const char* text = "";
        for (int k = 0; k < count; ++k)
        {
            const IValueText* entry = parameter.ValueTextAt(k);
            if (entry && entry->value == i)
            {
                text = entry->text;
                break;
            }
        }
        const bool checked = std::string(text) == current;
        menu.AddEntry(text, checked ? IMenuEntry::kChecked : 0);
    }
}

void IGraphics::AskUserForValue(IEditorElement* control, IParameter* parameter,
                                const IRectangle* rectangle)
{
    if (!control || !parameter || !rectangle)
        return;
    const int type = parameter->Type();
    if (type == 3 || (type == 1 && parameter->ValueTextCount() > 0))
    {
        IMenuModel menu;
        BuildValueMenu(menu, *parameter);
        IMenuModel* chosen = RunPopupMenu(menu, *rectangle);
        if (chosen && chosen->chosenIndex >= 0)
            control->AcceptUserValue(parameter->ToNormalised(chosen->chosenIndex));
        return;
    }
    char initial[64];
    if (parameter->Precision() > 0)
        std::snprintf(initial, sizeof initial, "%.*f", parameter->Precision(), parameter->Value());
    else
        std::snprintf(initial, sizeof initial, "%d", static_cast<int>(parameter->Value()));
    OpenTextEntry(control, control->textStyle, *rectangle, initial, parameter);
}

void IGraphics::FinishTextEntry(IEditorElement* control, IParameter* parameter,
                                const std::string& text)
{
    if (!control)
        return;
    // The box holds at most 31 characters, like every text field of the framework.
    const std::string typed = text.substr(0, 31);
    if (!parameter)
    {
        control->AcceptText(typed.c_str());
        return;
    }
    // The entry ends long after the double click that opened it: the typed value is a
    // gesture of its own for the host to record.
    const int parameterIndex = control->parameterIndex;
    if (plugin && parameterIndex >= 0)
        plugin->BeginHostEdit(parameterIndex);
    control->AcceptUserValue(parameter->ToNormalised(parameter->ParseText(typed.c_str())));
    if (plugin && parameterIndex >= 0)
        plugin->EndHostEdit(parameterIndex);
}

// ---- Bitmap layer ----

IRectangle IGraphics::ToBitmap(const IRectangle& r)
{
    const double s = DisplayScale();
    return {static_cast<int>(r.left * s), static_cast<int>(r.top * s),
            static_cast<int>(r.right * s), static_cast<int>(r.bottom * s)};
}

bool IGraphics::ClipToRepaint(const IRectangle& r, IRectangle& clipped) const
{
    clipped = r;
    if (!inRedraw)
        return true;
    // Only the area being repainted may change: the bitmap stays a whole picture of the
    // editor, also where controls were not repainted.
    if (!r.Overlaps(paintArea))
        return false;
    clipped = {std::max(r.left, paintArea.left), std::max(r.top, paintArea.top),
               std::min(r.right, paintArea.right), std::min(r.bottom, paintArea.bottom)};
    return true;
}

void IGraphics::FillBox(const IArgbColour& colour, const IRectangle& rectangle,
                        const IBlendMode* blend)
{
    IRectangle fill;
    if (!ClipToRepaint(rectangle, fill))
        return;
    const IBlendMode used = blend ? *blend : IBlendMode{};
    const IRectangle r = ToBitmap(fill);
    FillArea(drawingBitmap.get(), r.left, r.top, r.Width(), r.Height(), colour.Packed(),
             used.weight, BitmapModeOf(used));
}

bool IGraphics::BlitImage(const ImageRecord& image, const IRectangle& destination, int sourceX,
                          int sourceY, const IBlendMode* blend)
{
    IRectangle clipped;
    if (!ClipToRepaint(destination, clipped))
        return true;
    const IRectangle target = ToBitmap(clipped);
    const IRectangle whole = ToBitmap(destination);
    sourceX += target.left - whole.left;
    sourceY += target.top - whole.top;
    const BitmapRect source{sourceX, sourceY, sourceX + target.Width(), sourceY + target.Height()};
    const IBlendMode used = blend ? *blend : IBlendMode{};
    BlitBitmap(drawingBitmap.get(), image.bitmap, target.left, target.top, &source, used.weight,
               BitmapModeOf(used));
    return true;
}

// ---- Repaint cycle ----

void IGraphics::MarkParameterChanged(int index)
{
    if (index >= 0 && index < parameterCount)
        changedParameters[static_cast<size_t>(index)].store(true, std::memory_order_release);
}

void IGraphics::ShowChangedParameters()
{
    for (int i = 0; i < parameterCount; ++i)
        if (changedParameters[static_cast<size_t>(i)].exchange(false, std::memory_order_acquire))
            if (const IParameter* parameter = plugin->Param(i))
                SetControlsFromNormalised(i, parameter->Normalised());
}

bool IGraphics::FindDirtyArea(IRectangle& area)
{
    ShowChangedParameters();
    bool anyDirty = false;
    for (auto& control : controls)
    {
        if (control->NeedsPaint())
        {
            area = area.Union(control->bounds);
            anyDirty = true;
        }
    }
    if (anyDirty)
    {
        idleTicks = 0;
        return true;
    }
    if (++idleTicks > 1)
    {
        if (plugin)
            plugin->EditorIdle();
        for (auto& control : controls)
            control->Idle();
        idleTicks = 0;
    }
    return false;
}

void IGraphics::RedrawArea(const IRectangle& area)
{
    if (controls.empty())
        return;
    cairo_t* context = canvas && canvas->IsBound() ? canvas->Context() : nullptr;
    if (context)
    {
        // Controls draw in logical pixels; the bitmap holds window pixels.
        cairo_identity_matrix(context);
        cairo_scale(context, DisplayScale(), DisplayScale());
    }
    const bool layered = staticLayerCache && (StaticLayerCurrent() || BuildStaticLayer(context));
    paintArea = area;
    if (layered)
        CopyStaticLayer(area);
    inRedraw = true;
    for (size_t i = 0; i < controls.size(); ++i)
    {
        IEditorElement& control = *controls[i];
        if (!(layered && inStaticLayer[i]) && !control.hidden && control.bounds.Overlaps(area))
            PaintControl(control, area, context);
        control.MarkPainted();
    }
    inRedraw = false;
    if (context)
        cairo_reset_clip(context);
    PaintToScreen(area);
}

void IGraphics::PaintControl(IEditorElement& control, const IRectangle& area, cairo_t* context)
{
    if (context)
    {
        // Each control clips to its bounds and resets the clip when done; the repaint
        // area is set again for every one of them.
        cairo_reset_clip(context);
        cairo_new_path(context);
        cairo_rectangle(context, area.left, area.top, area.Width(), area.Height());
        cairo_clip(context);
    }
    control.Paint(*this);
}

bool IGraphics::StaticLayerCurrent() const
{
    if (inStaticLayer.size() != controls.size() || !drawingBitmap ||
        staticLayerWidth != drawingBitmap->Width() || staticLayerHeight != drawingBitmap->Height())
        return false;
    for (size_t i = 0; i < controls.size(); ++i)
        if (controls[i]->staticPicture && controls[i]->NeedsPaint())
            return false;
    return !staticLayer.empty();
}

bool IGraphics::BuildStaticLayer(cairo_t* context)
{
    staticLayer.clear();
    inStaticLayer.assign(controls.size(), false);
    IBitmap* bitmap = drawingBitmap.get();
    if (!bitmap || !bitmap->Pixels())
        return false;
    bool any = false;
    for (size_t i = 0; i < controls.size(); ++i)
    {
        const IEditorElement& control = *controls[i];
        bool keep = control.staticPicture && !control.hidden;
        for (size_t j = 0; keep && j < i; ++j)
            keep = inStaticLayer[j] || controls[j]->hidden ||
                   !controls[j]->bounds.Overlaps(control.bounds);
        inStaticLayer[i] = keep;
        any = any || keep;
    }
    if (!any)
        return false;
    // Drawn in the bitmap itself, whose picture is kept aside and put back: outside the
    // area being repainted it must not change.
    const size_t pixels = static_cast<size_t>(bitmap->RowPixels()) * bitmap->Height();
    std::vector<uint32_t> picture(bitmap->Pixels(), bitmap->Pixels() + pixels);
    const IRectangle whole{0, 0, width, height};
    paintArea = whole;
    inRedraw = true;
    for (size_t i = 0; i < controls.size(); ++i)
        if (inStaticLayer[i])
            PaintControl(*controls[i], whole, context);
    inRedraw = false;
    staticLayerWidth = bitmap->Width();
    staticLayerHeight = bitmap->Height();
    staticLayer.resize(static_cast<size_t>(staticLayerWidth) * staticLayerHeight);
    for (int y = 0; y < staticLayerHeight; ++y)
        std::copy_n(bitmap->Pixels() + static_cast<size_t>(y) * bitmap->RowPixels(),
                    staticLayerWidth, staticLayer.data() + static_cast<size_t>(y) * staticLayerWidth);
    std::copy(picture.begin(), picture.end(), bitmap->Pixels());
    return true;
}

void IGraphics::CopyStaticLayer(const IRectangle& area)
{
    IBitmap* bitmap = drawingBitmap.get();
    const IRectangle r = ToBitmap(area);
    const int left = std::clamp(r.left, 0, staticLayerWidth);
    const int right = std::clamp(r.right, 0, staticLayerWidth);
    const int top = std::clamp(r.top, 0, staticLayerHeight);
    const int bottom = std::clamp(r.bottom, 0, staticLayerHeight);
    for (int y = top; y < bottom; ++y)
        std::copy_n(staticLayer.data() + static_cast<size_t>(y) * staticLayerWidth + left,
                    right - left, bitmap->Pixels() + static_cast<size_t>(y) * bitmap->RowPixels() + left);
}

// ---- Event routing ----

int IGraphics::LogicalX(int x)
{
    return static_cast<int>(x / DisplayScale());
}
int IGraphics::LogicalY(int y)
{
    return static_cast<int>(y / DisplayScale());
}

int IGraphics::FindControl(int x, int y, bool hover) const
{
    for (int i = ControlCount() - 1; i >= 0; --i)
    {
        IEditorElement& control = *controls[static_cast<size_t>(i)];
        if (control.hidden)
            continue;
        if (control.grayed && !(hover && control.hoverWhenGrayed))
            continue;
        if (control.Contains(x, y))
            return i;
    }
    return -1;
}

IEditorElement* IGraphics::CapturedOrUnder(int x, int y)
{
    if (captureIndex >= 0)
        return ControlAt(captureIndex);
    return ControlAt(FindControl(x, y, false));
}

void IGraphics::RoutePress(int x, int y, const IMouseState& buttons)
{
    const int lx = LogicalX(x);
    const int ly = LogicalY(y);
    mouseX = mouseY = captureIndex = -1;
    const int index = FindControl(lx, ly, false);
    IEditorElement* control = ControlAt(index);
    if (!control)
        return;
    captureIndex = index;
    mouseX = lx;
    mouseY = ly;
    const int parameterIndex = control->parameterIndex;
    if (plugin && plugin->ApiCode() == 1 && buttons.right && parameterIndex >= 0)
    {
        captureIndex = mouseX = mouseY = -1;
        plugin->ShowHostParameterMenu(parameterIndex, lx, ly);
        return;
    }
    if (plugin && parameterIndex >= 0)
        plugin->BeginHostEdit(parameterIndex);
    control->MousePressed(lx, ly, buttons);
    // A popup menu opened by the press takes the button's release with it (RunPopupMenu
    // drops the capture): end the edit now, or the host would keep the gesture open.
    if (plugin && parameterIndex >= 0 && captureIndex != index)
        plugin->EndHostEdit(parameterIndex);
}

void IGraphics::RouteRelease(int x, int y, const IMouseState& buttons)
{
    const int lx = LogicalX(x);
    const int ly = LogicalY(y);
    IEditorElement* control = CapturedOrUnder(lx, ly);
    captureIndex = mouseX = mouseY = -1;
    if (!control)
        return;
    control->MouseReleased(lx, ly, buttons);
    if (plugin && control->parameterIndex >= 0)
        plugin->EndHostEdit(control->parameterIndex);
}

void IGraphics::RouteDrag(int x, int y, const IMouseState& buttons)
{
    const int lx = LogicalX(x);
    const int ly = LogicalY(y);
    IEditorElement* control = ControlAt(captureIndex);
    if (!control || (lx == mouseX && ly == mouseY))
        return;
    const int dx = lx - mouseX;
    const int dy = ly - mouseY;
    mouseX = lx;
    mouseY = ly;
    control->MouseDragged(lx, ly, dx, dy, buttons);
}

void IGraphics::RouteDoubleClick(int x, int y, const IMouseState& buttons)
{
    const int lx = LogicalX(x);
    const int ly = LogicalY(y);
    captureIndex = mouseX = mouseY = -1;
    const int index = FindControl(lx, ly, false);
    IEditorElement* control = ControlAt(index);
    if (!control)
        return;
    if (control->doubleClickAsPress)
    {
        // The platform class takes the mouse capture itself after a routed press.
        captureIndex = index;
        mouseX = lx;
        mouseY = ly;
        control->MousePressed(lx, ly, buttons);
        return;
    }
    control->MouseDoubleClicked(lx, ly, buttons);
}

void IGraphics::RouteWheel(int x, int y, const IMouseState& buttons, int notches)
{
    const int lx = LogicalX(x);
    const int ly = LogicalY(y);
    IEditorElement* control = CapturedOrUnder(lx, ly);
    if (!control)
        return;
    // Turning the wheel is a gesture of its own (hosts take edits only inside one), unless a
    // held press has begun one already; a partial notch changes nothing.
    const int parameterIndex = control->parameterIndex;
    const bool frame = plugin && parameterIndex >= 0 && captureIndex < 0 && notches != 0;
    if (frame)
        plugin->BeginHostEdit(parameterIndex);
    control->MouseWheeled(lx, ly, buttons, notches);
    if (frame)
        plugin->EndHostEdit(parameterIndex);
}

bool IGraphics::RouteHover(int x, int y, const IMouseState& buttons)
{
    const int lx = LogicalX(x);
    const int ly = LogicalY(y);
    if (!hoverTracking)
        return false;
    const int target = captureIndex >= 0 ? captureIndex : FindControl(lx, ly, true);
    IEditorElement* control = ControlAt(target);
    if (!control || control->hidden)
        return true;
    mouseX = lx;
    mouseY = ly;
    control->MouseHovering(lx, ly, buttons);
    if (hoverIndex >= 0 && hoverIndex != target)
        if (IEditorElement* previous = ControlAt(hoverIndex))
            previous->MouseLeft();
    hoverIndex = target;
    return true;
}

void IGraphics::RouteLeave()
{
    for (auto& control : controls)
        control->MouseLeft();
    hoverIndex = -1;
}

bool IGraphics::RouteKey(int virtualKey, int x, int y)
{
    const int code = KeyCodeOf(virtualKey);
    if (code < 0)
        return false;
    // The cursor arrives in window pixels; controls and the hit test work in logical ones.
    const int lx = LogicalX(x);
    const int ly = LogicalY(y);
    const int index = captureIndex >= 0 ? captureIndex : FindControl(lx, ly, false);
    // The background never takes keys, so they reach the host.
    if (index <= 0 || index >= ControlCount())
        return false;
    return controls[static_cast<size_t>(index)]->KeyPressed(lx, ly, code);
}

// ---- Virtual operations with a base behaviour ----

void IGraphics::RenderText(const ITextStyle&, const char*, const IRectangle&) {}

void IGraphics::SetEditorSize(int newWidth, int newHeight)
{
    width = newWidth;
    height = newHeight;
    RebuildDrawingBitmap();
    if (plugin)
        plugin->ResizeEditor(newWidth, newHeight);
}

bool IGraphics::IsWindowOpen()
{
    return WindowHandle() != nullptr;
}
std::string IGraphics::BackendName()
{
    return {};
}
bool IGraphics::UnusedQuery()
{
    return false;
}
void IGraphics::Reserved20() {}
void IGraphics::Reserved21() {}
void IGraphics::SetMouseCursor(int) {}
void IGraphics::ConcealCursor() {}
void IGraphics::RestoreCursor() {}
