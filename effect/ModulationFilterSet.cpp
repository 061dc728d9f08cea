#include "effect/ModulationFilterSet.h"

#include "dsp/filters/DirectFormII.h"
#include "dsp/filters/SmoothedFilterDesign.h"
#include "dsp/filters/rbj/BandPass1.h"
#include "dsp/filters/rbj/HighPass.h"
#include "dsp/filters/rbj/LowPass.h"

#include <algorithm>
#include <utility>

namespace
{
template <class Design> using Smoothed = Dsp::SmoothedFilterDesign<Design, 2, Dsp::DirectFormII>;

template <class Design> bool RenewAs(Dsp::Filter& filter)
{
    auto* concrete = dynamic_cast<Smoothed<Design>*>(&filter);
    if (concrete == nullptr)
        return false;
    *concrete = Smoothed<Design>(AudioPlugin::kFilterTransitionSamples);
    return true;
}

int HeldType(int type)
{
    return std::clamp(type, static_cast<int>(AudioPlugin::kLowPass),
                      static_cast<int>(AudioPlugin::kHighPass));
}
} // namespace

ModulationFilterSet::ModulationFilterSet(const AudioPlugin& engine)
    : installedType(HeldType(engine.filterType))
{
    for (int type = 0; type < static_cast<int>(idle.size()); ++type)
    {
        if (type != installedType)
            idle[static_cast<size_t>(type)] = AudioPlugin::makeFilter(type);
    }
}

int ModulationFilterSet::Install(AudioPlugin& engine, int type)
{
    type = HeldType(type);
    if (type == installedType && engine.filter && Renew(*engine.filter, type))
        return type;

    std::unique_ptr<Dsp::Filter> fresh = std::move(idle[static_cast<size_t>(type)]);
    if (!fresh || !Renew(*fresh, type))
        fresh = AudioPlugin::makeFilter(type); // only if the engine's filter types change
    std::unique_ptr<Dsp::Filter> previous = std::exchange(engine.filter, std::move(fresh));
    if (installedType != type)
        idle[static_cast<size_t>(installedType)] = std::move(previous);
    installedType = type;
    return type;
}

bool ModulationFilterSet::Renew(Dsp::Filter& filter, int type)
{
    switch (type)
    {
    case AudioPlugin::kBandPass:
        return RenewAs<Dsp::RBJ::Design::BandPass1>(filter);
    case AudioPlugin::kHighPass:
        return RenewAs<Dsp::RBJ::Design::HighPass>(filter);
    default:
        return RenewAs<Dsp::RBJ::Design::LowPass>(filter);
    }
}
