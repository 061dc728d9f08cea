#pragma once

#include "hosting/platform/SharedLibrary.h"
#include "vst2/abi/vst2_abi.h"

#include <memory>
#include <string>

/// A VST2 module (.so, .dll) loaded the way a host loads it, then the entry point
/// looked up as "VSTPluginMain", falling back to "main". [any thread; not copyable]
class Vst2Module
{
public:
    /// Loads the library at `path`. Returns null and fills `error` (when given) if the
    /// library cannot be opened or exports neither entry name.
    static std::unique_ptr<Vst2Module> Load(const std::string& path, std::string* error = nullptr);

    ~Vst2Module() = default;
    Vst2Module(const Vst2Module&) = delete;
    Vst2Module& operator=(const Vst2Module&) = delete;

    /// The entry point a host would call.
    vst2_entry_proc Entry() const { return entry; }

    /// The entry point exported under exactly `name`, or null.
    vst2_entry_proc EntryNamed(const char* name) const;

    /// Whether the module exports a symbol called `name` (exported symbol lookup).
    bool Exports(const char* name) const;

private:
    Vst2Module() = default;

    SharedLibrary library;
    vst2_entry_proc entry = nullptr;
};
