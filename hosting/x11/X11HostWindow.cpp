#include "hosting/x11/X11HostWindow.h"

#include <cstdint>

X11HostWindow::X11HostWindow(int width, int height)
{
    display = XOpenDisplay(nullptr);
    if (!display)
        return;
    const int screen = DefaultScreen(display);
    window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0,
                                 static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                                 BlackPixel(display, screen), BlackPixel(display, screen));
    XStoreName(display, window, "Verdigrix Host");
    XMapWindow(display, window);
    XSync(display, False);
}

X11HostWindow::~X11HostWindow()
{
    if (!display)
        return;
    if (window)
        XDestroyWindow(display, window);
    XCloseDisplay(display);
}

void* X11HostWindow::Parent() const
{
    return reinterpret_cast<void*>(static_cast<uintptr_t>(window));
}

std::vector<Window> X11HostWindow::Children() const
{
    std::vector<Window> out;
    if (!window)
        return out;
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &count))
    {
        out.assign(children, children + count);
        if (children)
            XFree(children);
    }
    return out;
}

void X11HostWindow::Sync() const
{
    if (display)
        XSync(display, False);
}
