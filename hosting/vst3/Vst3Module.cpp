#include "hosting/vst3/Vst3Module.h"

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
    return (bundle / "Contents" / SharedLibrary::Vst3ArchitectureFolder() /
            (stem + SharedLibrary::Vst3LibrarySuffix()))
        .string();
}

bool Vst3Module::Load(const std::string& path)
{
    Unload();
    const std::string libraryPath = LibraryPath(path);
    if (!library.Open(libraryPath))
    {
        lastError = library.Error();
        return false;
    }
    if (void* entry = Symbol(SharedLibrary::Vst3EntryName()))
    {
        using HandleEntryProc = bool (*)(void*);
        using PlainEntryProc = bool (*)();
        const bool enteredOk = SharedLibrary::Vst3EntryTakesHandle()
                                   ? reinterpret_cast<HandleEntryProc>(entry)(library.Handle())
                                   : reinterpret_cast<PlainEntryProc>(entry)();
        if (!enteredOk)
        {
            lastError = std::string(SharedLibrary::Vst3EntryName()) + " failed";
            Unload();
            return false;
        }
        entered = true;
    }
    auto getFactory = reinterpret_cast<vst3::GetFactoryProc>(Symbol("GetPluginFactory"));
    factory = getFactory != nullptr ? getFactory() : nullptr;
    if (factory == nullptr)
    {
        lastError = "no plug-in factory in " + libraryPath;
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
    if (library.IsOpen())
    {
        using ExitProc = bool (*)();
        if (entered)
            if (auto exitProc = reinterpret_cast<ExitProc>(Symbol(SharedLibrary::Vst3ExitName())))
                exitProc();
        entered = false;
        library.Close();
    }
}

void* Vst3Module::Symbol(const char* name) const
{
    return library.Symbol(name);
}
