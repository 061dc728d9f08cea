#include "hosting/vst2/Vst2Module.h"

std::unique_ptr<Vst2Module> Vst2Module::Load(const std::string& path, std::string* error)
{
    std::unique_ptr<Vst2Module> module(new Vst2Module());
    if (!module->library.Open(path))
    {
        if (error != nullptr)
            *error = module->library.Error();
        return nullptr;
    }
    // Hosts look for VSTPluginMain first, then the historical "main".
    module->entry = module->EntryNamed("VSTPluginMain");
    if (module->entry == nullptr)
        module->entry = module->EntryNamed("main");
    if (module->entry == nullptr)
    {
        if (error != nullptr)
            *error = path + " exports no VST2 entry point";
        return nullptr;
    }
    return module;
}

vst2_entry_proc Vst2Module::EntryNamed(const char* name) const
{
    return reinterpret_cast<vst2_entry_proc>(library.Symbol(name));
}

bool Vst2Module::Exports(const char* name) const
{
    return library.Symbol(name) != nullptr;
}
