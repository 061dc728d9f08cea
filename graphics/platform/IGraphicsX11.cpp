#include "graphics/platform/IGraphicsX11.h"

#include "graphics/EditorFactory.h"
#include "graphics/IBitmap.h"
#include "graphics/VirtualKey.h"
#include "graphics/platform/ModuleHandle.h"
#include "graphics/platform/PngResource.h"
#include "graphics/platform/ProgramLauncher.h"
#include "graphics/platform/X11Clipboard.h"
#include "graphics/platform/X11Connection.h"
#include "graphics/platform/X11EntryBox.h"
#include "graphics/platform/X11PopupMenu.h"
#include "graphics/platform/XdgFolders.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>
#include <cairo-xlib.h>
#include <cairo.h>

#include <cstdlib>

namespace
{
constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask |
                            PointerMotionMask | LeaveWindowMask | KeyPressMask | KeyReleaseMask |
                            StructureNotifyMask | FocusChangeMask;
// XEmbed: protocol version 0, mapped; the messages an embedder sends or receives.
constexpr unsigned long kXEmbedMapped = 1;
constexpr long kXEmbedEmbeddedNotify = 0;
constexpr long kXEmbedWindowDeactivate = 2;
constexpr long kXEmbedRequestFocus = 3;
constexpr long kXEmbedFocusIn = 4;
constexpr long kXEmbedFocusOut = 5;
// The longest the clipboard's owner may take to answer.
constexpr int kClipboardTimeoutMs = 500;

Window XWindowOf(void* handle)
{
    return static_cast<Window>(reinterpret_cast<uintptr_t>(handle));
}
void* ToHandle(Window window)
{
    return reinterpret_cast<void*>(static_cast<uintptr_t>(window));
}

IMouseState StateOf(unsigned int mask)
{
    IMouseState s;
    s.left = (mask & Button1Mask) != 0;
    s.right = (mask & Button3Mask) != 0;
    s.shift = (mask & ShiftMask) != 0;
    s.control = (mask & ControlMask) != 0;
    s.alt = (mask & Mod1Mask) != 0;
    return s;
}

// Key symbols as the editor's key numbers (letters as capitals, like the keys themselves).
int VirtualKeyOf(KeySym symbol)
{
    if (symbol >= XK_a && symbol <= XK_z)
        return static_cast<int>('A' + (symbol - XK_a));
    if (symbol >= XK_A && symbol <= XK_Z)
        return static_cast<int>('A' + (symbol - XK_A));
    if (symbol >= XK_0 && symbol <= XK_9)
        return static_cast<int>('0' + (symbol - XK_0));
    switch (symbol)
    {
    case XK_space:
        return VirtualKey::kSpace;
    case XK_Up:
        return VirtualKey::kUp;
    case XK_Down:
        return VirtualKey::kDown;
    case XK_Left:
        return VirtualKey::kLeft;
    case XK_Right:
        return VirtualKey::kRight;
    case XK_Return:
    case XK_KP_Enter:
        return VirtualKey::kReturn;
    case XK_Escape:
        return VirtualKey::kEscape;
    case XK_BackSpace:
        return VirtualKey::kBackspace;
    case XK_Tab:
        return VirtualKey::kTab;
    case XK_Delete:
        return VirtualKey::kDelete;
    case XK_Home:
        return VirtualKey::kHome;
    case XK_End:
        return VirtualKey::kEnd;
    default:
        return VirtualKey::kNone;
    }
}

// The cursor-font shape of each cursor kind (index = kind; 0 the arrow).
constexpr unsigned int kCursorShapes[] = {
    XC_left_ptr,          // arrow
    XC_xterm,             // text beam
    XC_watch,             // wait
    XC_crosshair,         // cross
    XC_sb_up_arrow,       // up arrow
    XC_bottom_right_corner, // north-west / south-east size
    XC_bottom_left_corner,  // north-east / south-west size
    XC_sb_h_double_arrow, // west / east size
    XC_sb_v_double_arrow, // north / south size
    XC_fleur,             // four-way size
    XC_X_cursor,          // not allowed
    XC_hand2,             // hand
    XC_watch,             // arrow with hourglass
    XC_question_arrow     // arrow with question mark
};

std::unique_ptr<IGraphics> MakeX11(IEffectBase* plugin, int width, int height, int fps)
{
    return std::make_unique<IGraphicsX11>(plugin, width, height, fps);
}
} // namespace

