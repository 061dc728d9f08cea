#include "graphics/platform/IGraphicsWin.h"

#include "graphics/EditorFactory.h"
#include "graphics/IBitmap.h"
#include "graphics/platform/ModuleHandle.h"
#include "graphics/platform/PngResource.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <windowsx.h>
#include <wininet.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <vector>

namespace
{
// The editor object travels with each editor window as its user data.
IGraphicsWin* StoredEditor(HWND hwnd)
{
    return reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

// A key message as the window system gave it, for sending on to the host unchanged.
struct KeyMessage
{
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

IMouseState StateOf(WPARAM keys)
{
    IMouseState s;
    s.left = (keys & MK_LBUTTON) != 0;
    s.right = (keys & MK_RBUTTON) != 0;
    s.shift = (keys & MK_SHIFT) != 0;
    s.control = (keys & MK_CONTROL) != 0;
    s.alt = GetKeyState(VK_MENU) < 0;
    return s;
}

IRectangle FromRect(const RECT& r)
{
    return {static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right),
            static_cast<int>(r.bottom)};
}

// The system cursor of each cursor kind (index = kind; 0 the arrow).
const char* const kCursorNames[] = {
    IDC_ARROW,       // arrow
    IDC_IBEAM,       // text beam
    IDC_WAIT,        // wait
    IDC_CROSS,       // cross
    IDC_UPARROW,     // up arrow
    IDC_SIZENWSE,    // north-west / south-east size
    IDC_SIZENESW,    // north-east / south-west size
    IDC_SIZEWE,      // west / east size
    IDC_SIZENS,      // north / south size
    IDC_SIZEALL,     // four-way size
    IDC_NO,          // not allowed
    IDC_HAND,        // hand
    IDC_APPSTARTING, // arrow with hourglass
    IDC_HELP         // arrow with question mark
};

double ScreenScale()
{
    HDC screen = GetDC(nullptr);
    if (screen == nullptr)
        return 1.0;
    const int dpi = std::max(GetDeviceCaps(screen, LOGPIXELSX), GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi / 96.0 : 1.0;
}

UINT_PTR CALLBACK ColourDialogHook(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    // The colour dialog has no caption of its own to set: the title goes on as it opens.
    if (message == WM_INITDIALOG)
    {
        const auto* setup = reinterpret_cast<const CHOOSECOLORA*>(lParam);
        if (setup != nullptr && setup->lCustData != 0)
            SetWindowTextA(dialog, reinterpret_cast<const char*>(setup->lCustData));
    }
    return 0;
}

struct TopWindowSearch
{
    DWORD processId;
    const std::string* className;
    HWND found;
};

BOOL CALLBACK MatchTopWindow(HWND hwnd, LPARAM data)
{
    auto* search = reinterpret_cast<TopWindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    char name[256] = {};
    if (owner == search->processId && GetClassNameA(hwnd, name, sizeof name) > 0 &&
        *search->className == name)
    {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

std::unique_ptr<IGraphics> MakeWin(IEffectBase* plugin, int width, int height, int fps)
{
    return std::make_unique<IGraphicsWin>(plugin, width, height, fps);
}
} // namespace

IGraphicsWin::IGraphicsWin(IEffectBase* plugin, int width, int height, int framesPerSecond)
    : IGraphicsWindow(plugin, width, height, framesPerSecond),
      module(static_cast<HMODULE>(CurrentModuleHandle())), processId(GetCurrentProcessId())
{
    if (module == nullptr)
        module = GetModuleHandleA(nullptr);
}

IGraphicsWin::~IGraphicsWin()
{
    CloseEditorWindow();
}

void IGraphicsWin::InstallAsEditor()
{
    EditorFactory::Install(MakeWin);
}

std::string IGraphicsWin::BackendName()
{
    return "Windows GDI";
}

// ---- Scale ----

double IGraphicsWin::DisplayScale()
{
    return contentScale > 0.0 ? contentScale : ScreenScale();
}

bool IGraphicsWin::SetContentScale(double scale)
{
    contentScale = scale > 0.0 ? scale : 0.0;
    MatchBitmapToScale();
    if (window != nullptr)
    {
        SetWindowPos(window, nullptr, 0, 0, WindowWidth(), WindowHeight(),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        InvalidateWindow({0, 0, WindowWidth(), WindowHeight()});
    }
    return true;
}

void IGraphicsWin::MatchBitmapToScale()
{
    IBitmap* bitmap = DrawingBitmap();
    if (bitmap && bitmap->Width() == WindowWidth() && bitmap->Height() == WindowHeight())
        return;
    RebuildDrawingBitmap();
}

// ---- Window ----

bool IGraphicsWin::AcquireWindowSystem()
{
    WNDCLASSA windowClass{};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = module;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void IGraphicsWin::ReleaseWindowSystem()
{
    // Fails while a window of the class is still being destroyed (the host destroyed its
    // window before closing the editor): the class then stays, and the next open uses it.
    UnregisterClassA(kWindowClass, module);
}

void* IGraphicsWin::CreateNativeWindow(void* parent, int x, int y, int width, int height)
{
    if (parent == nullptr || !IsWindow(static_cast<HWND>(parent)))
        return nullptr;
    // The screen's scale may differ from when the bitmap was made.
    MatchBitmapToScale();
    parentWindow = static_cast<HWND>(parent);
    HWND created = CreateWindowExA(0, kWindowClass, "Verdigrix", WS_CHILD | WS_VISIBLE, x, y, width,
                                   height, parentWindow, nullptr, module, this);
    if (created == nullptr)
    {
        parentWindow = nullptr;
        window = nullptr;
        return nullptr;
    }
    return created;
}

void IGraphicsWin::DestroyNativeWindow(void*)
{
    DestroyEntryBox();
    HWND closing = window;
    window = nullptr;
    paintContext = nullptr;
    if (closing == nullptr)
        return;
    // From here on the window's messages get default processing.
    KillTimer(closing, kTimerId);
    SetWindowLongPtrA(closing, GWLP_USERDATA, 0);
    if (GetCapture() == closing)
        ReleaseCapture();
    DestroyWindow(closing);
}

void IGraphicsWin::NativeWindowGeometry(int& x, int& y, int& width, int& height)
{
    RECT own{};
    RECT parent{};
    if (window == nullptr || !GetWindowRect(window, &own))
        return;
    if (HWND p = GetParent(window); p != nullptr)
        GetWindowRect(p, &parent);
    x = own.left - parent.left;
    y = own.top - parent.top;
    width = own.right - own.left;
    height = own.bottom - own.top;
}

IGraphicsWin* IGraphicsWin::EditorOf(HWND hwnd)
{
    IGraphicsWin* editor = StoredEditor(hwnd);
    return editor != nullptr && editor->window == hwnd ? editor : nullptr;
}

LRESULT CALLBACK IGraphicsWin::WindowProcedure(HWND hwnd, UINT message, WPARAM wParam,
                                               LPARAM lParam)
{
    if (message == WM_NCCREATE)
    {
        auto* editor =
            static_cast<IGraphicsWin*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(editor));
        editor->window = hwnd;
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    if (message == WM_CREATE)
    {
        if (IGraphicsWin* editor = EditorOf(hwnd))
            SetTimer(hwnd, kTimerId, static_cast<UINT>(editor->TimerPeriodMs()), nullptr);
        return 0;
    }
    IGraphicsWin* editor = EditorOf(hwnd);
    if (editor == nullptr)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    return editor->HandleMessage(message, wParam, lParam);
}

LRESULT IGraphicsWin::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND hwnd = window;
    WindowEvent event;
    switch (message)
    {
    case WM_NCDESTROY:
        // The host destroyed its window (and this one with it) before closing the editor.
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        window = nullptr;
        CloseEditorWindow();
        return DefWindowProcA(hwnd, message, wParam, lParam);
    case WM_TIMER:
        if (wParam != kTimerId)
            break;
        TimerTick();
        return 0;
    case WM_CTLCOLOREDIT:
        if (entryBox != nullptr && reinterpret_cast<HWND>(lParam) == entryBox)
            return EntryColours(reinterpret_cast<HDC>(wParam));
        break;
    case WM_PAINT:
        if (Paint())
            return 0;
        break;
    case WM_SIZE:
        event.kind = WindowEvent::Kind::kResize;
        if (HandleEvent(event))
            return 0;
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        event.kind =
            message == WM_SETFOCUS ? WindowEvent::Kind::kFocusIn : WindowEvent::Kind::kFocusOut;
        if (HandleEvent(event))
            return 0;
        break;
    case WM_CLOSE:
        event.kind = WindowEvent::Kind::kClose;
        if (HandleEvent(event))
            return 0;
        break;
    case WM_KEYDOWN:
    case WM_KEYUP:
    {
        const KeyMessage key{message, wParam, lParam};
        POINT p{};
        GetCursorPos(&p);
        ScreenToClient(hwnd, &p);
        event.kind =
            message == WM_KEYDOWN ? WindowEvent::Kind::kKeyDown : WindowEvent::Kind::kKeyUp;
        event.x = p.x;
        event.y = p.y;
        // Windows' virtual-key codes are the editor's key numbers.
        event.virtualKey = static_cast<int>(wParam);
        event.native = &key;
        if (HandleEvent(event))
            return 0;
        break;
    }
    case WM_MOUSEMOVE:
        if (Mouse(WindowEvent::Kind::kMotion, 0, wParam, lParam))
            return 0;
        break;
    case WM_LBUTTONDOWN:
        if (Mouse(WindowEvent::Kind::kPress, WindowEvent::kLeft, wParam, lParam))
            return 0;
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: // a quick second press is still a press
        if (Mouse(WindowEvent::Kind::kPress, WindowEvent::kRight, wParam, lParam))
            return 0;
        break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        if (Mouse(WindowEvent::Kind::kPress, WindowEvent::kMiddle, wParam, lParam))
            return 0;
        break;
    case WM_LBUTTONUP:
        if (Mouse(WindowEvent::Kind::kRelease, WindowEvent::kLeft, wParam, lParam))
            return 0;
        break;
    case WM_RBUTTONUP:
        if (Mouse(WindowEvent::Kind::kRelease, WindowEvent::kRight, wParam, lParam))
            return 0;
        break;
    case WM_MBUTTONUP:
        if (Mouse(WindowEvent::Kind::kRelease, WindowEvent::kMiddle, wParam, lParam))
            return 0;
        break;
    case WM_LBUTTONDBLCLK:
        if (Mouse(WindowEvent::Kind::kDoubleClick, WindowEvent::kLeft, wParam, lParam))
            return 0;
        break;
    case WM_MOUSEWHEEL:
    {
        // The wheel's position is on the screen.
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ScreenToClient(hwnd, &p);
        event.kind = WindowEvent::Kind::kWheel;
        event.x = p.x;
        event.y = p.y;
        event.buttons = StateOf(GET_KEYSTATE_WPARAM(wParam));
        event.wheelDelta = GET_WHEEL_DELTA_WPARAM(wParam);
        if (HandleEvent(event))
            return 0;
        break;
    }
    case WM_MOUSELEAVE:
        event.kind = WindowEvent::Kind::kLeave;
        if (HandleEvent(event))
            return 0;
        break;
    default:
        break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

bool IGraphicsWin::Mouse(WindowEvent::Kind kind, int button, WPARAM wParam, LPARAM lParam)
{
    WindowEvent event;
    event.kind = kind;
    event.button = button;
    event.x = GET_X_LPARAM(lParam);
    event.y = GET_Y_LPARAM(lParam);
    event.buttons = StateOf(wParam);
    return HandleEvent(event);
}

// ---- Painting ----

bool IGraphicsWin::Paint()
{
    RECT update{};
    if (!GetUpdateRect(window, &update, FALSE))
        return true;
    // Painting while the text box has the keyboard is left to the system (see HandleEvent).
    if (TextEntryOpen() && entryState == kEntryFocused)
        return false;
    HWND painted = window;
    PAINTSTRUCT paint{};
    paintContext = BeginPaint(painted, &paint);
    WindowEvent expose;
    expose.kind = WindowEvent::Kind::kExpose;
    expose.area = FromRect(update);
    HandleEvent(expose);
    paintContext = nullptr;
    // The window may have closed during the paint (a control's reaction).
    if (IsWindow(painted))
        EndPaint(painted, &paint);
    return true;
}

void IGraphicsWin::InvalidateWindow(const IRectangle& area)
{
    if (window == nullptr)
        return;
    const RECT r{area.left, area.top, area.right, area.bottom};
    InvalidateRect(window, &r, FALSE);
}

void IGraphicsWin::ValidateWindow(const IRectangle& area)
{
    if (window == nullptr)
        return;
    const RECT r{area.left, area.top, area.right, area.bottom};
    ValidateRect(window, &r);
}

void IGraphicsWin::UpdateWindow()
{
    // The paint message runs synchronously, before this returns.
    if (window != nullptr)
        ::UpdateWindow(window);
}

void IGraphicsWin::BlitToWindow(const IRectangle& area)
{
    IBitmap* bitmap = DrawingBitmap();
    if (window == nullptr || bitmap == nullptr || bitmap->DeviceContext() == nullptr)
        return;
    // The drawing bitmap holds window pixels already: the copy is one to one.
    HDC target = paintContext != nullptr ? paintContext : GetDC(window);
    if (target == nullptr)
        return;
    StretchBlt(target, area.left, area.top, area.Width(), area.Height(),
               static_cast<HDC>(bitmap->DeviceContext()), area.left, area.top, area.Width(),
               area.Height(), SRCCOPY);
    if (target != paintContext)
        ReleaseDC(window, target);
}

// ---- Input ----

void IGraphicsWin::TakeKeyboardFocus()
{
    if (window != nullptr)
        SetFocus(window);
}

void IGraphicsWin::SetMouseCapture(bool captured)
{
    if (window == nullptr)
        return;
    if (captured)
        SetCapture(window);
    else if (GetCapture() == window)
        ReleaseCapture();
}

bool IGraphicsWin::HasMouseCapture()
{
    return window != nullptr && GetCapture() == window;
}

void IGraphicsWin::TrackMouseLeave()
{
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = window;
    TrackMouseEvent(&track);
}

void IGraphicsWin::ForwardKeyToHost(const WindowEvent& event)
{
    if (window == nullptr || event.native == nullptr)
        return;
    const auto* key = static_cast<const KeyMessage*>(event.native);
    HWND top = GetAncestor(window, GA_ROOT);
    if (top != nullptr && top != window)
        SendMessageA(top, key->message, key->wParam, key->lParam);
}

// ---- Popup menus ----

HMENU IGraphicsWin::BuildMenu(const std::vector<PopupMenuItem>& items)
{
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr)
        return nullptr;
    for (const PopupMenuItem& item : items)
    {
        if (item.separator)
        {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        UINT flags = MF_STRING;
        if (item.grayed)
            flags |= MF_GRAYED;
        if (item.disabled)
            flags |= MF_DISABLED;
        if (item.checked)
            flags |= MF_CHECKED;
        if (!item.submenu.empty())
        {
            HMENU sub = BuildMenu(item.submenu);
            if (sub != nullptr)
                AppendMenuA(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub),
                            item.text.c_str());
            continue;
        }
        // Command 0 means "nothing chosen", so the native ids are one above ours.
        AppendMenuA(menu, flags, static_cast<UINT_PTR>(item.id + 1), item.text.c_str());
    }
    return menu;
}

int IGraphicsWin::TrackPopupMenu(const std::vector<PopupMenuItem>& items, int x, int y)
{
    if (window == nullptr)
        return -1;
    HMENU menu = BuildMenu(items);
    if (menu == nullptr)
        return -1;
    POINT p{x, y};
    ClientToScreen(window, &p);
    const BOOL command = ::TrackPopupMenu(
        menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, p.x,
        p.y, 0, window, nullptr);
    DestroyMenu(menu);
    return command > 0 ? static_cast<int>(command) - 1 : -1;
}

// ---- Text entry ----

bool IGraphicsWin::CreateEntryBox(const EntryBoxLayout& box)
{
    if (window == nullptr || entryBox != nullptr)
        return false;
    const DWORD align = box.align == 1 ? ES_CENTER : box.align == 2 ? ES_RIGHT : ES_LEFT;
    entryBox = CreateWindowExA(
        0, "EDIT", box.text.c_str(), WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOHSCROLL | align,
        box.x, box.y, box.width, box.height, window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEntryBoxId)), module, nullptr);
    if (entryBox == nullptr)
        return false;
    entryLayout = box;
    entryFont = CreateFontA(box.fontHeight, 0, 0, 0, box.bold ? FW_BOLD : FW_DONTCARE,
                            box.italic ? TRUE : FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            DEFAULT_PITCH | FF_DONTCARE, box.fontName.c_str());
    if (entryFont != nullptr)
        SendMessageA(entryBox, WM_SETFONT, reinterpret_cast<WPARAM>(entryFont), FALSE);
    SendMessageA(entryBox, EM_LIMITTEXT, static_cast<WPARAM>(std::max(box.limit, 0)), 0);
    SendMessageA(entryBox, EM_SETSEL, 0, -1);
    entryPreviousProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(entryBox, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EntryProcedure)));
    SetFocus(entryBox);
    return true;
}

std::string IGraphicsWin::EntryBoxText()
{
    char text[32] = {};
    if (entryBox != nullptr)
        GetWindowTextA(entryBox, text, sizeof text);
    return text;
}

void IGraphicsWin::DestroyEntryBox()
{
    if (entryBox == nullptr)
        return;
    HWND box = entryBox;
    entryBox = nullptr;
    SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(entryPreviousProcedure));
    entryPreviousProcedure = nullptr;
    const bool hadFocus = GetFocus() == box;
    DestroyWindow(box);
    if (entryFont != nullptr)
        DeleteObject(entryFont);
    entryFont = nullptr;
    // The keys go back to the editor, not to nowhere.
    if (hadFocus && window != nullptr)
        SetFocus(window);
}

LRESULT IGraphicsWin::EntryColours(HDC context)
{
    if (!TextEntryOpen())
        return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
    const IArgbColour& bg = entryLayout.background;
    const IArgbColour& fg = entryLayout.foreground;
    SetBkColor(context, RGB(bg.red, bg.green, bg.blue));
    SetTextColor(context, RGB(fg.red, fg.green, fg.blue));
    SetBkMode(context, OPAQUE);
    // The brush fills the box past the text: the same background.
    SetDCBrushColor(context, RGB(bg.red, bg.green, bg.blue));
    return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
}

LRESULT CALLBACK IGraphicsWin::EntryProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    IGraphicsWin* editor = EditorOf(GetParent(hwnd));
    if (editor == nullptr || editor->entryBox != hwnd)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    return editor->HandleEntryMessage(message, wParam, lParam);
}

