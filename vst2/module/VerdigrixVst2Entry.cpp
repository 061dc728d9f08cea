// The module's exported entry points. Everything else in the module is hidden (version
// script on Linux, Verdigrix.def on Windows).
#include "effect/Verdigrix.h"
#include "graphics/platform/PlatformEditor.h"
#include "resources/EmbeddedResources.h"
#include "vst2/abi/vst2_abi.h"

#include <memory>
#include <mutex>
#include <new>

#if defined(_WIN32)
#define VERDIGRIX_EXPORT
#else
#define VERDIGRIX_EXPORT __attribute__((visibility("default")))
#endif

extern "C"
{
    VERDIGRIX_EXPORT vst2_effect* VSTPluginMain(vst2_host_callback host);
    // Hosts also look for "main"; a C++ function cannot carry that name with this signature,
    // so the linker symbol is given through an assembler label.
    VERDIGRIX_EXPORT vst2_effect* VerdigrixVst2Main(vst2_host_callback host) __asm__("main");
}

vst2_effect* VSTPluginMain(vst2_host_callback host)
{
    // Serialises instance creation across the module; a function-local static is created
    // safely even when two threads make the first call at once.
    static std::mutex creationLock;
    std::lock_guard<std::mutex> guard(creationLock);
    // The editor finds its fonts and logo through the module handle.
    SetModuleHandle(EmbeddedModuleHandle());
    // Editors open as windows of this platform where the build has a class for it.
    PlatformEditor::Install();
    try
    {
        auto plugin = std::make_unique<Verdigrix>(host);
        plugin->PrepareForHost();
        // From here the host owns the object through the record; effClose deletes it.
        return plugin.release()->EffectRecord();
    }
    catch (...)
    {
        // Nothing may cross the C boundary; a null record tells the host we refused.
        return nullptr;
    }
}

vst2_effect* VerdigrixVst2Main(vst2_host_callback host)
{
    return VSTPluginMain(host);
}
