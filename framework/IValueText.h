#pragma once

#include <cstdint>

/// One entry of a parameter's value-text table: the integer value it stands for and the text
/// shown instead of the number (at most 31 characters and the terminator).
struct IValueText
{
    static constexpr int kTextSize = 32;

    int32_t value = 0;
    char text[kTextSize] = {};
};
