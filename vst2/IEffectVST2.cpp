#include "vst2/IEffectVST2.h"

#include "framework/FixedText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace
{
// ---- Host quirks: the one place that says which behaviour depends on which host, and why ----

/// Forte, Audition, Orion and SAWStudio hand over no buffers for inputs beyond the main pair
/// (reading them would read whatever the host left there) and expect every output pin they
/// report to be written.
bool HostGivesNoSideChainBuffers(IHostCode host)
{
    return host == IHostCode::Forte || host == IHostCode::Audition || host == IHostCode::Orion ||
           host == IHostCode::SawStudio;
}

constexpr intptr_t kVendorSpecificAnswer = 0xBEEF;
constexpr intptr_t kProcessLevelOffline = 4;

// vst2_time_info.flags
constexpr int32_t kTransportPlaying = 0x2;
constexpr int32_t kTransportCycleActive = 0x4;
constexpr int32_t kTimePpqValid = 0x200;
constexpr int32_t kTimeTempoValid = 0x400;
constexpr int32_t kTimeBarsValid = 0x800;
constexpr int32_t kTimeCycleValid = 0x1000;
constexpr int32_t kTimeSignatureValid = 0x2000;

// Longest text we ever read from a host's buffer; hosts send far shorter ones.
constexpr std::size_t kHostTextReadLimit = 256;

int32_t VersionDecimal(int32_t version)
{
    const int32_t major = (version >> 16) & 0xFFFF;
    const int32_t minor = (version >> 8) & 0xFF;
    const int32_t patch = version & 0xFF;
    return major * 10000 + minor * 100 + patch;
}

int32_t ArrangementType(int channels)
{
    switch (channels)
    {
    case 0:
        return VST2_SPEAKER_ARR_EMPTY;
    case 1:
        return VST2_SPEAKER_ARR_MONO;
    case 2:
        return VST2_SPEAKER_ARR_STEREO;
    default:
        return VST2_SPEAKER_ARR_USER_DEFINED;
    }
}

/// Writes at most `maxChars` characters of `text` and a terminator into a host buffer.
void WriteHostText(void* ptr, const char* text, std::size_t maxChars)
{
    if (ptr != nullptr)
        CopyFixedText(static_cast<char*>(ptr), maxChars + 1, text);
}

/// A host's text, read up to its terminator or `limit` bytes, whichever comes first.
std::string ReadHostText(const void* ptr, std::size_t limit)
{
    const auto* text = static_cast<const char*>(ptr);
    return std::string(text, strnlen(text, limit));
}

/// The first `count` channels become connected; the others run on their own scratch buffer.
template <class Channel, class Slot>
void ConnectFirst(std::vector<std::unique_ptr<Channel>>& channels, std::vector<Slot*>& slots,
                  int count)
{
    for (std::size_t i = 0; i < channels.size(); ++i)
    {
        Channel& channel = *channels[i];
        channel.connected = static_cast<int>(i) < count;
        if (!channel.connected)
            slots[static_cast<std::size_t>(channel.slot)] = channel.scratch.data();
    }
}

/// A snapshot of parameters and presets, to undo a chunk load that failed half-way.
struct StateBackup
{
    IByteChunk state;
    struct Preset
    {
        bool initialized;
        std::string name;
        std::vector<uint8_t> bytes;
        std::vector<double> values;
    };
    std::vector<Preset> presets;

    void Take(IEffectBase& plugin)
    {
        plugin.SerializeState(state);
        for (const auto& preset : plugin.presets)
        {
            const uint8_t* data = preset->chunk.Data();
            presets.push_back({preset->initialized, preset->name,
                               data != nullptr
                                   ? std::vector<uint8_t>(data, data + preset->chunk.Size())
                                   : std::vector<uint8_t>{},
                               preset->values});
        }
    }

    void Restore(IEffectBase& plugin) const
    {
        for (std::size_t i = 0; i < presets.size() && i < plugin.presets.size(); ++i)
        {
            IPreset& preset = *plugin.presets[i];
            preset.initialized = presets[i].initialized;
            CopyFixedText(preset.name, presets[i].name.c_str());
            preset.chunk.Clear();
            preset.values = presets[i].values;
            if (!presets[i].bytes.empty())
                preset.chunk.PutBytes(presets[i].bytes.data(),
                                      static_cast<int32_t>(presets[i].bytes.size()));
        }
        plugin.RestoreState(state, 0);
    }
};
} // namespace

