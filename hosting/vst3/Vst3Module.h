#pragma once

#include "hosting/platform/SharedLibrary.h"
#include "vst3/abi/Vst3Factory.h"

#include <string>

/// A loaded VST3 module, as a host loads it: the bundle's library loaded, the platform's
/// entry called (ModuleEntry with the handle on Linux, InitDll on Windows), GetPluginFactory;
/// the destructor releases the factory, calls the matching exit and unloads.
class Vst3Module
{
public:
    Vst3Module() = default;
    ~Vst3Module();
    Vst3Module(const Vst3Module&) = delete;
    Vst3Module& operator=(const Vst3Module&) = delete;

    /// Loads `path`: a `Name.vst3` bundle folder or the library itself. False with
    /// LastError() on failure (nothing stays loaded).
    bool Load(const std::string& path);
    /// Releases the factory, calls the module's exit and unloads (when loaded).
    void Unload();

    bool IsLoaded() const { return library.IsOpen(); }
    /// The factory (one reference held by this object), or null.
    vst3::IPluginFactory* Factory() const { return factory; }
    /// An exported symbol of the loaded library, or null.
    void* Symbol(const char* name) const;
    const std::string& LastError() const { return lastError; }
    /// The library path inside a bundle folder (x86_64-linux/Name.so, x86_64-win/Name.vst3),
    /// or `path` when it is a file.
    static std::string LibraryPath(const std::string& path);

private:
    SharedLibrary library;
    vst3::IPluginFactory* factory = nullptr;
    bool entered = false;
    std::string lastError;
};
