#pragma once

#include "hosting/vst3/MemoryStream.h"

/// A memory stream whose reads come short or fail as a host's stream may: each read hands
/// over at most `chunkLimit` bytes (0: no limit), and read number `failAt` (counted from 1;
/// 0: none) fails, reporting the bytes it copied when `failWithBytes`, none otherwise.
class FlakyStream : public MemoryStream
{
public:
    struct Behaviour
    {
        int chunkLimit = 0;
        int failAt = 0;
        bool failWithBytes = false;
    };

    FlakyStream(std::vector<char> bytes, Behaviour behaviour)
        : MemoryStream(std::move(bytes)), behaviour(behaviour)
    {
    }

    /// The behaviour coded in one byte: bits 0-2 the chunk limit (0, else 2^(n-1) bytes),
    /// bits 3-5 the failing read (0 none), bit 6 whether the failing read reports bytes.
    static Behaviour FromByte(unsigned char b);

    vst3::tresult PLUGIN_API read(void* buffer, vst3::int32 numBytes,
                                  vst3::int32* numBytesRead) override;

private:
    Behaviour behaviour;
    int reads = 0;
};
