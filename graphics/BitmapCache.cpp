#include "graphics/BitmapCache.h"

BitmapCache& BitmapCache::Instance()
{
    // One per module (hidden symbols, no unique statics): unloading the module deletes it.
    static BitmapCache cache;
    return cache;
}

void BitmapCache::RegisterBitmap(int32_t id, std::unique_ptr<IBitmap> bitmap)
{
    if (bitmap == nullptr)
        return;
    std::lock_guard guard(lock);
    entries.push_back({id, std::move(bitmap)});
}

IBitmap* BitmapCache::Find(int32_t id)
{
    std::lock_guard guard(lock);
    for (const Entry& entry : entries)
        if (entry.id == id)
            return entry.bitmap.get();
    return nullptr;
}

int BitmapCache::Count()
{
    std::lock_guard guard(lock);
    return static_cast<int>(entries.size());
}

void BitmapCache::Clear()
{
    std::lock_guard guard(lock);
    entries.clear();
}
