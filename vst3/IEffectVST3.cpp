#include "vst3/IEffectVST3.h"

#include "vst3/Guarded.h"
#include "vst3/IEffectVST3View.h"
#include "vst3/base/RangeParameter.h"
#include "vst3/base/StringListParameter.h"
#include "vst3/base/Utf16.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

using namespace vst3;

namespace
{

SpeakerArrangement speakerArrangementFor(int channels)
{
    switch (channels)
    {
    case 1:
        return SpeakerArr::kMono;
    case 2:
        return SpeakerArr::kStereo;
    case 3:
        return SpeakerArr::k30Music;
    case 4:
        return 0xF00000;
    case 5:
        return SpeakerArr::k50;
    case 6:
        return SpeakerArr::k51;
    default:
        return 0;
    }
}

std::u16string BusName(const std::vector<std::string>& labels, std::size_t index)
{
    std::u16string name = index < labels.size() ? Widen(labels[index].c_str()) : u"";
    if (name.size() > 127)
        name.resize(127);
    return name;
}

// ---- Host quirks: the one place that says which behaviour depends on which host, and why ----

/// WaveLab's state streams answer the last, partial read with an error yet deliver its bytes:
/// stopping at the error would lose the end of every saved state.
bool HostStreamFailsWithData(IHostCode host)
{
    return host == IHostCode::WaveLab;
}

/// True when the first `frames` samples of `buffer` are all exactly zero.
template <class Sample> bool AllZero(const Sample* buffer, int frames)
{
    return std::all_of(buffer, buffer + frames, [](Sample s) { return s == Sample(0); });
}

/// One bit per channel of `bus` whose block is exactly zero, so hosts can skip silent buffers.
uint64 SilenceFlags(const AudioBusBuffers& bus, int frames, bool is64)
{
    uint64 flags = 0;
    for (int32 c = 0; c < std::min(bus.numChannels, 64); ++c)
    {
        const bool silent =
            is64 ? bus.channelBuffers64 != nullptr && bus.channelBuffers64[c] != nullptr &&
                       AllZero(bus.channelBuffers64[c], frames)
                 : bus.channelBuffers32 != nullptr && bus.channelBuffers32[c] != nullptr &&
                       AllZero(bus.channelBuffers32[c], frames);
        if (silent)
            flags |= uint64{1} << c;
    }
    return flags;
}

} // namespace

IEffectVST3::IEffectVST3(const IEffectConfig& config) : IEffectBase(config)
{
    apiCode = 1;
    // Scratch buffers exist from the start, so a host that processes before announcing its
    // block size still gets sound (in slices) instead of reads of empty buffers.
    SetMaxBlockSize(processSetup.maxSamplesPerBlock);
    SetChannelConnections(InputChannelCount(), OutputChannelCount());

    inputBusLabels.assign(1, "Main Input");
    if (sideChainChannels != 0)
        inputBusLabels.emplace_back("Aux Input");
    outputBusLabels.clear();
    if (isInstrument)
        for (int k = 0; 2 * k < OutputChannelCount(); ++k)
            outputBusLabels.push_back("Output " + std::to_string(k + 1));
    else
        outputBusLabels.emplace_back("Output");
}

IEffectVST3::~IEffectVST3()
{
    // Views still open hold a reference, so none can be left here; forget them anyway.
    views.clear();
}

tresult PLUGIN_API IEffectVST3::queryInterface(const TUID iid, void** obj)
{
    if (obj == nullptr)
        return kInvalidArgument;
    if (IidEqual(iid, IConnectionPoint::iid))
    {
        *obj = nullptr;
        return kNoInterface;
    }
    if (QueryAs<IUnitInfo>(this, iid, obj) || QueryAs<IMidiMapping>(this, iid, obj))
        return kResultOk;
    return SingleComponentEffect::queryInterface(iid, obj);
}

// ---- IPluginBase ----------------------------------------------------------------------------

tresult PLUGIN_API IEffectVST3::initialize(FUnknown* context)
{
    const auto body = [&]() -> tresult
    {
        const tresult result = SingleComponentEffect::initialize(context);

        void* app = nullptr;
        if (context != nullptr &&
            context->queryInterface(IHostApplication::iid.data(), &app) == kResultOk &&
            app != nullptr)
        {
            String128 name{};
            if (static_cast<IHostApplication*>(app)->getName(name) == kResultOk)
            {
                name[127] = 0;
                IdentifyHost(Narrow(name, 127).c_str());
            }
            else
                IdentifyHost("");
            hostVersion = 0;
            static_cast<IHostApplication*>(app)->release();
            HostIdentified();
        }

        IPluginLock::Guard guard(lock);
        if (result == kResultOk)
        {
            BuildBuses();
            // Fresh buses after a terminate: the channels follow them, not an arrangement the
            // host made for the buses that went.
            ConnectChannelsToBuses();
            ExportParameters();
        }

        PluginInitialized();
        SelectPreset(0);
        return result;
    };
    return Guarded(kInternalError, body);
}

