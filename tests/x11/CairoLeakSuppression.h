#pragma once

// Included by exactly one source of a test program that opens editor windows.
// cairo's xlib backend keeps a 32-byte block for every display connection it has drawn on
// once an upload took its partial path, past cairo_device_finish and XCloseDisplay: the
// library's, not ours (a program that opens and closes editors often shows one per
// connection).
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions()
{
    return "leak:libcairo.so\n";
}
