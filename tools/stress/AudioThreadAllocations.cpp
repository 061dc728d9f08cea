#include "AudioThreadAllocations.h"

#include <cstdlib>
#include <new>

namespace
{

thread_local bool inAudioPath = false;
thread_local long counted = 0;

void* Allocate(std::size_t size)
{
    if (inAudioPath)
        ++counted;
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

} // namespace

AudioThreadAllocations::AudioThreadAllocations() : start(counted)
{
    inAudioPath = true;
}

AudioThreadAllocations::~AudioThreadAllocations()
{
    inAudioPath = false;
}

long AudioThreadAllocations::Count() const
{
    return counted - start;
}

void* operator new(std::size_t size)
{
    return Allocate(size);
}
void* operator new[](std::size_t size)
{
    return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    if (inAudioPath)
        ++counted;
    return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    if (inAudioPath)
        ++counted;
    return std::malloc(size == 0 ? 1 : size);
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
