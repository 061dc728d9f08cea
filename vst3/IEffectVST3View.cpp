#include "vst3/IEffectVST3View.h"

#include "vst3/Guarded.h"
#include "vst3/IEffectVST3.h"

#include <cstring>

using namespace vst3;

IEffectVST3View::IEffectVST3View(IEffectVST3& plug) : plug(plug)
{
    static_cast<IAudioProcessor&>(plug).addRef();
}

IEffectVST3View::~IEffectVST3View()
{
    StopRunLoop();
    plug.ViewClosed(this);
    static_cast<IAudioProcessor&>(plug).release();
}

tresult PLUGIN_API IEffectVST3View::queryInterface(const TUID iid, void** obj)
{
    if (obj == nullptr)
        return kInvalidArgument;
    if (QueryAs<IPlugViewContentScaleSupport>(this, iid, obj) ||
        QueryAs<Linux::IEventHandler>(this, iid, obj) || QueryAs<Linux::ITimerHandler>(this, iid, obj))
        return kResultOk;
    return CPluginView::queryInterface(iid, obj);
}

IEditor* IEffectVST3View::Editor() const
{
    return plug.HasEditorWindow() ? plug.graphics.get() : nullptr;
}

tresult PLUGIN_API IEffectVST3View::isPlatformTypeSupported(FIDString type)
{
    IEditor* editor = Editor();
    if (editor == nullptr || type == nullptr)
        return kResultFalse;
    const char* offered = PlatformTypeOf(editor->NativeWindowSystem());
    return offered != nullptr && std::strcmp(type, offered) == 0 ? kResultTrue : kResultFalse;
}

FIDString IEffectVST3View::PlatformTypeOf(IEditor::WindowSystem system)
{
    switch (system)
    {
    case IEditor::WindowSystem::kX11:
        return kPlatformTypeX11EmbedWindowID;
    case IEditor::WindowSystem::kWin32:
        return kPlatformTypeHWND;
    default:
        return nullptr;
    }
}

Linux::IRunLoop* IEffectVST3View::FindRunLoop() const
{
    void* found = nullptr;
    if (frame != nullptr && frame->queryInterface(Linux::IRunLoop::iid.data(), &found) == kResultOk && found)
        return static_cast<Linux::IRunLoop*>(found);
    found = nullptr;
    FUnknown* context = plug.getHostContext();
    if (context != nullptr && context->queryInterface(Linux::IRunLoop::iid.data(), &found) == kResultOk &&
        found)
        return static_cast<Linux::IRunLoop*>(found);
    return nullptr;
}

// Opening, closing, rescaling and the run loop's calls build windows, bitmaps and menus, and
// edits take the plug-in lock: all are guarded as the plug-in's own entries are.
tresult PLUGIN_API IEffectVST3View::attached(void* parent, FIDString type)
{
    return Guarded(kResultFalse, [&] { return Attach(parent, type); });
}

tresult IEffectVST3View::Attach(void* parent, FIDString type)
{
    IEditor* editor = Editor();
    if (editor == nullptr || parent == nullptr || isPlatformTypeSupported(type) != kResultTrue)
        return kResultFalse;
    if (editor->DrivesItself())
    {
        // The window's own timer and the host's message loop run it.
        if (editor->OpenEditorWindow(parent) == nullptr)
            return kResultFalse;
        plug.EditorOpened();
        return kResultOk;
    }
    // Nothing runs the editor without the host's run loop: no threads of our own.
    Linux::IRunLoop* loop = FindRunLoop();
    if (loop == nullptr)
        return kResultFalse;
    if (editor->OpenEditorWindow(parent) == nullptr)
    {
        loop->release();
        return kResultFalse;
    }
    runLoop = loop;
    const int fd = editor->EventDescriptor();
    eventHandlerRegistered =
        fd >= 0 && runLoop->registerEventHandler(this, fd) == kResultOk;
    runLoop->registerTimer(this, static_cast<Linux::TimerInterval>(editor->RepaintPeriodMs()));
    plug.EditorOpened();
    return kResultOk;
}

void IEffectVST3View::StopRunLoop()
{
    if (runLoop == nullptr)
        return;
    runLoop->unregisterTimer(this);
    if (eventHandlerRegistered)
        runLoop->unregisterEventHandler(this);
    eventHandlerRegistered = false;
    runLoop->release();
    runLoop = nullptr;
}

tresult PLUGIN_API IEffectVST3View::removed()
{
    StopRunLoop();
    return Guarded(kResultFalse,
                   [&]
                   {
                       if (IEditor* editor = Editor())
                       {
                           plug.EditorClosing();
                           editor->CloseEditorWindow();
                       }
                       return kResultOk;
                   });
}

tresult PLUGIN_API IEffectVST3View::getSize(ViewRect* size)
{
    IEditor* editor = Editor();
    if (editor == nullptr || size == nullptr)
        return kResultFalse;
    rect = {0, 0, editor->WindowWidth(), editor->WindowHeight()};
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

tresult PLUGIN_API IEffectVST3View::setContentScaleFactor(ScaleFactor factor)
{
    return Guarded(kResultFalse, [&] { return Rescale(factor); });
}

tresult IEffectVST3View::Rescale(ScaleFactor factor)
{
    IEditor* editor = Editor();
    if (editor == nullptr || !(factor > 0.0f) || !editor->SetContentScale(factor))
        return kResultFalse;
    // The window follows the new scale; the host learns its size through the frame.
    if (frame != nullptr)
    {
        ViewRect wanted{0, 0, editor->WindowWidth(), editor->WindowHeight()};
        if (wanted.right != rect.getWidth() || wanted.bottom != rect.getHeight())
            frame->resizeView(this, &wanted);
    }
    return kResultOk;
}

void PLUGIN_API IEffectVST3View::onFDIsSet(Linux::FileDescriptor)
{
    Guarded(
        [&]
        {
            if (IEditor* editor = Editor())
                editor->ProcessEvents();
        });
}

void PLUGIN_API IEffectVST3View::onTimer()
{
    Guarded(
        [&]
        {
            if (IEditor* editor = Editor())
            {
                // Events first: a host whose loop reports the descriptor late still gets input.
                editor->ProcessEvents();
                editor->TimerTick();
            }
        });
}
