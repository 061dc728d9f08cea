#include "framework/IEffectBase.h"

#include "framework/FixedText.h"
#include "framework/IHostBlock.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace
{
struct HostName
{
    const char* text;
    IHostCode code;
};

// Searched in this order; the first text found decides ("live" sits late on purpose).
constexpr HostName kHostNames[] = {
    {"cubase", IHostCode::Cubase},
    {"reaper", IHostCode::Reaper},
    {"nuendo", IHostCode::Nuendo},
    {"cakewalk", IHostCode::Cakewalk},
    {"samplitude", IHostCode::Samplitude},
    {"fruity", IHostCode::Fruity},
    {"live", IHostCode::Live},
    {"melodyne", IHostCode::Melodyne},
    {"vstmanlib", IHostCode::VstManLib},
    {"aulab", IHostCode::AuLab},
    {"garageband", IHostCode::GarageBand},
    {"forte", IHostCode::Forte},
    {"chainer", IHostCode::Chainer},
    {"audition", IHostCode::Audition},
    {"orion", IHostCode::Orion},
    {"sawstudio", IHostCode::SawStudio},
    {"logic", IHostCode::Logic},
    {"digital", IHostCode::Digital},
    {"audiomulch", IHostCode::AudioMulch},
    {"presonus", IHostCode::PreSonus},
    {"vst3plugintesthost", IHostCode::Vst3TestHost},
    {"protools", IHostCode::ProTools},
    {"ardour", IHostCode::Ardour},
    {"openmpt", IHostCode::OpenMpt},
    {"renoise", IHostCode::Renoise},
    {"standalone", IHostCode::Standalone},
    {"wavelab", IHostCode::WaveLab},
};

constexpr char kUserPreset[] = "user preset";

/// Reads "<inputs>-<outputs>" at the start of `item`; anything else counts as 0-0.
IChannelConfig ParseChannelConfig(const std::string& item)
{
    const char* p = item.c_str();
    char* end = nullptr;
    const long inputs = std::strtol(p, &end, 10);
    if (end == p || *end != '-')
        return {};
    p = end + 1;
    const long outputs = std::strtol(p, &end, 10);
    if (end == p)
        return {};
    // A configuration names a handful of channels; anything huge is a typing error.
    constexpr long kLimit = 1024;
    return {static_cast<int32_t>(std::clamp(inputs, -kLimit, kLimit)),
            static_cast<int32_t>(std::clamp(outputs, -kLimit, kLimit))};
}

/// Frames a scratch buffer can take: never more than it holds, never negative.
int ScratchFrames(const std::vector<double>& scratch, int frames)
{
    return std::clamp(frames, 0, static_cast<int>(scratch.size()));
}
} // namespace

IEffectBase::IEffectBase(const IEffectConfig& config)
    : uniqueId(config.uniqueId), makerId(config.makerId), version(config.version)
{
    params.reserve(static_cast<size_t>(std::max(config.paramCount, 0)));
    for (int i = 0; i < config.paramCount; ++i)
        params.push_back(std::make_unique<IParameter>());
    for (int i = 0; i < config.presetCount; ++i)
    {
        auto preset = std::make_unique<IPreset>();
        CopyFixedText(preset->name, "empty");
        presets.push_back(std::move(preset));
    }
    CopyFixedText(effectName, config.effectName);
    CopyFixedText(makerName, config.makerName);
    ParseChannelConfigs(config.channelConfigText);
    CreateChannels();
}

IEffectBase::~IEffectBase()
{
    // The editor's controls point at parameters, so it goes first; the lock goes last.
    graphics.reset();
    params.clear();
    presets.clear();
    inputChannels.clear();
    outputChannels.clear();
    drawingContext.reset();
    channelConfigs.clear();
}

void IEffectBase::ParseChannelConfigs(const char* text)
{
    if (text == nullptr || *text == '\0')
        return;
    const std::string all(text);
    size_t start = 0;
    while (true)
    {
        const size_t blank = all.find(' ', start);
        channelConfigs.push_back(ParseChannelConfig(all.substr(start, blank - start)));
        if (blank == std::string::npos)
            break;
        start = blank + 1;
    }
}

void IEffectBase::CreateChannels()
{
    int inputs = 0;
    int outputs = 0;
    for (const IChannelConfig& config : channelConfigs)
    {
        inputs = std::max(inputs, config.inputs);
        outputs = std::max(outputs, config.outputs);
    }
    for (int i = 0; i < inputs; ++i)
    {
        auto channel = std::make_unique<IInputChannel>();
        channel->slot = i;
        inputChannels.push_back(std::move(channel));
    }
    for (int i = 0; i < outputs; ++i)
    {
        auto channel = std::make_unique<IOutputChannel>();
        channel->slot = i;
        outputChannels.push_back(std::move(channel));
    }
    inputPointers.assign(static_cast<size_t>(inputs), nullptr);
    outputPointers.assign(static_cast<size_t>(outputs), nullptr);
}

