#pragma once

#include "dsp/AudioPlugin.h"

/// The engine with its chain written the straightforward way: the modulation filled, filtered
/// by a ReferenceFilter, then saturation (the C library's exp), gains and modulation as five
/// separate passes over the block. Everything else (frame, sources, pitch follower) is the
/// engine's own, so a product engine and a reference engine given the same settings, seed
/// and input must agree to rounding.
class ReferenceEngine : public AudioPlugin
{
public:
    ReferenceEngine();

    /// Installs a reference filter of `type` (0 low pass, 1 band pass, 2 high pass) and
    /// configures it, as the Filter Type handler does for the product's.
    void setFilterType(int type);

protected:
    void processOversampled(double* const* channels, int n) override;

private:
    void fill(int n);
};