LRESULT IGraphicsWin::HandleEntryMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND box = entryBox;
    WNDPROC previous = entryPreviousProcedure;
    switch (message)
    {
    case WM_SETFOCUS:
        EntryFocusGained();
        break;
    case WM_KILLFOCUS:
        EntryFocusLost();
        break;
    case WM_GETDLGCODE:
    {
        LRESULT code = CallWindowProcA(previous, box, message, wParam, lParam);
        const auto* queried = reinterpret_cast<const MSG*>(lParam);
        if (EntryParameter() == nullptr && queried != nullptr && queried->message == WM_KEYDOWN &&
            queried->wParam == VK_RETURN)
            code |= DLGC_WANTALLKEYS;
        return code;
    }
    case WM_KEYDOWN:
        if (EntryKeyDown(static_cast<int>(wParam)))
            return 0;
        break;
    case WM_CHAR:
        // Return and Escape were the box's commands already: they type nothing.
        if (wParam == '\r' || wParam == '\n' || wParam == 0x1B)
            return 0;
        if (wParam != VK_BACK && EntryParameter() != nullptr &&
            !EntryAcceptsCharacter(static_cast<char>(wParam)))
            return 0;
        break;
    case WM_COMMAND:
        if (HIWORD(wParam) == 1)
        {
            EntryCommand(1);
            return 0;
        }
        break;
    default:
        break;
    }
    return CallWindowProcA(previous, box, message, wParam, lParam);
}

