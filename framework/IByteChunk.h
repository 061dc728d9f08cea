#pragma once

#include "framework/IGrowableBuffer.h"

#include <cstdint>
#include <string>
#include <string_view>

/// A growable block of bytes holding a saved state: typed little-endian appends, and typed
/// reads at an explicit position that return the position after the value, or -1.
/// A position of -1 (or beyond the end) makes every following read return -1, so a sequence
/// of reads needs only its last position tested. Readers never touch bytes outside the chunk.
/// Not thread-safe (callers hold the plug-in lock). Puts allocate when growing.
class IByteChunk
{
public:
    IByteChunk() = default;
    IByteChunk(IByteChunk&&) noexcept = default;
    IByteChunk& operator=(IByteChunk&&) noexcept = default;

    /// Appends, each returning the new length, or 0 when the chunk could not grow (then the
    /// chunk is left exactly as it was: nothing of the value is written).
    int32_t PutInt32(int32_t v);
    int32_t PutDouble(double v);
    int32_t PutByte(uint8_t v);
    int32_t PutBool(bool v) { return PutByte(v ? 1 : 0); }
    /// 32-bit length L (bytes, no terminator) followed by the L bytes. A null text is empty.
    int32_t PutString(const char* text);
    int32_t PutString(std::string_view text);
    int32_t PutBytes(const void* bytes, int32_t n);

    /// Reads at `pos`: when 0 <= pos and pos + width <= Size(), stores the value and returns
    /// pos + width; otherwise returns -1 and leaves `v` unchanged.
    int32_t GetInt32(int32_t pos, int32_t& v) const;
    int32_t GetDouble(int32_t pos, double& v) const;
    int32_t GetByte(int32_t pos, uint8_t& v) const;
    /// Reads a string stored by PutString. Returns -1 when the length cannot be read, is
    /// negative, or its end would not fit a 32-bit position; otherwise pos + 4 + L, also when
    /// that lies beyond the end (then later reads fail). `text` is replaced only when L > 0 and
    /// the bytes lie within the chunk, by the bytes up to L or the first zero byte.
    int32_t GetString(int32_t pos, std::string& text) const;

    /// Empties the chunk (keeps its allocation).
    void Clear();
    const uint8_t* Data() const { return buffer.Data(); }
    int32_t Size() const { return buffer.Size(); }

    /// Bounds the chunk's length (see IGrowableBuffer::SetSizeLimit).
    void SetSizeLimit(int32_t limit) { buffer.SetSizeLimit(limit); }

private:
    int32_t Append(const void* bytes, int32_t n);
    bool Readable(int32_t pos, int32_t width) const;

    IGrowableBuffer buffer{IGrowableBuffer::kDefaultGranularity};
};
