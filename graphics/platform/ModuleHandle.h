#pragma once

/// Identifies a loaded plug-in module for resource look-ups. On Windows it is the module
/// instance handle; on Linux it points at the module's ResourceTable (see
/// resources/EmbeddedResources.h). Null means "no module": every look-up then fails.
using ModuleHandle = void*;

/// Remembers the handle of this module. Called once by the module entry (InitDll,
/// VSTPluginMain) before any instance exists; tests and tools call it themselves.
void SetModuleHandle(ModuleHandle module);

/// The handle set by SetModuleHandle, or null. Any thread.
ModuleHandle CurrentModuleHandle();