tresult PLUGIN_API IEffectVST3::terminate()
{
    const auto body = [&]() -> tresult
    {
        views.clear();
        return SingleComponentEffect::terminate();
    };
    return Guarded(kInternalError, body);
}

void IEffectVST3::BuildBuses()
{
    const int mainChannels = InputChannelCount() - sideChainChannels;
    if (mainChannels >= 1 && mainChannels <= 6)
        addAudioInput(BusName(inputBusLabels, 0).c_str(), speakerArrangementFor(mainChannels),
                      kMain, BusInfo::kDefaultActive);

    if (isInstrument)
        for (int k = 0; 2 * k < OutputChannelCount(); ++k)
            addAudioOutput(BusName(outputBusLabels, static_cast<std::size_t>(k)).c_str(),
                           SpeakerArr::kStereo, kMain, BusInfo::kDefaultActive);
    else
        addAudioOutput(BusName(outputBusLabels, 0).c_str(),
                       speakerArrangementFor(OutputChannelCount()), kMain, BusInfo::kDefaultActive);

    if (sideChainChannels != 0)
    {
        sideChainChannels = std::min(sideChainChannels, 2);
        addAudioInput(BusName(inputBusLabels, 1).c_str(), speakerArrangementFor(sideChainChannels),
                      kAux, 0);
    }

    if (handlesMidi)
        addEventInput(u"MIDI Input", 1, kMain, BusInfo::kDefaultActive);
}

// ---- Parameter export -----------------------------------------------------------------------

void IEffectVST3::ExportParameters()
{
    if (PresetCount() >= 1)
        parameters.addParameter(std::make_unique<Parameter>(
            "Preset", presetParamId, "", PresetCount() - 1, 0.0,
            ParameterInfo::kIsProgramChange | ParameterInfo::kIsList, kRootUnitId));
    if (!isInstrument)
    {
        auto bypass = std::make_unique<StringListParameter>(
            "Bypass", bypassParamId, "",
            ParameterInfo::kCanAutomate | ParameterInfo::kIsList | ParameterInfo::kIsBypass,
            kRootUnitId);
        bypass->appendString(kBypassOff);
        bypass->appendString(kBypassOn);
        parameters.addParameter(std::move(bypass));
    }
    for (int i = 0; i < ParamCount(); ++i)
        ExportEffectParameter(i);
    if (handlesMidi)
        for (int c = 0; c < 128; ++c)
            parameters.addParameter(std::make_unique<RangeParameter>(
                "MIDI CC", static_cast<ParamID>(ParamCount() + c), "", 0.0, 127.0, 0.0, 0,
                ParameterInfo::kCanAutomate, kRootUnitId));
}

UnitID IEffectVST3::UnitFor(const IParameter& param)
{
    const char* group = param.Group();
    if (group == nullptr || group[0] == '\0')
        return kRootUnitId;
    const auto it = std::find(unitNames.begin(), unitNames.end(), group);
    if (it != unitNames.end())
        return static_cast<UnitID>(it - unitNames.begin()) + 1;
    unitNames.emplace_back(group);
    return static_cast<UnitID>(unitNames.size());
}

void IEffectVST3::ExportEffectParameter(int index)
{
    const IParameter& param = *Param(index);
    const UnitID unit = UnitFor(param);
    const int32 baseFlags = param.Automatable() ? ParameterInfo::kCanAutomate : 0;
    const auto id = static_cast<ParamID>(index);
    switch (param.Type())
    {
    case IParameter::kTypeBool:
    case IParameter::kTypeEnum:
    {
        auto list = std::make_unique<StringListParameter>(param.Name(), id, param.DisplayLabel(),
                                                          baseFlags | ParameterInfo::kIsList, unit);
        // The list is ordered by value: entry s is the first value text standing for s.
        for (int s = 0; s < param.ValueTextCount(); ++s)
        {
            const char* text = "";
            for (int e = 0; e < param.ValueTextCount(); ++e)
                if (param.ValueTextAt(e)->value == s)
                {
                    text = param.ValueTextAt(e)->text;
                    break;
                }
            list->appendString(text);
        }
        // Hosts start a new instance's controls, and reset them, at this value: it is the
        // position of the effect's own default, or a fresh instance would show (and a reset
        // would select) the first entry while the effect holds another.
        const int32 steps = list->getInfo().stepCount;
        if (steps > 0)
        {
            const double position =
                std::clamp(std::round(param.DefaultValue()), 0.0, static_cast<double>(steps));
            list->setDefaultNormalizedValue(position / steps);
        }
        parameters.addParameter(std::move(list));
        break;
    }
    case IParameter::kTypeInt:
    case IParameter::kTypeDouble:
        parameters.addParameter(std::make_unique<RangeParameter>(
            param.Name(), id, param.DisplayLabel(), param.Min(), param.Max(), param.DefaultValue(),
            0, baseFlags, unit));
        break;
    default:
        break;
    }
}

