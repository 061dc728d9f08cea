#pragma once

#include <string>

/// A loaded shared library (a .so through dlopen on Linux, a DLL through LoadLibrary on
/// Windows). One implementation per platform; the rest of the host side stays portable.
/// [any thread; not copyable]
class SharedLibrary
{
public:
    SharedLibrary() = default;
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    /// Loads `path`, unloading what was loaded before. False with Error() on failure.
    bool Open(const std::string& path);
    /// Unloads (when loaded).
    void Close();
    bool IsOpen() const { return handle != nullptr; }
    /// The exported symbol `name`, or null.
    void* Symbol(const char* name) const;
    /// The system's handle of the library (dlopen handle, HMODULE), or null.
    void* Handle() const { return handle; }
    /// Why the last Open failed.
    const std::string& Error() const { return error; }

    /// The folder inside a VST3 bundle's Contents that holds this platform's library.
    static const char* Vst3ArchitectureFolder();
    /// The file name suffix of a VST3 library on this platform.
    static const char* Vst3LibrarySuffix();
    /// The entry and exit a VST3 host calls around the factory on this platform; the entry
    /// gets the library handle where the platform passes one.
    static const char* Vst3EntryName();
    static const char* Vst3ExitName();
    static bool Vst3EntryTakesHandle();

private:
    void* handle = nullptr;
    std::string error;
};
