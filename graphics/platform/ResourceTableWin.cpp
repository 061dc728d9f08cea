// On Windows a ModuleHandle is the module's instance handle: its resources are found through
// the system's resource functions instead of a table.

#include "graphics/platform/ResourceTable.h"

#include <windows.h>

ResourceData FindModuleResource(ModuleHandle module, ResourceType type, int id)
{
    if (module == nullptr || id <= 0 || id > 0xFFFF)
        return {};
    auto* instance = static_cast<HMODULE>(module);
    const char* typeName = type.name != nullptr ? type.name : MAKEINTRESOURCEA(type.number);
    HRSRC info = FindResourceA(instance, MAKEINTRESOURCEA(id), typeName);
    if (info == nullptr)
        return {};
    HGLOBAL loaded = LoadResource(instance, info);
    const DWORD size = SizeofResource(instance, info);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr || size == 0)
        return {};
    return {static_cast<const unsigned char*>(data), size};
}