// ---- IComponent -----------------------------------------------------------------------------

tresult PLUGIN_API IEffectVST3::activateBus(MediaType type, BusDirection dir, int32 index,
                                            TBool state)
{
    const auto body = [&]() -> tresult
    {
        // Whether the side chain is heard is read by process.
        IPluginLock::Guard guard(lock);
        return SingleComponentEffect::activateBus(type, dir, index, state);
    };
    return Guarded(kInternalError, body);
}

tresult PLUGIN_API IEffectVST3::setActive(TBool state)
{
    const auto body = [&]() -> tresult
    {
        ActivationChanged(state != 0);
        return kResultOk;
    };
    return Guarded(kInternalError, body);
}

tresult PLUGIN_API IEffectVST3::getState(IBStream* stream)
{
    const auto body = [&]() -> tresult
    {
        if (stream == nullptr)
            return kInvalidArgument;
        IPluginLock::Guard guard(lock);
        // The effect's state, then the host's Bypass as a 32-bit flag.
        IByteChunk chunk;
        if (!SerializeState(chunk) || chunk.PutInt32(bypassed ? 1 : 0) == 0)
            return kResultFalse;

        // A stream that cannot take the bytes must not be reported as saved.
        int32 written = -1;
        const tresult r = stream->write(const_cast<uint8_t*>(chunk.Data()), chunk.Size(), &written);
        return r == kResultOk && (written == -1 || written == chunk.Size()) ? kResultOk
                                                                            : kResultFalse;
    };
    return Guarded(kInternalError, body);
}

tresult PLUGIN_API IEffectVST3::setState(IBStream* stream)
{
    const auto body = [&]() -> tresult
    {
        if (stream == nullptr)
            return kInvalidArgument;
        IPluginLock::Guard guard(lock);

        // Where the host's stream holds our state; positions below are counted from there.
        int64 base = 0;
        if (stream->tell(&base) != kResultOk || base < 0)
            base = 0;

        IByteChunk chunk;
        const bool keepReadingOnError = HostStreamFailsWithData(HostCode());
        char buffer[128];
        for (;;)
        {
            int32 got = 0;
            const tresult r = stream->read(buffer, static_cast<int32>(sizeof(buffer)), &got);
            if (got < 0 || got > static_cast<int32>(sizeof(buffer)))
                return kResultFalse; // a stream that lies about what it read
            if (r == kResultOk || keepReadingOnError)
                if (got > 0 && chunk.PutBytes(buffer, got) == 0)
                    return kResultFalse;
            if (got == 0 || (r != kResultOk && !keepReadingOnError))
                break;
            if (chunk.Size() > kMaxStateBytes)
                return kResultFalse;
        }

        const int32 position = RestoreState(chunk, 0);
        RefreshEditorControls();
        if (position < 0)
            return kResultFalse;

        stream->seek(base + position, kIBSeekSet, nullptr);
        unsigned char flagBytes[4] = {0, 0, 0, 0};
        int32 got = 0;
        if (stream->read(flagBytes, 4, &got) != kResultOk)
            return kResultFalse;
        uint32 flag = 0;
        if (got == 4)
            for (int i = 0; i < 4; ++i)
                flag |= static_cast<uint32>(flagBytes[i]) << (8 * i);
        bypassed = flag != 0;
        RefreshEditorControls();
        return kResultOk;
    };
    return Guarded(kInternalError, body);
}

tresult PLUGIN_API IEffectVST3::setComponentState(IBStream* stream)
{
    return setState(stream);
}

// ---- IAudioProcessor ------------------------------------------------------------------------

tresult PLUGIN_API IEffectVST3::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                   SpeakerArrangement* outputs, int32 numOuts)
{
    const auto body = [&]() -> tresult
    {
        // Channel connections and buses are what process reads: never change them mid-block.
        IPluginLock::Guard guard(lock);
        const tresult result = ArrangeBuses(inputs, numIns, outputs, numOuts);
        // A host goes on with the buses as they stand after a refusal, so the channels follow
        // them instead of staying silent (and leaving the host's outputs unwritten).
        if (result != kResultOk)
            ConnectChannelsToBuses();
        return result;
    };
    return Guarded(kInternalError, body);
}

