#pragma once

#include "graphics/platform/ModuleHandle.h"

/// Resource ids carried by every Verdigrix module.
inline constexpr int kCaptionFontId = 103; ///< raw data (type 10): hand-drawn display face
inline constexpr int kValueFontId = 104;   ///< raw data: the same font file as 103
inline constexpr int kTitleFontId = 105;   ///< raw data: rounded sans-serif (title, version)
inline constexpr int kLogoId = 106;        ///< type "PNG": the 814 x 152 logo

/// The handle of the resources embedded in this binary, for FindModuleResource. The module
/// entries pass it to SetModuleHandle; tests and tools may do the same. Any thread.
ModuleHandle EmbeddedModuleHandle();

/// Sets the module handle to EmbeddedModuleHandle() if none is set yet, and answers the
/// current handle. For code that builds an editor without a module entry (tests, tools).
ModuleHandle UseEmbeddedResources();
