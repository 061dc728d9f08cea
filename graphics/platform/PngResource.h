#pragma once

#include "graphics/IMemBitmap.h"
#include "graphics/platform/ModuleHandle.h"

#include <memory>

/// Loads and decodes the PNG resource `id` (type "PNG") of `module`. `name` must end in a
/// "png" extension (any case). Null when the name, the resource or the image is bad.
/// What IGraphics::LoadPngResource does on every platform that keeps resources in a table.
std::unique_ptr<IMemBitmap> LoadPngFromModule(ModuleHandle module, int id, const char* name);