tresult IEffectVST3::ArrangeBuses(SpeakerArrangement* inputs, int32 numIns,
                                  SpeakerArrangement* outputs, int32 numOuts)
{
    SetChannelConnections(0, 0);
    // The main arrangements are read unconditionally by the format; without them there is
    // nothing to accept.
    if (inputs == nullptr || outputs == nullptr || numIns < 1 || numOuts < 1)
        return kResultFalse;

    const int i = SpeakerArr::getChannelCount(inputs[0]);
    const int o = SpeakerArr::getChannelCount(outputs[0]);
    if (!LegalIO(i, o))
        return kResultFalse;

    AudioBus* in0 = getAudioBus(kInput, 0);
    if (in0 != nullptr && in0->getChannelCount() != i)
        ReplaceBus(audioInputs, 0,
                   std::make_unique<AudioBus>(u"Input", kMain, BusInfo::kDefaultActive,
                                              speakerArrangementFor(i)));
    ConnectInputs(0, std::min(i, InputChannelCount()));

    AudioBus* out0 = getAudioBus(kOutput, 0);
    if (out0 != nullptr && out0->getChannelCount() != o)
        ReplaceBus(audioOutputs, 0,
                   std::make_unique<AudioBus>(u"Output", kMain, BusInfo::kDefaultActive,
                                              speakerArrangementFor(o)));
    for (int ch = 0; ch < std::min(o, OutputChannelCount()); ++ch)
        outputChannels[static_cast<std::size_t>(ch)]->connected = true;

    if (sideChainChannels == 0)
        return numIns == 1 ? kResultOk : kResultFalse;
    if (numIns != 2)
        return kResultFalse;

    const int s = SpeakerArr::getChannelCount(inputs[1]);
    AudioBus* in1 = getAudioBus(kInput, 1);
    if (in1 != nullptr && in1->getChannelCount() != s)
        ReplaceBus(
            audioInputs, 1,
            std::make_unique<AudioBus>(u"Sidechain Input", kAux, 0, speakerArrangementFor(s)));
    // The side chain feeds the effect's side-chain channels; a mono one feeds both.
    if (s > 0)
        ConnectInputs(SideChainFirstChannel(i), sideChainChannels);
    return kResultOk;
}

void IEffectVST3::ReplaceBus(BusList& list, int32 index, std::unique_ptr<AudioBus> bus)
{
    // Activation is the host's, made per bus index: a new arrangement does not undo it (a
    // host that activated the side chain before arranging it would otherwise lose it).
    if (const Bus* old = list.at(index))
        bus->setActive(old->isActive());
    list.replace(index, std::move(bus));
}

void IEffectVST3::ConnectInputs(int first, int count)
{
    for (int ch = std::max(first, 0); ch < InputChannelCount() && ch < first + count; ++ch)
        inputChannels[static_cast<std::size_t>(ch)]->connected = true;
}

void IEffectVST3::ConnectChannelsToBuses()
{
    SetChannelConnections(0, 0);
    const AudioBus* in0 = getAudioBus(kInput, 0);
    const int mainChannels = in0 != nullptr ? in0->getChannelCount() : 0;
    ConnectInputs(0, mainChannels);
    const AudioBus* aux = getAudioBus(kInput, 1);
    if (sideChainChannels > 0 && aux != nullptr && aux->getChannelCount() > 0)
        ConnectInputs(SideChainFirstChannel(mainChannels), sideChainChannels);
    const AudioBus* out0 = getAudioBus(kOutput, 0);
    const int outs = out0 != nullptr ? std::min(out0->getChannelCount(), OutputChannelCount()) : 0;
    for (int ch = 0; ch < outs; ++ch)
        outputChannels[static_cast<std::size_t>(ch)]->connected = true;
}

int IEffectVST3::SideChainFirstChannel(int mainChannels) const
{
    return std::max(mainChannels, InputChannelCount() - sideChainChannels);
}

tresult PLUGIN_API IEffectVST3::canProcessSampleSize(int32 size)
{
    return size == kSample32 || size == kSample64 ? kResultTrue : kResultFalse;
}

uint32 PLUGIN_API IEffectVST3::getLatencySamples()
{
    return static_cast<uint32>(latency);
}
uint32 PLUGIN_API IEffectVST3::getTailSamples()
{
    return static_cast<uint32>(tailSize);
}

