#pragma once

#include <cstdint>

class IBitmap;

/// What a control holds for a loaded image. The bitmap belongs to the module-wide
/// BitmapCache; the record itself to the ImageRecordList. `bitmap` is null (and the
/// size 0 x 0) when the image could not be loaded.
struct ImageRecord
{
    IBitmap* bitmap = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t frameCount = 1;
    bool framesHorizontal = false;
};
