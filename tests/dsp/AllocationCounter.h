#pragma once

#include <atomic>

/// Counts calls of the global operator new (replaced in this test executable) while a
/// scope is open.
class AllocationCounter
{
public:
    AllocationCounter();
    ~AllocationCounter();
    AllocationCounter(const AllocationCounter&) = delete;
    AllocationCounter& operator=(const AllocationCounter&) = delete;

    /// Allocations counted since construction.
    long count() const;

    static std::atomic<bool> active;
    static std::atomic<long> allocations;
};
