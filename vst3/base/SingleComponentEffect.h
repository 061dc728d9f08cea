#pragma once

#include "vst3/abi/Vst3AudioProcessor.h"
#include "vst3/base/AudioBus.h"
#include "vst3/base/BusList.h"
#include "vst3/base/EditController.h"
#include "vst3/base/EventBus.h"

namespace vst3
{

/// One object that is component, audio processor and edit controller at once: the four
/// bus lists and the processing setup. [ui thread unless noted]
class SingleComponentEffect : public EditController, public IComponent, public IAudioProcessor
{
public:
    VST3_FUNKNOWN_METHODS

    tresult PLUGIN_API initialize(FUnknown* context) override;
    /// Empties the bus lists, then the controller's terminate.
    tresult PLUGIN_API terminate() override;

    tresult PLUGIN_API getControllerClassId(TUID classId) override;
    tresult PLUGIN_API setIoMode(IoMode mode) override;
    int32 PLUGIN_API getBusCount(MediaType type, BusDirection dir) override;
    tresult PLUGIN_API getBusInfo(MediaType type, BusDirection dir, int32 index,
                                  BusInfo& bus) override;
    tresult PLUGIN_API getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) override;
    tresult PLUGIN_API activateBus(MediaType type, BusDirection dir, int32 index,
                                   TBool state) override;
    tresult PLUGIN_API setActive(TBool state) override;
    tresult PLUGIN_API setState(IBStream* state) override;
    tresult PLUGIN_API getState(IBStream* state) override;

    tresult PLUGIN_API setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                          SpeakerArrangement* outputs, int32 numOuts) override;
    tresult PLUGIN_API getBusArrangement(BusDirection dir, int32 index,
                                         SpeakerArrangement& arr) override;
    tresult PLUGIN_API canProcessSampleSize(int32 symbolicSampleSize) override;
    uint32 PLUGIN_API getLatencySamples() override;
    tresult PLUGIN_API setupProcessing(ProcessSetup& setup) override;
    tresult PLUGIN_API setProcessing(TBool state) override;
    /// [audio thread]
    tresult PLUGIN_API process(ProcessData& data) override;
    uint32 PLUGIN_API getTailSamples() override;

protected:
    ~SingleComponentEffect() override = default;

    AudioBus* addAudioInput(const char16* name, SpeakerArrangement arr, BusType type, int32 flags);
    AudioBus* addAudioOutput(const char16* name, SpeakerArrangement arr, BusType type, int32 flags);
    EventBus* addEventInput(const char16* name, int32 channels, BusType type, int32 flags);
    /// The list for a media type and direction, or null.
    BusList* getBusList(MediaType type, BusDirection dir);
    /// The audio bus at `index` of a direction, or null.
    AudioBus* getAudioBus(BusDirection dir, int32 index);

    BusList audioInputs{kAudio, kInput};
    BusList audioOutputs{kAudio, kOutput};
    BusList eventInputs{kEvent, kInput};
    BusList eventOutputs{kEvent, kOutput};
    ProcessSetup processSetup{kRealtime, kSample32, 1024, 44100.0};
};

} // namespace vst3
