#include "graphics/platform/X11PopupMenu.h"

#include "graphics/IArgbColour.h"
#include "graphics/PopupMenuLayout.h"
#include "graphics/platform/IGraphicsX11.h"
#include "graphics/platform/ModuleHandle.h"
#include "graphics/platform/X11Connection.h"

#include <X11/Xatom.h>
#include <X11/keysym.h>
#include <cairo-xlib.h>
#include <cairo.h>

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cmath>
#include <thread>

namespace
{
using Clock = std::chrono::steady_clock;

IArgbColour ColourOf(unsigned long rgb, int alpha = 255)
{
    return {alpha, static_cast<int32_t>((rgb >> 16) & 0xFF),
            static_cast<int32_t>((rgb >> 8) & 0xFF), static_cast<int32_t>(rgb & 0xFF)};
}

void SetSource(cairo_t* context, unsigned long rgb, double alpha = 1.0)
{
    cairo_set_source_rgba(context, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                          (rgb & 0xFF) / 255.0, alpha);
}

// Grayed entries are drawn as the editor draws grayed controls: at 40 % alpha.
constexpr double kGrayedAlpha = 0.4;

bool IsInput(int type)
{
    switch (type)
    {
    case KeyPress:
    case KeyRelease:
    case ButtonPress:
    case ButtonRelease:
    case MotionNotify:
    case EnterNotify:
    case LeaveNotify:
        return true;
    default:
        return false;
    }
}
} // namespace

struct X11PopupMenu::Level
{
    const std::vector<PopupMenuItem>* items = nullptr;
    std::unique_ptr<PopupMenuLayout> layout;
    Window window = 0;
    cairo_surface_t* surface = nullptr;
    int x = 0;
    int y = 0;
    int highlighted = -1;
    /// The item whose submenu is the next level, or -1.
    int openItem = -1;
};

X11PopupMenu::X11PopupMenu(Window owner, double scale, std::function<void()> tick, int tickPeriodMs)
    : owner(owner), scale(scale > 0.0 ? scale : 1.0), tick(std::move(tick)),
      tickPeriodMs(tickPeriodMs > 0 ? tickPeriodMs : 33), textPainter(CurrentModuleHandle())
{
    // Our own hold on the connection: an editor closing during the menu must not close it.
    connection = X11Connection::Acquire();
    textPainter.LoadFont(kFontResource);
    measureSurface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
    measureContext = cairo_create(measureSurface);
}

X11PopupMenu::~X11PopupMenu()
{
    CloseLevelsAbove(-1);
    cairo_destroy(measureContext);
    cairo_surface_destroy(measureSurface);
    if (connection)
        X11Connection::Release();
}

double X11PopupMenu::TextWidth(const std::string& text)
{
    // The painter measures while it writes; the 1-pixel scratch surface takes the ink.
    textPainter.WriteText(measureContext, text.c_str(), PopupMenuLayout::kTextSize * scale,
                          ColourOf(kAccent), {0, 0, 1, 1}, CairoTextPainter::kAlignLeft);
    return textPainter.TextExtents().x_advance;
}

int X11PopupMenu::Track(const std::vector<PopupMenuItem>& items, int x, int y)
{
    if (!connection || items.empty() || !levels.empty())
        return -1;
    done = false;
    armed = false;
    result = -1;
    activeLevel = 0;
    if (!OpenLevel(items, x, y, INT_MIN))
        return -1;
    Display* display = connection->display;
    if (Grab())
        RunLoop();
    XUngrabKeyboard(display, CurrentTime);
    XUngrabPointer(display, CurrentTime);
    CloseLevelsAbove(-1);
    // What waited for the menu to go (a close request, a destroyed window) comes next.
    for (auto event = deferred.rbegin(); event != deferred.rend(); ++event)
        XPutBackEvent(display, &*event);
    deferred.clear();
    XFlush(display);
    return result;
}

// ---- Windows ----

