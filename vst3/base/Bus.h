#pragma once

#include "vst3/abi/Vst3Component.h"

#include <string>

namespace vst3
{

/// One bus of a component: its name, kind, flags and whether the host activated it.
/// [ui thread]
class Bus
{
public:
    Bus(std::u16string name, BusType busType, int32 flags);
    virtual ~Bus() = default;
    Bus(const Bus&) = delete;
    Bus& operator=(const Bus&) = delete;

    /// Fills the name, busType and flags of `info`; derived buses add the channel count.
    virtual void getInfo(BusInfo& info) const;

    const std::u16string& getName() const { return name; }
    BusType getBusType() const { return busType; }
    int32 getFlags() const { return flags; }
    bool isActive() const { return active; }
    void setActive(bool state) { active = state; }

private:
    std::u16string name;
    BusType busType;
    int32 flags;
    bool active = false;
};

} // namespace vst3
