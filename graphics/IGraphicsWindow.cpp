#include "graphics/IGraphicsWindow.h"

#include "framework/IParameter.h"
#include "graphics/IEditorElement.h"
#include "graphics/TypingFilter.h"
#include "graphics/VirtualKey.h"

#include <atomic>
#include <climits>
#include <cmath>

namespace
{
// Shared by every editor window of the module: the window system is held while any is open.
std::atomic<int> openWindows{0};

// A double converted as the platform's integer conversion does: values beyond the 32-bit
// range (and not-a-number) become the most negative integer.
int ToInt(double v)
{
    if (!(v >= static_cast<double>(INT_MIN) && v < static_cast<double>(INT_MAX) + 1.0))
        return INT_MIN;
    return static_cast<int>(v);
}

void AddItems(const IMenuModel& menu, int& nextId, std::vector<PopupMenuItem>& out)
{
    // The entries of a menu take a block of ids first; its submenus follow in entry order.
    const int first = nextId;
    nextId += menu.EntryCount();
    for (int i = 0; i < menu.EntryCount(); ++i)
    {
        const IMenuEntry& entry = menu.entries[static_cast<size_t>(i)];
        PopupMenuItem item;
        if (entry.flags & IMenuEntry::kSeparator)
        {
            item.separator = true;
            out.push_back(std::move(item));
            continue;
        }
        item.text = menu.DisplayText(i);
        item.grayed = (entry.flags & IMenuEntry::kDisabled) != 0;
        item.disabled = (entry.flags & IMenuEntry::kTitle) != 0;
        item.checked = (entry.flags & IMenuEntry::kChecked) != 0;
        if (entry.submenu)
            AddItems(*entry.submenu, nextId, item.submenu);
        else
            item.id = first + i;
        out.push_back(std::move(item));
    }
}
} // namespace

IGraphicsWindow::IGraphicsWindow(IEffectBase* plugin, int width, int height, int framesPerSecond)
    : IGraphics(plugin, width, height, framesPerSecond)
{
}

IGraphicsWindow::~IGraphicsWindow() = default;

int IGraphicsWindow::OpenWindowCount()
{
    return openWindows;
}

int IGraphicsWindow::ToWindowPixels(int logical, double scale)
{
    return static_cast<int>(scale * logical);
}

int IGraphicsWindow::TimerPeriodMs() const
{
    return framesPerSecond > 0 ? 1000 / framesPerSecond : 1000;
}

IRectangle IGraphicsWindow::ToLogical(const IRectangle& a)
{
    const double s = DisplayScale();
    return {static_cast<int>(a.left / s), static_cast<int>(a.top / s),
            static_cast<int>(a.right / s), static_cast<int>(a.bottom / s)};
}

IRectangle IGraphicsWindow::ToWindow(const IRectangle& a)
{
    const double s = DisplayScale();
    return {static_cast<int>(a.left * s), static_cast<int>(a.top * s),
            static_cast<int>(a.right * s), static_cast<int>(a.bottom * s)};
}

// ---- Window management ----

void* IGraphicsWindow::OpenEditorWindow(void* parent)
{
    int x = 0;
    int y = 0;
    int w = -1;
    int h = -1;
    if (window)
    {
        // Opening again moves the editor: it keeps the old window's place and size.
        NativeWindowGeometry(x, y, w, h);
        CloseEditorWindow();
    }
    parentWindow = parent;
    if (openWindows++ == 0 && !AcquireWindowSystem())
    {
        --openWindows;
        return nullptr;
    }
    // The scale is asked once the window system is there: it may tell it only then.
    if (w < 0 || h < 0)
    {
        w = ToWindowPixels(width, DisplayScale());
        h = ToWindowPixels(height, DisplayScale());
    }
    window = CreateNativeWindow(parent, x, y, w, h);
    if (!window)
    {
        if (--openWindows == 0)
            ReleaseWindowSystem();
        return nullptr;
    }
    for (auto& control : controls)
        control->Invalidate(false);
    return window;
}