// ---- Construction ---------------------------------------------------------------------------

IEffectVST2::IEffectVST2(const IEffectConfig& config, vst2_host_callback hostCallback)
    : IEffectBase(config), hostCallback(hostCallback)
{
    apiCode = 0;

    // Every byte zero, padding included: hosts declared with a pointer-sized flags field read
    // bytes 60 to 63 too, and the reserved tail must read as zero.
    std::memset(&effect, 0, sizeof effect);
    effect.magic = VST2_MAGIC;
    effect.dispatcher = &IEffectVST2::VSTDispatcher;
    effect.process = &IEffectVST2::VSTProcessAccumulating;
    effect.set_parameter = &IEffectVST2::VSTSetParameter;
    effect.get_parameter = &IEffectVST2::VSTGetParameter;
    effect.num_programs = PresetCount();
    effect.num_params = ParamCount();
    effect.num_inputs = InputChannelCount();
    effect.num_outputs = OutputChannelCount();
    // Program chunks: hosts then save the whole state document through effGetChunk and
    // effSetChunk instead of only the normalised parameter values.
    effect.flags =
        VST2_FLAG_CAN_REPLACING | VST2_FLAG_CAN_DOUBLE_REPLACING | VST2_FLAG_PROGRAM_CHUNKS;
    if (LegalIO(1, -1))
        effect.flags |= VST2_FLAG_CAN_MONO;
    effect.initial_delay = latency;
    effect.io_ratio = 1.0f;
    effect.object = this;
    effect.unique_id = uniqueId;
    effect.version = VersionDecimal(version);
    effect.process_replacing = &IEffectVST2::VSTProcessReplacing;
    effect.process_double_replacing = &IEffectVST2::VSTProcessDoubleReplacing;

    inputArrangement.type = ArrangementType(InputChannelCount());
    inputArrangement.num_channels = InputChannelCount();
    outputArrangement.type = ArrangementType(OutputChannelCount());
    outputArrangement.num_channels = OutputChannelCount();

    SetChannelConnections(InputChannelCount(), OutputChannelCount());
    SetMaxBlockSize(kDefaultBlockSize);
}

IEffectVST2::~IEffectVST2()
{
    // The record may still be looked at by a confused host; make it lead nowhere.
    effect.object = nullptr;
}

void IEffectVST2::PrepareForHost()
{
    CaptureDefaultPresets(kDefaultPresetName, PresetCount());
    effect.num_programs = std::max(effect.num_programs, 1);
}

IEffectVST2* IEffectVST2::FromRecord(vst2_effect* record)
{
    return record != nullptr ? static_cast<IEffectVST2*>(record->object) : nullptr;
}

bool IEffectVST2::CanOpenEditor() const
{
    return graphics != nullptr && graphics->HasWindowSystem();
}

// ---- Host callback use ----------------------------------------------------------------------

intptr_t IEffectVST2::HostCall(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt)
{
    return hostCallback != nullptr ? hostCallback(&effect, opcode, index, value, ptr, opt) : 0;
}

IHostCode IEffectVST2::HostCode()
{
    if (hostCode != IHostCode::NotAsked)
        return hostCode;
    char product[256] = {};
    HostCall(VST2_HOST_GET_PRODUCT_STRING, 0, 0, product);
    product[sizeof product - 1] = '\0'; // whatever the host wrote
    hostVersion = 0;
    if (product[0] != '\0')
    {
        const intptr_t v = HostCall(VST2_HOST_GET_VENDOR_VERSION);
        const auto major = static_cast<uint32_t>(v / 10000);
        const auto minor = static_cast<uint32_t>((v % 10000) / 100);
        const auto patch = static_cast<uint32_t>(v % 100);
        hostVersion = static_cast<int32_t>((major << 16) | ((minor & 0xFF) << 8) | (patch & 0xFF));
    }
    hostCode = HostCodeFromName(product);
    return hostCode;
}

void IEffectVST2::BeginHostEdit(int index)
{
    HostCall(VST2_HOST_BEGIN_EDIT, index);
}

void IEffectVST2::NotifyHostOfChange(int index, double normalised)
{
    HostCall(VST2_HOST_AUTOMATE, index, 0, nullptr, static_cast<float>(normalised));
}

void IEffectVST2::EndHostEdit(int index)
{
    HostCall(VST2_HOST_END_EDIT, index);
}

void IEffectVST2::NotifyHostDisplayChanged()
{
    HostCall(VST2_HOST_UPDATE_DISPLAY);
}

