// The byte chunk's typed readers and the binary parameter format read on top of them.

#include "FuzzCheck.h"
#include "effect/Verdigrix.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

using namespace fuzz;

namespace
{

// Each typed read succeeds exactly when its bytes lie inside the chunk and leaves the
// destination alone otherwise.
void CheckReadsAt(const IByteChunk& chunk, int32_t pos)
{
    const int32_t size = chunk.Size();
    auto fits = [&](int32_t width) { return pos >= 0 && pos <= size - width; };

    int32_t i = 0x5A5A5A5A;
    const int32_t ri = chunk.GetInt32(pos, i);
    Require(ri == (fits(4) ? pos + 4 : -1), "GetInt32 position");
    if (ri < 0)
        Require(i == 0x5A5A5A5A, "failed GetInt32 wrote its destination");
    else
        Require(std::memcmp(&i, chunk.Data() + pos, 4) == 0, "GetInt32 value");

    double d = 1.5;
    const int32_t rd = chunk.GetDouble(pos, d);
    Require(rd == (fits(8) ? pos + 8 : -1), "GetDouble position");
    if (rd < 0)
        Require(d == 1.5, "failed GetDouble wrote its destination");

    uint8_t b = 0xA5;
    const int32_t rb = chunk.GetByte(pos, b);
    Require(rb == (fits(1) ? pos + 1 : -1), "GetByte position");

    std::string text = "unchanged";
    const int32_t rs = chunk.GetString(pos, text);
    if (!fits(4))
    {
        Require(rs == -1 && text == "unchanged", "GetString without a length");
        return;
    }
    int32_t length = 0;
    std::memcpy(&length, chunk.Data() + pos, 4);
    // A negative length or an end past the largest position is no string at all.
    const int64_t stringEnd = static_cast<int64_t>(pos) + 4 + length;
    const bool readable = length >= 0 && stringEnd <= INT32_MAX;
    Require(rs == (readable ? static_cast<int32_t>(stringEnd) : -1), "GetString position");
    const bool replaced = readable && length > 0 && stringEnd <= size;
    if (!replaced)
        Require(text == "unchanged", "GetString replaced text it could not read");
    else
        Require(text.size() <= static_cast<std::size_t>(length) &&
                    std::memcmp(text.data(), chunk.Data() + pos + 4, text.size()) == 0,
                "GetString text");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    static Verdigrix& effect = *new Verdigrix();
    static const std::vector<double> defaults = Values(effect);

    const IByteChunk chunk = ChunkOf(data, size);
    const int32_t n = chunk.Size();
    for (int32_t pos : {-1, 0, 1, 3, 4, 7, 8, n / 2, n - 9, n - 8, n - 4, n - 1, n, n + 1})
        CheckReadsAt(chunk, pos);

    ResetValues(effect, defaults);
    const int32_t end = effect.UnserializeParams(chunk, 0);
    RequireLoadInRange(effect, end, 4, chunk);
    if (end < 0)
        return 0;
    const std::vector<double> loaded = Values(effect);
    IByteChunk saved;
    Require(effect.SerializeParams(saved), "saving failed");
    Require(effect.UnserializeParams(saved, 0) == saved.Size(), "saved values did not load whole");
    RequireSameValues(effect, loaded, "saved values load other values");
    return 0;
}
