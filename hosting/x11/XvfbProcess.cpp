#include "hosting/x11/XvfbProcess.h"

#include <csignal>
#include <cstdlib>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

bool XvfbProcess::Start()
{
    Stop();
    int fds[2];
    if (pipe(fds) != 0)
    {
        error = "no pipe";
        return false;
    }
    const pid_t parent = getpid();
    pid = fork();
    if (pid < 0)
    {
        error = "no fork";
        close(fds[0]);
        close(fds[1]);
        return false;
    }
    if (pid == 0)
    {
        close(fds[0]);
        // A test program killed before its tear-down (a crash, a closed pipe) takes its
        // server along instead of leaving it running.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent)
            _exit(127);
        const std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24",
               "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (number.empty())
    {
        error = "Xvfb did not start";
        Stop();
        return false;
    }
    setenv("DISPLAY", (":" + number).c_str(), 1);
    return true;
}

void XvfbProcess::Stop()
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    pid = -1;
}
