#include "hosting/vst2/Vst2Module.h"

#include <dlfcn.h>

std::unique_ptr<Vst2Module> Vst2Module::Load(const std::string& path, std::string* error)
{
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr)
    {
        if (error != nullptr)
        {
            const char* reason = dlerror();
            *error = reason != nullptr ? reason : "cannot open " + path;
        }
        return nullptr;
    }
    // Hosts look for VSTPluginMain first, then the historical "main".
    auto entry = reinterpret_cast<vst2_entry_proc>(dlsym(handle, "VSTPluginMain"));
    if (entry == nullptr)
        entry = reinterpret_cast<vst2_entry_proc>(dlsym(handle, "main"));
    if (entry == nullptr)
    {
        if (error != nullptr)
            *error = path + " exports no VST2 entry point";
        dlclose(handle);
        return nullptr;
    }
    return std::unique_ptr<Vst2Module>(new Vst2Module(handle, entry));
}

Vst2Module::~Vst2Module()
{
    dlclose(handle);
}

vst2_entry_proc Vst2Module::EntryNamed(const char* name) const
{
    return reinterpret_cast<vst2_entry_proc>(dlsym(handle, name));
}

bool Vst2Module::Exports(const char* name) const
{
    return dlsym(handle, name) != nullptr;
}
