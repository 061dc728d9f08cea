#include "framework/IByteChunk.h"

#include <cstring>
#include <limits>

static_assert(sizeof(double) == 8 && std::numeric_limits<double>::is_iec559,
              "chunks store IEEE 754 binary64 doubles");

int32_t IByteChunk::Append(const void* bytes, int32_t n)
{
    const int32_t start = buffer.Size();
    if (n < 0 || n > IGrowableBuffer::kMaxSize - start)
        return 0;
    // One growth for the whole value: either all of it is written or none of it.
    if (!buffer.Resize(start + n))
        return 0;
    if (n > 0)
        std::memcpy(buffer.Data() + start, bytes, static_cast<size_t>(n));
    return buffer.Size();
}

int32_t IByteChunk::PutInt32(int32_t v)
{
    return Append(&v, sizeof v);
}

int32_t IByteChunk::PutDouble(double v)
{
    return Append(&v, sizeof v);
}

int32_t IByteChunk::PutByte(uint8_t v)
{
    return Append(&v, sizeof v);
}

int32_t IByteChunk::PutString(const char* text)
{
    return PutString(text == nullptr ? std::string_view{} : std::string_view{text});
}

int32_t IByteChunk::PutString(std::string_view text)
{
    const int32_t start = buffer.Size();
    if (text.size() > static_cast<size_t>(IGrowableBuffer::kMaxSize - 4 - start))
        return 0;
    const auto length = static_cast<int32_t>(text.size());
    if (!buffer.Resize(start + 4 + length))
        return 0;
    std::memcpy(buffer.Data() + start, &length, 4);
    if (length > 0)
        std::memcpy(buffer.Data() + start + 4, text.data(), text.size());
    return buffer.Size();
}

int32_t IByteChunk::PutBytes(const void* bytes, int32_t n)
{
    if (bytes == nullptr && n != 0)
        return 0;
    return Append(bytes, n);
}

bool IByteChunk::Readable(int32_t pos, int32_t width) const
{
    // Written so that no sum can overflow: pos + width <= size  <=>  pos <= size - width.
    return pos >= 0 && width <= Size() && pos <= Size() - width;
}

int32_t IByteChunk::GetInt32(int32_t pos, int32_t& v) const
{
    if (!Readable(pos, 4))
        return -1;
    std::memcpy(&v, Data() + pos, 4);
    return pos + 4;
}

int32_t IByteChunk::GetDouble(int32_t pos, double& v) const
{
    if (!Readable(pos, 8))
        return -1;
    std::memcpy(&v, Data() + pos, 8);
    return pos + 8;
}

int32_t IByteChunk::GetByte(int32_t pos, uint8_t& v) const
{
    if (!Readable(pos, 1))
        return -1;
    v = Data()[pos];
    return pos + 1;
}

int32_t IByteChunk::GetString(int32_t pos, std::string& text) const
{
    int32_t length = 0;
    const int32_t start = GetInt32(pos, length);
    // A negative length would move backwards, and an end past INT32_MAX would wrap: both
    // mean the bytes are no string.
    if (start < 0 || length < 0 || length > std::numeric_limits<int32_t>::max() - start)
        return -1;
    const int32_t end = start + length;
    if (length > 0 && end <= Size())
    {
        const auto* bytes = reinterpret_cast<const char*>(Data() + start);
        const void* zero = std::memchr(bytes, 0, static_cast<size_t>(length));
        const size_t count = zero != nullptr
                                 ? static_cast<size_t>(static_cast<const char*>(zero) - bytes)
                                 : static_cast<size_t>(length);
        text.assign(bytes, count);
    }
    return end;
}

void IByteChunk::Clear()
{
    buffer.Resize(0);
}
