#include "graphics/platform/PngResource.h"

#include "graphics/PngDecoder.h"
#include "graphics/platform/ResourceTable.h"

#include <cstring>
#include <strings.h>

namespace
{
bool HasPngExtension(const char* name)
{
    if (name == nullptr)
        return false;
    const size_t length = std::strlen(name);
    return length >= 4 && strcasecmp(name + length - 4, ".png") == 0;
}
} // namespace

std::unique_ptr<IMemBitmap> LoadPngFromModule(ModuleHandle module, int id, const char* name)
{
    if (!HasPngExtension(name))
        return nullptr;
    const ResourceData resource = FindModuleResource(module, kResourcePng, id);
    if (!resource)
        return nullptr;
    return DecodePng(resource.data, resource.size);
}
