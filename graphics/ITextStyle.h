#pragma once

#include "graphics/IArgbColour.h"

#include <cstdint>

/// Text settings a control carries for its text-entry box.
struct ITextStyle
{
    char fontName[32] = "Arial";
    int32_t size = 12;
    IArgbColour colour{255, 0, 0, 0};
    IArgbColour entryBackground{255, 255, 255, 255};
    IArgbColour entryForeground{255, 0, 0, 0};
    int32_t style = 0; ///< 0 normal, 1 bold, 2 italic
    int32_t align = 1; ///< 0 left, 1 centre, 2 right
};
