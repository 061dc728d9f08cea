#pragma once

#include <cstddef>
#include <cstring>

/// Copies `source` into a fixed text field of `size` bytes, truncating over-long texts so that
/// the field always ends with a terminator. A null source gives an empty text.
inline void CopyFixedText(char* destination, std::size_t size, const char* source)
{
    if (destination == nullptr || size == 0)
        return;
    std::size_t length = 0;
    if (source != nullptr)
        while (length + 1 < size && source[length] != '\0')
            ++length;
    if (length > 0)
        std::memmove(destination, source, length);
    destination[length] = '\0';
}

/// Array form of CopyFixedText: the field size is taken from the array.
template <std::size_t N> inline void CopyFixedText(char (&destination)[N], const char* source)
{
    CopyFixedText(destination, N, source);
}
