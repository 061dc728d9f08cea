#pragma once

#include "vst3/abi/Vst3EditController.h"
#include "vst3/base/FObject.h"

#include <vector>

/// A component handler that records every call the plug-in makes (edits, restarts).
class ComponentHandler : public vst3::FObject,
                         public vst3::IComponentHandler,
                         public vst3::IComponentHandler2
{
public:
    enum class Kind
    {
        Begin,
        Perform,
        End,
        Restart
    };
    struct Call
    {
        Kind kind;
        vst3::ParamID id; ///< the flags for Restart
        double value;     ///< Perform only
    };

    VST3_FUNKNOWN_METHODS

    vst3::tresult PLUGIN_API beginEdit(vst3::ParamID id) override;
    vst3::tresult PLUGIN_API performEdit(vst3::ParamID id, vst3::ParamValue value) override;
    vst3::tresult PLUGIN_API endEdit(vst3::ParamID id) override;
    vst3::tresult PLUGIN_API restartComponent(vst3::int32 flags) override;

    vst3::tresult PLUGIN_API setDirty(vst3::TBool state) override;
    vst3::tresult PLUGIN_API requestOpenEditor(vst3::FIDString name) override;
    vst3::tresult PLUGIN_API startGroupEdit() override;
    vst3::tresult PLUGIN_API finishGroupEdit() override;

    /// Every call so far, in order.
    const std::vector<Call>& Calls() const { return calls; }
    void Clear() { calls.clear(); }

private:
    std::vector<Call> calls;
};
