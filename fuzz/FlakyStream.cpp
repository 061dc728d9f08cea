#include "FlakyStream.h"

#include <algorithm>

using namespace vst3;

FlakyStream::Behaviour FlakyStream::FromByte(unsigned char b)
{
    Behaviour behaviour;
    const int limitCode = b & 7;
    behaviour.chunkLimit = limitCode == 0 ? 0 : 1 << (limitCode - 1);
    behaviour.failAt = (b >> 3) & 7;
    behaviour.failWithBytes = (b & 0x40) != 0;
    return behaviour;
}

tresult PLUGIN_API FlakyStream::read(void* buffer, int32 numBytes, int32* numBytesRead)
{
    ++reads;
    const int32 asked =
        behaviour.chunkLimit > 0 ? std::min(numBytes, behaviour.chunkLimit) : numBytes;
    if (reads != behaviour.failAt)
        return MemoryStream::read(buffer, asked, numBytesRead);
    int32 got = 0;
    if (behaviour.failWithBytes)
        MemoryStream::read(buffer, asked, &got);
    if (numBytesRead != nullptr)
        *numBytesRead = got;
    return kResultFalse;
}