void IGraphicsWindow::CloseEditorWindow()
{
    if (!window)
        return;
    // A box left open dies with the window; its control keeps its value.
    entryControl = nullptr;
    entryParameter = nullptr;
    entryState = kEntryIdle;
    if (cursorHidden)
        RestoreCursor();
    void* closing = window;
    window = nullptr;
    DestroyNativeWindow(closing);
    captureIndex = mouseX = mouseY = -1;
    if (--openWindows == 0)
        ReleaseWindowSystem();
}

void* IGraphicsWindow::WindowHandle()
{
    return window;
}

void IGraphicsWindow::PaintToScreen(const IRectangle& area)
{
    if (window)
        BlitToWindow(ToWindow(area));
}

// ---- Events ----

bool IGraphicsWindow::HandleEvent(const WindowEvent& event)
{
    if (!window)
        return false;
    if (TextEntryOpen() && entryState == kEntryFocused)
    {
        // The box has the keyboard: a press in the editor cancels the entry, and nothing
        // else (the timer neither) is the editor's business until the box lets go.
        if (event.kind == WindowEvent::Kind::kPress &&
            (event.button == WindowEvent::kLeft || event.button == WindowEvent::kRight))
        {
            entryState = kEntryCancel;
            return true;
        }
        return false;
    }
    switch (event.kind)
    {
    case WindowEvent::Kind::kResize:
        InvalidateWindow({0, 0, ToWindowPixels(width, DisplayScale()),
                          ToWindowPixels(height, DisplayScale())});
        return true;
    case WindowEvent::Kind::kFocusIn:
    case WindowEvent::Kind::kFocusOut:
        return true;
    case WindowEvent::Kind::kExpose:
        if (!event.area.IsEmpty())
            RedrawArea(ToLogical(event.area));
        return true;
    case WindowEvent::Kind::kClose:
        CloseEditorWindow();
        return true;
    case WindowEvent::Kind::kKeyDown:
        if (!RouteKey(event.virtualKey, event.x, event.y))
            ForwardKeyToHost(event);
        return true;
    case WindowEvent::Kind::kKeyUp:
        ForwardKeyToHost(event);
        return false;
    default:
        return HandleMouse(event);
    }
}

bool IGraphicsWindow::HandleMouse(const WindowEvent& event)
{
    switch (event.kind)
    {
    case WindowEvent::Kind::kMotion:
        if (event.buttons.left || event.buttons.right)
        {
            if (HasMouseCapture() && !TextEntryOpen())
                RouteDrag(event.x, event.y, event.buttons);
        }
        else if (RouteHover(event.x, event.y, event.buttons))
        {
            TrackMouseLeave();
        }
        return true;
    case WindowEvent::Kind::kPress:
        if (TextEntryOpen())
        {
            entryState = kEntryCommit;
            return true;
        }
        TakeKeyboardFocus();
        SetMouseCapture(true);
        RoutePress(event.x, event.y, event.buttons);
        return true;
    case WindowEvent::Kind::kRelease:
        SetMouseCapture(false);
        RouteRelease(event.x, event.y, event.buttons);
        return true;
    case WindowEvent::Kind::kDoubleClick:
        RouteDoubleClick(event.x, event.y, event.buttons);
        if (captureIndex >= 0)
            SetMouseCapture(true);
        return true;
    case WindowEvent::Kind::kWheel:
        if (TextEntryOpen())
            entryState = kEntryCancel;
        else
            RouteWheel(event.x, event.y, event.buttons, event.wheelDelta / 120);
        return true;
    case WindowEvent::Kind::kLeave:
        RouteLeave();
        return true;
    default:
        return false;
    }
}

void IGraphicsWindow::TimerTick()
{
    if (!window)
        return;
    if (TextEntryOpen() && entryState != kEntryIdle)
    {
        if (entryState == kEntryCancel || entryState == kEntryCommit)
            FinishEntry();
        else if (entryState != kEntryFocused)
            entryState = kEntryIdle;
        // While the box has the focus the timer is not the editor's: nothing happens.
        return;
    }
    IRectangle area;
    if (!FindDirtyArea(area))
        return;
    InvalidateWindow(ToWindow(area));
    if (TextEntryOpen())
    {
        ValidateWindow(ToWindow(entryControl->bounds));
        UpdateWindow();
        entryState = kEntryRepainted;
        return;
    }
    UpdateWindow();
}