// ---- Cursor ----

void IGraphicsWin::SetCursorShape(int kind)
{
    const int index = kind >= 0 && kind <= kCursorArrowQuestion ? kind : kCursorArrow;
    SetCursor(LoadCursorA(nullptr, kCursorNames[index]));
}

bool IGraphicsWin::CursorScreenPosition(int& x, int& y)
{
    POINT p{};
    if (!GetCursorPos(&p))
        return false;
    x = p.x;
    y = p.y;
    return true;
}

void IGraphicsWin::WarpCursor(int screenX, int screenY)
{
    SetCursorPos(screenX, screenY);
}

void IGraphicsWin::SetCursorVisible(bool visible)
{
    ShowCursor(visible ? TRUE : FALSE);
}

// ---- Services ----

void IGraphicsWin::FindTopWindow()
{
    if (parentWindow != nullptr)
    {
        HWND top = GetAncestor(parentWindow, GA_ROOT);
        topWindow = top != nullptr ? top : parentWindow;
        char name[256] = {};
        GetClassNameA(topWindow, name, sizeof name);
        topWindowClass = name;
        return;
    }
    if (topWindowClass.empty())
        return;
    TopWindowSearch search{processId, &topWindowClass, nullptr};
    EnumWindows(MatchTopWindow, reinterpret_cast<LPARAM>(&search));
    topWindow = search.found;
}

