#include "vst3/base/SingleComponentEffect.h"

namespace vst3
{

tresult PLUGIN_API SingleComponentEffect::queryInterface(const TUID iid, void** obj)
{
    if (obj == nullptr)
        return kInvalidArgument;
    if (QueryAs<IComponent>(this, iid, obj) || QueryAs<IAudioProcessor>(this, iid, obj))
        return kResultOk;
    return EditController::queryInterface(iid, obj);
}

tresult PLUGIN_API SingleComponentEffect::initialize(FUnknown* context)
{
    return EditController::initialize(context);
}

tresult PLUGIN_API SingleComponentEffect::terminate()
{
    audioInputs.clear();
    audioOutputs.clear();
    eventInputs.clear();
    eventOutputs.clear();
    return EditController::terminate();
}

tresult PLUGIN_API SingleComponentEffect::getControllerClassId(TUID)
{
    return kNotImplemented;
}
tresult PLUGIN_API SingleComponentEffect::setIoMode(IoMode)
{
    return kNotImplemented;
}

BusList* SingleComponentEffect::getBusList(MediaType type, BusDirection dir)
{
    if (type == kAudio)
        return dir == kInput ? &audioInputs : dir == kOutput ? &audioOutputs : nullptr;
    if (type == kEvent)
        return dir == kInput ? &eventInputs : dir == kOutput ? &eventOutputs : nullptr;
    return nullptr;
}

AudioBus* SingleComponentEffect::getAudioBus(BusDirection dir, int32 index)
{
    BusList* list = getBusList(kAudio, dir);
    return list == nullptr ? nullptr : static_cast<AudioBus*>(list->at(index));
}

int32 PLUGIN_API SingleComponentEffect::getBusCount(MediaType type, BusDirection dir)
{
    const BusList* list = getBusList(type, dir);
    return list == nullptr ? 0 : list->size();
}

tresult PLUGIN_API SingleComponentEffect::getBusInfo(MediaType type, BusDirection dir, int32 index,
                                                     BusInfo& info)
{
    const BusList* list = getBusList(type, dir);
    const Bus* bus = list == nullptr ? nullptr : list->at(index);
    if (bus == nullptr)
        return kResultFalse;
    info.mediaType = type;
    info.direction = dir;
    bus->getInfo(info);
    return kResultTrue;
}

tresult PLUGIN_API SingleComponentEffect::getRoutingInfo(RoutingInfo&, RoutingInfo&)
{
    return kNotImplemented;
}

tresult PLUGIN_API SingleComponentEffect::activateBus(MediaType type, BusDirection dir, int32 index,
                                                      TBool state)
{
    BusList* list = getBusList(type, dir);
    Bus* bus = list == nullptr ? nullptr : list->at(index);
    if (bus == nullptr)
        return kResultFalse;
    bus->setActive(state != 0);
    return kResultTrue;
}

tresult PLUGIN_API SingleComponentEffect::setActive(TBool)
{
    return kResultOk;
}
tresult PLUGIN_API SingleComponentEffect::setState(IBStream*)
{
    return kNotImplemented;
}
tresult PLUGIN_API SingleComponentEffect::getState(IBStream*)
{
    return kNotImplemented;
}

tresult PLUGIN_API SingleComponentEffect::setBusArrangements(SpeakerArrangement*, int32,
                                                             SpeakerArrangement*, int32)
{
    return kResultFalse;
}

tresult PLUGIN_API SingleComponentEffect::getBusArrangement(BusDirection dir, int32 index,
                                                            SpeakerArrangement& arr)
{
    const AudioBus* bus = getAudioBus(dir, index);
    if (bus == nullptr)
        return kResultFalse;
    arr = bus->getArrangement();
    return kResultTrue;
}

tresult PLUGIN_API SingleComponentEffect::canProcessSampleSize(int32 size)
{
    return size == kSample32 ? kResultTrue : kResultFalse;
}

uint32 PLUGIN_API SingleComponentEffect::getLatencySamples()
{
    return 0;
}

tresult PLUGIN_API SingleComponentEffect::setupProcessing(ProcessSetup& setup)
{
    processSetup = setup;
    return kResultOk;
}

tresult PLUGIN_API SingleComponentEffect::setProcessing(TBool)
{
    return kNotImplemented;
}
tresult PLUGIN_API SingleComponentEffect::process(ProcessData&)
{
    return kResultOk;
}
uint32 PLUGIN_API SingleComponentEffect::getTailSamples()
{
    return kNoTail;
}

AudioBus* SingleComponentEffect::addAudioInput(const char16* name, SpeakerArrangement arr,
                                               BusType type, int32 flags)
{
    auto bus = std::make_unique<AudioBus>(name, type, flags, arr);
    AudioBus* p = bus.get();
    audioInputs.append(std::move(bus));
    return p;
}

AudioBus* SingleComponentEffect::addAudioOutput(const char16* name, SpeakerArrangement arr,
                                                BusType type, int32 flags)
{
    auto bus = std::make_unique<AudioBus>(name, type, flags, arr);
    AudioBus* p = bus.get();
    audioOutputs.append(std::move(bus));
    return p;
}

EventBus* SingleComponentEffect::addEventInput(const char16* name, int32 channels, BusType type,
                                               int32 flags)
{
    auto bus = std::make_unique<EventBus>(name, type, flags, channels);
    EventBus* p = bus.get();
    eventInputs.append(std::move(bus));
    return p;
}

} // namespace vst3
