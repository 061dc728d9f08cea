#include "hosting/platform/SharedLibrary.h"

#include <dlfcn.h>

SharedLibrary::~SharedLibrary()
{
    Close();
}

bool SharedLibrary::Open(const std::string& path)
{
    Close();
    handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr)
    {
        const char* reason = dlerror();
        error = reason != nullptr ? reason : "cannot load " + path;
        return false;
    }
    return true;
}

void SharedLibrary::Close()
{
    if (handle != nullptr)
        dlclose(handle);
    handle = nullptr;
}

void* SharedLibrary::Symbol(const char* name) const
{
    return handle == nullptr ? nullptr : dlsym(handle, name);
}

const char* SharedLibrary::Vst3ArchitectureFolder()
{
    return "x86_64-linux";
}

const char* SharedLibrary::Vst3LibrarySuffix()
{
    return ".so";
}

const char* SharedLibrary::Vst3EntryName()
{
    return "ModuleEntry";
}

const char* SharedLibrary::Vst3ExitName()
{
    return "ModuleExit";
}

bool SharedLibrary::Vst3EntryTakesHandle()
{
    return true;
}
