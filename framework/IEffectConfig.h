#pragma once

#include <cstdint>

/// What an effect tells the plug-in base about itself at construction.
/// Every base class (IEffectBase and the two adapters) takes it, so that one effect
/// source builds on any of them.
struct IEffectConfig
{
    int paramCount = 0;
    int presetCount = 1;
    const char* channelConfigText = "";  ///< e.g. "1-1 2-1 3-1 2-2 3-2 4-2"
    const char* effectName = "";
    const char* makerName = "";
    int32_t uniqueId = 0;                ///< four-character code, first char in the top byte
    int32_t makerId = 0;
    int32_t version = 0;                 ///< major << 16 | minor << 8 | patch
};

/// Four-character code with the first character in the most significant byte.
constexpr int32_t FourCharCode(const char (&s)[5])
{
    return static_cast<int32_t>((static_cast<uint32_t>(static_cast<unsigned char>(s[0])) << 24) |
                                (static_cast<uint32_t>(static_cast<unsigned char>(s[1])) << 16) |
                                (static_cast<uint32_t>(static_cast<unsigned char>(s[2])) << 8) |
                                static_cast<uint32_t>(static_cast<unsigned char>(s[3])));
}
