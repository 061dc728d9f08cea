#include "vst3/IEffectVST3View.h"

#include "vst3/IEffectVST3.h"

using namespace vst3;

IEffectVST3View::IEffectVST3View(IEffectVST3& plug) : plug(plug)
{
    static_cast<IAudioProcessor&>(plug).addRef();
}

IEffectVST3View::~IEffectVST3View()
{
    plug.ViewClosed(this);
    static_cast<IAudioProcessor&>(plug).release();
}

tresult PLUGIN_API IEffectVST3View::isPlatformTypeSupported(FIDString)
{
    // No window layer yet: the view answers as for an effect without an editor.
    return kResultFalse;
}

tresult PLUGIN_API IEffectVST3View::attached(void*, FIDString type)
{
    if (!plug.HasEditorWindow() || type == nullptr)
        return kResultFalse;
    plug.EditorOpened();
    return kResultOk;
}

tresult PLUGIN_API IEffectVST3View::removed()
{
    if (plug.HasEditorWindow())
        plug.EditorClosing();
    return kResultOk;
}

tresult PLUGIN_API IEffectVST3View::getSize(ViewRect* size)
{
    if (!plug.HasEditorWindow() || size == nullptr)
        return kResultFalse;
    *size = rect;
    return kResultOk;
}

tresult PLUGIN_API IEffectVST3View::onSize(ViewRect* newSize)
{
    if (newSize == nullptr)
        return kResultOk;
    rect = *newSize;
    if (resizePending)
    {
        plug.EditorResized(rect.left, rect.top, rect.right, rect.bottom);
        resizePending = false;
    }
    return kResultOk;
}
