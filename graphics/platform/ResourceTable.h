#pragma once

#include "graphics/platform/ModuleHandle.h"

#include <cstddef>
#include <cstdint>

/// A resource type: a number (10 raw data, 24 manifest) or, when `name` is set, a named
/// type such as "PNG" (compared without case, as Windows does).
struct ResourceType
{
    int number = 0;
    const char* name = nullptr;
};

inline constexpr ResourceType kResourceRawData{10, nullptr};
inline constexpr ResourceType kResourceManifest{24, nullptr};
inline constexpr ResourceType kResourcePng{0, "PNG"};

/// One resource carried by a module.
struct ResourceEntry
{
    ResourceType type;
    int id = 0;
    const unsigned char* data = nullptr;
    size_t size = 0;
};

/// The resources of a module (Linux): a ModuleHandle points at one of these.
struct ResourceTable
{
    const ResourceEntry* entries = nullptr;
    size_t count = 0;
};

/// Bytes of a resource. The memory belongs to the module and lives as long as it is loaded.
struct ResourceData
{
    const unsigned char* data = nullptr;
    size_t size = 0;

    explicit operator bool() const { return data != nullptr && size > 0; }
};

/// Finds the resource of `type` and `id` in `module`; empty when the module is null or
/// carries no such resource. Any thread (the tables are constant).
ResourceData FindModuleResource(ModuleHandle module, ResourceType type, int id);
