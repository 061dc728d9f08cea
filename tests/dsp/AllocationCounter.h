#pragma once

#include <atomic>
#include <cstddef>

/// Counts calls of the global operator new (replaced in this test executable) while a
/// scope is open, and can make large allocations fail.
class AllocationCounter
{
public:
    AllocationCounter();
    ~AllocationCounter();
    AllocationCounter(const AllocationCounter&) = delete;
    AllocationCounter& operator=(const AllocationCounter&) = delete;

    /// Allocations counted since construction.
    long count() const;

    /// Makes every allocation larger than `bytes` fail with std::bad_alloc, as when memory
    /// runs out; 0 lets them succeed again.
    static void failAllocationsAbove(std::size_t bytes);

    static std::atomic<bool> active;
    static std::atomic<long> allocations;
    static std::atomic<std::size_t> failAbove;
};