int IGraphicsWin::ShowMessage(const char* text, const char* caption, int buttons)
{
    if (topWindow == nullptr || !IsWindow(topWindow))
        FindTopWindow();
    return MessageBoxA(topWindow, text != nullptr ? text : "", caption != nullptr ? caption : "",
                       static_cast<UINT>(buttons));
}

std::string IGraphicsWin::FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('\\');
    if (slash == std::string::npos || slash + 1 == path.size())
        return {};
    return path.substr(0, slash + 1);
}

void IGraphicsWin::HostExecutableFolder(std::string& out)
{
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    out = n > 0 && n < MAX_PATH ? FolderOf(path) : std::string();
}

void IGraphicsWin::ModuleFolder(std::string& out)
{
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(module, path, MAX_PATH);
    out = n > 0 && n < MAX_PATH ? FolderOf(path) : std::string();
}

void IGraphicsWin::KnownFolder(int folder, std::string& out)
{
    char path[MAX_PATH] = {};
    out = SUCCEEDED(SHGetFolderPathA(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, path))
              ? std::string(path)
              : std::string();
}

void IGraphicsWin::DesktopFolder(std::string& out)
{
    KnownFolder(CSIDL_DESKTOPDIRECTORY, out);
}

void IGraphicsWin::DocumentsFolder(std::string& out)
{
    KnownFolder(CSIDL_PERSONAL, out);
}

