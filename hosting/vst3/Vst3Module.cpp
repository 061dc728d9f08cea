#include "hosting/vst3/Vst3Module.h"

#include <dlfcn.h>
#include <filesystem>

Vst3Module::~Vst3Module()
{
    Unload();
}

std::string Vst3Module::LibraryPath(const std::string& path)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::is_directory(path, ec))
        return path;
    const fs::path bundle(path);
    std::string stem = bundle.filename().string();
    if (stem.empty())
        stem = bundle.parent_path().filename().string();
    const auto dot = stem.rfind(".vst3");
    if (dot != std::string::npos)
        stem.resize(dot);
    return (bundle / "Contents" / "x86_64-linux" / (stem + ".so")).string();
}

bool Vst3Module::Load(const std::string& path)
{
    Unload();
    const std::string library = LibraryPath(path);
    handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr)
    {
        const char* err = dlerror();
        lastError = err != nullptr ? err : "cannot load " + library;
        return false;
    }
    using EntryProc = bool (*)(void*);
    if (auto entry = reinterpret_cast<EntryProc>(Symbol("ModuleEntry")))
    {
        if (!entry(handle))
        {
            lastError = "ModuleEntry failed";
            Unload();
            return false;
        }
        entered = true;
    }
    auto getFactory = reinterpret_cast<vst3::GetFactoryProc>(Symbol("GetPluginFactory"));
    factory = getFactory != nullptr ? getFactory() : nullptr;
    if (factory == nullptr)
    {
        lastError = "no plug-in factory in " + library;
        Unload();
        return false;
    }
    return true;
}

void Vst3Module::Unload()
{
    if (factory != nullptr)
    {
        factory->release();
        factory = nullptr;
    }
    if (handle != nullptr)
    {
        using ExitProc = bool (*)();
        if (entered)
            if (auto exitProc = reinterpret_cast<ExitProc>(Symbol("ModuleExit")))
                exitProc();
        entered = false;
        dlclose(handle);
        handle = nullptr;
    }
}

void* Vst3Module::Symbol(const char* name) const
{
    return handle == nullptr ? nullptr : dlsym(handle, name);
}
