#pragma once

#include "dsp/AudioPlugin.h"
#include "dsp/filters/Filter.h"

#include <array>
#include <memory>

/// The engine's modulation filters: one object per Filter Type (low pass, band pass, high
/// pass), all made up front. A Filter Type change can arrive with host automation on the audio
/// thread, so installing a filter must not allocate or free: the set renews an existing object
/// to its freshly constructed state and swaps it into the engine, keeping the one it replaces
/// for later. Filters therefore live as long as the set, so a pointer to one (the editor's
/// response drawing) never dangles.
///
/// Threads: under the plug-in lock, like every writer of engine fields.
class ModulationFilterSet
{
public:
    /// Makes the filters of the types that `engine` does not hold yet. The engine's own filter
    /// is taken to be of `engine.filterType`.
    explicit ModulationFilterSet(const AudioPlugin& engine);

    /// Installs a fresh filter of `type` (0 low pass, 1 band pass, 2 high pass; other values
    /// are held within 0..2) as `engine.filter`: cleared memory, not yet configured, so its
    /// first configuration applies without a glide. Also when `type` is the installed one.
    /// Does not configure it: the caller follows with `engine.updateFilter()`.
    /// Allocation-free once constructed. Returns the type installed.
    int Install(AudioPlugin& engine, int type);

private:
    /// Resets `filter` to a freshly constructed filter of `type`; false when it is not of
    /// that type.
    static bool Renew(Dsp::Filter& filter, int type);

    /// The filters not in the engine, by type; null at the installed type.
    std::array<std::unique_ptr<Dsp::Filter>, 3> idle;
    int installedType;
};