// ---- Virtual operations ------------------------------------------------------------------

void IEffectBase::ResetProcessing()
{
    IPluginLock::Guard guard(lock);
}

void IEffectBase::ParameterChanged(int, int)
{
    IPluginLock::Guard guard(lock);
}

void IEffectBase::ProcessChannels(const double* const* inputs, double** outputs, int frames)
{
    if (outputs == nullptr || frames <= 0)
        return;
    for (int i = 0; i < OutputChannelCount(); ++i)
    {
        double* out = outputs[i];
        if (out == nullptr)
            continue;
        const double* in = (inputs != nullptr && i < InputChannelCount()) ? inputs[i] : nullptr;
        if (in != nullptr)
        {
            if (in != out)
                std::memmove(out, in, sizeof(double) * static_cast<size_t>(frames));
        }
        else
        {
            std::fill(out, out + frames, 0.0);
        }
    }
}

void IEffectBase::ActivationChanged(bool)
{
    IPluginLock::Guard guard(lock);
}

void IEffectBase::ProcessMidi(const IMidiMessage& message)
{
    SendMidi(message);
}

void IEffectBase::ProcessSystemExclusive(const ISysExMessage&) {}

bool IEffectBase::NoteNameOf(int, char* text)
{
    if (text != nullptr)
        text[0] = '\0';
    return false;
}

bool IEffectBase::SerializeState(IByteChunk& chunk)
{
    return SerializeParams(chunk);
}

int32_t IEffectBase::RestoreState(const IByteChunk& chunk, int32_t position)
{
    return UnserializeParams(chunk, position);
}

bool IEffectBase::StateEquals(const IByteChunk& data, int32_t position)
{
    IPluginLock::Guard guard(lock);
    for (const auto& param : params)
    {
        double stored = 0.0;
        position = data.GetDouble(position, stored);
        if (position < 0)
            return false;
        const float difference = static_cast<float>(param->Value()) - static_cast<float>(stored);
        if (!(std::fabs(difference) < 1e-5f))
            return false;
    }
    return true;
}

void IEffectBase::EditorResized(int, int, int, int) {}

bool IEffectBase::ShowHostParameterMenu(int, int, int)
{
    return false;
}

void IEffectBase::SetParameterFromEditor(int index, double normalised)
{
    IPluginLock::Guard guard(lock);
    IParameter* param = Param(index);
    if (param == nullptr)
        return;
    param->SetFromNormalised(normalised);
    NotifyHostOfChange(index, normalised);
    ParameterChanged(index, kSourceEditor);
}

void IEffectBase::BeginHostEdit(int) {}

void IEffectBase::NotifyHostOfChange(int, double) {}

void IEffectBase::EndHostEdit(int) {}

void IEffectBase::HostTimeSignature(int& numerator, int& denominator)
{
    numerator = 4;
    denominator = 4;
}

bool IEffectBase::HostTimeInfo(TimeInfo& info)
{
    info = TimeInfo{};
    return false;
}

bool IEffectBase::ResizeEditor(int, int)
{
    return false;
}

void IEffectBase::AttachEditor(std::unique_ptr<IEditor> editor)
{
    if (!editor)
        return;
    IPluginLock::Guard guard(lock);
    editor->CreateDrawingBitmap();
    for (int i = 0; i < ParamCount(); ++i)
        editor->SetControlsFromNormalised(i, params[static_cast<size_t>(i)]->Normalised());
    graphics = std::move(editor);
    if (drawingContext)
        drawingContext->BindCanvas(*graphics);
}

void IEffectBase::SetLatencySamples(int samples)
{
    latency = samples;
}

bool IEffectBase::SendMidi(const IMidiMessage&)
{
    return false;
}

bool IEffectBase::SendSystemExclusive(const ISysExMessage&)
{
    return false;
}

void IEffectBase::RefreshEditorControls()
{
    if (!graphics)
        return;
    for (int i = 0; i < ParamCount(); ++i)
        graphics->MarkParameterChanged(i);
}

