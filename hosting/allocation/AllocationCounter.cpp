#include "hosting/allocation/AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace
{

// Constant-initialised, so reading them from operator new needs no allocation itself.
thread_local bool counting = false;
thread_local long counted = 0;
std::atomic<std::size_t> failAbove{0};

void* allocate(std::size_t size)
{
    if (counting)
        ++counted;
    const std::size_t limit = failAbove.load(std::memory_order_relaxed);
    if (limit != 0 && size > limit)
        throw std::bad_alloc();
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

void* allocateOrNull(std::size_t size) noexcept
{
    try
    {
        return allocate(size);
    }
    catch (const std::bad_alloc&)
    {
        return nullptr;
    }
}

} // namespace

AllocationCounter::AllocationCounter() : start(counted)
{
    counting = true;
}

AllocationCounter::~AllocationCounter()
{
    counting = false;
}

long AllocationCounter::count() const
{
    return counted - start;
}

void AllocationCounter::failAllocationsAbove(std::size_t bytes)
{
    failAbove = bytes;
}

void* operator new(std::size_t size)
{
    return allocate(size);
}

void* operator new[](std::size_t size)
{
    return allocate(size);
}

// The nothrow forms too: otherwise a sanitizer's own versions would bypass the count.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return allocateOrNull(size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return allocateOrNull(size);
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete[](void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}

void operator delete(void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}

void operator delete[](void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}