bool X11PopupMenu::OpenLevel(const std::vector<PopupMenuItem>& items, int x, int y, int flipRight)
{
    Display* display = connection->display;
    const int screen = DefaultScreen(display);
    auto level = std::make_unique<Level>();
    level->items = &items;
    level->layout = std::make_unique<PopupMenuLayout>(
        items, scale, [this](const std::string& text) { return TextWidth(text); });
    const int width = level->layout->Width();
    const int height = level->layout->Height();
    const int screenWidth = DisplayWidth(display, screen);
    const int screenHeight = DisplayHeight(display, screen);
    // Kept on the screen: a submenu that would leave it on the right opens to the left of
    // its parent, anything else is pushed back in.
    if (x + width > screenWidth)
        x = flipRight != INT_MIN ? flipRight - width : screenWidth - width;
    if (y + height > screenHeight)
        y = screenHeight - height;
    level->x = std::max(0, x);
    level->y = std::max(0, y);

    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.save_under = True;
    attributes.event_mask = ExposureMask;
    attributes.background_pixel = kBackground;
    attributes.border_pixel = 0;
    Window created = 0;
    connection->Checked(
        [&]
        {
            created = XCreateWindow(display, RootWindow(display, screen), level->x, level->y,
                                    static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                                    CopyFromParent, InputOutput, CopyFromParent,
                                    CWOverrideRedirect | CWSaveUnder | CWEventMask | CWBackPixel |
                                        CWBorderPixel,
                                    &attributes);
        });
    if (!created)
        return false;
    const Atom type = XInternAtom(display, "_NET_WM_WINDOW_TYPE", False);
    const Atom popup = XInternAtom(display, "_NET_WM_WINDOW_TYPE_POPUP_MENU", False);
    XChangeProperty(display, created, type, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&popup), 1);
    level->window = created;
    level->surface =
        cairo_xlib_surface_create(display, created, DefaultVisual(display, screen), width, height);
    connection->KeepCairoDevice(cairo_surface_get_device(level->surface));
    XMapRaised(display, created);
    levels.push_back(std::move(level));
    return true;
}

void X11PopupMenu::OpenSubmenu(int level, int item, bool highlightFirst)
{
    Level& parent = *levels[static_cast<size_t>(level)];
    const PopupMenuItem& opener = (*parent.items)[static_cast<size_t>(item)];
    const PopupMenuLayout& layout = *parent.layout;
    const int border = layout.Pixels(1.0);
    const int x = parent.x + layout.Width() - border;
    const int y = parent.y + layout.RowOf(item).top - layout.Pixels(PopupMenuLayout::kPadding);
    if (!OpenLevel(opener.submenu, x, y, parent.x + border))
        return;
    parent.openItem = item;
    if (highlightFirst)
    {
        activeLevel = level + 1;
        SetHighlight(level + 1, PopupMenuLayout::Step(opener.submenu, -1, 1));
    }
}

void X11PopupMenu::CloseLevelsAbove(int level)
{
    if (!connection)
        return;
    Display* display = connection->display;
    while (static_cast<int>(levels.size()) > level + 1)
    {
        Level& closing = *levels.back();
        // The surface is finished while its window still exists.
        cairo_surface_finish(closing.surface);
        cairo_surface_destroy(closing.surface);
        XDestroyWindow(display, closing.window);
        levels.pop_back();
    }
    if (level >= 0 && level < static_cast<int>(levels.size()))
        levels[static_cast<size_t>(level)]->openItem = -1;
    activeLevel = std::min(activeLevel, std::max(level, 0));
}

void X11PopupMenu::SetHighlight(int level, int item)
{
    if (level < 0 || level >= static_cast<int>(levels.size()))
        return;
    Level& target = *levels[static_cast<size_t>(level)];
    if (target.highlighted == item)
        return;
    target.highlighted = item;
    Paint(target);
}

// ---- Drawing ----

