#pragma once

#include "vst3/abi/Vst3Stream.h"
#include "vst3/base/FObject.h"

#include <vector>

/// An in-memory IBStream (with ISizeableStream) with one read/write position.
class MemoryStream : public vst3::FObject, public vst3::IBStream, public vst3::ISizeableStream
{
public:
    MemoryStream() = default;
    explicit MemoryStream(std::vector<char> bytes) : bytes(std::move(bytes)) {}

    VST3_FUNKNOWN_METHODS

    vst3::tresult PLUGIN_API read(void* buffer, vst3::int32 numBytes,
                                  vst3::int32* numBytesRead) override;
    vst3::tresult PLUGIN_API write(void* buffer, vst3::int32 numBytes,
                                   vst3::int32* numBytesWritten) override;
    vst3::tresult PLUGIN_API seek(vst3::int64 pos, vst3::int32 mode, vst3::int64* result) override;
    vst3::tresult PLUGIN_API tell(vst3::int64* pos) override;
    vst3::tresult PLUGIN_API getStreamSize(vst3::int64& size) override;
    vst3::tresult PLUGIN_API setStreamSize(vst3::int64 size) override;

    const std::vector<char>& Bytes() const { return bytes; }
    vst3::int64 Position() const { return position; }

private:
    std::vector<char> bytes;
    vst3::int64 position = 0;
};
