#pragma once

#include <string>
#include <sys/types.h>

/// A private X server for a test or benchmark program: Xvfb picks a free display itself
/// (-displayfd, never a fixed number) and $DISPLAY points at it while it runs. The
/// destructor stops it; so does the end of the thread that started it (start it from the
/// program's main thread), also when the program dies without its destructors.
class XvfbProcess
{
public:
    XvfbProcess() = default;
    ~XvfbProcess() { Stop(); }
    XvfbProcess(const XvfbProcess&) = delete;
    XvfbProcess& operator=(const XvfbProcess&) = delete;

    /// Starts the server with one 1280 x 1024 screen at 24 bits and sets $DISPLAY. Answers
    /// false (and says why in Error()) when it did not come up.
    bool Start();
    void Stop();
    const std::string& Error() const { return error; }

private:
    pid_t pid = -1;
    std::string error;
};