bool IEffectVST2::IsOfflineRendering()
{
    return HostCall(VST2_HOST_GET_CURRENT_PROCESS_LEVEL) == kProcessLevelOffline;
}

const vst2_time_info* IEffectVST2::HostTime(int32_t wanted)
{
    return reinterpret_cast<const vst2_time_info*>(HostCall(VST2_HOST_GET_TIME, 0, wanted));
}

int32_t IEffectVST2::HostSamplePosition()
{
    const vst2_time_info* time = HostTime(0);
    return time != nullptr ? static_cast<int32_t>(time->sample_pos) : 0;
}

double IEffectVST2::HostTempo()
{
    const vst2_time_info* time = HostTime(kTimeTempoValid);
    return time != nullptr && (time->flags & kTimeTempoValid) != 0 ? time->tempo : 0.0;
}

void IEffectVST2::HostTimeSignature(int& numerator, int& denominator)
{
    numerator = 4;
    denominator = 4;
    const vst2_time_info* time = HostTime(kTimeSignatureValid);
    if (time != nullptr && (time->flags & kTimeSignatureValid) != 0)
    {
        numerator = time->time_sig_numerator;
        denominator = time->time_sig_denominator;
    }
}

bool IEffectVST2::HostTimeInfo(TimeInfo& info)
{
    info = TimeInfo{};
    const vst2_time_info* time = HostTime(kTimePpqValid | kTimeTempoValid | kTimeBarsValid |
                                          kTimeCycleValid | kTimeSignatureValid);
    if (time == nullptr)
        return false;
    // Only what the flags vouch for, and never past the 88 bytes every host provides.
    const int32_t flags = time->flags;
    info.samplePosition = time->sample_pos;
    info.playing = (flags & kTransportPlaying) != 0;
    info.cycleActive = (flags & kTransportCycleActive) != 0;
    if (flags & kTimePpqValid)
        info.ppqPosition = time->ppq_pos;
    if (flags & kTimeTempoValid)
        info.tempo = time->tempo;
    if (flags & kTimeBarsValid)
        info.lastBarPosition = time->bar_start_pos;
    if (flags & kTimeCycleValid)
    {
        info.cycleStart = time->cycle_start_pos;
        info.cycleEnd = time->cycle_end_pos;
    }
    if (flags & kTimeSignatureValid)
    {
        info.numerator = time->time_sig_numerator;
        info.denominator = time->time_sig_denominator;
    }
    return true;
}

bool IEffectVST2::SendMidi(const IMidiMessage& message)
{
    vst2_midi_event event{};
    event.type = VST2_EVENT_MIDI;
    event.byte_size = static_cast<int32_t>(sizeof event);
    event.delta_frames = message.offset;
    event.midi_data[0] = message.status;
    event.midi_data[1] = message.data1;
    event.midi_data[2] = message.data2;
    vst2_events list{};
    list.num_events = 1;
    list.events[0] = reinterpret_cast<vst2_event*>(&event);
    return HostCall(VST2_HOST_PROCESS_EVENTS, 0, 0, &list) == 1;
}

void IEffectVST2::HostSpecificSetup()
{
    if (hostSetupDone)
        return;
    hostSetupDone = true;
    if (HostGivesNoSideChainBuffers(HostCode()))
    {
        for (std::size_t i = 2; i < inputChannels.size(); ++i)
        {
            IInputChannel& channel = *inputChannels[i];
            channel.connected = false;
            inputPointers[static_cast<std::size_t>(channel.slot)] = channel.scratch.data();
        }
        for (std::size_t i = 2; i < outputChannels.size(); ++i)
            outputChannels[i]->connected = true;
    }
    inputArrangement.num_channels = InputChannelCount();
    outputArrangement.num_channels = OutputChannelCount();
    effect.num_inputs = InputChannelCount();
    effect.num_outputs = OutputChannelCount();
    HostIdentified();
}

void IEffectVST2::AttachEditor(std::unique_ptr<IEditor> editor)
{
    if (editor == nullptr)
        return;
    IEffectBase::AttachEditor(std::move(editor));
    // Announce only an editor this build can open: a host shown the flag opens a window
    // and waits for the editor to fill it.
    if (CanOpenEditor())
        effect.flags |= VST2_FLAG_HAS_EDITOR;
    else
        effect.flags &= ~VST2_FLAG_HAS_EDITOR;
    editorRect.top = 0;
    editorRect.left = 0;
    if (graphics != nullptr)
    {
        editorRect.right = static_cast<int16_t>(graphics->WindowWidth());
        editorRect.bottom = static_cast<int16_t>(graphics->WindowHeight());
    }
}

