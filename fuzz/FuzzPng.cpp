// The PNG decoder, on any bytes.

#include "FuzzCheck.h"
#include "graphics/PngDecoder.h"

#include <cstddef>
#include <cstdint>

using namespace fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const std::unique_ptr<IMemBitmap> bitmap = DecodePng(data, size);
    if (bitmap == nullptr)
        return 0;
    Require(bitmap->Width() >= 1 && bitmap->Height() >= 1, "empty bitmap");
    Require(bitmap->Width() <= kMaxPngSide && bitmap->Height() <= kMaxPngSide, "oversized bitmap");
    Require(bitmap->Pixels() != nullptr, "bitmap without pixels");
    // Every pixel is readable (the address sanitizer checks the row ends).
    uint32_t sum = 0;
    for (int y = 0; y < bitmap->Height(); ++y)
        for (int x = 0; x < bitmap->Width(); ++x)
            sum += bitmap->Pixels()[y * bitmap->RowPixels() + x];
    volatile uint32_t sink = sum;
    (void)sink;
    return 0;
}
