#pragma once

#include <cstdint>

/// A block of bytes with an allocated size and a used size (both 32-bit signed), growing in
/// steps set by a granularity. A failed growth keeps the old contents and used size; callers
/// detect it from the boolean result (or by comparing the used size with what they asked).
/// Not thread-safe; allocates only in Resize.
class IGrowableBuffer
{
public:
    static constexpr int32_t kDefaultGranularity = 4096;
    static constexpr int32_t kMaxSize = INT32_MAX - 4096; ///< hard ceiling on the used size

    explicit IGrowableBuffer(int32_t granularity = kDefaultGranularity);
    ~IGrowableBuffer();
    IGrowableBuffer(const IGrowableBuffer&) = delete;
    IGrowableBuffer& operator=(const IGrowableBuffer&) = delete;
    IGrowableBuffer(IGrowableBuffer&& other) noexcept;
    IGrowableBuffer& operator=(IGrowableBuffer&& other) noexcept;

    /// Sets the used size to `n` bytes, reallocating when `n` exceeds the allocation (or, with
    /// `allowShrink`, when it falls well below it). Existing bytes stay; new bytes are not
    /// cleared. Returns false, changing nothing, when `n` is negative, above the size limit or
    /// the allocation fails.
    bool Resize(int32_t n, bool allowShrink = false);

    /// Largest used size this buffer accepts (defaults to kMaxSize). Lowering it bounds the
    /// memory a hostile size can claim; it never cuts what is already stored.
    void SetSizeLimit(int32_t limit);
    int32_t SizeLimit() const { return sizeLimit; }

    uint8_t* Data() { return data; }
    const uint8_t* Data() const { return data; }
    int32_t Size() const { return used; }
    int32_t Allocated() const { return allocated; }

private:
    /// Allocation for a used size of `n` bytes (n >= 1), by the granularity rule.
    int64_t AllocationFor(int32_t n) const;
    void Release();

    uint8_t* data = nullptr;
    int32_t allocated = 0;
    int32_t used = 0;
    int32_t granularity = kDefaultGranularity;
    int32_t sizeLimit = kMaxSize;
};
