#include "hosting/vst2/Vst2Instance.h"

#include <algorithm>
#include <cstring>

namespace
{
// Plug-ins call back from inside the entry point, before resvd1 holds our pointer.
thread_local Vst2Instance* loadingInstance = nullptr;

void CopyText(const std::string& text, void* ptr, std::size_t capacity)
{
    auto* out = static_cast<char*>(ptr);
    const std::size_t n = std::min(text.size(), capacity - 1);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}
} // namespace

std::unique_ptr<Vst2Instance> Vst2Instance::Create(vst2_entry_proc entry, const Setup& setup)
{
    if (entry == nullptr)
        return nullptr;
    std::unique_ptr<Vst2Instance> instance(new Vst2Instance(setup));
    loadingInstance = instance.get();
    vst2_effect* record = entry(&Vst2Instance::HostCallback);
    loadingInstance = nullptr;
    if (record == nullptr || record->magic != VST2_MAGIC || record->dispatcher == nullptr)
        return nullptr;
    record->resvd1 = reinterpret_cast<intptr_t>(instance.get());
    instance->effect = record;
    return instance;
}

Vst2Instance::~Vst2Instance()
{
    Close();
}

intptr_t Vst2Instance::Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt)
{
    if (effect == nullptr)
        return 0;
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

void Vst2Instance::Start(double sampleRate, int32_t blockSize)
{
    setup.sampleRate = sampleRate;
    setup.blockSize = blockSize;
    Dispatch(VST2_EFF_OPEN);
    Dispatch(VST2_EFF_SET_SAMPLE_RATE, 0, 0, nullptr, static_cast<float>(sampleRate));
    Dispatch(VST2_EFF_SET_BLOCK_SIZE, 0, blockSize);
    Dispatch(VST2_EFF_MAINS_CHANGED, 0, 1);
}

void Vst2Instance::Stop()
{
    Dispatch(VST2_EFF_MAINS_CHANGED, 0, 0);
}

void Vst2Instance::Close()
{
    if (effect == nullptr)
        return;
    vst2_effect* closing = effect;
    effect = nullptr;
    closing->dispatcher(closing, VST2_EFF_CLOSE, 0, 0, nullptr, 0.0f);
}

std::string Vst2Instance::Text(int32_t opcode, int32_t index)
{
    char buffer[256] = {};
    Dispatch(opcode, index, 0, buffer);
    buffer[sizeof buffer - 1] = '\0';
    return buffer;
}

std::vector<uint8_t> Vst2Instance::GetChunk(bool bank)
{
    void* data = nullptr;
    const intptr_t size = Dispatch(VST2_EFF_GET_CHUNK, bank ? 0 : 1, 0, &data);
    if (size <= 0 || data == nullptr)
        return {};
    const auto* bytes = static_cast<const uint8_t*>(data);
    return {bytes, bytes + size};
}

intptr_t Vst2Instance::SetChunk(bool bank, const void* bytes, std::size_t size)
{
    // The plug-in may keep reading until the call returns; hand it our own copy.
    const auto* begin = static_cast<const uint8_t*>(bytes);
    chunkCopy.assign(begin, begin + size);
    return Dispatch(VST2_EFF_SET_CHUNK, bank ? 0 : 1, static_cast<intptr_t>(size),
                    chunkCopy.empty() ? nullptr : chunkCopy.data());
}

void Vst2Instance::ProcessReplacing(float** inputs, float** outputs, int32_t frames)
{
    if (effect != nullptr)
        effect->process_replacing(effect, inputs, outputs, frames);
}

void Vst2Instance::ProcessAccumulating(float** inputs, float** outputs, int32_t frames)
{
    if (effect != nullptr)
        effect->process(effect, inputs, outputs, frames);
}

void Vst2Instance::ProcessDoubleReplacing(double** inputs, double** outputs, int32_t frames)
{
    if (effect != nullptr)
        effect->process_double_replacing(effect, inputs, outputs, frames);
}

void Vst2Instance::SetParameter(int32_t index, float normalised)
{
    if (effect != nullptr)
        effect->set_parameter(effect, index, normalised);
}

float Vst2Instance::GetParameter(int32_t index)
{
    return effect != nullptr ? effect->get_parameter(effect, index) : 0.0f;
}

std::vector<Vst2Instance::Call> Vst2Instance::Calls() const
{
    std::lock_guard<std::mutex> guard(callsLock);
    return calls;
}

std::vector<Vst2Instance::Call> Vst2Instance::CallsOf(int32_t opcode) const
{
    std::lock_guard<std::mutex> guard(callsLock);
    std::vector<Call> found;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(found),
                 [opcode](const Call& call) { return call.opcode == opcode; });
    return found;
}

