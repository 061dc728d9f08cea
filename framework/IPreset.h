#pragma once

#include "framework/IByteChunk.h"

#include <vector>

/// One program of the plug-in: whether it holds a state, its name, the state captured by
/// SerializeState, and the parameter values of that state. The values let a preset be recalled
/// on the audio thread by copying them, without reading the state document.
struct IPreset
{
    static constexpr int kNameSize = 256;

    bool initialized = false;
    char name[kNameSize] = {};
    IByteChunk chunk;
    std::vector<double> values; ///< one plain value per parameter, captured with `chunk`
};
