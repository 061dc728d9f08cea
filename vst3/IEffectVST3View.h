#pragma once

#include "vst3/base/CPluginView.h"

class IEffectVST3;

/// The editor view the host asks for with createView("editor"). It holds a reference on
/// its plug-in object and opens and closes the effect's editor window inside the host's
/// window. [ui thread]
class IEffectVST3View : public vst3::CPluginView
{
public:
    /// Takes a reference on `plug`; the plug-in lists the view until its last release.
    explicit IEffectVST3View(IEffectVST3& plug);

    vst3::tresult PLUGIN_API isPlatformTypeSupported(vst3::FIDString type) override;
    vst3::tresult PLUGIN_API attached(void* parent, vst3::FIDString type) override;
    vst3::tresult PLUGIN_API removed() override;
    vst3::tresult PLUGIN_API getSize(vst3::ViewRect* size) override;
    vst3::tresult PLUGIN_API onSize(vst3::ViewRect* newSize) override;

    /// Set when the plug-in asked the frame for a new size; cleared by the host's onSize.
    bool resizePending = false;

protected:
    ~IEffectVST3View() override;

private:
    IEffectVST3& plug;
};