std::vector<vst2_midi_event> Vst2Instance::MidiOut() const
{
    std::lock_guard<std::mutex> guard(callsLock);
    return midiOut;
}

void Vst2Instance::ClearCalls()
{
    std::lock_guard<std::mutex> guard(callsLock);
    calls.clear();
    midiOut.clear();
}

intptr_t Vst2Instance::HostCallback(vst2_effect* effect, int32_t opcode, int32_t index,
                                    intptr_t value, void* ptr, float opt)
{
    Vst2Instance* self = loadingInstance;
    if (effect != nullptr && effect->resvd1 != 0)
        self = reinterpret_cast<Vst2Instance*>(effect->resvd1);
    if (self == nullptr)
        return opcode == VST2_HOST_VERSION ? VST2_VERSION : 0;
    return self->Answer(opcode, index, value, ptr, opt);
}

intptr_t Vst2Instance::Answer(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt)
{
    {
        std::lock_guard<std::mutex> guard(callsLock);
        calls.push_back({opcode, index, value, opt});
        if (opcode == VST2_HOST_PROCESS_EVENTS && ptr != nullptr)
        {
            const auto* list = static_cast<const vst2_events*>(ptr);
            for (int32_t i = 0; i < list->num_events; ++i)
            {
                const vst2_event* event = list->events[i];
                if (event != nullptr && event->type == VST2_EVENT_MIDI)
                    midiOut.push_back(*reinterpret_cast<const vst2_midi_event*>(event));
            }
        }
    }
    switch (opcode)
    {
    case VST2_HOST_VERSION:
        return VST2_VERSION;
    case VST2_HOST_GET_SAMPLE_RATE:
        return static_cast<intptr_t>(setup.sampleRate);
    case VST2_HOST_GET_BLOCK_SIZE:
        return setup.blockSize;
    case VST2_HOST_GET_CURRENT_PROCESS_LEVEL:
        return setup.processLevel;
    case VST2_HOST_PROCESS_EVENTS:
        return 1;
    case VST2_HOST_GET_TIME:
        return setup.answersTime ? reinterpret_cast<intptr_t>(&setup.time) : 0;
    case VST2_HOST_GET_VENDOR_STRING:
        if (ptr == nullptr)
            return 0;
        CopyText(setup.vendorName, ptr, VST2_MAX_VENDOR_STR_LEN);
        return 1;
    case VST2_HOST_GET_PRODUCT_STRING:
        if (ptr == nullptr)
            return 0;
        WriteProductName(static_cast<char*>(ptr));
        return 1;
    case VST2_HOST_GET_VENDOR_VERSION:
        return setup.vendorVersion;
    case VST2_HOST_UPDATE_DISPLAY:
    case VST2_HOST_SIZE_WINDOW:
        return 1;
    default:
        return 0;
    }
}

void Vst2Instance::WriteProductName(char* buffer) const
{
    const std::size_t limit = setup.productWriteLimit;
    const std::size_t n = std::min(setup.productName.size(), limit);
    std::memcpy(buffer, setup.productName.data(), n);
    if (n < limit)
        buffer[n] = '\0';
}
