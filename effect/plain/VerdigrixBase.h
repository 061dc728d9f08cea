#pragma once

// The base the effect builds on in this target: the plain plug-in base, with no
// format adapter (tests and tools). Each module target has its own VerdigrixBase.h.
#include "framework/IEffectBase.h"

/// What the host hands to a new instance; the plain base needs nothing.
struct VerdigrixHost
{
};

class VerdigrixBase : public IEffectBase
{
public:
    VerdigrixBase(VerdigrixHost, const IEffectConfig& config) : IEffectBase(config) {}
};
