#pragma once

#include "framework/IByteChunk.h"

/// One program of the plug-in: whether it holds a state, its name and the state captured by
/// SerializeState.
struct IPreset
{
    static constexpr int kNameSize = 256;

    bool initialized = false;
    char name[kNameSize] = {};
    IByteChunk chunk;
};