IGraphicsX11::IGraphicsX11(IEffectBase* plugin, int width, int height, int framesPerSecond)
    : IGraphicsWindow(plugin, width, height, framesPerSecond)
{
}

IGraphicsX11::~IGraphicsX11()
{
    CloseEditorWindow();
}

void IGraphicsX11::InstallAsEditor()
{
    EditorFactory::Install(MakeX11);
}

std::string IGraphicsX11::BackendName()
{
    return "X11";
}

// ---- Scale ----

double IGraphicsX11::DisplayScale()
{
    if (contentScale > 0.0)
        return contentScale;
    const double resources = X11Connection::ResourceScale();
    return resources > 0.0 ? resources : 1.0;
}

bool IGraphicsX11::SetContentScale(double scale)
{
    contentScale = scale > 0.0 ? scale : 0.0;
    MatchBitmapToScale();
    if (xwindow && connection)
    {
        XResizeWindow(connection->display, xwindow, static_cast<unsigned>(WindowWidth()),
                      static_cast<unsigned>(WindowHeight()));
        if (windowSurface)
            cairo_xlib_surface_set_size(windowSurface, WindowWidth(), WindowHeight());
        InvalidateWindow({0, 0, WindowWidth(), WindowHeight()});
        XFlush(connection->display);
    }
    return true;
}

void IGraphicsX11::MatchBitmapToScale()
{
    IBitmap* bitmap = DrawingBitmap();
    if (bitmap && bitmap->Width() == WindowWidth() && bitmap->Height() == WindowHeight())
        return;
    RebuildDrawingBitmap();
}

// ---- Host-driven timer and events ----

int IGraphicsX11::EventDescriptor()
{
    return connection ? connection->Descriptor() : -1;
}

void IGraphicsX11::ProcessEvents()
{
    if (connection)
        connection->Dispatch();
}

void IGraphicsX11::HostIdle()
{
    if (!xwindow)
        return;
    ProcessEvents();
    const auto now = std::chrono::steady_clock::now();
    if (now - lastTick >= std::chrono::milliseconds(TimerPeriodMs()))
    {
        lastTick = now;
        TimerTick();
    }
}

// ---- Window ----

bool IGraphicsX11::AcquireWindowSystem()
{
    // The module's hold on the connection while any of its editor windows is open; each
    // window holds it too (CreateNativeWindow), so the last one closing closes it.
    return X11Connection::Acquire() != nullptr;
}

void IGraphicsX11::ReleaseWindowSystem()
{
    X11Connection::Release();
}

void* IGraphicsX11::CreateNativeWindow(void* parent, int x, int y, int width, int height)
{
    if (!parent)
        return nullptr;
    connection = X11Connection::Acquire();
    if (!connection)
        return nullptr;
    // The scale may have become known with the connection (Xft.dpi).
    MatchBitmapToScale();
    Display* display = connection->display;
    const Window parentWindow = XWindowOf(parent);
    XWindowAttributes parentAttributes{};
    Window created = 0;
    const bool ok = connection->Checked(
        [&]
        {
            if (!XGetWindowAttributes(display, parentWindow, &parentAttributes))
                return;
            XSetWindowAttributes attributes{};
            attributes.event_mask = kEventMask;
            attributes.background_pixmap = None;
            attributes.border_pixel = 0;
            attributes.colormap = parentAttributes.colormap;
            created = XCreateWindow(
                display, parentWindow, x, y, static_cast<unsigned>(width),
                static_cast<unsigned>(height), 0, parentAttributes.depth, InputOutput,
                parentAttributes.visual, CWEventMask | CWBackPixmap | CWBorderPixel | CWColormap,
                &attributes);
        });
    if (!ok || !created)
    {
        if (created)
            connection->Checked([&] { XDestroyWindow(display, created); });
        connection = nullptr;
        X11Connection::Release();
        return nullptr;
    }
    const unsigned long info[2] = {0, kXEmbedMapped};
    XChangeProperty(display, created, connection->xembedInfo, connection->xembedInfo, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(info), 2);
    XStoreName(display, created, "Verdigrix");
    XSetWMProtocols(display, created, &connection->wmDeleteWindow, 1);
    windowSurface =
        cairo_xlib_surface_create(display, created, parentAttributes.visual, width, height);
    connection->KeepCairoDevice(cairo_surface_get_device(windowSurface));
    xwindow = created;
    hostParent = parentWindow;
    connection->Register(created, this);
    XMapWindow(display, created);
    XFlush(display);
    lastTick = std::chrono::steady_clock::now();
    doubleClicks.Reset();
    return ToHandle(created);
}

