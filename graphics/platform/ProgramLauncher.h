#pragma once

#include <string>

/// Starts a helper program (xdg-open) with one argument and does not wait for it: no
/// shell, the program found on $PATH before forking, and the child detached through a
/// second fork so that no zombie is left to the host.
///
/// Threads: any; the caller waits only until the program has been executed (or failed).
class ProgramLauncher
{
public:
    /// Answers whether `program` was found and executed with `argument`.
    static bool Launch(const char* program, const std::string& argument);
    /// The executable file for `program` on $PATH; empty when there is none.
    static std::string FindOnPath(const char* program);
};
