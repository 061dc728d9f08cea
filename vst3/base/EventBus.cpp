#include "vst3/base/EventBus.h"

namespace vst3
{

EventBus::EventBus(std::u16string name, BusType busType, int32 flags, int32 channelCount)
    : Bus(std::move(name), busType, flags), channelCount(channelCount)
{
}

void EventBus::getInfo(BusInfo& info) const
{
    Bus::getInfo(info);
    info.channelCount = channelCount;
}

} // namespace vst3