tresult PLUGIN_API IEffectVST3::setupProcessing(ProcessSetup& setup)
{
    const auto body = [&]() -> tresult
    {
        // A sample size we cannot process, or a rate or block size the engine cannot be designed
        // for, is refused and changes nothing.
        if (setup.symbolicSampleSize != kSample32 && setup.symbolicSampleSize != kSample64)
            return kResultFalse;
        if (!(setup.sampleRate > 0.0 && std::isfinite(setup.sampleRate)) ||
            setup.maxSamplesPerBlock < 1)
            return kResultFalse;
        IPluginLock::Guard guard(lock);
        sampleRate = setup.sampleRate;
        // The host's Bypass stays as the host set it: hosts send a value only when it changes, so
        // clearing it here (a new block size, a reloaded session) would un-bypass the effect
        // behind the host's back and lose a saved bypass.
        SetMaxBlockSize(setup.maxSamplesPerBlock);
        ResetProcessing();
        processSetup = setup;
        return kResultOk;
    };
    return Guarded(kInternalError, body);
}

tresult PLUGIN_API IEffectVST3::process(ProcessData& data)
{
    const auto body = [&]() -> tresult
    {
        IPluginLock::Guard guard(lock);
        if (data.processContext != nullptr)
        {
            processContext = *data.processContext;
            hasProcessContext = true;
        }
        if (data.inputParameterChanges != nullptr)
            ApplyParameterChanges(*data.inputParameterChanges);

        const int32 size = processSetup.symbolicSampleSize;
        if (data.numSamples <= 0 || (size != kSample32 && size != kSample64) || blockSize < 1)
            return kResultOk;

        const bool is64 = size == kSample64;
        ResolveBuffers(data, is64);
        hostBlock.Run(data.numSamples, IHostBlock::OutputMode::Replace, bypassed);
        for (int32 b = 0; data.outputs != nullptr && b < data.numOutputs; ++b)
            data.outputs[b].silenceFlags = SilenceFlags(data.outputs[b], data.numSamples, is64);
        return kResultOk;
    };
    return Guarded(kInternalError, body);
}

void IEffectVST3::ApplyParameterChanges(IParameterChanges& changes)
{
    const int32 count = changes.getParameterCount();
    for (int32 q = 0; q < count; ++q)
    {
        IParamValueQueue* queue = changes.getParameterData(q);
        if (queue == nullptr)
            continue;
        const int32 points = queue->getPointCount();
        int32 offset = 0;
        ParamValue value = 0.0;
        if (points < 1 || queue->getPoint(points - 1, offset, value) != kResultOk)
            continue;
        if (!std::isfinite(value))
            continue;
        ApplyParameterChange(queue->getParameterId(), std::clamp(value, 0.0, 1.0));
    }
}

void IEffectVST3::ApplyParameterChange(ParamID id, double value)
{
    if (id == bypassParamId)
        bypassed = value > 0.5;
    else if (id == presetParamId)
    {
        if (RecallPreset(PresetIndexFor(value)))
            presetValue = value;
    }
    else if (id < static_cast<ParamID>(ParamCount()))
    {
        const int index = static_cast<int>(id);
        Param(index)->SetFromNormalised(value);
        ParameterChanged(index, kSourceHost);
    }
}

int IEffectVST3::PresetIndexFor(double normalised) const
{
    // The Preset parameter is a list of PresetCount() entries: step count PresetCount() - 1.
    return std::clamp(static_cast<int>(normalised * PresetCount()), 0,
                      std::max(PresetCount() - 1, 0));
}

double IEffectVST3::PresetNormalised(int index) const
{
    const int last = PresetCount() - 1;
    return last > 0 ? static_cast<double>(std::clamp(index, 0, last)) / last : 0.0;
}