void IGraphicsX11::DestroyNativeWindow(void*)
{
    if (!connection || !xwindow)
        return;
    Display* display = connection->display;
    DestroyEntryBox();
    // The bitmap's surface first (the window's surface keeps copies of it on the server),
    // then the window's, both finished while the window exists.
    if (bitmapSurface)
    {
        cairo_surface_finish(bitmapSurface);
        cairo_surface_destroy(bitmapSurface);
    }
    bitmapSurface = nullptr;
    if (windowSurface)
    {
        cairo_surface_finish(windowSurface);
        cairo_surface_destroy(windowSurface);
    }
    windowSurface = nullptr;
    bitmapPixels = nullptr;
    connection->Unregister(xwindow);
    // The host may have destroyed its window (and ours with it) already.
    const Window closing = xwindow;
    connection->Checked([&] { XDestroyWindow(display, closing); });
    xwindow = 0;
    hostParent = 0;
    embedder = 0;
    pendingArea = {};
    captured = false;
    if (invisibleCursor != None)
        XFreeCursor(display, invisibleCursor);
    if (shownCursor != None)
        XFreeCursor(display, shownCursor);
    invisibleCursor = shownCursor = None;
    XFlush(display);
    connection = nullptr;
    X11Connection::Release();
}

void IGraphicsX11::NativeWindowGeometry(int& x, int& y, int& width, int& height)
{
    Window root = 0;
    int wx = 0;
    int wy = 0;
    unsigned int w = 0;
    unsigned int h = 0;
    unsigned int border = 0;
    unsigned int depth = 0;
    if (connection && xwindow &&
        XGetGeometry(connection->display, xwindow, &root, &wx, &wy, &w, &h, &border, &depth))
    {
        x = wx;
        y = wy;
        width = static_cast<int>(w);
        height = static_cast<int>(h);
    }
}

// ---- Painting ----

void IGraphicsX11::InvalidateWindow(const IRectangle& area)
{
    pendingArea = pendingArea.Union(area);
}

void IGraphicsX11::ValidateWindow(const IRectangle& area)
{
    // One rectangle is kept; only an area that covers it all takes it away.
    if (area.left <= pendingArea.left && area.top <= pendingArea.top &&
        area.right >= pendingArea.right && area.bottom >= pendingArea.bottom)
        pendingArea = {};
}

void IGraphicsX11::UpdateWindow()
{
    if (pendingArea.IsEmpty())
        return;
    WindowEvent expose;
    expose.kind = WindowEvent::Kind::kExpose;
    expose.area = pendingArea;
    pendingArea = {};
    HandleEvent(expose);
}

void IGraphicsX11::BlitToWindow(const IRectangle& area)
{
    IBitmap* bitmap = DrawingBitmap();
    if (!windowSurface || !bitmap || !bitmap->Pixels())
        return;
    if (!bitmapSurface || bitmapPixels != bitmap->Pixels())
    {
        if (bitmapSurface)
            cairo_surface_destroy(bitmapSurface);
        // The bitmap's 0xAARRGGBB pixels are cairo's native layout; the editor is opaque.
        bitmapSurface = cairo_image_surface_create_for_data(
            reinterpret_cast<unsigned char*>(bitmap->Pixels()), CAIRO_FORMAT_RGB24,
            bitmap->Width(), bitmap->Height(), bitmap->RowPixels() * 4);
        bitmapPixels = bitmap->Pixels();
    }
    cairo_surface_mark_dirty(bitmapSurface);
    cairo_t* cr = cairo_create(windowSurface);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, bitmapSurface, 0, 0);
    cairo_rectangle(cr, area.left, area.top, area.Width(), area.Height());
    cairo_fill(cr);
    cairo_destroy(cr);
    cairo_surface_flush(windowSurface);
    XFlush(connection->display);
}

// ---- Input ----

