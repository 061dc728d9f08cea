#pragma once

#include "graphics/IBitmap.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

/// The module-wide cache of loaded bitmaps: an ordered list of {id, owned bitmap} shared by
/// every plug-in instance of the module and emptied when the module is unloaded.
/// Thread-safe: every operation takes the cache's own re-entrant lock; Lock() lets a caller
/// hold it across a find-then-load sequence.
class BitmapCache
{
public:
    /// The one cache of this module.
    static BitmapCache& Instance();

    BitmapCache() = default;
    BitmapCache(const BitmapCache&) = delete;
    BitmapCache& operator=(const BitmapCache&) = delete;

    /// Appends {id, bitmap}; the cache owns the bitmap from now on. A null bitmap is ignored.
    void RegisterBitmap(int32_t id, std::unique_ptr<IBitmap> bitmap);
    /// The bitmap of the first entry with `id`, or null.
    IBitmap* Find(int32_t id);
    int Count();
    /// Deletes every entry (tests). Clear the ImageRecordList first: its records point at
    /// these bitmaps.
    void Clear();
    std::recursive_mutex& Lock() { return lock; }

private:
    struct Entry
    {
        int32_t id;
        std::unique_ptr<IBitmap> bitmap;
    };

    std::recursive_mutex lock;
    std::vector<Entry> entries;
};