void IGraphicsWin::AppDataFolder(std::string& out, bool systemWide)
{
    KnownFolder(systemWide ? CSIDL_COMMON_APPDATA : CSIDL_LOCAL_APPDATA, out);
}

void IGraphicsWin::UserAppDataFolder(std::string& out)
{
    AppDataFolder(out, false);
}

void IGraphicsWin::ChooseFile(std::string& out, int action, std::string& directory,
                              const char* extensions)
{
    if (window == nullptr)
    {
        out.clear();
        return;
    }
    // Each word w of the extensions becomes *.w; the description shows the same patterns.
    std::vector<std::string> words;
    std::istringstream split(extensions != nullptr ? extensions : "");
    for (std::string word; split >> word;)
        words.push_back(word);
    std::string patterns;
    for (const std::string& w : words)
        patterns += (patterns.empty() ? "*." : ";*.") + w;
    std::string filter;
    if (!patterns.empty())
        filter = patterns + '\0' + patterns + '\0';
    filter += '\0';
    const std::string defaultExtension = words.empty() ? std::string() : words[0].substr(0, 15);

    std::string initialFolder = directory;
    if (initialFolder.empty())
        DesktopFolder(initialFolder);
    char file[MAX_PATH] = {};
    std::snprintf(file, sizeof file, "%s", out.c_str());

    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window;
    dialog.lpstrFilter = patterns.empty() ? nullptr : filter.c_str();
    dialog.lpstrFile = file;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
    dialog.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();
    dialog.Flags = action == 1 ? (OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT)
                               : (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST);
    const BOOL chosen = action == 1 ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
    if (!chosen)
    {
        out.clear();
        return;
    }
    out = file;
    directory = FolderOf(out);
}