void IGraphicsX11::HandleXEvent(XEvent& event)
{
    if (entryBox && event.xany.window == entryBox->XWindow())
    {
        entryBox->HandleXEvent(event);
        return;
    }
    switch (event.type)
    {
    case Expose:
    {
        const XExposeEvent& e = event.xexpose;
        InvalidateWindow({e.x, e.y, e.x + e.width, e.y + e.height});
        if (e.count == 0)
            UpdateWindow();
        break;
    }
    case ButtonPress:
        // A press in the editor takes the keyboard from an open box: Return is no longer
        // the box's, and the window logic ends the entry (the box's focus loss commits).
        if (entryBox && entryBox->HasFocus())
        {
            entryBox->FocusLost();
            if (event.xbutton.button >= Button1 && event.xbutton.button <= Button3)
                TakeKeyboardFocus();
        }
        TranslateButton(event.xbutton, true);
        break;
    case ButtonRelease:
        TranslateButton(event.xbutton, false);
        break;
    case MotionNotify:
    {
        WindowEvent e;
        e.kind = WindowEvent::Kind::kMotion;
        e.x = event.xmotion.x;
        e.y = event.xmotion.y;
        e.buttons = StateOf(event.xmotion.state);
        HandleEvent(e);
        break;
    }
    case LeaveNotify:
        if (event.xcrossing.mode == NotifyNormal)
        {
            WindowEvent e;
            e.kind = WindowEvent::Kind::kLeave;
            HandleEvent(e);
        }
        break;
    case KeyPress:
        // Keys typed while the box is open are the box's, wherever X sent them.
        if (entryBox)
            entryBox->HandleKey(event.xkey);
        else
            TranslateKey(event.xkey, true);
        break;
    case KeyRelease:
        if (!entryBox)
            TranslateKey(event.xkey, false);
        break;
    case FocusIn:
    case FocusOut:
    {
        WindowEvent e;
        e.kind = event.type == FocusIn ? WindowEvent::Kind::kFocusIn : WindowEvent::Kind::kFocusOut;
        HandleEvent(e);
        break;
    }
    case ConfigureNotify:
    {
        WindowEvent e;
        e.kind = WindowEvent::Kind::kResize;
        HandleEvent(e);
        break;
    }
    case ClientMessage:
        if (connection && event.xclient.message_type == connection->xembed)
            HandleXEmbedMessage(event.xclient);
        else if (connection && event.xclient.message_type == connection->wmProtocols &&
                 static_cast<Atom>(event.xclient.data.l[0]) == connection->wmDeleteWindow)
        {
            WindowEvent e;
            e.kind = WindowEvent::Kind::kClose;
            HandleEvent(e);
        }
        break;
    default:
        break;
    }
}

void IGraphicsX11::TranslateButton(const XButtonEvent& event, bool press)
{
    WindowEvent e;
    e.x = event.x;
    e.y = event.y;
    e.buttons = StateOf(event.state);
    if (event.button == Button4 || event.button == Button5)
    {
        // One notch per wheel click; the release of a wheel "button" means nothing.
        if (!press)
            return;
        e.kind = WindowEvent::Kind::kWheel;
        e.wheelDelta = event.button == Button4 ? 120 : -120;
        HandleEvent(e);
        return;
    }
    if (event.button < Button1 || event.button > Button3)
        return;
    e.button = event.button == Button1 ? WindowEvent::kLeft
               : event.button == Button3 ? WindowEvent::kRight
                                         : WindowEvent::kMiddle;
    // X reports the buttons as they were before the event; the editor wants them after.
    const bool isLeft = e.button == WindowEvent::kLeft;
    const bool isRight = e.button == WindowEvent::kRight;
    if (isLeft)
        e.buttons.left = press;
    if (isRight)
        e.buttons.right = press;
    if (press)
    {
        const bool isDouble =
            doubleClicks.Press(e.button, event.x, event.y, static_cast<uint32_t>(event.time));
        e.kind = isDouble ? WindowEvent::Kind::kDoubleClick : WindowEvent::Kind::kPress;
    }
    else
    {
        e.kind = WindowEvent::Kind::kRelease;
    }
    HandleEvent(e);
}

void IGraphicsX11::TranslateKey(XKeyEvent& event, bool press)
{
    KeySym symbol = NoSymbol;
    char text[8];
    XLookupString(&event, text, sizeof text, &symbol, nullptr);
    WindowEvent e;
    e.kind = press ? WindowEvent::Kind::kKeyDown : WindowEvent::Kind::kKeyUp;
    e.x = event.x;
    e.y = event.y;
    e.virtualKey = VirtualKeyOf(symbol);
    e.native = &event;
    HandleEvent(e);
}

