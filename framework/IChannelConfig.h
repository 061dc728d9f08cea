#pragma once

#include <cstdint>

/// One legal channel configuration: numbers of input and output channels.
struct IChannelConfig
{
    int32_t inputs = 0;
    int32_t outputs = 0;
};
