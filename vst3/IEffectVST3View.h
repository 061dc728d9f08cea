#pragma once

#include "framework/IEditor.h"
#include "vst3/base/CPluginView.h"

#include <memory>

class IEffectVST3;

/// The editor view the host asks for with createView("editor"). It holds a reference on
/// its plug-in object and opens and closes the effect's editor window inside the host's
/// window: an X window ("X11EmbedWindowID") or a window handle ("HWND"), whichever the
/// editor's window system takes. On Linux the host's run loop (found through the frame or
/// the host context) drives the editor: a timer for the repaint tick and a handler on the
/// window system's connection; a Win32 window runs its own timer. [ui thread]
class IEffectVST3View : public vst3::CPluginView,
                        public vst3::IPlugViewContentScaleSupport,
                        public vst3::Linux::IEventHandler,
                        public vst3::Linux::ITimerHandler
{
public:
    /// Takes a reference on `plug`; the plug-in lists the view until its last release.
    explicit IEffectVST3View(IEffectVST3& plug);

    vst3::tresult PLUGIN_API queryInterface(const vst3::TUID iid, void** obj) override;
    vst3::uint32 PLUGIN_API addRef() override { return vst3::FObject::addRef(); }
    vst3::uint32 PLUGIN_API release() override { return vst3::FObject::release(); }

    vst3::tresult PLUGIN_API isPlatformTypeSupported(vst3::FIDString type) override;
    vst3::tresult PLUGIN_API attached(void* parent, vst3::FIDString type) override;
    vst3::tresult PLUGIN_API removed() override;
    vst3::tresult PLUGIN_API getSize(vst3::ViewRect* size) override;
    vst3::tresult PLUGIN_API onSize(vst3::ViewRect* newSize) override;
    vst3::tresult PLUGIN_API setContentScaleFactor(ScaleFactor factor) override;
    void PLUGIN_API onFDIsSet(vst3::Linux::FileDescriptor fd) override;
    void PLUGIN_API onTimer() override;

    /// Set when the plug-in asked the frame for a new size; cleared by the host's onSize.
    bool resizePending = false;

protected:
    ~IEffectVST3View() override;

private:
    IEffectVST3& plug;
    /// The host's run loop while the window is open (referenced), else null.
    vst3::Linux::IRunLoop* runLoop = nullptr;
    bool eventHandlerRegistered = false;

    IEditor* Editor() const;
    /// The platform type name hosts use for a window system, or null for none.
    static vst3::FIDString PlatformTypeOf(IEditor::WindowSystem system);
    vst3::Linux::IRunLoop* FindRunLoop() const;
    void StopRunLoop();
    /// The bodies of attached and setContentScaleFactor.
    vst3::tresult Attach(void* parent, vst3::FIDString type);
    vst3::tresult Rescale(ScaleFactor factor);
};
