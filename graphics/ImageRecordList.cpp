#include "graphics/ImageRecordList.h"

#include "graphics/BitmapCache.h"

ImageRecordList& ImageRecordList::Instance()
{
    static ImageRecordList list;
    return list;
}

const ImageRecord* ImageRecordList::Append(int32_t id, const std::string& name,
                                           const ImageRecord& record)
{
    std::lock_guard guard(lock);
    // Every editor of the module loads the same logo; sharing the identical record keeps the
    // list from growing with each plug-in instance a host creates.
    for (const Entry& entry : entries)
    {
        const ImageRecord& r = *entry.record;
        if (entry.id == id && entry.name == name && r.bitmap == record.bitmap &&
            r.width == record.width && r.height == record.height &&
            r.frameCount == record.frameCount && r.framesHorizontal == record.framesHorizontal)
            return entry.record.get();
    }
    entries.push_back({id, name, std::make_unique<ImageRecord>(record)});
    return entries.back().record.get();
}

int ImageRecordList::Count()
{
    std::lock_guard guard(lock);
    return static_cast<int>(entries.size());
}

void ImageRecordList::Clear()
{
    std::lock_guard guard(lock);
    entries.clear();
}

const ImageRecord* LoadImageRecord(int32_t id, const char* name,
                                   const std::function<std::unique_ptr<IBitmap>()>& load)
{
    BitmapCache& cache = BitmapCache::Instance();
    IBitmap* bitmap = nullptr;
    {
        // Held across the load, so two instances opening at once decode the image only once.
        std::lock_guard guard(cache.Lock());
        bitmap = cache.Find(id);
        if (bitmap == nullptr && load)
        {
            std::unique_ptr<IBitmap> loaded = load();
            bitmap = loaded.get();
            cache.RegisterBitmap(id, std::move(loaded));
        }
    }
    ImageRecord record;
    record.bitmap = bitmap;
    record.width = bitmap != nullptr ? bitmap->Width() : 0;
    record.height = bitmap != nullptr ? bitmap->Height() : 0;
    record.frameCount = 1;
    record.framesHorizontal = false;
    return ImageRecordList::Instance().Append(id, name != nullptr ? name : "", record);
}
