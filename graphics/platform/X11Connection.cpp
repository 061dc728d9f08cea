#include "graphics/platform/X11Connection.h"

#include "graphics/platform/IGraphicsX11.h"

#include <X11/Xresource.h>
#include <cairo.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace
{
std::mutex connectionLock;
std::unique_ptr<X11Connection> connection;
std::atomic<double> resourceScale{0.0};

// X errors while a checked call runs; a host's own handler stays in place otherwise.
std::atomic<bool> errorSeen{false};
int (*previousHandler)(Display*, XErrorEvent*) = nullptr;
int NoteError(Display*, XErrorEvent*)
{
    errorSeen = true;
    return 0;
}

double ReadResourceScale(Display* display)
{
    const char* resources = XResourceManagerString(display);
    if (!resources)
        return 0.0;
    XrmInitialize();
    XrmDatabase database = XrmGetStringDatabase(resources);
    double scale = 0.0;
    char* type = nullptr;
    XrmValue value;
    if (database && XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr)
    {
        const double dpi = std::atof(value.addr);
        if (dpi > 0.0)
            scale = dpi / 96.0;
    }
    if (database)
        XrmDestroyDatabase(database);
    return scale;
}
} // namespace

X11Connection::X11Connection(Display* display) : display(display)
{
    xembedInfo = XInternAtom(display, "_XEMBED_INFO", False);
    xembed = XInternAtom(display, "_XEMBED", False);
    wmProtocols = XInternAtom(display, "WM_PROTOCOLS", False);
    wmDeleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    clipboard = XInternAtom(display, "CLIPBOARD", False);
    utf8String = XInternAtom(display, "UTF8_STRING", False);
    targetProperty = XInternAtom(display, "VERDIGRIX_SELECTION", False);
    windowOpacity = XInternAtom(display, "_NET_WM_WINDOW_OPACITY", False);
    resourceScale = ReadResourceScale(display);
}

X11Connection::~X11Connection()
{
    if (cairoDevice)
    {
        cairo_device_finish(cairoDevice);
        cairo_device_destroy(cairoDevice);
    }
    XCloseDisplay(display);
}

void X11Connection::KeepCairoDevice(cairo_device_t* device)
{
    if (cairoDevice || !device)
        return;
    cairoDevice = cairo_device_reference(device);
}

X11Connection* X11Connection::Acquire()
{
    std::lock_guard<std::mutex> guard(connectionLock);
    if (!connection)
    {
        Display* display = XOpenDisplay(nullptr);
        if (!display)
            return nullptr;
        connection.reset(new X11Connection(display));
    }
    ++connection->users;
    return connection.get();
}

void X11Connection::Release()
{
    std::lock_guard<std::mutex> guard(connectionLock);
    if (connection && --connection->users == 0)
        connection.reset();
}

X11Connection* X11Connection::Current()
{
    return connection.get();
}

double X11Connection::ResourceScale()
{
    return resourceScale;
}

IGraphicsX11* X11Connection::OwnerOf(Window window) const
{
    const auto found = owners.find(window);
    return found == owners.end() ? nullptr : found->second;
}

void X11Connection::Dispatch()
{
    while (XPending(display) > 0)
    {
        XEvent event;
        XNextEvent(display, &event);
        if (IGraphicsX11* owner = OwnerOf(event.xany.window))
            owner->HandleXEvent(event);
    }
}

void X11Connection::BeginChecked()
{
    XSync(display, False);
    errorSeen = false;
    previousHandler = XSetErrorHandler(NoteError);
}

bool X11Connection::EndChecked()
{
    XSync(display, False);
    XSetErrorHandler(previousHandler);
    return !errorSeen;
}