void IEffectBase::SetMaxBlockSize(int frames)
{
    IPluginLock::Guard guard(lock);
    frames = std::clamp(frames, 0, kMaxBlockSize);
    if (frames == blockSize)
        return;
    // All new buffers first: if memory runs out, every channel keeps its old buffer and
    // blockSize stays true to them (the converted paths never pass a scratch buffer).
    std::vector<std::vector<double>> fresh;
    try
    {
        fresh.resize(inputChannels.size() + outputChannels.size());
        for (auto& buffer : fresh)
            buffer.assign(static_cast<size_t>(frames), 0.0);
    }
    catch (const std::bad_alloc&)
    {
        return;
    }
    auto next = fresh.begin();
    // Slots that point at a scratch buffer follow it, so no slot is left on freed memory.
    auto swapIn = [&](auto& channel, auto& slot)
    {
        const bool onScratch = !channel.connected || slot == channel.scratch.data();
        channel.scratch.swap(*next++);
        if (onScratch)
            slot = channel.scratch.data();
    };
    for (auto& channel : inputChannels)
        swapIn(*channel, inputPointers[static_cast<size_t>(channel->slot)]);
    for (auto& channel : outputChannels)
        swapIn(*channel, outputPointers[static_cast<size_t>(channel->slot)]);
    blockSize = frames;
}

// ---- Channels --------------------------------------------------------------------------------

bool IEffectBase::LegalIO(int inputs, int outputs) const
{
    return std::any_of(channelConfigs.begin(), channelConfigs.end(),
                       [&](const IChannelConfig& c) {
                           return (inputs < 0 || inputs == c.inputs) &&
                                  (outputs < 0 || outputs == c.outputs);
                       });
}

IParameter* IEffectBase::Param(int index)
{
    if (index < 0 || index >= ParamCount())
        return nullptr;
    return params[static_cast<size_t>(index)].get();
}

const IParameter* IEffectBase::Param(int index) const
{
    if (index < 0 || index >= ParamCount())
        return nullptr;
    return params[static_cast<size_t>(index)].get();
}

namespace
{
// Of the first `count` channels, each connected one takes the next host pointer into its
// slot; a missing host buffer leaves the slot on the channel's own scratch buffer.
template <class Channel, class Sample>
void AttachHostPointers(Sample* const* hostPointers, int count,
                        std::vector<std::unique_ptr<Channel>>& channels,
                        std::vector<Sample*>& slots)
{
    if (hostPointers == nullptr)
        return;
    const size_t limit = std::min(static_cast<size_t>(std::max(count, 0)), channels.size());
    int next = 0;
    for (size_t i = 0; i < limit; ++i)
    {
        Channel& channel = *channels[i];
        if (!channel.connected)
            continue;
        Sample* host = hostPointers[next++];
        slots[static_cast<size_t>(channel.slot)] = host != nullptr ? host : channel.scratch.data();
    }
}
} // namespace

void IEffectBase::AttachInputs(const double* const* hostPointers, int count, int)
{
    AttachHostPointers(hostPointers, count, inputChannels, inputPointers);
}

void IEffectBase::AttachOutputs(double* const* hostPointers, int count, int)
{
    AttachHostPointers(hostPointers, count, outputChannels, outputPointers);
}

int IEffectBase::AttachInputsConverted(const float* const* hostPointers, int count, int frames)
{
    int converted = std::max(frames, 0);
    int next = 0;
    // The host's buffers belong to the connected channels only: a gap in the connections
    // does not use up a buffer.
    for (auto& entry : inputChannels)
    {
        if (next >= count)
            break;
        IInputChannel& channel = *entry;
        if (!channel.connected)
            continue;
        const float* host = hostPointers != nullptr ? hostPointers[next] : nullptr;
        ++next;
        const int n = ScratchFrames(channel.scratch, frames);
        converted = std::min(converted, n);
        if (host != nullptr)
            IHostBlock::ConvertIn(host, channel.scratch.data(), n);
        else
            std::fill_n(channel.scratch.begin(), n, 0.0);
        inputPointers[static_cast<size_t>(channel.slot)] = channel.scratch.data();
    }
    return converted;
}

void IEffectBase::AttachOutputsConverted(float** hostPointers, int count)
{
    int next = 0;
    for (auto& channel : outputChannels)
    {
        if (!channel->connected)
            continue;
        channel->hostBuffer =
            (hostPointers != nullptr && next < count) ? hostPointers[next] : nullptr;
        ++next;
        outputPointers[static_cast<size_t>(channel->slot)] = channel->scratch.data();
    }
}

