#pragma once

#include "vst3/base/Bus.h"

namespace vst3
{

/// An event (MIDI) bus with a fixed number of channels.
class EventBus : public Bus
{
public:
    EventBus(std::u16string name, BusType busType, int32 flags, int32 channelCount);

    void getInfo(BusInfo& info) const override;

    int32 getChannelCount() const { return channelCount; }

private:
    int32 channelCount;
};

} // namespace vst3
