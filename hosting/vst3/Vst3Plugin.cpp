#include "hosting/vst3/Vst3Plugin.h"

#include "hosting/vst3/MemoryStream.h"
#include "vst3/base/Utf16.h"

#include <type_traits>

using namespace vst3;

Vst3Plugin::Vst3Plugin(std::string hostName)
    : host(new HostApplication(std::move(hostName))), handler(new ComponentHandler),
      changes(new ::ParameterChanges)
{
}

Vst3Plugin::~Vst3Plugin()
{
    Release();
    changes->release();
    handler->release();
    host->release();
}

bool Vst3Plugin::Create(IPluginFactory* factory, int classIndex)
{
    Release();
    PClassInfo info{};
    if (factory == nullptr || factory->getClassInfo(classIndex, &info) != kResultOk)
    {
        lastError = "no such class";
        return false;
    }
    void* obj = nullptr;
    if (factory->createInstance(info.cid, IComponent::iid.data(), &obj) != kResultOk ||
        obj == nullptr)
    {
        lastError = "createInstance failed";
        return false;
    }
    return Adopt(static_cast<IComponent*>(obj));
}

bool Vst3Plugin::Adopt(IComponent* instance)
{
    Release();
    if (instance == nullptr)
    {
        lastError = "no instance";
        return false;
    }
    component = instance;
    void* obj = nullptr;
    if (component->initialize(static_cast<IHostApplication*>(host)) != kResultOk)
    {
        lastError = "initialize failed";
        component->release();
        component = nullptr;
        return false;
    }
    initialized = true;
    if (component->queryInterface(IAudioProcessor::iid.data(), &obj) == kResultOk)
        processor = static_cast<IAudioProcessor*>(obj);
    obj = nullptr;
    if (component->queryInterface(IEditController::iid.data(), &obj) == kResultOk)
        controller = static_cast<IEditController*>(obj);
    if (processor == nullptr || controller == nullptr)
    {
        lastError = "the instance is no audio processor with a controller";
        Release();
        return false;
    }
    controller->setComponentHandler(static_cast<IComponentHandler*>(handler));
    return true;
}

bool Vst3Plugin::Start(double sampleRate, int maxBlock, int size, bool sideChain)
{
    if (processor == nullptr)
        return false;
    Stop();
    SpeakerArrangement ins[2] = {SpeakerArr::kStereo, SpeakerArr::kStereo};
    SpeakerArrangement outs[1] = {SpeakerArr::kStereo};
    const int32 inputBuses = component->getBusCount(kAudio, kInput);
    if (processor->setBusArrangements(ins, inputBuses >= 2 ? 2 : 1, outs, 1) != kResultOk)
    {
        lastError = "bus arrangement refused";
        return false;
    }
    component->activateBus(kAudio, kInput, 0, 1);
    component->activateBus(kAudio, kOutput, 0, 1);
    if (inputBuses >= 2)
        component->activateBus(kAudio, kInput, 1, sideChain ? 1 : 0);
    ProcessSetup setup{kRealtime, size, maxBlock, sampleRate};
    if (processor->setupProcessing(setup) != kResultOk)
    {
        lastError = "processing setup refused";
        return false;
    }
    sampleSize = size;
    component->setActive(1);
    processor->setProcessing(1);
    started = true;
    return true;
}

void Vst3Plugin::Stop()
{
    if (!started)
        return;
    processor->setProcessing(0);
    component->setActive(0);
    started = false;
}

void Vst3Plugin::Release()
{
    Stop();
    if (controller != nullptr)
    {
        controller->setComponentHandler(nullptr);
        controller->release();
        controller = nullptr;
    }
    if (processor != nullptr)
    {
        processor->release();
        processor = nullptr;
    }
    if (component != nullptr)
    {
        if (initialized)
            component->terminate();
        component->release();
        component = nullptr;
    }
    initialized = false;
}

void Vst3Plugin::QueueParameter(ParamID id, double normalized, int offset)
{
    changes->Add(id, offset, normalized);
}