// ---- Text entry ----

void IGraphicsWindow::OpenTextEntry(IEditorElement* control, const ITextStyle& style,
                                    const IRectangle& rectangle, const std::string& initialText,
                                    IParameter* parameter)
{
    if (!control || TextEntryOpen() || !window)
        return;
    const double s = DisplayScale();
    EntryBoxLayout box;
    box.x = ToInt(rectangle.left * s);
    box.y = ToInt(rectangle.top * s);
    box.width = ToInt(rectangle.Width() * s + 1);
    box.height = ToInt(rectangle.Height() * s + 1);
    box.text = initialText;
    box.fontName = style.fontName;
    box.fontHeight = static_cast<int>(style.size * s);
    box.bold = style.style == 1;
    box.italic = style.style == 2;
    box.align = style.align;
    box.limit = control->textEntryLimit;
    box.background = style.entryBackground;
    box.foreground = style.entryForeground;
    if (!CreateEntryBox(box))
        return;
    entryControl = control;
    entryParameter = parameter;
    entryState = kEntryFocused;
}

bool IGraphicsWindow::EntryKeyDown(int virtualKey)
{
    if (virtualKey == VirtualKey::kReturn)
    {
        entryState = kEntryCommit;
        return true;
    }
    if (virtualKey == VirtualKey::kEscape)
    {
        entryState = kEntryCancel;
        return true;
    }
    return false;
}

bool IGraphicsWindow::EntryAcceptsCharacter(char c) const
{
    return !entryParameter || TypingFilter::Accepts(entryParameter->Type(), c);
}

void IGraphicsWindow::EntryCommand(int code)
{
    if (code == 1)
        entryState = kEntryCommit;
}

void IGraphicsWindow::FinishEntry()
{
    IEditorElement* control = entryControl;
    IParameter* parameter = entryParameter;
    const bool commit = entryState == kEntryCommit;
    const std::string text = commit ? EntryBoxText() : std::string();
    DestroyEntryBox();
    entryControl = nullptr;
    entryParameter = nullptr;
    entryState = kEntryIdle;
    if (commit)
        FinishTextEntry(control, parameter, text);
}

void IGraphicsWindow::CancelTextEntry()
{
    if (!TextEntryOpen())
        return;
    entryState = kEntryCancel;
    FinishEntry();
}

// ---- Popup menus ----

std::vector<PopupMenuItem> IGraphicsWindow::BuildPopupItems(const IMenuModel& menu)
{
    std::vector<PopupMenuItem> items;
    int nextId = 0;
    AddItems(menu, nextId, items);
    return items;
}

IMenuModel* IGraphicsWindow::RunPopupMenu(IMenuModel& menu, const IRectangle& rectangle)
{
    // The press that opened the menu gets no release.
    captureIndex = mouseX = mouseY = -1;
    if (!window)
        return nullptr;
    SetMouseCapture(false);
    const double s = DisplayScale();
    const int id = TrackPopupMenu(BuildPopupItems(menu), static_cast<int>(rectangle.left * s),
                                  static_cast<int>(rectangle.bottom * s));
    IMenuModel* chosen = id >= 0 ? menu.Choose(id) : nullptr;
    if (window)
        InvalidateWindow(
            {0, 0, ToWindowPixels(width, DisplayScale()), ToWindowPixels(height, DisplayScale())});
    return chosen;
}

// ---- Cursor ----

void IGraphicsWindow::SetMouseCursor(int kind)
{
    SetCursorShape(kind >= kCursorTextBeam && kind <= kCursorArrowQuestion ? kind : kCursorArrow);
}

void IGraphicsWindow::ConcealCursor()
{
    if (cursorHidden)
        return;
    int x = -1;
    int y = -1;
    if (!CursorScreenPosition(x, y))
        x = y = -1;
    savedCursorX = x;
    savedCursorY = y;
    SetCursorVisible(false);
    cursorHidden = true;
}

void IGraphicsWindow::RestoreCursor()
{
    if (!cursorHidden)
        return;
    if (savedCursorX >= 0 && savedCursorY >= 0)
        WarpCursor(savedCursorX, savedCursorY);
    SetCursorVisible(true);
    cursorHidden = false;
}
