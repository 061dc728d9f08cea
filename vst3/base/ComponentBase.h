#pragma once

#include "vst3/abi/Vst3Component.h"
#include "vst3/base/FObject.h"

namespace vst3
{

/// The plug-in side of IPluginBase and IConnectionPoint: holds the host context from
/// initialize to terminate, and a peer connection if one is made. [ui thread]
class ComponentBase : public FObject, public IPluginBase, public IConnectionPoint
{
public:
    VST3_FUNKNOWN_METHODS

    /// Keeps `context` (referenced); refused with kResultFalse until terminate (also when
    /// the first call brought a null context, so buses are never built twice).
    tresult PLUGIN_API initialize(FUnknown* context) override;
    /// Releases the host context and disconnects and releases the peer.
    tresult PLUGIN_API terminate() override;

    tresult PLUGIN_API connect(IConnectionPoint* other) override;
    tresult PLUGIN_API disconnect(IConnectionPoint* other) override;
    tresult PLUGIN_API notify(IMessage* message) override;

    FUnknown* getHostContext() const { return hostContext; }

protected:
    ~ComponentBase() override;

private:
    FUnknown* hostContext = nullptr;
    bool initialized = false;
    IConnectionPoint* peerConnection = nullptr;
};

} // namespace vst3
