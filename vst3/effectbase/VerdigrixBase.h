#pragma once

// The base the effect builds on in the VST3 module: the VST3 adapter.
#include "vst3/IEffectVST3.h"

/// What the host hands to a new instance; the VST3 factory passes nothing.
struct VerdigrixHost
{
};

class VerdigrixBase : public IEffectVST3
{
public:
    VerdigrixBase(VerdigrixHost, const IEffectConfig& config) : IEffectVST3(config) {}
};
