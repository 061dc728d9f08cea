#include "framework/IGrowableBuffer.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

IGrowableBuffer::IGrowableBuffer(int32_t granularity)
    : granularity(std::max<int32_t>(granularity, 1))
{
}

IGrowableBuffer::~IGrowableBuffer()
{
    Release();
}

IGrowableBuffer::IGrowableBuffer(IGrowableBuffer&& other) noexcept
    : data(std::exchange(other.data, nullptr)), allocated(std::exchange(other.allocated, 0)),
      used(std::exchange(other.used, 0)), granularity(other.granularity), sizeLimit(other.sizeLimit)
{
}

IGrowableBuffer& IGrowableBuffer::operator=(IGrowableBuffer&& other) noexcept
{
    if (this != &other)
    {
        Release();
        data = std::exchange(other.data, nullptr);
        allocated = std::exchange(other.allocated, 0);
        used = std::exchange(other.used, 0);
        granularity = other.granularity;
        sizeLimit = other.sizeLimit;
    }
    return *this;
}

void IGrowableBuffer::Release()
{
    std::free(data);
    data = nullptr;
    allocated = 0;
    used = 0;
}

void IGrowableBuffer::SetSizeLimit(int32_t limit)
{
    sizeLimit = std::clamp<int32_t>(limit, 0, kMaxSize);
}

int64_t IGrowableBuffer::AllocationFor(int32_t n) const
{
    int64_t g = std::max<int64_t>(n / 2, granularity);
    if (granularity < 4096)
        return int64_t{n} + g;
    g = std::clamp<int64_t>(g / 4096 * 4096, 4096, 4194304);
    return (int64_t{n} + 96 + g) / 4096 * 4096 - 96;
}

bool IGrowableBuffer::Resize(int32_t n, bool allowShrink)
{
    if (n < 0 || n > sizeLimit)
        return false;
    if (n == 0 && allowShrink)
    {
        Release();
        return true;
    }
    const int32_t shrinkBelow =
        std::max<int32_t>(std::min<int32_t>(allocated / 2, allocated - 4 * granularity), 1);
    if (n > allocated || (allowShrink && n < shrinkBelow))
    {
        // Never allocate past what a 32-bit size can describe; the used size is what counts.
        const int64_t wanted = std::min<int64_t>(AllocationFor(n), INT32_MAX);
        void* grown = std::realloc(data, static_cast<size_t>(wanted));
        if (grown == nullptr)
            return false; // realloc keeps the old block: contents and used size stay
        data = static_cast<uint8_t*>(grown);
        allocated = static_cast<int32_t>(wanted);
    }
    used = n;
    return true;
}
