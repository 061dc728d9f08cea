#pragma once

// The base the effect builds on in the VST2 module: the VST 2.4 adapter.
#include "vst2/IEffectVST2.h"

/// What the host hands to a new instance: its callback.
using VerdigrixHost = vst2_host_callback;

class VerdigrixBase : public IEffectVST2
{
public:
    VerdigrixBase(VerdigrixHost host, const IEffectConfig& config) : IEffectVST2(config, host) {}
};
