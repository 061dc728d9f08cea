#include "vst3/base/EditController.h"

namespace vst3
{

EditController::~EditController()
{
    releaseHandlers();
}

tresult PLUGIN_API EditController::queryInterface(const TUID iid, void** obj)
{
    if (obj == nullptr)
        return kInvalidArgument;
    if (QueryAs<IEditController>(this, iid, obj) || QueryAs<IEditController2>(this, iid, obj))
        return kResultOk;
    return ComponentBase::queryInterface(iid, obj);
}

tresult PLUGIN_API EditController::initialize(FUnknown* context)
{
    return ComponentBase::initialize(context);
}

tresult PLUGIN_API EditController::terminate()
{
    parameters.removeAll();
    releaseHandlers();
    return ComponentBase::terminate();
}

void EditController::releaseHandlers()
{
    if (componentHandler2 != nullptr)
    {
        componentHandler2->release();
        componentHandler2 = nullptr;
    }
    if (componentHandler != nullptr)
    {
        componentHandler->release();
        componentHandler = nullptr;
    }
}

tresult PLUGIN_API EditController::setComponentState(IBStream*)
{
    return kNotImplemented;
}
tresult PLUGIN_API EditController::setState(IBStream*)
{
    return kNotImplemented;
}
tresult PLUGIN_API EditController::getState(IBStream*)
{
    return kNotImplemented;
}

int32 PLUGIN_API EditController::getParameterCount()
{
    return parameters.getParameterCount();
}

tresult PLUGIN_API EditController::getParameterInfo(int32 paramIndex, ParameterInfo& info)
{
    const Parameter* p = parameters.getParameterByIndex(paramIndex);
    if (p == nullptr)
        return kResultFalse;
    info = p->getInfo();
    return kResultOk;
}

tresult PLUGIN_API EditController::getParamStringByValue(ParamID, ParamValue, String128)
{
    return kResultFalse;
}

tresult PLUGIN_API EditController::getParamValueByString(ParamID id, TChar* string,
                                                         ParamValue& valueNormalized)
{
    const Parameter* p = parameters.getParameter(id);
    if (p == nullptr || string == nullptr)
        return kResultFalse;
    return p->fromString(string, valueNormalized) ? kResultOk : kResultFalse;
}

ParamValue PLUGIN_API EditController::normalizedParamToPlain(ParamID id, ParamValue value)
{
    const Parameter* p = parameters.getParameter(id);
    return p == nullptr ? value : p->toPlain(value);
}

ParamValue PLUGIN_API EditController::plainParamToNormalized(ParamID id, ParamValue plain)
{
    const Parameter* p = parameters.getParameter(id);
    return p == nullptr ? plain : p->toNormalized(plain);
}

ParamValue PLUGIN_API EditController::getParamNormalized(ParamID)
{
    return 0.0;
}

tresult PLUGIN_API EditController::setParamNormalized(ParamID, ParamValue)
{
    return kResultOk;
}

tresult PLUGIN_API EditController::setComponentHandler(IComponentHandler* handler)
{
    if (handler == componentHandler)
        return kResultOk;
    releaseHandlers();
    componentHandler = handler;
    if (componentHandler != nullptr)
    {
        componentHandler->addRef();
        void* h2 = nullptr;
        if (componentHandler->queryInterface(IComponentHandler2::iid.data(), &h2) == kResultOk)
            componentHandler2 = static_cast<IComponentHandler2*>(h2);
    }
    return kResultOk;
}

IPlugView* PLUGIN_API EditController::createView(FIDString)
{
    return nullptr;
}

tresult PLUGIN_API EditController::setKnobMode(KnobMode)
{
    return kResultOk;
}
tresult PLUGIN_API EditController::openHelp(TBool)
{
    return kResultFalse;
}
tresult PLUGIN_API EditController::openAboutBox(TBool)
{
    return kResultFalse;
}

} // namespace vst3
