#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

std::atomic<bool> AllocationCounter::active{false};
std::atomic<long> AllocationCounter::allocations{0};
std::atomic<std::size_t> AllocationCounter::failAbove{0};

void AllocationCounter::failAllocationsAbove(std::size_t bytes)
{
    failAbove = bytes;
}

AllocationCounter::AllocationCounter()
{
    allocations = 0;
    active = true;
}

AllocationCounter::~AllocationCounter()
{
    active = false;
}

long AllocationCounter::count() const
{
    return allocations.load();
}

namespace
{

void* allocate(std::size_t size)
{
    if (AllocationCounter::active.load(std::memory_order_relaxed))
        AllocationCounter::allocations.fetch_add(1, std::memory_order_relaxed);
    const std::size_t limit = AllocationCounter::failAbove.load(std::memory_order_relaxed);
    if (limit != 0 && size > limit)
        throw std::bad_alloc();
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

} // namespace

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
    try
    {
        return allocate(size);
    }
    catch (const std::bad_alloc&)
    {
        return nullptr;
    }
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
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

void operator delete(void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}

void operator delete[](void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
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
