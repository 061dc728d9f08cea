#pragma once

#include <X11/Xlib.h>

#include <string>

class X11Connection;

/// Reads the CLIPBOARD selection as UTF-8 text: asks its owner for UTF8_STRING (else
/// STRING, Latin-1) through a window of its own and waits a bounded time for the answer,
/// so a hung owner cannot hang the host's user-interface thread.
///
/// Threads: the user-interface thread that owns the connection.
class X11Clipboard
{
public:
    /// Answers whether text arrived within `timeoutMs`; `out` is empty otherwise.
    static bool ReadText(X11Connection& connection, std::string& out, int timeoutMs);

private:
    enum class Answer
    {
        kText,
        kRefused,
        kTimedOut
    };
    static Answer Request(X11Connection& connection, Window requestor, Atom target,
                          std::string& out, int timeoutMs);
};
