#pragma once

#include "vst3/abi/Vst3EditController.h"
#include "vst3/base/ComponentBase.h"
#include "vst3/base/ParameterContainer.h"

namespace vst3
{

/// The edit controller side: the parameter container, the component handlers and
/// generic answers from the parameter objects. [ui thread]
class EditController : public ComponentBase, public IEditController, public IEditController2
{
public:
    VST3_FUNKNOWN_METHODS

    tresult PLUGIN_API initialize(FUnknown* context) override;
    /// Removes the parameters and releases the handlers, then the base's host context.
    tresult PLUGIN_API terminate() override;

    tresult PLUGIN_API setComponentState(IBStream* state) override;
    tresult PLUGIN_API setState(IBStream* state) override;
    tresult PLUGIN_API getState(IBStream* state) override;
    int32 PLUGIN_API getParameterCount() override;
    tresult PLUGIN_API getParameterInfo(int32 paramIndex, ParameterInfo& info) override;
    tresult PLUGIN_API getParamStringByValue(ParamID id, ParamValue valueNormalized,
                                             String128 string) override;
    tresult PLUGIN_API getParamValueByString(ParamID id, TChar* string,
                                             ParamValue& valueNormalized) override;
    ParamValue PLUGIN_API normalizedParamToPlain(ParamID id, ParamValue valueNormalized) override;
    ParamValue PLUGIN_API plainParamToNormalized(ParamID id, ParamValue plainValue) override;
    ParamValue PLUGIN_API getParamNormalized(ParamID id) override;
    tresult PLUGIN_API setParamNormalized(ParamID id, ParamValue value) override;
    /// Keeps the handler (referenced) and the IComponentHandler2 it answers.
    tresult PLUGIN_API setComponentHandler(IComponentHandler* handler) override;
    IPlugView* PLUGIN_API createView(FIDString name) override;

    tresult PLUGIN_API setKnobMode(KnobMode mode) override;
    tresult PLUGIN_API openHelp(TBool onlyCheck) override;
    tresult PLUGIN_API openAboutBox(TBool onlyCheck) override;

    IComponentHandler* getComponentHandler() const { return componentHandler; }

protected:
    ~EditController() override;
    void releaseHandlers();

    ParameterContainer parameters;

private:
    IComponentHandler* componentHandler = nullptr;
    IComponentHandler2* componentHandler2 = nullptr;
};

} // namespace vst3
