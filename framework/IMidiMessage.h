#pragma once

#include <cstdint>

/// One short MIDI message: sample offset within the block and its three bytes.
struct IMidiMessage
{
    int32_t offset = 0;
    uint8_t status = 0;
    uint8_t data1 = 0;
    uint8_t data2 = 0;
};