void X11PopupMenu::Paint(Level& level)
{
    const PopupMenuLayout& layout = *level.layout;
    const int width = layout.Width();
    const int height = layout.Height();
    const double border = layout.Pixels(1.0);
    cairo_t* context = cairo_create(level.surface);
    cairo_push_group(context);
    SetSource(context, kBackground);
    cairo_paint(context);
    cairo_set_line_width(context, border);
    SetSource(context, kAccent);
    cairo_rectangle(context, border / 2, border / 2, width - border, height - border);
    cairo_stroke(context);

    const double checkGutter = layout.Pixels(PopupMenuLayout::kCheckGutter);
    const double arrowGutter = layout.Pixels(PopupMenuLayout::kArrowGutter);
    for (int i = 0; i < layout.RowCount(); ++i)
    {
        const PopupMenuItem& item = (*level.items)[static_cast<size_t>(i)];
        const PopupMenuLayout::Row& row = layout.RowOf(i);
        const double middle = (row.top + row.bottom) / 2.0;
        if (item.separator)
        {
            SetSource(context, kAccent, kGrayedAlpha);
            cairo_rectangle(context, checkGutter / 2, std::floor(middle), width - checkGutter,
                            border);
            cairo_fill(context);
            continue;
        }
        const bool active = !item.grayed && !item.disabled;
        const bool lit = i == level.highlighted;
        unsigned long ink = item.disabled ? kCaption : kAccent;
        double inkAlpha = item.grayed ? kGrayedAlpha : 1.0;
        if (lit && active)
        {
            SetSource(context, kAccent);
            cairo_rectangle(context, border, row.top, width - 2 * border, row.bottom - row.top);
            cairo_fill(context);
            ink = kBackground;
            inkAlpha = 1.0;
        }
        else if (lit)
        {
            // An entry that cannot be chosen is only outlined, so the keyboard's place shows.
            SetSource(context, kAccent, kGrayedAlpha);
            cairo_rectangle(context, 1.5 * border, row.top + border / 2, width - 3 * border,
                            row.bottom - row.top - border);
            cairo_stroke(context);
        }
        if (item.checked)
        {
            SetSource(context, ink, inkAlpha);
            cairo_set_line_width(context, 2.0 * scale);
            cairo_move_to(context, checkGutter * 0.3, middle);
            cairo_line_to(context, checkGutter * 0.45, middle + checkGutter * 0.15);
            cairo_line_to(context, checkGutter * 0.72, middle - checkGutter * 0.2);
            cairo_stroke(context);
            cairo_set_line_width(context, border);
        }
        if (!item.submenu.empty())
        {
            SetSource(context, ink, inkAlpha);
            cairo_move_to(context, width - arrowGutter * 0.6, middle - arrowGutter * 0.18);
            cairo_line_to(context, width - arrowGutter * 0.6, middle + arrowGutter * 0.18);
            cairo_line_to(context, width - arrowGutter * 0.35, middle);
            cairo_close_path(context);
            cairo_fill(context);
        }
        const IRectangle area{static_cast<int32_t>(checkGutter), row.top,
                              static_cast<int32_t>(width - arrowGutter), row.bottom};
        textPainter.WriteText(context, item.text.c_str(), layout.TextSize(),
                              ColourOf(ink, static_cast<int>(inkAlpha * 255)), area,
                              CairoTextPainter::kAlignLeft);
    }
    cairo_pop_group_to_source(context);
    cairo_paint(context);
    cairo_destroy(context);
    cairo_surface_flush(level.surface);
    XFlush(connection->display);
}

// ---- The nested loop ----

