#include "vst3/base/ComponentBase.h"

namespace vst3
{

ComponentBase::~ComponentBase()
{
    ComponentBase::terminate();
}

tresult PLUGIN_API ComponentBase::queryInterface(const TUID iid, void** obj)
{
    if (obj == nullptr)
        return kInvalidArgument;
    if (QueryAs<IPluginBase>(this, iid, obj) || QueryAs<IConnectionPoint>(this, iid, obj))
        return kResultOk;
    return FObject::queryInterface(iid, obj);
}

tresult PLUGIN_API ComponentBase::initialize(FUnknown* context)
{
    if (initialized)
        return kResultFalse;
    initialized = true;
    hostContext = context;
    if (hostContext != nullptr)
        hostContext->addRef();
    return kResultOk;
}

tresult PLUGIN_API ComponentBase::terminate()
{
    initialized = false;
    if (hostContext != nullptr)
    {
        hostContext->release();
        hostContext = nullptr;
    }
    if (peerConnection != nullptr)
    {
        peerConnection->disconnect(this);
        peerConnection->release();
        peerConnection = nullptr;
    }
    return kResultOk;
}

tresult PLUGIN_API ComponentBase::connect(IConnectionPoint* other)
{
    if (other == nullptr)
        return kInvalidArgument;
    if (peerConnection != nullptr)
        return kResultFalse;
    peerConnection = other;
    peerConnection->addRef();
    return kResultOk;
}

tresult PLUGIN_API ComponentBase::disconnect(IConnectionPoint* other)
{
    if (peerConnection == nullptr || other != peerConnection)
        return kInvalidArgument;
    peerConnection->release();
    peerConnection = nullptr;
    return kResultOk;
}

tresult PLUGIN_API ComponentBase::notify(IMessage*)
{
    return kResultFalse;
}

} // namespace vst3
