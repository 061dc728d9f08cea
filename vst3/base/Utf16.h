#pragma once

// Text helpers at the VST3 boundary: the framework's 8-bit texts are widened byte by byte
// into UTF-16, and host UTF-16 texts are narrowed by keeping each unit's low byte.

#include "vst3/abi/Vst3Base.h"

#include <cstddef>
#include <string>

namespace vst3
{

/// Copies `text` widened into `dest` of `capacity` units: at most capacity − 1 characters,
/// zero-terminated, the rest of the field zero-filled.
inline void WidenInto(char16* dest, std::size_t capacity, const char* text)
{
    std::size_t i = 0;
    if (text != nullptr)
        for (; i + 1 < capacity && text[i] != '\0'; ++i)
            dest[i] = static_cast<char16>(static_cast<unsigned char>(text[i]));
    for (; i < capacity; ++i)
        dest[i] = 0;
}

/// Widens a narrow text into a UTF-16 string.
inline std::u16string Widen(const char* text)
{
    std::u16string out;
    for (; text != nullptr && *text != '\0'; ++text)
        out.push_back(static_cast<char16>(static_cast<unsigned char>(*text)));
    return out;
}

/// Narrows at most `maxUnits` units of a zero-terminated UTF-16 text (low byte of each).
inline std::string Narrow(const char16* text, std::size_t maxUnits)
{
    std::string out;
    for (std::size_t i = 0; text != nullptr && i < maxUnits && text[i] != 0; ++i)
        out.push_back(static_cast<char>(text[i] & 0xFF));
    return out;
}

/// Copies an 8-bit text into a fixed field: up to size − 1 characters, zero-filled after.
inline void CopyField(char* dest, std::size_t size, const char* text)
{
    std::size_t i = 0;
    if (text != nullptr)
        for (; i + 1 < size && text[i] != '\0'; ++i)
            dest[i] = text[i];
    for (; i < size; ++i)
        dest[i] = '\0';
}

} // namespace vst3