bool X11PopupMenu::Grab()
{
    Display* display = connection->display;
    const Window window = levels.front()->window;
    constexpr unsigned int kPointerMask = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
    // Another client may hold a grab for a moment (a host's own menu closing): try a while.
    int status = GrabNotViewable;
    for (int attempt = 0; attempt < 20; ++attempt)
    {
        status = XGrabPointer(display, window, False, kPointerMask, GrabModeAsync, GrabModeAsync,
                              None, None, CurrentTime);
        if (status == GrabSuccess)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (status != GrabSuccess)
        return false;
    // Without the keyboard the menu still works with the mouse.
    XGrabKeyboard(display, window, False, GrabModeAsync, GrabModeAsync, CurrentTime);
    return true;
}

void X11PopupMenu::RunLoop()
{
    Display* display = connection->display;
    auto nextTick = Clock::now() + std::chrono::milliseconds(tickPeriodMs);
    while (!done)
    {
        while (!done && XPending(display) > 0)
        {
            XEvent event;
            XNextEvent(display, &event);
            HandleEvent(event);
        }
        if (done)
            break;
        int timeout = -1;
        if (tick)
        {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(nextTick - Clock::now());
            timeout = static_cast<int>(std::max<long long>(0, left.count()));
        }
        pollfd watched{ConnectionNumber(display), POLLIN, 0};
        const int ready = poll(&watched, 1, timeout);
        if ((ready < 0 && errno != EINTR) || (watched.revents & (POLLERR | POLLHUP | POLLNVAL)))
            return;
        if (tick && Clock::now() >= nextTick)
        {
            tick();
            nextTick = Clock::now() + std::chrono::milliseconds(tickPeriodMs);
        }
    }
}

void X11PopupMenu::HandleEvent(XEvent& event)
{
    Level* level = nullptr;
    for (auto& l : levels)
        if (l->window == event.xany.window)
            level = l.get();
    if (!level)
    {
        HandleOtherWindow(event);
        return;
    }
    switch (event.type)
    {
    case Expose:
        if (event.xexpose.count == 0)
            Paint(*level);
        break;
    case MotionNotify:
        PointerMoved(event.xmotion.x_root, event.xmotion.y_root);
        break;
    case ButtonPress:
        ButtonPressed(event.xbutton);
        break;
    case ButtonRelease:
        ButtonReleased(event.xbutton);
        break;
    case KeyPress:
        KeyPressed(event.xkey);
        break;
    default:
        break;
    }
}

void X11PopupMenu::HandleOtherWindow(XEvent& event)
{
    // Input that reached another window before the grab belongs to the gesture that opened
    // the menu, which the menu took over: it is dropped.
    if (IsInput(event.type))
        return;
    if (event.type == ClientMessage || event.type == DestroyNotify)
    {
        // Closing an editor under its own menu would pull the window from under the
        // caller; the request waits for the menu. A window the host destroyed ends it.
        if (event.type == DestroyNotify && event.xdestroywindow.window == owner)
            done = true;
        deferred.push_back(event);
        return;
    }
    if (IGraphicsX11* editor = connection->OwnerOf(event.xany.window))
        editor->HandleXEvent(event);
}

// ---- Input ----

void X11PopupMenu::Hit(int rootX, int rootY, int& level, int& item) const
{
    level = item = -1;
    // Submenus lie above their parents: the last level opened wins.
    for (int i = static_cast<int>(levels.size()) - 1; i >= 0; --i)
    {
        const Level& l = *levels[static_cast<size_t>(i)];
        const int x = rootX - l.x;
        const int y = rootY - l.y;
        if (x >= 0 && y >= 0 && x < l.layout->Width() && y < l.layout->Height())
        {
            level = i;
            item = l.layout->ItemAt(y);
            return;
        }
    }
}

void X11PopupMenu::PointerMoved(int rootX, int rootY)
{
    int level = -1;
    int item = -1;
    Hit(rootX, rootY, level, item);
    if (level < 0 || item < 0)
        return;
    const PopupMenuItem& entry =
        (*levels[static_cast<size_t>(level)]->items)[static_cast<size_t>(item)];
    if (entry.separator)
        return;
    armed = true;
    activeLevel = level;
    SetHighlight(level, item);
    if (levels[static_cast<size_t>(level)]->openItem == item)
        return;
    CloseLevelsAbove(level);
    activeLevel = level;
    if (!entry.submenu.empty() && !entry.grayed && !entry.disabled)
        OpenSubmenu(level, item, false);
}

void X11PopupMenu::ButtonPressed(const XButtonEvent& event)
{
    if (event.button < Button1 || event.button > Button3)
        return;
    int level = -1;
    int item = -1;
    Hit(event.x_root, event.y_root, level, item);
    if (level < 0)
    {
        done = true;
        result = -1;
        return;
    }
    armed = true;
    if (item >= 0)
        Activate(level, item, false);
}

void X11PopupMenu::ButtonReleased(const XButtonEvent& event)
{
    if (event.button < Button1 || event.button > Button3 || !armed)
        return;
    int level = -1;
    int item = -1;
    Hit(event.x_root, event.y_root, level, item);
    if (level >= 0 && item >= 0 &&
        (*levels[static_cast<size_t>(level)]->items)[static_cast<size_t>(item)].Choosable())
        Activate(level, item, false);
}

bool X11PopupMenu::Activate(int level, int item, bool highlightFirst)
{
    Level& target = *levels[static_cast<size_t>(level)];
    const PopupMenuItem& entry = (*target.items)[static_cast<size_t>(item)];
    if (entry.Choosable())
    {
        result = entry.id;
        done = true;
        return true;
    }
    if (entry.submenu.empty() || entry.grayed || entry.disabled)
        return false;
    SetHighlight(level, item);
    if (target.openItem != item)
    {
        CloseLevelsAbove(level);
        OpenSubmenu(level, item, highlightFirst);
    }
    else if (highlightFirst)
    {
        activeLevel = level + 1;
        SetHighlight(level + 1, PopupMenuLayout::Step(entry.submenu, -1, 1));
    }
    return true;
}

void X11PopupMenu::KeyPressed(XKeyEvent& event)
{
    const KeySym symbol = XLookupKeysym(&event, 0);
    activeLevel = std::min(activeLevel, static_cast<int>(levels.size()) - 1);
    Level& level = *levels[static_cast<size_t>(activeLevel)];
    switch (symbol)
    {
    case XK_Escape:
        done = true;
        result = -1;
        break;
    case XK_Up:
    case XK_KP_Up:
    case XK_Down:
    case XK_KP_Down:
    {
        const int step = symbol == XK_Up || symbol == XK_KP_Up ? -1 : 1;
        const int next = PopupMenuLayout::Step(*level.items, level.highlighted, step);
        if (next != level.openItem)
            CloseLevelsAbove(activeLevel);
        SetHighlight(activeLevel, next);
        break;
    }
    case XK_Right:
    case XK_KP_Right:
        if (level.highlighted >= 0 &&
            !(*level.items)[static_cast<size_t>(level.highlighted)].submenu.empty())
            Activate(activeLevel, level.highlighted, true);
        break;
    case XK_Left:
    case XK_KP_Left:
        if (activeLevel > 0)
            CloseLevelsAbove(activeLevel - 1);
        break;
    case XK_Return:
    case XK_KP_Enter:
    case XK_space:
        if (level.highlighted >= 0)
            Activate(activeLevel, level.highlighted, true);
        break;
    default:
        break;
    }
}