void IEffectVST3::ResolveBuffers(const ProcessData& data, bool is64)
{
    hostBlock.Clear(is64 ? IHostBlock::SampleSize::Float64 : IHostBlock::SampleSize::Float32);
    auto channelBuffer = [is64](const AudioBusBuffers& bus, int c) -> void*
    {
        if (is64)
            return bus.channelBuffers64 == nullptr ? nullptr : bus.channelBuffers64[c];
        return bus.channelBuffers32 == nullptr ? nullptr : bus.channelBuffers32[c];
    };

    int mainChannels = 0;
    if (data.inputs != nullptr && data.numInputs > 0)
    {
        const AudioBusBuffers& bus = data.inputs[0];
        mainChannels = std::max(0, bus.numChannels);
        for (int ch = 0; ch < std::min(mainChannels, InputChannelCount()); ++ch)
            if (inputChannels[static_cast<std::size_t>(ch)]->connected)
                hostBlock.SetInput(ch, channelBuffer(bus, ch));
    }

    // The side chain reaches the effect's side-chain channels only while the host keeps
    // the auxiliary bus active and hands it buffers; otherwise those channels hear silence.
    const Bus* aux = audioInputs.at(1);
    if (sideChainChannels > 0 && aux != nullptr && aux->isActive() && data.inputs != nullptr &&
        data.numInputs > 1 && data.inputs[1].numChannels > 0)
    {
        const AudioBusBuffers& bus = data.inputs[1];
        const int first = SideChainFirstChannel(mainChannels);
        for (int k = 0; k < sideChainChannels && first + k < InputChannelCount(); ++k)
            if (inputChannels[static_cast<std::size_t>(first + k)]->connected)
                hostBlock.SetInput(first + k, channelBuffer(bus, std::min(k, bus.numChannels - 1)));
    }

    // Host outputs that no connected channel writes are cleared, never left holding
    // whatever the host had in them.
    int first = 0;
    for (int32 b = 0; data.outputs != nullptr && b < data.numOutputs; ++b)
    {
        const AudioBusBuffers& bus = data.outputs[b];
        for (int c = 0; c < bus.numChannels; ++c)
        {
            void* buffer = channelBuffer(bus, c);
            const int ch = first + c;
            if (ch < OutputChannelCount() &&
                outputChannels[static_cast<std::size_t>(ch)]->connected)
                hostBlock.SetOutput(ch, buffer);
            else if (buffer != nullptr && is64)
                std::fill_n(static_cast<double*>(buffer), data.numSamples, 0.0);
            else if (buffer != nullptr)
                std::fill_n(static_cast<float*>(buffer), data.numSamples, 0.0f);
        }
        first += std::max(0, bus.numChannels);
    }
}

// ---- IEditController ------------------------------------------------------------------------

tresult PLUGIN_API IEffectVST3::getParamStringByValue(ParamID id, ParamValue valueNormalized,
                                                      String128 string)
{
    const auto body = [&]() -> tresult
    {
        if (string == nullptr || !std::isfinite(valueNormalized))
            return kResultFalse;
        // Normalised values live in 0..1; beyond it a display text would be no value at all.
        const double value = std::clamp(valueNormalized, 0.0, 1.0);
        // Hosts show these texts for every parameter they list, the adapter's own two included:
        // Bypass reads as the block applies it, Preset as the preset a block would select.
        const bool exported = parameters.getParameter(id) != nullptr;
        if (id == bypassParamId && exported)
        {
            WidenInto(string, 128, value > 0.5 ? kBypassOn : kBypassOff);
            return kResultOk;
        }
        if (id == presetParamId && exported)
        {
            IPluginLock::Guard guard(lock); // a block may name a preset it selects
            WidenInto(string, 128, presets[static_cast<std::size_t>(PresetIndexFor(value))]->name);
            return kResultOk;
        }
        if (id >= static_cast<ParamID>(ParamCount()))
            return kResultFalse;
        char text[IParameter::kTextSize];
        Param(static_cast<int>(id))->FormatValue(value, true, true, text, sizeof(text));
        WidenInto(string, 128, text);
        return kResultOk;
    };
    return Guarded(kResultFalse, body);
}

tresult PLUGIN_API IEffectVST3::getParamValueByString(ParamID id, TChar* string,
                                                      ParamValue& valueNormalized)
{
    const auto body = [&]() -> tresult
    {
        // A preset is shown by its name, so its name is read back as well as its number.
        if (id == presetParamId && string != nullptr && parameters.getParameter(id) != nullptr)
        {
            IPluginLock::Guard guard(lock);
            const std::string text = Narrow(string, 255);
            for (int i = 0; i < PresetCount(); ++i)
                if (text == presets[static_cast<std::size_t>(i)]->name)
                {
                    valueNormalized = PresetNormalised(i);
                    return kResultOk;
                }
        }
        const tresult result =
            SingleComponentEffect::getParamValueByString(id, string, valueNormalized);
        // A preset's number is read as the normalised value itself; hosts only take 0..1.
        if (result == kResultOk && id == presetParamId)
            valueNormalized = std::clamp(valueNormalized, 0.0, 1.0);
        return result;
    };
    return Guarded(kResultFalse, body);
}

ParamValue PLUGIN_API IEffectVST3::plainParamToNormalized(ParamID id, ParamValue plain)
{
    if (id >= static_cast<ParamID>(ParamCount()))
        return plain;
    return Param(static_cast<int>(id))->ToNormalised(plain);
}