void IGraphicsX11::HandleXEmbedMessage(const XClientMessageEvent& message)
{
    switch (message.data.l[1])
    {
    case kXEmbedEmbeddedNotify:
        embedder = static_cast<Window>(message.data.l[3]);
        break;
    case kXEmbedFocusIn:
        if (entryBox)
            entryBox->FocusGained();
        break;
    case kXEmbedFocusOut:
    case kXEmbedWindowDeactivate:
        // The embedder keeps the real focus; these are the box's focus changes.
        if (entryBox)
            entryBox->FocusLost();
        break;
    default:
        break;
    }
}

void IGraphicsX11::TakeKeyboardFocus()
{
    if (!connection || !xwindow)
        return;
    connection->Checked(
        [&] { XSetInputFocus(connection->display, xwindow, RevertToParent, CurrentTime); });
    if (!embedder)
        return;
    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = embedder;
    request.xclient.message_type = connection->xembed;
    request.xclient.format = 32;
    request.xclient.data.l[0] = CurrentTime;
    request.xclient.data.l[1] = kXEmbedRequestFocus;
    const Window to = embedder;
    connection->Checked([&] { XSendEvent(connection->display, to, False, NoEventMask, &request); });
}

void IGraphicsX11::SetMouseCapture(bool c)
{
    // The server's implicit grab keeps the pointer with this window while a button is held.
    captured = c;
}

bool IGraphicsX11::HasMouseCapture()
{
    return captured;
}

void IGraphicsX11::TrackMouseLeave()
{
    // Leave events are always selected.
}

Window IGraphicsX11::TopLevelOf(Window window)
{
    Display* display = connection->display;
    Window current = window;
    for (;;)
    {
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, current, &root, &parent, &children, &count))
            return current;
        if (children)
            XFree(children);
        if (parent == root || parent == 0)
            return current;
        current = parent;
    }
}

void IGraphicsX11::ForwardKeyToHost(const WindowEvent& event)
{
    if (!connection || !hostParent || !event.native)
        return;
    XKeyEvent key = *static_cast<const XKeyEvent*>(event.native);
    connection->Checked(
        [&]
        {
            const Window top = TopLevelOf(hostParent);
            key.window = top;
            key.subwindow = None;
            XEvent sent{};
            sent.xkey = key;
            XSendEvent(connection->display, top, True,
                       key.type == KeyPress ? KeyPressMask : KeyReleaseMask, &sent);
        });
}

// ---- Menus ----

int IGraphicsX11::TrackPopupMenu(const std::vector<PopupMenuItem>& items, int x, int y)
{
    if (!connection || !xwindow)
        return -1;
    Display* display = connection->display;
    int screenX = 0;
    int screenY = 0;
    Window child = 0;
    XTranslateCoordinates(display, xwindow, DefaultRootWindow(display), x, y, &screenX, &screenY,
                          &child);
    // The editor keeps repainting under its menu (the pad follows the audio), from the
    // menu's loop since the host's timer waits for us meanwhile.
    X11PopupMenu menu(xwindow, DisplayScale(), [this] { TimerTick(); }, TimerPeriodMs());
    return menu.Track(items, screenX, screenY);
}

// ---- Text entry ----

bool IGraphicsX11::CreateEntryBox(const EntryBoxLayout& layout)
{
    if (!connection || !xwindow || entryBox)
        return false;
    auto box = std::make_unique<X11EntryBox>(*connection, xwindow, layout, *this);
    if (!box->IsOpen())
        return false;
    connection->Register(box->XWindow(), this);
    entryBox = std::move(box);
    return true;
}

std::string IGraphicsX11::EntryBoxText()
{
    return entryBox ? entryBox->Text() : std::string();
}

void IGraphicsX11::DestroyEntryBox()
{
    if (!entryBox)
        return;
    // Events still queued for the box's window find no owner and are dropped.
    connection->Unregister(entryBox->XWindow());
    entryBox.reset();
}

// ---- Cursor ----

unsigned int IGraphicsX11::CursorFontShape(int kind)
{
    constexpr int kinds = static_cast<int>(sizeof kCursorShapes / sizeof kCursorShapes[0]);
    return kCursorShapes[kind >= 0 && kind < kinds ? kind : kCursorArrow];
}

