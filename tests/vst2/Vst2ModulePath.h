#pragma once

#if !defined(_WIN32)
#include <dlfcn.h>
#endif

#include <cstdlib>
#include <string>

/// Where the built module (Verdigrix.so, Verdigrix.dll) lies: under $VERDIGRIX_BUILD_DIR (set
/// by CTest), else where this test's build put it.
inline std::string Vst2ModulePath()
{
#if defined(_WIN32)
    constexpr const char* kFile = "/vst2/Verdigrix.dll";
#else
    constexpr const char* kFile = "/vst2/Verdigrix.so";
#endif
    if (const char* dir = std::getenv("VERDIGRIX_BUILD_DIR"); dir != nullptr && *dir != '\0')
        return std::string(dir) + kFile;
    return VERDIGRIX_VST2_MODULE;
}

/// Keeps the drawing libraries loaded for the whole process, as in a real host whose own
/// toolkit uses them. Otherwise unloading the module unloads pixman too, whose load-time
/// tables the leak checker then reports although nothing of ours lost them. (On Windows they
/// are linked into the module, which stays loaded once loaded.)
inline void KeepDrawingLibrariesResident()
{
#if !defined(_WIN32)
    dlopen("libcairo.so.2", RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE);
#endif
}