ParamValue PLUGIN_API IEffectVST3::getParamNormalized(ParamID id)
{
    // Lock-free: the values are atomic, and a host may ask from any thread while a block runs.
    if (id == bypassParamId)
        return bypassed ? 1.0 : 0.0;
    if (id == presetParamId)
    {
        // The host's own value while it still names the selected preset (a list of one
        // preset holds every value), else the selected preset's position.
        const double value = presetValue;
        return PresetIndexFor(value) == currentPreset ? value : PresetNormalised(currentPreset);
    }
    if (id >= static_cast<ParamID>(ParamCount()))
        return 0.0;
    return Param(static_cast<int>(id))->Normalised();
}

tresult PLUGIN_API IEffectVST3::setParamNormalized(ParamID id, ParamValue value)
{
    const auto body = [&]() -> tresult
    {
        if (!std::isfinite(value) || parameters.getParameter(id) == nullptr)
            return kResultFalse;
        value = std::clamp(value, 0.0, 1.0);
        IPluginLock::Guard guard(lock);
        // A host echoing the selected preset back (as after a state load) must not reload it
        // over the state it just restored.
        if (id == presetParamId)
        {
            const int index = PresetIndexFor(value);
            if (index != currentPreset && !SelectPreset(index))
                return kResultFalse;
            presetValue = value;
            return kResultOk;
        }
        // The same path as a change inside process: the value reads back at once and the
        // engine and editor follow, also while the host sends no blocks.
        ApplyParameterChange(id, value);
        return kResultOk;
    };
    return Guarded(kResultFalse, body);
}

IPlugView* PLUGIN_API IEffectVST3::createView(FIDString name)
{
    const auto body = [&]() -> IPlugView*
    {
        if (name == nullptr || std::strcmp(name, kEditorViewType) != 0)
            return nullptr;
        auto* view = new IEffectVST3View(*this);
        views.push_back(view);
        return view;
    };
    return Guarded(static_cast<IPlugView*>(nullptr), body);
}

void IEffectVST3::ViewClosed(IEffectVST3View* view)
{
    const auto it = std::find(views.begin(), views.end(), view);
    if (it != views.end())
        views.erase(it);
}

// ---- IUnitInfo ------------------------------------------------------------------------------

int32 PLUGIN_API IEffectVST3::getUnitCount()
{
    return static_cast<int32>(unitNames.size()) + 1;
}

tresult PLUGIN_API IEffectVST3::getUnitInfo(int32 unitIndex, UnitInfo& info)
{
    if (unitIndex == 0)
    {
        info.id = kRootUnitId;
        info.parentUnitId = kNoParentUnitId;
        WidenInto(info.name, 128, "Root Unit");
        // The root unit's program list is the Preset parameter's: hosts build their preset
        // menu from it, by name.
        info.programListId =
            HasProgramList() ? static_cast<ProgramListID>(presetParamId) : kNoProgramListId;
        return kResultOk;
    }
    if (unitIndex < 1 || unitIndex > static_cast<int32>(unitNames.size()))
        return kResultFalse;
    info.id = unitIndex;
    info.parentUnitId = kRootUnitId;
    WidenInto(info.name, 128, unitNames[static_cast<std::size_t>(unitIndex - 1)].c_str());
    info.programListId = kNoProgramListId;
    return kResultOk;
}

int32 PLUGIN_API IEffectVST3::getProgramListCount()
{
    return HasProgramList() ? 1 : 0;
}

tresult PLUGIN_API IEffectVST3::getProgramListInfo(int32 listIndex, ProgramListInfo& info)
{
    if (listIndex != 0 || !HasProgramList())
        return kResultFalse;
    info.id = static_cast<ProgramListID>(presetParamId);
    WidenInto(info.name, 128, "Factory Presets");
    info.programCount = PresetCount();
    return kResultOk;
}

tresult PLUGIN_API IEffectVST3::getProgramName(ProgramListID listId, int32 programIndex,
                                               String128 name)
{
    const auto body = [&]() -> tresult
    {
        if (listId != static_cast<ProgramListID>(presetParamId) || name == nullptr)
            return kResultFalse;
        IPluginLock::Guard guard(lock); // a block may name a preset it selects
        const bool inRange = programIndex >= 0 && programIndex < PresetCount();
        WidenInto(name, 128, inRange ? presets[static_cast<std::size_t>(programIndex)]->name : "");
        return kResultOk;
    };
    return Guarded(kResultFalse, body);
}