void IEffectVST2::SetLatencySamples(int samples)
{
    IEffectBase::SetLatencySamples(samples);
    effect.initial_delay = latency;
}

bool IEffectVST2::ResizeEditor(int width, int height)
{
    editorRect.right = static_cast<int16_t>(editorRect.left + width);
    editorRect.bottom = static_cast<int16_t>(editorRect.top + height);
    return HostCall(VST2_HOST_SIZE_WINDOW, width, height) == 1;
}

// ---- C entries ------------------------------------------------------------------------------

intptr_t IEffectVST2::VSTDispatcher(vst2_effect* record, int32_t opcode, int32_t index,
                                    intptr_t value, void* ptr, float opt)
{
    IEffectVST2* self = FromRecord(record);
    if (self == nullptr)
        return 0;
    if (opcode == VST2_EFF_CLOSE)
    {
        // Wait for any entry still running, then let go: the lock dies with the object.
        self->lock.lock();
        self->lock.unlock();
        delete self;
        return 0;
    }
    // The editor's window calls run without the plug-in lock: the window system may block,
    // and the audio thread must not wait for it. Editor paths take the lock themselves
    // where they touch parameters.
    if (opcode == VST2_EFF_EDIT_GET_RECT || opcode == VST2_EFF_EDIT_OPEN ||
        opcode == VST2_EFF_EDIT_CLOSE)
        return self->DispatchEditor(opcode, ptr);
    if ((opcode == VST2_EFF_EDIT_IDLE || opcode == VST2_EFF_IDLE) && self->graphics != nullptr)
        self->graphics->HostIdle();
    IPluginLock::Guard guard(self->lock);
    try
    {
        return self->Dispatch(opcode, index, value, ptr, opt);
    }
    catch (...)
    {
        // Only running out of memory can get here (chunk copies, texts); an exception must
        // never unwind into the host.
        return 0;
    }
}

void IEffectVST2::VSTProcessReplacing(vst2_effect* record, float** inputs, float** outputs,
                                      int32_t frames)
{
    if (IEffectVST2* self = FromRecord(record))
    {
        IPluginLock::Guard guard(self->lock);
        self->ProcessHostBlock(inputs, outputs, frames, IHostBlock::OutputMode::Replace);
    }
}

void IEffectVST2::VSTProcessAccumulating(vst2_effect* record, float** inputs, float** outputs,
                                         int32_t frames)
{
    if (IEffectVST2* self = FromRecord(record))
    {
        IPluginLock::Guard guard(self->lock);
        self->ProcessHostBlock(inputs, outputs, frames, IHostBlock::OutputMode::Accumulate);
    }
}

void IEffectVST2::VSTProcessDoubleReplacing(vst2_effect* record, double** inputs, double** outputs,
                                            int32_t frames)
{
    if (IEffectVST2* self = FromRecord(record))
    {
        IPluginLock::Guard guard(self->lock);
        self->ProcessHostBlock(inputs, outputs, frames, IHostBlock::OutputMode::Replace);
    }
}

void IEffectVST2::VSTSetParameter(vst2_effect* record, int32_t index, float value)
{
    if (IEffectVST2* self = FromRecord(record))
    {
        IPluginLock::Guard guard(self->lock);
        self->SetParameterFromHost(index, value);
    }
}

float IEffectVST2::VSTGetParameter(vst2_effect* record, int32_t index)
{
    if (IEffectVST2* self = FromRecord(record))
    {
        IPluginLock::Guard guard(self->lock);
        return self->GetParameterForHost(index);
    }
    return 0.0f;
}

// ---- Dispatcher -----------------------------------------------------------------------------