namespace
{
// Each connected output with a remembered host buffer hands it its scratch samples as 32-bit
// floats, stored or added by `convert`; returns the frames every such output could give.
template <class Convert>
int ConvertOutputs(std::vector<std::unique_ptr<IOutputChannel>>& channels, int frames,
                   Convert convert)
{
    int written = std::max(frames, 0);
    for (auto& channel : channels)
    {
        if (!channel->connected || channel->hostBuffer == nullptr)
            continue;
        const int n = ScratchFrames(channel->scratch, frames);
        written = std::min(written, n);
        convert(channel->scratch.data(), channel->hostBuffer, n);
    }
    return written;
}
} // namespace

int IEffectBase::WriteConvertedOutputs(int frames)
{
    return ConvertOutputs(outputChannels, frames, IHostBlock::StoreOut);
}

int IEffectBase::AccumulateConvertedOutputs(int frames)
{
    return ConvertOutputs(outputChannels, frames, IHostBlock::AddOut);
}

void IEffectBase::ProcessAttached(int frames)
{
    ProcessChannels(inputPointers.data(), outputPointers.data(), frames);
}

void IEffectBase::PassThrough(int frames)
{
    IEffectBase::ProcessChannels(inputPointers.data(), outputPointers.data(), frames);
}

void IEffectBase::SetChannelConnections(int connectedInputs, int connectedOutputs)
{
    for (int i = 0; i < InputChannelCount(); ++i)
    {
        IInputChannel& channel = *inputChannels[static_cast<size_t>(i)];
        channel.connected = i < connectedInputs;
        if (!channel.connected)
            inputPointers[static_cast<size_t>(channel.slot)] = channel.scratch.data();
    }
    for (int i = 0; i < OutputChannelCount(); ++i)
    {
        IOutputChannel& channel = *outputChannels[static_cast<size_t>(i)];
        channel.connected = i < connectedOutputs;
        if (!channel.connected)
            outputPointers[static_cast<size_t>(channel.slot)] = channel.scratch.data();
    }
}

// ---- Host identity and editor ------------------------------------------------------------

IHostCode IEffectBase::HostCodeFromName(const char* name)
{
    if (name == nullptr)
        return IHostCode::Unknown;
    char lower[256];
    size_t length = 0;
    for (; length + 1 < sizeof lower && name[length] != '\0'; ++length)
        lower[length] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[length])));
    lower[length] = '\0';
    for (const HostName& host : kHostNames)
        if (std::strstr(lower, host.text) != nullptr)
            return host.code;
    return IHostCode::Unknown;
}

void IEffectBase::IdentifyHost(const char* name)
{
    hostCode = HostCodeFromName(name);
}

void IEffectBase::ReleaseEditor()
{
    graphics.reset();
    drawingContext.reset();
}

void IEffectBase::SetDrawingContext(std::unique_ptr<IDrawingContext> context)
{
    drawingContext = std::move(context);
}

// ---- Binary parameter format -------------------------------------------------------------

bool IEffectBase::SerializeParams(IByteChunk& chunk)
{
    IPluginLock::Guard guard(lock);
    if (chunk.PutInt32(static_cast<int32_t>(params.size())) <= 0)
        return false;
    for (const auto& param : params)
        if (chunk.PutDouble(param->Value()) <= 0)
            return false;
    return true;
}

int32_t IEffectBase::UnserializeParams(const IByteChunk& chunk, int32_t position)
{
    IPluginLock::Guard guard(lock);
    int32_t stored = ParamCount();
    position = chunk.GetInt32(position, stored);
    if (position < 0)
        stored = ParamCount();
    const int count = std::min(stored, ParamCount());
    for (int i = 0; i < count && position >= 0; ++i)
    {
        double v = 0.0;
        position = chunk.GetDouble(position, v);
        params[static_cast<size_t>(i)]->SetClamped(position >= 0 ? v : 0.0);
    }
    for (int i = 0; i < ParamCount(); ++i)
        ParameterChanged(i, kSourceState);
    return position;
}

// ---- Presets -------------------------------------------------------------------------------

bool IEffectBase::CaptureInto(IPreset& preset)
{
    preset.chunk.Clear();
    preset.values.resize(params.size());
    for (std::size_t i = 0; i < params.size(); ++i)
        preset.values[i] = params[i]->Value();
    return SerializeState(preset.chunk);
}

IPreset* IEffectBase::FirstUninitialisedPreset()
{
    for (auto& preset : presets)
        if (!preset->initialized)
            return preset.get();
    return nullptr;
}