bool IGraphicsWin::ChooseColour(const IArgbColour& colour, const char* title)
{
    if (window == nullptr)
        return false;
    if (!customColours)
        customColours = std::make_unique<std::array<COLORREF, 16>>();
    CHOOSECOLORA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window;
    dialog.rgbResult = RGB(colour.red, colour.green, colour.blue);
    dialog.lpCustColors = customColours->data();
    dialog.Flags = CC_FULLOPEN | CC_RGBINIT | (title != nullptr ? CC_ENABLEHOOK : 0);
    dialog.lCustData = reinterpret_cast<LPARAM>(title);
    dialog.lpfnHook = ColourDialogHook;
    if (!ChooseColorA(&dialog))
        return false;
    pickedColour.red = GetRValue(dialog.rgbResult);
    pickedColour.green = GetGValue(dialog.rgbResult);
    pickedColour.blue = GetBValue(dialog.rgbResult);
    return true;
}

bool IGraphicsWin::OpenWebPage(const char* url, const char* title, const char* confirmText,
                               const char* failureText)
{
    if (url == nullptr)
        return false;
    if (confirmText != nullptr &&
        MessageBoxA(window, confirmText, title != nullptr ? title : "", MB_YESNO) != IDYES)
        return false;
    DWORD connection = 0;
    bool opened = false;
    if (InternetGetConnectedState(&connection, 0))
        opened = reinterpret_cast<INT_PTR>(
                     ShellExecuteA(window, "open", url, nullptr, nullptr, SW_SHOWNORMAL)) > 32;
    if (!opened && failureText != nullptr)
        MessageBoxA(window, failureText, title != nullptr ? title : "", MB_OK);
    return opened;
}