intptr_t IEffectVST2::Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt)
{
    switch (opcode)
    {
    case VST2_EFF_OPEN:
        Open();
        return 0;
    case VST2_EFF_SET_PROGRAM:
        SetProgram(value);
        return 0;
    case VST2_EFF_GET_PROGRAM:
        return currentPreset;
    case VST2_EFF_SET_PROGRAM_NAME:
        SetProgramName(static_cast<const char*>(ptr));
        return 0;
    case VST2_EFF_GET_PROGRAM_NAME:
        GetProgramName(static_cast<char*>(ptr));
        return 0;
    case VST2_EFF_GET_PARAM_LABEL:
    case VST2_EFF_GET_PARAM_DISPLAY:
    case VST2_EFF_GET_PARAM_NAME:
        WriteParamText(opcode, index, static_cast<char*>(ptr));
        return 0;
    case VST2_EFF_SET_SAMPLE_RATE:
        SetSampleRate(opt);
        return 0;
    case VST2_EFF_SET_BLOCK_SIZE:
        SetBlockSize(value);
        return 0;
    case VST2_EFF_MAINS_CHANGED:
        ActivationChanged(value != 0);
        if (value == 0)
            ResetProcessing();
        return 0;
    case VST2_EFF_EDIT_GET_RECT:
    case VST2_EFF_EDIT_OPEN:
    case VST2_EFF_EDIT_CLOSE:
        return DispatchEditor(opcode, ptr);
    case VST2_EFF_EDIT_IDLE:
    case VST2_EFF_IDLE:
        AdapterIdle();
        return 0;
    case VST2_EFF_IDENTIFY:
        return VST2_IDENTIFY;
    case VST2_EFF_GET_CHUNK:
        return GetChunk(index == 0, ptr);
    case VST2_EFF_SET_CHUNK:
        return SetChunk(index == 0, value, ptr);
    case VST2_EFF_PROCESS_EVENTS:
        return ProcessEvents(ptr);
    case VST2_EFF_CAN_BE_AUTOMATED:
        return 1;
    case VST2_EFF_STRING_TO_PARAMETER:
        return StringToParameter(index, static_cast<const char*>(ptr));
    case VST2_EFF_GET_PROGRAM_NAME_INDEXED:
        return GetProgramNameIndexed(index, static_cast<char*>(ptr));
    case VST2_EFF_GET_INPUT_PROPERTIES:
        return PinProperties(true, index, ptr);
    case VST2_EFF_GET_OUTPUT_PROPERTIES:
        return PinProperties(false, index, ptr);
    case VST2_EFF_GET_PLUG_CATEGORY:
        return VST2_CATEGORY_EFFECT;
    case VST2_EFF_SET_SPEAKER_ARRANGEMENT:
        return SetSpeakerArrangement(value, ptr);
    case VST2_EFF_GET_EFFECT_NAME:
        WriteHostText(ptr, effectName, VST2_SAFE_EFFECT_NAME_CHARS);
        return ptr != nullptr ? 1 : 0;
    case VST2_EFF_GET_VENDOR_STRING:
        WriteHostText(ptr, makerName, VST2_SAFE_VENDOR_CHARS);
        return ptr != nullptr ? 1 : 0;
    case VST2_EFF_GET_PRODUCT_STRING:
        WriteHostText(ptr, productName, VST2_SAFE_VENDOR_CHARS);
        return ptr != nullptr ? 1 : 0;
    case VST2_EFF_GET_VENDOR_VERSION:
        return effect.version;
    case VST2_EFF_VENDOR_SPECIFIC:
        return VendorSpecific(index, value, ptr, opt);
    case VST2_EFF_CAN_DO:
        return CanDo(static_cast<const char*>(ptr));
    case VST2_EFF_GET_TAIL_SIZE:
        return tailSize;
    case VST2_EFF_GET_VST_VERSION:
        return VST2_VERSION;
    case VST2_EFF_GET_PARAMETER_PROPERTIES:
        return ParameterProperties(index, ptr);
    case VST2_EFF_GET_MIDI_KEY_NAME:
        return MidiKeyName(ptr);
    case VST2_EFF_GET_SPEAKER_ARRANGEMENT:
        return GetSpeakerArrangement(value, ptr);
    default:
        return 0;
    }
}

void IEffectVST2::Open()
{
    HostSpecificSetup();
    for (int i = 0; i < ParamCount(); ++i)
        ParameterChanged(i, kSourceOpening);
}

void IEffectVST2::SetSampleRate(float rate)
{
    // A rate of zero, a negative one or NaN would leave the engine undesignable.
    if (!(rate >= 1.0f) || !std::isfinite(rate))
        return;
    sampleRate = static_cast<double>(rate);
    ResetProcessing();
}

void IEffectVST2::SetBlockSize(intptr_t frames)
{
    if (frames < 1)
        return;
    // Larger host blocks are processed in slices of at most kMaxBlockSize.
    SetMaxBlockSize(static_cast<int>(std::min<intptr_t>(frames, kMaxBlockSize)));
    ResetProcessing();
}

