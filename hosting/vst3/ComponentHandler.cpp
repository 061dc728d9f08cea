#include "hosting/vst3/ComponentHandler.h"

using namespace vst3;

tresult PLUGIN_API ComponentHandler::queryInterface(const TUID iid, void** obj)
{
    if (obj == nullptr)
        return kInvalidArgument;
    if (QueryAs<IComponentHandler>(this, iid, obj) || QueryAs<IComponentHandler2>(this, iid, obj))
        return kResultOk;
    return FObject::queryInterface(iid, obj);
}

tresult PLUGIN_API ComponentHandler::beginEdit(ParamID id)
{
    calls.push_back({Kind::Begin, id, 0.0});
    return kResultOk;
}

tresult PLUGIN_API ComponentHandler::performEdit(ParamID id, ParamValue value)
{
    calls.push_back({Kind::Perform, id, value});
    return kResultOk;
}

tresult PLUGIN_API ComponentHandler::endEdit(ParamID id)
{
    calls.push_back({Kind::End, id, 0.0});
    return kResultOk;
}

tresult PLUGIN_API ComponentHandler::restartComponent(int32 flags)
{
    calls.push_back({Kind::Restart, static_cast<ParamID>(flags), 0.0});
    return kResultOk;
}

tresult PLUGIN_API ComponentHandler::setDirty(TBool)
{
    return kResultOk;
}
tresult PLUGIN_API ComponentHandler::requestOpenEditor(FIDString)
{
    return kResultFalse;
}
tresult PLUGIN_API ComponentHandler::startGroupEdit()
{
    return kResultOk;
}
tresult PLUGIN_API ComponentHandler::finishGroupEdit()
{
    return kResultOk;
}
