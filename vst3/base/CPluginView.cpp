#include "vst3/base/CPluginView.h"

namespace vst3
{

tresult PLUGIN_API CPluginView::queryInterface(const TUID iid, void** obj)
{
    if (obj == nullptr)
        return kInvalidArgument;
    if (QueryAs<IPlugView>(this, iid, obj))
        return kResultOk;
    return FObject::queryInterface(iid, obj);
}

tresult PLUGIN_API CPluginView::isPlatformTypeSupported(FIDString)
{
    return kResultFalse;
}
tresult PLUGIN_API CPluginView::attached(void*, FIDString)
{
    return kResultFalse;
}
tresult PLUGIN_API CPluginView::removed()
{
    return kResultOk;
}
tresult PLUGIN_API CPluginView::onWheel(float)
{
    return kResultFalse;
}
tresult PLUGIN_API CPluginView::onKeyDown(char16, int16, int16)
{
    return kResultFalse;
}
tresult PLUGIN_API CPluginView::onKeyUp(char16, int16, int16)
{
    return kResultFalse;
}

tresult PLUGIN_API CPluginView::getSize(ViewRect* size)
{
    if (size == nullptr)
        return kInvalidArgument;
    *size = rect;
    return kResultOk;
}

tresult PLUGIN_API CPluginView::onSize(ViewRect* newSize)
{
    if (newSize != nullptr)
        rect = *newSize;
    return kResultOk;
}

tresult PLUGIN_API CPluginView::onFocus(TBool)
{
    return kResultFalse;
}

tresult PLUGIN_API CPluginView::setFrame(IPlugFrame* newFrame)
{
    frame = newFrame;
    return kResultOk;
}

tresult PLUGIN_API CPluginView::canResize()
{
    return kResultFalse;
}
tresult PLUGIN_API CPluginView::checkSizeConstraint(ViewRect*)
{
    return kResultFalse;
}

} // namespace vst3
