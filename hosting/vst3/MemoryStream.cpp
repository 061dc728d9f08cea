#include "hosting/vst3/MemoryStream.h"

#include <algorithm>
#include <cstring>

using namespace vst3;

tresult PLUGIN_API MemoryStream::queryInterface(const TUID iid, void** obj)
{
    if (obj == nullptr)
        return kInvalidArgument;
    if (QueryAs<IBStream>(this, iid, obj) || QueryAs<ISizeableStream>(this, iid, obj))
        return kResultOk;
    return FObject::queryInterface(iid, obj);
}

tresult PLUGIN_API MemoryStream::read(void* buffer, int32 numBytes, int32* numBytesRead)
{
    if (buffer == nullptr || numBytes < 0)
        return kInvalidArgument;
    const int64 available = std::max<int64>(0, static_cast<int64>(bytes.size()) - position);
    const auto n = static_cast<int32>(std::min<int64>(numBytes, available));
    if (n > 0)
        std::memcpy(buffer, bytes.data() + position, static_cast<std::size_t>(n));
    position += n;
    if (numBytesRead != nullptr)
        *numBytesRead = n;
    return kResultOk;
}

tresult PLUGIN_API MemoryStream::write(void* buffer, int32 numBytes, int32* numBytesWritten)
{
    if (buffer == nullptr || numBytes < 0)
        return kInvalidArgument;
    const auto end = static_cast<std::size_t>(position + numBytes);
    if (end > bytes.size())
        bytes.resize(end);
    std::memcpy(bytes.data() + position, buffer, static_cast<std::size_t>(numBytes));
    position += numBytes;
    if (numBytesWritten != nullptr)
        *numBytesWritten = numBytes;
    return kResultOk;
}

tresult PLUGIN_API MemoryStream::seek(int64 pos, int32 mode, int64* result)
{
    int64 target = pos;
    if (mode == kIBSeekCur)
        target = position + pos;
    else if (mode == kIBSeekEnd)
        target = static_cast<int64>(bytes.size()) + pos;
    else if (mode != kIBSeekSet)
        return kInvalidArgument;
    if (target < 0)
        return kResultFalse;
    position = target;
    if (result != nullptr)
        *result = position;
    return kResultOk;
}

tresult PLUGIN_API MemoryStream::tell(int64* pos)
{
    if (pos == nullptr)
        return kInvalidArgument;
    *pos = position;
    return kResultOk;
}

tresult PLUGIN_API MemoryStream::getStreamSize(int64& size)
{
    size = static_cast<int64>(bytes.size());
    return kResultOk;
}

tresult PLUGIN_API MemoryStream::setStreamSize(int64 size)
{
    if (size < 0)
        return kInvalidArgument;
    bytes.resize(static_cast<std::size_t>(size));
    return kResultOk;
}
