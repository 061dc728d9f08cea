#include "vst3/base/AudioBus.h"

namespace vst3
{

AudioBus::AudioBus(std::u16string name, BusType busType, int32 flags,
                   SpeakerArrangement arrangement)
    : Bus(std::move(name), busType, flags), arrangement(arrangement)
{
}

void AudioBus::getInfo(BusInfo& info) const
{
    Bus::getInfo(info);
    info.channelCount = getChannelCount();
}

} // namespace vst3
