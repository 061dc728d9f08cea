#include "graphics/platform/ModuleHandle.h"

#include <atomic>

namespace
{
std::atomic<ModuleHandle> moduleHandle{nullptr};
} // namespace

void SetModuleHandle(ModuleHandle module)
{
    moduleHandle.store(module);
}

ModuleHandle CurrentModuleHandle()
{
    return moduleHandle.load();
}