tresult PLUGIN_API IEffectVST3::getProgramInfo(ProgramListID, int32, CString, String128)
{
    return kNotImplemented;
}
tresult PLUGIN_API IEffectVST3::hasProgramPitchNames(ProgramListID, int32)
{
    return kNotImplemented;
}
tresult PLUGIN_API IEffectVST3::getProgramPitchName(ProgramListID, int32, int16, String128)
{
    return kNotImplemented;
}
UnitID PLUGIN_API IEffectVST3::getSelectedUnit()
{
    return kRootUnitId;
}
tresult PLUGIN_API IEffectVST3::selectUnit(UnitID)
{
    return kNotImplemented;
}
tresult PLUGIN_API IEffectVST3::getUnitByBus(int32, int32, int32, int32, UnitID&)
{
    return kNotImplemented;
}
tresult PLUGIN_API IEffectVST3::setUnitProgramData(int32, int32, IBStream*)
{
    return kNotImplemented;
}

// ---- IMidiMapping ---------------------------------------------------------------------------

tresult PLUGIN_API IEffectVST3::getMidiControllerAssignment(int32, int16, CtrlNumber controller,
                                                            ParamID& id)
{
    if (!handlesMidi || controller < 0 || controller > 127)
        return kResultFalse;
    id = static_cast<ParamID>(ParamCount() + controller);
    return kResultOk;
}

// ---- Plug-in base operations ----------------------------------------------------------------

void IEffectVST3::BeginHostEdit(int index)
{
    if (IComponentHandler* handler = getComponentHandler())
        handler->beginEdit(static_cast<ParamID>(index));
}

void IEffectVST3::NotifyHostOfChange(int index, double normalised)
{
    if (IComponentHandler* handler = getComponentHandler())
        handler->performEdit(static_cast<ParamID>(index), normalised);
}

void IEffectVST3::EndHostEdit(int index)
{
    if (IComponentHandler* handler = getComponentHandler())
        handler->endEdit(static_cast<ParamID>(index));
}

bool IEffectVST3::SendMidi(const IMidiMessage&)
{
    return false;
}

bool IEffectVST3::ShowHostParameterMenu(int index, int x, int y)
{
    IComponentHandler* handler = getComponentHandler();
    if (handler == nullptr || views.empty())
        return false;
    void* h3 = nullptr;
    if (handler->queryInterface(IComponentHandler3::iid.data(), &h3) != kResultOk || h3 == nullptr)
        return false;
    auto* handler3 = static_cast<IComponentHandler3*>(h3);
    const auto id = static_cast<ParamID>(index);
    IContextMenu* menu = handler3->createContextMenu(views.front(), &id);
    if (menu != nullptr)
    {
        menu->popup(x, y);
        menu->release();
    }
    handler3->release();
    return menu != nullptr;
}

bool IEffectVST3::ResizeEditor(int width, int height)
{
    if (!HasEditor() || views.empty() || views.front()->getFrame() == nullptr)
        return false;
    IEffectVST3View* view = views.front();
    view->resizePending = true;
    ViewRect rect{0, 0, width, height};
    return view->getFrame()->resizeView(view, &rect) == kResultOk;
}

bool IEffectVST3::IsOfflineRendering()
{
    return processSetup.processMode == kOffline;
}

int32_t IEffectVST3::HostSamplePosition()
{
    return static_cast<int32_t>(static_cast<uint32>(processContext.projectTimeSamples));
}

double IEffectVST3::HostTempo()
{
    return processContext.tempo;
}

void IEffectVST3::HostTimeSignature(int& numerator, int& denominator)
{
    if (!hasProcessContext)
    {
        IEffectBase::HostTimeSignature(numerator, denominator);
        return;
    }
    numerator = processContext.timeSigNumerator;
    denominator = processContext.timeSigDenominator;
}

bool IEffectVST3::HostTimeInfo(TimeInfo& info)
{
    if (!hasProcessContext)
        return IEffectBase::HostTimeInfo(info); // an empty record, not the caller's leftovers
    info.tempo = processContext.tempo;
    info.samplePosition = static_cast<double>(processContext.projectTimeSamples);
    info.ppqPosition = processContext.projectTimeMusic;
    info.lastBarPosition = processContext.barPositionMusic;
    info.cycleStart = processContext.cycleStartMusic;
    info.cycleEnd = processContext.cycleEndMusic;
    info.numerator = processContext.timeSigNumerator;
    info.denominator = processContext.timeSigDenominator;
    info.playing = (processContext.state & ProcessContext::kPlaying) != 0;
    info.cycleActive = (processContext.state & ProcessContext::kCycleActive) != 0;
    return true;
}

void IEffectVST3::SetLatencySamples(int samples)
{
    IEffectBase::SetLatencySamples(samples);
    if (IComponentHandler* handler = getComponentHandler())
        handler->restartComponent(kLatencyChanged);
}
