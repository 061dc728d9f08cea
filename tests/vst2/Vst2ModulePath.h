#pragma once

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
