#pragma once

#include "vst3/abi/Vst3AudioProcessor.h"
#include "vst3/base/Bus.h"

namespace vst3
{

/// An audio bus: a bus with a speaker arrangement; its channel count is the number of
/// speakers (set bits).
class AudioBus : public Bus
{
public:
    AudioBus(std::u16string name, BusType busType, int32 flags, SpeakerArrangement arrangement);

    void getInfo(BusInfo& info) const override;

    SpeakerArrangement getArrangement() const { return arrangement; }
    int32 getChannelCount() const { return SpeakerArr::getChannelCount(arrangement); }

private:
    SpeakerArrangement arrangement;
};

} // namespace vst3
