#pragma once

#include "graphics/CairoTextPainter.h"
#include "graphics/PopupMenuItem.h"

#include <X11/Xlib.h>

#include <functional>
#include <memory>
#include <vector>

class PopupMenuLayout;
class X11Connection;

/// A popup menu drawn in the editor's look (its caption font, amber on dark), shown modally
/// as override-redirect windows on the screen: one for the menu and one for each open
/// submenu. Track runs a nested event loop on the calling thread with the pointer and the
/// keyboard grabbed, until an entry is chosen, Escape is pressed or a press lands outside.
///
/// During the loop, events of the other windows of the connection still reach their
/// owners (an editor repaints what the menu uncovers), input meant for them is dropped,
/// and requests to close them wait until the menu is gone. `tick` (may be empty) runs
/// every `tickPeriodMs` meanwhile, as the host's timer would.
///
/// Threads: the host's user-interface thread that owns `owner`.
class X11PopupMenu
{
public:
    X11PopupMenu(Window owner, double scale, std::function<void()> tick, int tickPeriodMs);
    ~X11PopupMenu();
    X11PopupMenu(const X11PopupMenu&) = delete;
    X11PopupMenu& operator=(const X11PopupMenu&) = delete;

    /// Shows `items` with the top-left corner at screen pixel (x, y), moved as far as
    /// needed to stay on the screen, and answers the chosen item's id, or -1 when the menu
    /// was dismissed or could not be shown (no connection, no grab).
    int Track(const std::vector<PopupMenuItem>& items, int x, int y);

    /// Colours of the menu (0xRRGGBB): the editor's background, its amber accent and its
    /// caption grey.
    static constexpr unsigned long kBackground = 0x303030;
    static constexpr unsigned long kAccent = 0xFFCD43;
    static constexpr unsigned long kCaption = 0xB4B4B4;
    /// The font resource the menu writes with (the editor's caption font).
    static constexpr int kFontResource = 103;

private:
    struct Level;

    Window owner;
    double scale;
    std::function<void()> tick;
    int tickPeriodMs;
    X11Connection* connection = nullptr;
    CairoTextPainter textPainter;
    cairo_surface_t* measureSurface = nullptr;
    cairo_t* measureContext = nullptr;
    std::vector<std::unique_ptr<Level>> levels;
    std::vector<XEvent> deferred;
    /// The level the keyboard works in.
    int activeLevel = 0;
    /// Whether a release over an entry chooses it: only once the pointer went over an
    /// entry or pressed in the menu (the release of the press that opened the menu does not).
    bool armed = false;
    bool done = false;
    int result = -1;

    /// Opens a level at screen pixel (x, y); one that would leave the screen on the right
    /// ends at `flipRight` instead (INT_MIN: is pushed back in).
    bool OpenLevel(const std::vector<PopupMenuItem>& items, int x, int y, int flipRight);
    void OpenSubmenu(int level, int item, bool highlightFirst);
    void CloseLevelsAbove(int level);
    void Paint(Level& level);
    void SetHighlight(int level, int item);
    bool Grab();
    void RunLoop();
    void HandleEvent(XEvent& event);
    void HandleOtherWindow(XEvent& event);
    void PointerMoved(int rootX, int rootY);
    void ButtonPressed(const XButtonEvent& event);
    void ButtonReleased(const XButtonEvent& event);
    void KeyPressed(XKeyEvent& event);
    /// The level and item at a screen position (-1 each when outside every level).
    void Hit(int rootX, int rootY, int& level, int& item) const;
    /// Chooses or opens `item` of `level`; answers false for entries that can be neither.
    bool Activate(int level, int item, bool highlightFirst);
    double TextWidth(const std::string& text);
};
