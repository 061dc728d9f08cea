#include "hosting/vst3/HostApplication.h"

#include "vst3/base/Utf16.h"

using namespace vst3;

tresult PLUGIN_API HostApplication::queryInterface(const TUID iid, void** obj)
{
    if (obj == nullptr)
        return kInvalidArgument;
    if (QueryAs<IHostApplication>(this, iid, obj))
        return kResultOk;
    return FObject::queryInterface(iid, obj);
}

tresult PLUGIN_API HostApplication::getName(String128 out)
{
    if (out == nullptr)
        return kInvalidArgument;
    WidenInto(out, 128, name.c_str());
    return kResultOk;
}

tresult PLUGIN_API HostApplication::createInstance(TUID, TUID, void** obj)
{
    if (obj != nullptr)
        *obj = nullptr;
    return kNotImplemented;
}