intptr_t IEffectVST2::DispatchEditor(int32_t opcode, void* ptr)
{
    switch (opcode)
    {
    case VST2_EFF_EDIT_GET_RECT:
        return EditGetRect(ptr);
    case VST2_EFF_EDIT_OPEN:
        return EditOpen(ptr);
    case VST2_EFF_EDIT_CLOSE:
        return EditClose();
    default:
        return 0;
    }
}

intptr_t IEffectVST2::EditGetRect(void* ptr)
{
    if (ptr == nullptr || graphics == nullptr)
        return 0;
    // The same size before and after opening: the window is the scaled logical size.
    editorRect.right = static_cast<int16_t>(editorRect.left + graphics->WindowWidth());
    editorRect.bottom = static_cast<int16_t>(editorRect.top + graphics->WindowHeight());
    *static_cast<vst2_erect**>(ptr) = &editorRect;
    return 1;
}

intptr_t IEffectVST2::EditOpen(void* parent)
{
    // The parent is the host's window id (an X window on Linux); without one there is
    // nothing to open into.
    if (!CanOpenEditor() || parent == nullptr)
        return 0;
    if (graphics->OpenEditorWindow(parent) == nullptr)
        return 0;
    EditorOpened();
    return 1;
}

intptr_t IEffectVST2::EditClose()
{
    if (graphics == nullptr)
        return 0;
    EditorClosing();
    graphics->CloseEditorWindow();
    return 1;
}

intptr_t IEffectVST2::PinProperties(bool input, int32_t index, void* ptr)
{
    const int count = input ? InputChannelCount() : OutputChannelCount();
    if (ptr == nullptr || index < 0 || index >= count)
        return 0;
    auto* pin = static_cast<vst2_pin_properties*>(ptr);
    std::snprintf(pin->label, sizeof pin->label, input ? "Input %d" : "Output %d", index + 1);
    pin->flags = VST2_PIN_IS_ACTIVE;
    if (index % 2 == 0 && index < count - 1)
        pin->flags |= VST2_PIN_IS_STEREO;
    return 1;
}

intptr_t IEffectVST2::SetSpeakerArrangement(intptr_t inputs, void* outputs)
{
    const auto* in = reinterpret_cast<const vst2_speaker_arrangement*>(inputs);
    const auto* out = static_cast<const vst2_speaker_arrangement*>(outputs);
    if (in != nullptr)
        ConnectFirst(inputChannels, inputPointers, in->num_channels);
    if (out != nullptr)
        ConnectFirst(outputChannels, outputPointers, out->num_channels);
    return 1;
}

intptr_t IEffectVST2::GetSpeakerArrangement(intptr_t inputs, void* outputs)
{
    if (inputs != 0)
        *reinterpret_cast<vst2_speaker_arrangement**>(inputs) = &inputArrangement;
    if (outputs != nullptr)
        *static_cast<vst2_speaker_arrangement**>(outputs) = &outputArrangement;
    return 1;
}

intptr_t IEffectVST2::VendorSpecific(int32_t index, intptr_t value, void* ptr, float opt)
{
    const bool isParam = value >= 0 && value < ParamCount();
    if (index == 7)
    {
        if (ptr == nullptr)
            return 0;
        if (isParam)
            Param(static_cast<int>(value))
                ->FormatValue(opt, true, true, static_cast<char*>(ptr), IParameter::kTextSize);
        return kVendorSpecificAnswer;
    }
    if (index == 8)
        return isParam && Param(static_cast<int>(value))->Type() != IParameter::kTypeDouble
                   ? kVendorSpecificAnswer
                   : 0;
    return 0;
}

intptr_t IEffectVST2::CanDo(const char* feature) const
{
    static constexpr char kTimeInfo[] = "receiveVstTimeInfo";
    // Compares at most the length of our own text, so an unterminated host text is safe.
    return feature != nullptr && std::strncmp(feature, kTimeInfo, sizeof kTimeInfo) == 0 ? 1 : 0;
}

intptr_t IEffectVST2::MidiKeyName(void* ptr)
{
    if (ptr == nullptr)
        return 0;
    auto* key = static_cast<vst2_midi_key_name*>(ptr);
    key->key_name[0] = '\0';
    const bool named = NoteNameOf(key->this_key_number, key->key_name);
    key->key_name[sizeof key->key_name - 1] = '\0';
    return named ? 1 : 0;
}

