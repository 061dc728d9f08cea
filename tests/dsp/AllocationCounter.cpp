#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

std::atomic<bool> AllocationCounter::active{false};
std::atomic<long> AllocationCounter::allocations{0};

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
