#pragma once

#include <cstdint>

/// One system-exclusive message: sample offset, length in bytes and the bytes (not owned).
struct ISysExMessage
{
    int32_t offset = 0;
    int32_t length = 0;
    const uint8_t* data = nullptr;
};