void IGraphicsX11::SetCursorShape(int kind)
{
    cursorKind = kind;
    if (!connection || !xwindow)
        return;
    Display* display = connection->display;
    if (shownCursor != None)
        XFreeCursor(display, shownCursor);
    shownCursor = XCreateFontCursor(display, CursorFontShape(kind));
    if (!cursorHidden)
        XDefineCursor(display, xwindow, shownCursor);
    XFlush(display);
}

bool IGraphicsX11::CursorScreenPosition(int& x, int& y)
{
    if (!connection || !xwindow)
        return false;
    Window root = 0;
    Window child = 0;
    int wx = 0;
    int wy = 0;
    unsigned int mask = 0;
    return XQueryPointer(connection->display, xwindow, &root, &child, &x, &y, &wx, &wy, &mask);
}

void IGraphicsX11::WarpCursor(int screenX, int screenY)
{
    if (!connection)
        return;
    Display* display = connection->display;
    XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, screenX, screenY);
    XFlush(display);
}

void IGraphicsX11::SetCursorVisible(bool visible)
{
    if (!connection || !xwindow)
        return;
    Display* display = connection->display;
    if (visible)
    {
        if (shownCursor != None)
            XDefineCursor(display, xwindow, shownCursor);
        else
            XUndefineCursor(display, xwindow);
    }
    else
    {
        if (invisibleCursor == None)
        {
            static const char empty[1] = {0};
            Pixmap blank = XCreateBitmapFromData(display, xwindow, empty, 1, 1);
            XColor black{};
            invisibleCursor = XCreatePixmapCursor(display, blank, blank, &black, &black, 0, 0);
            XFreePixmap(display, blank);
        }
        XDefineCursor(display, xwindow, invisibleCursor);
    }
    XFlush(display);
}

// ---- Services ----

int IGraphicsX11::ShowMessage(const char*, const char*, int)
{
    // No message box of our own: answered as cancelled.
    return 0;
}

void IGraphicsX11::HostExecutableFolder(std::string& out)
{
    out = XdgFolders::ProgramFolder();
}
void IGraphicsX11::ModuleFolder(std::string& out)
{
    out = XdgFolders::ModuleFolder();
}
void IGraphicsX11::DesktopFolder(std::string& out)
{
    out = XdgFolders::UserDirectory("DESKTOP", "Desktop");
}
void IGraphicsX11::DocumentsFolder(std::string& out)
{
    out = XdgFolders::UserDirectory("DOCUMENTS", "Documents");
}
void IGraphicsX11::AppDataFolder(std::string& out, bool systemWide)
{
    out = systemWide ? XdgFolders::SystemData() : XdgFolders::UserData();
}
void IGraphicsX11::UserAppDataFolder(std::string& out)
{
    out = XdgFolders::UserData();
}
// No dialogs of our own: answered as cancelled.
void IGraphicsX11::ChooseFile(std::string& out, int, std::string&, const char*)
{
    out.clear();
}
bool IGraphicsX11::ChooseColour(const IArgbColour&, const char*)
{
    return false;
}

bool IGraphicsX11::OpenWebPage(const char* url, const char*, const char* confirmText, const char*)
{
    // A confirmation would need a message box, which answers as cancelled; a url that
    // starts with '-' would be read as an option of xdg-open.
    if (confirmText || !url || !*url || *url == '-')
        return false;
    return ProgramLauncher::Launch("xdg-open", url);
}

bool IGraphicsX11::ClipboardText(std::string& out)
{
    out.clear();
    // The connection of an open editor, else one of our own for the call.
    X11Connection* held = X11Connection::Acquire();
    if (!held)
        return false;
    const bool ok = X11Clipboard::ReadText(*held, out, kClipboardTimeoutMs);
    X11Connection::Release();
    return ok;
}

void IGraphicsX11::SetHostWindowOpacity(int alpha)
{
    if (!connection || !hostParent)
        return;
    const unsigned long opacity =
        static_cast<unsigned long>(alpha < 0 ? 0 : (alpha > 255 ? 255 : alpha)) * 0x01010101ul;
    connection->Checked(
        [&]
        {
            XChangeProperty(connection->display, TopLevelOf(hostParent), connection->windowOpacity,
                            XA_CARDINAL, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(&opacity), 1);
        });
}

void IGraphicsX11::Reserved31() {}

std::unique_ptr<IBitmap> IGraphicsX11::LoadPngResource(int id, const char* name)
{
    return LoadPngFromModule(CurrentModuleHandle(), id, name);
}
