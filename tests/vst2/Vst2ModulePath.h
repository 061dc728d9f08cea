#pragma once

#include <dlfcn.h>

#include <cstdlib>
#include <string>

/// Where the built Verdigrix.so lies: under $VERDIGRIX_BUILD_DIR (set by CTest), else where
/// this test's build put it.
inline std::string Vst2ModulePath()
{
    if (const char* dir = std::getenv("VERDIGRIX_BUILD_DIR"); dir != nullptr && *dir != '\0')
        return std::string(dir) + "/vst2/Verdigrix.so";
    return VERDIGRIX_VST2_MODULE;
}

/// Keeps the drawing libraries loaded for the whole process, as in a real host whose own
/// toolkit uses them. Otherwise unloading the module unloads pixman too, whose load-time
/// tables the leak checker then reports although nothing of ours lost them.
inline void KeepDrawingLibrariesResident()
{
    dlopen("libcairo.so.2", RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE);
}
