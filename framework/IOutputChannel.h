#pragma once

#include <vector>

/// One output channel of the plug-in base: whether the host connects it, its slot in
/// `outputPointers`, the host's 32-bit buffer of the current block (converted paths only), and
/// a 64-bit scratch buffer of blockSize samples.
struct IOutputChannel
{
    static constexpr int kLabelSize = 32;

    bool connected = false;
    int slot = 0;
    float* hostBuffer = nullptr;
    std::vector<double> scratch;
    char label[kLabelSize] = {};
};
