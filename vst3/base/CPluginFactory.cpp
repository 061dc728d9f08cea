#include "vst3/base/CPluginFactory.h"

#include <cstring>
#include <new>

namespace vst3
{

namespace
{
void WidenField(char16* dest, std::size_t units, const char* src, std::size_t srcSize)
{
    for (std::size_t i = 0; i < units; ++i)
        dest[i] = i < srcSize ? static_cast<char16>(static_cast<unsigned char>(src[i])) : 0;
}
} // namespace

CPluginFactory::CPluginFactory(const PFactoryInfo& info) : factoryInfo(info) {}

bool CPluginFactory::registerClass(const PClassInfo2& info, CreateFunction createFunction,
                                   void* context)
{
    ClassEntry entry{};
    entry.info2 = info;
    std::memcpy(entry.infoW.cid, info.cid, sizeof(TUID));
    entry.infoW.cardinality = info.cardinality;
    std::memcpy(entry.infoW.category, info.category, sizeof(info.category));
    WidenField(entry.infoW.name, 64, info.name, sizeof(info.name));
    entry.infoW.classFlags = info.classFlags;
    std::memcpy(entry.infoW.subCategories, info.subCategories, sizeof(info.subCategories));
    WidenField(entry.infoW.vendor, 64, info.vendor, sizeof(info.vendor));
    WidenField(entry.infoW.version, 64, info.version, sizeof(info.version));
    WidenField(entry.infoW.sdkVersion, 64, info.sdkVersion, sizeof(info.sdkVersion));
    entry.createFunction = createFunction;
    entry.context = context;
    entry.isUnicode = false;
    try
    {
        if (classEntries.size() == classEntries.capacity())
            classEntries.reserve(classEntries.size() + 10);
        classEntries.push_back(entry);
    }
    catch (const std::bad_alloc&)
    {
        return false;
    }
    return true;
}

tresult PLUGIN_API CPluginFactory::queryInterface(const TUID iid, void** obj)
{
    if (obj == nullptr)
        return kInvalidArgument;
    if (IidEqual(iid, FUnknown::iid) || IidEqual(iid, IPluginFactory::iid) ||
        IidEqual(iid, IPluginFactory2::iid) || IidEqual(iid, IPluginFactory3::iid))
    {
        addRef();
        *obj = this;
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}

uint32 PLUGIN_API CPluginFactory::addRef()
{
    return ++refCount;
}

bool CPluginFactory::tryAddRef()
{
    uint32 count = refCount.load();
    while (count != 0)
        if (refCount.compare_exchange_weak(count, count + 1))
            return true;
    return false;
}

uint32 PLUGIN_API CPluginFactory::release()
{
    const uint32 count = --refCount;
    if (count == 0)
    {
        if (destroyHook != nullptr)
            destroyHook(this);
        delete this;
    }
    return count;
}

tresult PLUGIN_API CPluginFactory::getFactoryInfo(PFactoryInfo* info)
{
    if (info != nullptr)
        *info = factoryInfo;
    return kResultOk;
}

int32 PLUGIN_API CPluginFactory::countClasses()
{
    return static_cast<int32>(classEntries.size());
}

const CPluginFactory::ClassEntry* CPluginFactory::entryAt(int32 index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= classEntries.size())
        return nullptr;
    return &classEntries[static_cast<std::size_t>(index)];
}

tresult PLUGIN_API CPluginFactory::getClassInfo(int32 index, PClassInfo* info)
{
    const ClassEntry* entry = entryAt(index);
    if (info == nullptr || entry == nullptr)
        return kInvalidArgument;
    if (entry->isUnicode)
    {
        std::memset(info, 0, sizeof(PClassInfo));
        return kResultFalse;
    }
    std::memcpy(info->cid, entry->info2.cid, sizeof(TUID));
    info->cardinality = entry->info2.cardinality;
    std::memcpy(info->category, entry->info2.category, sizeof(info->category));
    std::memcpy(info->name, entry->info2.name, sizeof(info->name));
    return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfo2(int32 index, PClassInfo2* info)
{
    const ClassEntry* entry = entryAt(index);
    if (info == nullptr || entry == nullptr)
        return kInvalidArgument;
    *info = entry->info2;
    return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfoUnicode(int32 index, PClassInfoW* info)
{
    const ClassEntry* entry = entryAt(index);
    if (info == nullptr || entry == nullptr)
        return kInvalidArgument;
    *info = entry->infoW;
    return kResultOk;
}

tresult PLUGIN_API CPluginFactory::createInstance(FIDString cid, FIDString iid, void** obj)
{
    if (obj == nullptr)
        return kInvalidArgument;
    *obj = nullptr;
    if (cid == nullptr || iid == nullptr)
        return kNoInterface;
    for (const ClassEntry& entry : classEntries)
    {
        if (std::memcmp(entry.info2.cid, cid, sizeof(TUID)) != 0)
            continue;
        FUnknown* instance = entry.createFunction(entry.context);
        if (instance == nullptr)
            return kNoInterface;
        const tresult result = instance->queryInterface(iid, obj);
        instance->release();
        if (result == kResultOk)
            return kResultOk;
        *obj = nullptr;
        return kNoInterface;
    }
    return kNoInterface;
}

tresult PLUGIN_API CPluginFactory::setHostContext(FUnknown*)
{
    return kNotImplemented;
}

} // namespace vst3
