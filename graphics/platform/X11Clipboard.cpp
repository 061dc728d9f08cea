#include "graphics/platform/X11Clipboard.h"

#include "graphics/platform/X11Connection.h"

#include <X11/Xatom.h>
#include <poll.h>

#include <chrono>

namespace
{
std::string Latin1ToUtf8(const std::string& latin1)
{
    std::string out;
    for (unsigned char c : latin1)
    {
        if (c < 0x80)
        {
            out += static_cast<char>(c);
        }
        else
        {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}
} // namespace

bool X11Clipboard::ReadText(X11Connection& connection, std::string& out, int timeoutMs)
{
    out.clear();
    Display* display = connection.display;
    if (XGetSelectionOwner(display, connection.clipboard) == None)
        return false;
    // A window of its own: the answer must not land among the editor's events.
    const Window requestor =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    Answer answer = Request(connection, requestor, connection.utf8String, out, timeoutMs);
    // An owner that has no UTF-8 may still have Latin-1; one that does not answer, nothing.
    if (answer == Answer::kRefused)
    {
        std::string latin1;
        answer = Request(connection, requestor, XA_STRING, latin1, timeoutMs);
        out = Latin1ToUtf8(latin1);
    }
    const bool ok = answer == Answer::kText;
    if (!ok)
        out.clear();
    XDestroyWindow(display, requestor);
    XFlush(display);
    return ok;
}

X11Clipboard::Answer X11Clipboard::Request(X11Connection& connection, Window requestor, Atom target,
                                           std::string& out, int timeoutMs)
{
    Display* display = connection.display;
    XConvertSelection(display, connection.clipboard, target, connection.targetProperty, requestor,
                      CurrentTime);
    XFlush(display);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    XEvent event;
    while (!XCheckTypedWindowEvent(display, requestor, SelectionNotify, &event))
    {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0)
            return Answer::kTimedOut;
        pollfd watch{ConnectionNumber(display), POLLIN, 0};
        poll(&watch, 1, static_cast<int>(left));
        XPending(display); // reads what arrived without blocking
    }
    if (event.xselection.property == None)
        return Answer::kRefused;
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    // Up to 1 MiB of text; a transfer in parts (INCR) is not taken.
    const int status =
        XGetWindowProperty(display, requestor, connection.targetProperty, 0, 1 << 18, True,
                           AnyPropertyType, &type, &format, &count, &after, &data);
    Answer answer = Answer::kRefused;
    if (status == Success && data && format == 8 && (type == target || type == XA_STRING))
    {
        out.assign(reinterpret_cast<const char*>(data), count);
        answer = Answer::kText;
    }
    if (data)
        XFree(data);
    return answer;
}