bool IEffectBase::SelectPreset(int index)
{
    IPluginLock::Guard guard(lock);
    if (index < 0 || index >= PresetCount())
        return false;
    IPreset& preset = *presets[static_cast<size_t>(index)];
    if (RecallPreset(index))
        return true;
    bool ok = false;
    if (preset.initialized)
    {
        ok = RestoreState(preset.chunk, 0) > 0;
    }
    else
    {
        const auto users = std::count_if(presets.begin(), presets.end(),
                                         [](const auto& p)
                                         { return std::strstr(p->name, kUserPreset) != nullptr; });
        char name[IPreset::kNameSize];
        std::snprintf(name, sizeof name, "%s %d", kUserPreset, static_cast<int>(users) + 1);
        ok = InitialisePreset(preset, name);
    }
    if (!ok)
        return false;
    currentPreset = index;
    PresetSelected();
    RefreshEditorControls();
    return true;
}

bool IEffectBase::RecallPreset(int index)
{
    IPluginLock::Guard guard(lock);
    if (index < 0 || index >= PresetCount())
        return false;
    const IPreset& preset = *presets[static_cast<size_t>(index)];
    if (!preset.initialized || preset.values.size() != params.size())
        return false;
    for (std::size_t i = 0; i < params.size(); ++i)
        params[i]->SetClamped(preset.values[i]);
    for (int i = 0; i < ParamCount(); ++i)
        ParameterChanged(i, kSourceState);
    currentPreset = index;
    PresetSelected();
    RefreshEditorControls();
    return true;
}

bool IEffectBase::InitialisePreset(IPreset& preset, const char* name)
{
    CopyFixedText(preset.name, name);
    preset.initialized = true;
    if (CaptureInto(preset))
        return true;
    // A preset whose capture failed holds no state: leave it uninitialised, not broken.
    preset.initialized = false;
    preset.chunk.Clear();
    preset.values.clear();
    return false;
}

void IEffectBase::CaptureDefaultPreset()
{
    IPluginLock::Guard guard(lock);
    if (IPreset* preset = FirstUninitialisedPreset())
        InitialisePreset(*preset, kDefaultPresetName);
}

void IEffectBase::CaptureDefaultPresets(const char* name, int count)
{
    IPluginLock::Guard guard(lock);
    const char* presetName = (name != nullptr && *name != '\0') ? name : kDefaultPresetName;
    for (int i = 0; i < count; ++i)
    {
        IPreset* preset = FirstUninitialisedPreset();
        if (preset == nullptr || !InitialisePreset(*preset, presetName))
            return;
    }
}

void IEffectBase::ModifyCurrentPreset(const char* name)
{
    IPluginLock::Guard guard(lock);
    if (currentPreset < 0 || currentPreset >= PresetCount())
        return;
    IPreset& preset = *presets[static_cast<size_t>(currentPreset)];
    CaptureInto(preset);
    if (name != nullptr && *name != '\0')
        CopyFixedText(preset.name, name);
}

bool IEffectBase::SerializePresets(IByteChunk& chunk)
{
    IPluginLock::Guard guard(lock);
    for (const auto& preset : presets)
    {
        if (chunk.PutString(preset->name) <= 0 || chunk.PutBool(preset->initialized) <= 0)
            return false;
        if (preset->initialized && chunk.PutBytes(preset->chunk.Data(), preset->chunk.Size()) <= 0)
            return false;
    }
    return true;
}

int32_t IEffectBase::UnserializePresets(const IByteChunk& chunk, int32_t position)
{
    IPluginLock::Guard guard(lock);
    std::string name; // shared by all presets: an unreadable or empty name repeats the last
    for (auto& preset : presets)
    {
        if (position < 0)
            break;
        position = chunk.GetString(position, name);
        CopyFixedText(preset->name, name.c_str());
        uint8_t initialized = 0;
        position = chunk.GetByte(position, initialized);
        if (position < 0)
            break;
        if (initialized == 0)
        {
            preset->initialized = false;
            continue;
        }
        position = RestoreState(chunk, position);
        // The preset keeps the state in the current format. A damaged state leaves its flag
        // and state as they were: a flag without a state could never be selected again.
        if (position > 0)
            InitialisePreset(*preset, name.c_str());
    }
    SelectPreset(currentPreset);
    return position;
}

bool IEffectBase::WriteChunkHeader(IByteChunk& chunk)
{
    chunk.Clear();
    return chunk.PutInt32(kChunkMagic) > 0 && chunk.PutInt32(kChunkVersion) > 0;
}

int32_t IEffectBase::ReadChunkHeader(const IByteChunk& chunk, int32_t& version)
{
    int32_t tag = 0;
    version = 0;
    if (chunk.GetInt32(0, tag) < 0 || tag != kChunkMagic)
        return 0;
    return chunk.GetInt32(4, version) < 0 ? -1 : 8;
}