bool IGraphicsWin::ClipboardText(std::string& out)
{
    out.clear();
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(window))
        return false;
    bool found = false;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT); data != nullptr)
    {
        if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data)); wide != nullptr)
        {
            const int bytes =
                WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
            if (bytes > 0)
            {
                out.resize(static_cast<size_t>(bytes));
                WideCharToMultiByte(CP_UTF8, 0, wide, -1, out.data(), bytes, nullptr, nullptr);
                out.resize(static_cast<size_t>(bytes) - 1);
                found = true;
            }
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return found;
}

void IGraphicsWin::SetHostWindowOpacity(int alpha)
{
    if (parentWindow == nullptr)
        return;
    // Only top-level windows can be layered on every Windows version.
    HWND top = GetAncestor(parentWindow, GA_ROOT);
    if (top == nullptr)
        top = parentWindow;
    SetWindowLongA(top, GWL_EXSTYLE, GetWindowLongA(top, GWL_EXSTYLE) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(top, 0, static_cast<BYTE>(std::clamp(alpha, 0, 255)), LWA_ALPHA);
}

void IGraphicsWin::Reserved31() {}

std::unique_ptr<IBitmap> IGraphicsWin::LoadPngResource(int id, const char* name)
{
    return LoadPngFromModule(module, id, name);
}
