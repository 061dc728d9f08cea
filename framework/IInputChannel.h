#pragma once

#include <vector>

/// One input channel of the plug-in base: whether the host connects it, its slot in
/// `inputPointers`, and a 64-bit scratch buffer (blockSize samples) that 32-bit host samples are
/// converted into, and that an unconnected channel's slot points at.
struct IInputChannel
{
    static constexpr int kLabelSize = 32;

    bool connected = false;
    int slot = 0;
    std::vector<double> scratch;
    char label[kLabelSize] = {};
};
