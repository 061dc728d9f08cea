// On Windows the resources are the module's own (Verdigrix.rc): the module handle is the
// instance handle the loader gives DllMain, or the program's when linked into an executable.

#include "resources/EmbeddedResources.h"

#include <windows.h>

#include <atomic>

namespace
{
std::atomic<HMODULE> dllInstance{nullptr};
} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
    {
        dllInstance.store(instance);
        DisableThreadLibraryCalls(instance);
        // Never unloaded once loaded, as on Linux: the drawing library's process-wide caches
        // would otherwise be lost with each unload and reload by a host.
        HMODULE pinned = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                           reinterpret_cast<LPCWSTR>(&dllInstance), &pinned);
    }
    return TRUE;
}

ModuleHandle EmbeddedModuleHandle()
{
    HMODULE module = dllInstance.load();
    return module != nullptr ? module : GetModuleHandleW(nullptr);
}

ModuleHandle UseEmbeddedResources()
{
    if (CurrentModuleHandle() == nullptr)
        SetModuleHandle(EmbeddedModuleHandle());
    return CurrentModuleHandle();
}