intptr_t IEffectVST2::ProcessEvents(void* ptr)
{
    if (ptr == nullptr)
        return 0;
    const auto* list = static_cast<const vst2_events*>(ptr);
    for (int32_t i = 0; i < list->num_events; ++i)
    {
        const vst2_event* event = list->events[i];
        if (event == nullptr)
            continue;
        if (event->type == VST2_EVENT_MIDI)
        {
            const auto* midi = reinterpret_cast<const vst2_midi_event*>(event);
            IMidiMessage message;
            message.offset = midi->delta_frames;
            message.status = midi->midi_data[0];
            message.data1 = midi->midi_data[1];
            message.data2 = midi->midi_data[2];
            ProcessMidi(message);
        }
        else if (event->type == VST2_EVENT_SYSEX)
        {
            const auto* sysex = reinterpret_cast<const vst2_midi_sysex_event*>(event);
            ISysExMessage message;
            message.offset = sysex->delta_frames;
            message.length = sysex->dump_bytes;
            message.data = reinterpret_cast<const uint8_t*>(sysex->sysex_dump);
            ProcessSystemExclusive(message);
        }
    }
    return 1;
}

// ---- Parameters -----------------------------------------------------------------------------

void IEffectVST2::SetParameterFromHost(int32_t index, float normalised)
{
    IParameter* parameter = Param(index);
    if (parameter == nullptr)
        return;
    parameter->SetFromNormalised(normalised);
    ParameterChanged(index, kSourceHost);
}

float IEffectVST2::GetParameterForHost(int32_t index)
{
    const IParameter* parameter = Param(index);
    return parameter != nullptr ? static_cast<float>(parameter->Normalised()) : 0.0f;
}

void IEffectVST2::WriteParamText(int32_t opcode, int32_t index, char* text)
{
    const IParameter* parameter = Param(index);
    if (parameter == nullptr || text == nullptr)
        return;
    char buffer[IParameter::kTextSize] = {};
    if (opcode == VST2_EFF_GET_PARAM_LABEL)
        CopyFixedText(buffer, parameter->DisplayLabel());
    else if (opcode == VST2_EFF_GET_PARAM_DISPLAY)
        parameter->FormatValue(parameter->Value(), false, true, buffer, sizeof buffer);
    else
        CopyFixedText(buffer, parameter->Name());
    WriteHostText(text, buffer, VST2_SAFE_PARAM_TEXT_CHARS);
}

intptr_t IEffectVST2::ParameterProperties(int32_t index, void* ptr)
{
    // Only switches and lists have something to say that a host's continuous control lacks;
    // continuous parameters are left to the host's defaults (answer 0, record untouched).
    const IParameter* parameter = Param(index);
    if (parameter == nullptr || ptr == nullptr)
        return 0;
    const int type = parameter->Type();
    if (type != IParameter::kTypeBool && type != IParameter::kTypeEnum)
        return 0;
    // Exactly the 152-byte record: hosts built on a shorter declaration pass less room, never
    // more.
    vst2_parameter_properties properties;
    std::memset(&properties, 0, sizeof properties);
    CopyFixedText(properties.label, sizeof properties.label, parameter->Name());
    if (type == IParameter::kTypeBool)
    {
        properties.flags = VST2_PARAM_IS_SWITCH;
    }
    else
    {
        properties.flags = VST2_PARAM_USES_INTEGER_MIN_MAX | VST2_PARAM_USES_INT_STEP;
        properties.min_integer = static_cast<int32_t>(parameter->Min());
        properties.max_integer = static_cast<int32_t>(parameter->Max());
        properties.step_integer = 1;
        properties.large_step_integer = 1;
    }
    std::memcpy(ptr, &properties, sizeof properties);
    return 1;
}

intptr_t IEffectVST2::StringToParameter(int32_t index, const char* text)
{
    IParameter* parameter = Param(index);
    if (parameter == nullptr)
        return 0;
    if (text == nullptr)
        return 1;
    const std::string typed = ReadHostText(text, kHostTextReadLimit);
    double value = 0.0;
    if (parameter->ValueTextCount() > 0)
    {
        bool found = false;
        for (int i = 0; i < parameter->ValueTextCount() && !found; ++i)
        {
            const IValueText* entry = parameter->ValueTextAt(i);
            if (entry != nullptr && typed == entry->text)
            {
                value = entry->value;
                found = true;
            }
        }
        if (!found)
            return 0;
    }
    else
    {
        // The framework's own reading: the same in every locale a host may have set.
        value = parameter->ParseText(typed.c_str());
    }
    parameter->SetClamped(value);
    ParameterChanged(index, kSourceHost);
    return 1;
}

