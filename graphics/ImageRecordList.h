#pragma once

#include "graphics/IBitmap.h"
#include "graphics/ImageRecord.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

/// The module-wide list of image records: ordered {id, name, owned record}, shared by every
/// plug-in instance of the module and emptied when the module is unloaded. Records are
/// never changed or removed while the module is loaded, so controls may keep pointers.
/// Thread-safe (own re-entrant lock).
class ImageRecordList
{
public:
    static ImageRecordList& Instance();

    ImageRecordList() = default;
    ImageRecordList(const ImageRecordList&) = delete;
    ImageRecordList& operator=(const ImageRecordList&) = delete;

    /// The record for {id, name, bitmap}: an existing one with equal contents, otherwise a
    /// new one appended. The pointer stays valid until Clear() or module unload.
    const ImageRecord* Append(int32_t id, const std::string& name, const ImageRecord& record);
    int Count();
    void Clear();

private:
    struct Entry
    {
        int32_t id;
        std::string name;
        std::unique_ptr<ImageRecord> record;
    };

    std::recursive_mutex lock;
    std::vector<Entry> entries;
};

/// Loads an image record through the module-wide caches: the cached bitmap with `id` if
/// there is one, else `load()` (e.g. IGraphics::LoadPngResource), which is registered in
/// BitmapCache when it succeeds. Never null; the record's bitmap is null when loading failed
/// (and nothing is cached, so a later call tries again). [ui thread; takes the cache locks]
const ImageRecord* LoadImageRecord(int32_t id, const char* name,
                                   const std::function<std::unique_ptr<IBitmap>()>& load);
