#include "vst3/base/FObject.h"

namespace vst3
{

tresult PLUGIN_API FObject::queryInterface(const TUID iid, void** obj)
{
    if (obj == nullptr)
        return kInvalidArgument;
    if (IidEqual(iid, FUnknown::iid))
    {
        addRef();
        *obj = static_cast<FUnknown*>(static_cast<IDependent*>(this));
        return kResultOk;
    }
    if (QueryAs<IDependent>(this, iid, obj))
        return kResultOk;
    *obj = nullptr;
    return kNoInterface;
}

uint32 PLUGIN_API FObject::addRef()
{
    return ++refCount;
}

uint32 PLUGIN_API FObject::release()
{
    const uint32 count = --refCount;
    if (count == 0)
        delete this;
    return count;
}

void PLUGIN_API FObject::update(FUnknown*, int32) {}

} // namespace vst3
