#include "graphics/platform/ResourceTable.h"

#include <strings.h>

namespace
{
bool SameType(const ResourceType& a, const ResourceType& b)
{
    if (a.name != nullptr || b.name != nullptr)
        return a.name != nullptr && b.name != nullptr && strcasecmp(a.name, b.name) == 0;
    return a.number == b.number;
}
} // namespace

ResourceData FindModuleResource(ModuleHandle module, ResourceType type, int id)
{
    const auto* table = static_cast<const ResourceTable*>(module);
    if (table == nullptr || table->entries == nullptr)
        return {};
    for (size_t i = 0; i < table->count; ++i)
    {
        const ResourceEntry& entry = table->entries[i];
        if (entry.id == id && SameType(entry.type, type))
            return {entry.data, entry.size};
    }
    return {};
}
