#pragma once

#include <X11/Xlib.h>

#include <map>
#include <memory>

class IGraphicsX11;

/// The module's one connection to the X server, shared by all its editor windows: opened
/// by the first editor window that opens and closed after the last one closed. It knows
/// which editor owns which window and hands each waiting event to its owner.
///
/// Threads: the host's user-interface thread only. Nothing here is ever called from the
/// audio thread.
class X11Connection
{
public:
    /// The open connection, opening it on first use (null when no X server answers).
    /// Each successful call must be matched by Release().
    static X11Connection* Acquire();
    static void Release();
    /// The open connection, or null.
    static X11Connection* Current();
    /// Xft.dpi / 96 as the X resources said when the connection was last opened; 0 unknown.
    static double ResourceScale();

    Display* display = nullptr;
    Atom xembedInfo = None;
    Atom xembed = None;
    Atom wmProtocols = None;
    Atom wmDeleteWindow = None;
    Atom clipboard = None;
    Atom utf8String = None;
    Atom targetProperty = None;
    Atom windowOpacity = None;

    /// Keeps cairo's device for this display, so that closing the connection finishes it
    /// (cairo would otherwise keep its per-display data past the display).
    void KeepCairoDevice(struct _cairo_device* device);

    void Register(Window window, IGraphicsX11* owner) { owners[window] = owner; }
    void Unregister(Window window) { owners.erase(window); }
    IGraphicsX11* OwnerOf(Window window) const;
    /// Hands every event already waiting to the editor owning its window; never blocks.
    void Dispatch();
    /// The connection's file descriptor, for a run loop to watch.
    int Descriptor() const { return ConnectionNumber(display); }

    /// Runs `call` with X errors caught instead of ending the process; answers whether
    /// the server reported none (it waits for the server's answer).
    template <class Call> bool Checked(Call call)
    {
        BeginChecked();
        call();
        return EndChecked();
    }

    ~X11Connection();

private:
    explicit X11Connection(Display* display);
    void BeginChecked();
    bool EndChecked();

    std::map<Window, IGraphicsX11*> owners;
    struct _cairo_device* cairoDevice = nullptr;
    int users = 0;
};
