#pragma once

// What the X11 window tests share: window geometry, the popup windows on the screen, and
// synthetic input through the X test extension (each call waits until the server has it).

// gtest first: Xlib's macros (None) would break its headers.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

struct Geometry
{
    int x = 0, y = 0;
    unsigned width = 0, height = 0;
};

inline Geometry GeometryOf(Display* display, Window window)
{
    Geometry g;
    Window root = 0;
    unsigned border = 0, depth = 0;
    XGetGeometry(display, window, &root, &g.x, &g.y, &g.width, &g.height, &border, &depth);
    return g;
}

/// The screen position of pixel (x, y) of `window`.
inline void ToScreen(Display* display, Window window, int x, int y, int& rootX, int& rootY)
{
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &rootX, &rootY,
                          &child);
}

inline void MoveTo(Display* display, Window window, int x, int y)
{
    int rx = 0, ry = 0;
    ToScreen(display, window, x, y, rx, ry);
    XTestFakeMotionEvent(display, -1, rx, ry, CurrentTime);
    XSync(display, False);
}

inline void Button(Display* display, unsigned button, bool press)
{
    XTestFakeButtonEvent(display, button, press ? True : False, CurrentTime);
    XSync(display, False);
}

/// Presses and releases `button` at a window pixel of `window`.
inline void Click(Display* display, Window window, int x, int y, unsigned button = 1)
{
    MoveTo(display, window, x, y);
    Button(display, button, true);
    Button(display, button, false);
}

/// Presses at (x0, y0), moves to (x1, y1) in `steps` and releases there.
inline void Drag(Display* display, Window window, int x0, int y0, int x1, int y1, int steps = 4)
{
    MoveTo(display, window, x0, y0);
    Button(display, 1, true);
    for (int i = 1; i <= steps; ++i)
        MoveTo(display, window, x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps);
    Button(display, 1, false);
}

/// Presses and releases the key of `symbol`.
inline void Key(Display* display, KeySym symbol)
{
    const KeyCode code = XKeysymToKeycode(display, symbol);
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    XSync(display, False);
}

/// Holds the server for this connection alone, so that no window the query looks at goes
/// away under it (Xlib would end the process on the error).
class ServerHold
{
public:
    explicit ServerHold(Display* display) : display(display) { XGrabServer(display); }
    ~ServerHold()
    {
        XUngrabServer(display);
        XSync(display, False);
    }
    ServerHold(const ServerHold&) = delete;
    ServerHold& operator=(const ServerHold&) = delete;

private:
    Display* display;
};

/// The mapped override-redirect windows on the root (popup menus), in stacking order; the
/// caller holds the server.
inline std::vector<Window> PopupWindowsHeld(Display* display)
{
    std::vector<Window> found;
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return found;
    for (unsigned i = 0; i < count; ++i)
    {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display, children[i], &attributes) &&
            attributes.override_redirect && attributes.map_state == IsViewable)
            found.push_back(children[i]);
    }
    if (children)
        XFree(children);
    return found;
}

inline std::vector<Window> PopupWindows(Display* display)
{
    const ServerHold hold(display);
    return PopupWindowsHeld(display);
}

/// The colour (0xRRGGBB) of pixel (x, y) of `window`.
inline unsigned long PixelOf(Display* display, Window window, int x, int y)
{
    XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image)
        return ~0ul;
    const unsigned long pixel = XGetPixel(image, 0, 0) & 0xFFFFFF;
    XDestroyImage(image);
    return pixel;
}

/// Runs `step` (a host's loop for a while) until `done` holds or `limitMs` ran out.
template <class Step, class Done> bool RunUntil(Step step, Done done, int limitMs = 3000)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (!done())
    {
        if (std::chrono::steady_clock::now() > end)
            return false;
        step();
    }
    return true;
}

/// The editor's menus frame themselves in its amber (0xRRGGBB).
constexpr unsigned long kMenuAccent = 0xFFCD43;
constexpr unsigned long kMenuBackground = 0x303030;

/// Waits until `count` popup windows are on the screen and the last one has drawn its frame
/// (so the menu holds its grab and takes input); answers them, empty on time-out.
inline std::vector<Window> WaitForPopups(Display* display, size_t count, int limitMs = 10000)
{
    std::vector<Window> popups;
    const bool shown = RunUntil([] { std::this_thread::sleep_for(std::chrono::milliseconds(5)); },
                                [&]
                                {
                                    const ServerHold hold(display);
                                    popups = PopupWindowsHeld(display);
                                    return popups.size() == count &&
                                           PixelOf(display, popups.back(), 0, 0) == kMenuAccent;
                                },
                                limitMs);
    return shown ? popups : std::vector<Window>{};
}

/// A user at the keyboard and mouse while the test's thread is busy in a host's loop (or a
/// modal menu): `script` runs on a thread of its own with its own display connection.
/// Finished() tells when it is done; the destructor waits for it.
class ScriptedUser
{
public:
    explicit ScriptedUser(std::function<void(Display*)> script)
        : thread(
              [this, script = std::move(script)]
              {
                  Display* display = XOpenDisplay(nullptr);
                  if (display)
                  {
                      script(display);
                      // A script that failed half-way must not leave a modal menu behind:
                      // the test's thread would wait in it for ever.
                      const auto closed = [&] { return PopupWindows(display).empty(); };
                      const auto wait = []
                      { std::this_thread::sleep_for(std::chrono::milliseconds(10)); };
                      if (!RunUntil(wait, closed, 2000))
                      {
                          ADD_FAILURE() << "a menu was left open";
                          while (!closed())
                          {
                              Key(display, XK_Escape);
                              wait();
                          }
                      }
                      XCloseDisplay(display);
                  }
                  finished = true;
              })
    {
    }
    ~ScriptedUser() { thread.join(); }
    ScriptedUser(const ScriptedUser&) = delete;
    ScriptedUser& operator=(const ScriptedUser&) = delete;

    bool Finished() const { return finished; }

private:
    std::atomic<bool> finished{false};
    std::thread thread;
};
