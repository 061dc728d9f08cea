#pragma once

#include <X11/Xlib.h>

#include <vector>

/// A host's top-level window on X11, for plug-in editors to embed into. It has its own
/// display connection (as a host has), separate from the plug-in's. [the thread that made it]
class X11HostWindow
{
public:
    /// Opens the display named by $DISPLAY and maps a `width` x `height` window; check
    /// IsOpen().
    X11HostWindow(int width, int height);
    ~X11HostWindow();
    X11HostWindow(const X11HostWindow&) = delete;
    X11HostWindow& operator=(const X11HostWindow&) = delete;

    bool IsOpen() const { return window != 0; }
    Display* Connection() const { return display; }
    Window Id() const { return window; }
    /// The id as the plug-in interfaces pass a parent window.
    void* Parent() const;
    /// The windows the plug-in placed in this one, in stacking order.
    std::vector<Window> Children() const;
    /// Waits for the server to have handled every request of this connection.
    void Sync() const;

private:
    Display* display = nullptr;
    Window window = 0;
};
