#pragma once

/// Counts calls of the global operator new (replaced in this program) made by the calling
/// thread while an audio-path scope is open there. Modules loaded into the program allocate
/// through the same operator, so their audio path is counted too.
class AudioThreadAllocations
{
public:
    /// Opens the scope on this thread; the destructor closes it.
    AudioThreadAllocations();
    ~AudioThreadAllocations();
    AudioThreadAllocations(const AudioThreadAllocations&) = delete;
    AudioThreadAllocations& operator=(const AudioThreadAllocations&) = delete;

    /// Allocations counted since this scope opened.
    long Count() const;

private:
    long start;
};
