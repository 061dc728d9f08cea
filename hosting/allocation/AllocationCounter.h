#pragma once

#include <atomic>
#include <cstddef>

/// Counts calls of the global operator new, replaced in the program this is linked into,
/// made by the calling thread while a counter is open there. Modules loaded into the
/// program allocate through the same operator, so their audio path is counted too; other
/// threads (a host's or a sanitizer's) are not. Can also make large allocations fail.
class AllocationCounter
{
public:
    /// Opens the count on this thread; the destructor closes it. One at a time per thread.
    AllocationCounter();
    ~AllocationCounter();
    AllocationCounter(const AllocationCounter&) = delete;
    AllocationCounter& operator=(const AllocationCounter&) = delete;

    /// Allocations this thread made since construction.
    long count() const;

    /// Makes every allocation larger than `bytes`, on any thread, fail as when memory runs
    /// out (std::bad_alloc, or null from the nothrow forms); 0 lets them succeed again.
    static void failAllocationsAbove(std::size_t bytes);

private:
    long start;
};