template <class Sample>
tresult Vst3Plugin::ProcessBlock(const Sample* const* in, const Sample* const* sideChain,
                                 Sample** out, int frames)
{
    auto setBuffers = [](AudioBusBuffers& bus, Sample** channels)
    {
        if constexpr (std::is_same_v<Sample, float>)
            bus.channelBuffers32 = channels;
        else
            bus.channelBuffers64 = channels;
    };
    Sample* inputs[2] = {const_cast<Sample*>(in[0]), const_cast<Sample*>(in[1])};
    Sample* side[2] = {nullptr, nullptr};
    if (sideChain != nullptr)
    {
        side[0] = const_cast<Sample*>(sideChain[0]);
        side[1] = const_cast<Sample*>(sideChain[1]);
    }
    AudioBusBuffers inBuses[2]{};
    inBuses[0].numChannels = 2;
    setBuffers(inBuses[0], inputs);
    inBuses[1].numChannels = 2;
    setBuffers(inBuses[1], side);
    AudioBusBuffers outBus{};
    outBus.numChannels = 2;
    setBuffers(outBus, out);

    ProcessData data{};
    data.processMode = kRealtime;
    data.symbolicSampleSize = std::is_same_v<Sample, float> ? kSample32 : kSample64;
    data.numSamples = frames;
    data.numInputs = component->getBusCount(kAudio, kInput) >= 2 ? 2 : 1;
    data.numOutputs = 1;
    data.inputs = inBuses;
    data.outputs = &outBus;
    data.inputParameterChanges = changes;
    outBus.silenceFlags = ~uint64{0}; // a plug-in that sets nothing shows up as a wrong answer
    const tresult result = processor->process(data);
    lastSilenceFlags = outBus.silenceFlags;
    changes->Clear();
    return result;
}

tresult Vst3Plugin::Process(const float* const* in, const float* const* sideChain, float** out,
                            int frames)
{
    return ProcessBlock(in, sideChain, out, frames);
}

tresult Vst3Plugin::Process(const double* const* in, const double* const* sideChain, double** out,
                            int frames)
{
    return ProcessBlock(in, sideChain, out, frames);
}

bool Vst3Plugin::GetState(std::vector<char>& bytes)
{
    if (component == nullptr)
        return false;
    auto* stream = new MemoryStream;
    const bool ok = component->getState(stream) == kResultOk;
    if (ok)
        bytes = stream->Bytes();
    stream->release();
    return ok;
}

bool Vst3Plugin::SetState(const std::vector<char>& bytes)
{
    if (component == nullptr)
        return false;
    auto* stream = new MemoryStream(bytes);
    bool ok = component->setState(stream) == kResultOk;
    // A separate controller learns the component's state too; ours is the same object.
    void* self = nullptr;
    if (ok && component->queryInterface(FUnknown::iid.data(), &self) == kResultOk)
    {
        void* ctrl = nullptr;
        controller->queryInterface(FUnknown::iid.data(), &ctrl);
        if (ctrl != self)
        {
            stream->seek(0, kIBSeekSet, nullptr);
            ok = controller->setComponentState(stream) == kResultOk;
        }
        if (ctrl != nullptr)
            static_cast<FUnknown*>(ctrl)->release();
        static_cast<FUnknown*>(self)->release();
    }
    stream->release();
    return ok;
}

std::vector<ParameterInfo> Vst3Plugin::Parameters()
{
    std::vector<ParameterInfo> list;
    if (controller == nullptr)
        return list;
    const int32 count = controller->getParameterCount();
    for (int32 i = 0; i < count; ++i)
    {
        ParameterInfo info{};
        if (controller->getParameterInfo(i, info) == kResultOk)
            list.push_back(info);
    }
    return list;
}

std::string Vst3Plugin::ValueText(ParamID id, double normalized)
{
    String128 text{};
    if (controller == nullptr ||
        controller->getParamStringByValue(id, normalized, text) != kResultOk)
        return {};
    return Narrow(text, 128);
}