// ---- Programs and chunks --------------------------------------------------------------------

void IEffectVST2::SetProgram(intptr_t index)
{
    ModifyCurrentPreset(nullptr);
    if (index >= 0 && index < PresetCount())
        SelectPreset(static_cast<int>(index));
}

void IEffectVST2::SetProgramName(const char* name)
{
    if (name == nullptr)
        return;
    // Hosts send at most the nominal 24 characters, not always terminated.
    const std::string typed = ReadHostText(name, VST2_MAX_PROG_NAME_LEN);
    ModifyCurrentPreset(typed.c_str());
    PresetNameChanged();
}

void IEffectVST2::GetProgramName(char* text)
{
    GetProgramNameIndexed(currentPreset, text);
}

intptr_t IEffectVST2::GetProgramNameIndexed(int32_t index, char* text)
{
    if (text == nullptr)
        return 0;
    const bool valid = index >= 0 && index < PresetCount();
    WriteHostText(text, valid ? presets[static_cast<std::size_t>(index)]->name : "",
                  VST2_SAFE_PROGRAM_NAME_CHARS);
    return text[0] != '\0' ? 1 : 0;
}

intptr_t IEffectVST2::GetChunk(bool bank, void* ptr)
{
    if (ptr == nullptr)
        return 0;
    IByteChunk& chunk = bank ? bankChunk : programChunk;
    if (!WriteChunkHeader(chunk))
        return 0;
    bool written = false;
    if (bank)
    {
        ModifyCurrentPreset(nullptr);
        written = SerializePresets(chunk);
    }
    else
    {
        written = SerializeState(chunk);
    }
    if (!written || chunk.Size() <= 0)
        return 0;
    *static_cast<const void**>(ptr) = chunk.Data();
    return chunk.Size();
}

intptr_t IEffectVST2::SetChunk(bool bank, intptr_t size, const void* bytes)
{
    if (bytes == nullptr || size < 0 || size > kMaxChunkBytes)
        return 0;
    IByteChunk& chunk = bank ? bankChunk : programChunk;
    chunk.Clear();
    const auto length = static_cast<int32_t>(size);
    if (length > 0 && chunk.PutBytes(bytes, length) != length)
        return 0;

    StateBackup backup;
    backup.Take(*this);
    int32_t chunkVersion = 0;
    const int32_t start = ReadChunkHeader(chunk, chunkVersion);
    int32_t position = -1;
    if (start >= 0)
    {
        if (bank && chunkVersion >= kChunkVersion)
        {
            position = UnserializePresets(chunk, start);
        }
        else
        {
            position = RestoreState(chunk, start);
            if (position >= 0)
                ModifyCurrentPreset(nullptr);
        }
    }
    if (position < 0)
    {
        // A damaged chunk changes nothing: the host is told it failed and keeps the state
        // it had, rather than a half-read one.
        backup.Restore(*this);
        RefreshEditorControls();
        return 0;
    }
    RefreshEditorControls();
    return 1;
}

// ---- Processing -----------------------------------------------------------------------------

template <class Sample>
void IEffectVST2::ProcessHostBlock(Sample** inputs, Sample** outputs, int32_t frames,
                                   IHostBlock::OutputMode mode)
{
    if (frames < 1 || inputs == nullptr || outputs == nullptr)
        return;
    hostBlock.Clear(sizeof(Sample) == sizeof(double) ? IHostBlock::SampleSize::Float64
                                                     : IHostBlock::SampleSize::Float32);
    // The host's buffers go, in order, to the connected channels only; an unconnected input
    // hears silence and an unconnected output is written nowhere.
    int next = 0;
    for (int ch = 0; ch < InputChannelCount() && next < InputChannelCount(); ++ch)
        if (inputChannels[static_cast<std::size_t>(ch)]->connected)
            hostBlock.SetInput(ch, inputs[next++]);
    next = 0;
    for (int ch = 0; ch < OutputChannelCount() && next < OutputChannelCount(); ++ch)
        if (outputChannels[static_cast<std::size_t>(ch)]->connected)
            hostBlock.SetOutput(ch, outputs[next++]);
    hostBlock.Run(frames, mode, false);
}
