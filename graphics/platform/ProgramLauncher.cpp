#include "graphics/platform/ProgramLauncher.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace
{
// How long the caller waits at most to learn whether the program started.
constexpr int kStartTimeoutMs = 2000;
} // namespace

std::string ProgramLauncher::FindOnPath(const char* program)
{
    const char* path = std::getenv("PATH");
    const std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size())
    {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos)
            end = dirs.size();
        const std::string dir = end > start ? dirs.substr(start, end - start) : ".";
        const std::string candidate = dir + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return {};
}

bool ProgramLauncher::Launch(const char* program, const std::string& argument)
{
    const std::string file = FindOnPath(program);
    if (file.empty())
        return false;
    // The exec's outcome comes back through a close-on-exec pipe: end of file means the
    // program runs, a byte means exec failed.
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return false;
    char* const arguments[] = {const_cast<char*>(file.c_str()), const_cast<char*>(argument.c_str()),
                               nullptr};
    const pid_t child = fork();
    if (child < 0)
    {
        close(fds[0]);
        close(fds[1]);
        return false;
    }
    if (child == 0)
    {
        // Only async-signal-safe calls from here: the host may have other threads.
        close(fds[0]);
        if (fork() == 0)
        {
            setsid();
            execv(arguments[0], arguments);
            const char failed = 1;
            [[maybe_unused]] const ssize_t written = write(fds[1], &failed, 1);
            _exit(127);
        }
        _exit(0);
    }
    close(fds[1]);
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR)
    {
    }
    pollfd watch{fds[0], POLLIN, 0};
    bool started = false;
    if (poll(&watch, 1, kStartTimeoutMs) > 0)
    {
        char byte = 0;
        started = read(fds[0], &byte, 1) == 0;
    }
    close(fds[0]);
    return started;
}
