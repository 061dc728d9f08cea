#pragma once

#include "vst3/abi/Vst3View.h"
#include "vst3/base/FObject.h"

namespace vst3
{

/// A plug-in view without a window: keeps its rectangle and frame (not referenced) and
/// answers every platform and input call with kResultFalse. [ui thread]
class CPluginView : public FObject, public IPlugView
{
public:
    VST3_FUNKNOWN_METHODS

    tresult PLUGIN_API isPlatformTypeSupported(FIDString type) override;
    tresult PLUGIN_API attached(void* parent, FIDString type) override;
    tresult PLUGIN_API removed() override;
    tresult PLUGIN_API onWheel(float distance) override;
    tresult PLUGIN_API onKeyDown(char16 key, int16 keyCode, int16 modifiers) override;
    tresult PLUGIN_API onKeyUp(char16 key, int16 keyCode, int16 modifiers) override;
    tresult PLUGIN_API getSize(ViewRect* size) override;
    tresult PLUGIN_API onSize(ViewRect* newSize) override;
    tresult PLUGIN_API onFocus(TBool state) override;
    tresult PLUGIN_API setFrame(IPlugFrame* frame) override;
    tresult PLUGIN_API canResize() override;
    tresult PLUGIN_API checkSizeConstraint(ViewRect* rect) override;

    const ViewRect& getRect() const { return rect; }
    IPlugFrame* getFrame() const { return frame; }

protected:
    ~CPluginView() override = default;

    ViewRect rect{0, 0, 0, 0};
    IPlugFrame* frame = nullptr;
};

} // namespace vst3
