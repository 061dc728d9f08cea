#pragma once

#include "framework/IByteChunk.h"
#include "framework/IChannelConfig.h"
#include "framework/IEditor.h"
#include "framework/IEffectConfig.h"
#include "framework/IHostCode.h"
#include "framework/IInputChannel.h"
#include "framework/IMidiMessage.h"
#include "framework/IOutputChannel.h"
#include "framework/IParameter.h"
#include "framework/IPluginLock.h"
#include "framework/IPreset.h"
#include "framework/ISysExMessage.h"
#include "framework/TimeInfo.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

/// The plug-in base: owns the parameters, presets, channel configurations and channel
/// buffers, the identity reported to hosts, sample rate and block size, the host's identity,
/// the re-entrant plug-in lock and the attached editor. The effect overrides the processing and
/// state operations, the adapters the host-facing ones, the editor calls the parameter ones.
///
/// Fields are public: the adapters, the effect and the editor read and write them, always
/// under `lock` when a host thread is involved.
class IEffectBase
{
public:
    static constexpr int kNameSize = 128; ///< effect, product and maker names
    /// The one block-size cap: the most samples handed to ProcessChannels at once, and the
    /// largest scratch buffer. Host blocks go through IHostBlock, which splits longer ones into
    /// slices of at most this many samples (the engine's own block).
    static constexpr int kMaxBlockSize = 8192;
    static constexpr int32_t kChunkMagic = 0x70666674; ///< framework chunk header tag
    static constexpr int32_t kChunkVersion = 0x00010000;
    /// The name of a program filled from the defaults, the same in every module.
    static constexpr const char* kDefaultPresetName = "-";

    /// Parameter-change sources handed to ParameterChanged.
    static constexpr int kSourceOpening = 0; ///< VST2 module opening
    static constexpr int kSourceHost = 1;    ///< host automation or typed text
    static constexpr int kSourceState = 2;   ///< a restored state or preset
    static constexpr int kSourceEditor = 3;  ///< SetParameterFromEditor

    /// Creates the lock, identity, `paramCount` unconfigured parameters, `presetCount` presets
    /// named "empty", the channel configurations parsed from `channelConfigText` and the
    /// channels (unconnected, empty scratch buffers, null slots).
    explicit IEffectBase(const IEffectConfig& config);
    IEffectBase(const IEffectBase&) = delete;
    IEffectBase& operator=(const IEffectBase&) = delete;

    // ---- Virtual operations, in slot order -------------------------------------------------

    /// Deletes the editor first, then parameters, presets, channels, drawing context,
    /// configurations and the lock.
    virtual ~IEffectBase();
    /// Called by the adapters after a rate or block-size change and when processing stops.
    /// Base: takes and releases the lock.
    virtual void ResetProcessing();
    /// A parameter took a new value; `source` is one of the kSource* codes.
    /// Base: takes and releases the lock.
    virtual void ParameterChanged(int index, int source);
    /// Processes one block [audio thread, lock held]. `inputs` holds InputChannelCount()
    /// pointers, only read (they may be the host's own buffers), `outputs` OutputChannelCount().
    /// Base: output i copies input i (or zeros).
    virtual void ProcessChannels(const double* const* inputs, double** outputs, int frames);
    virtual void EditorOpened() {}  ///< hook: after the editor window opened [ui thread]
    virtual void EditorClosing() {} ///< hook: before the editor window closes [ui thread]
    virtual void AdapterIdle() {}   ///< hook: VST2 idle opcodes
    virtual void EditorIdle() {}    ///< hook: the editor's repaint timer [ui thread]
    /// Processing switched on or off. Base: takes and releases the lock.
    virtual void ActivationChanged(bool active);
    /// Incoming MIDI. Base: forwards the message unchanged to SendMidi.
    virtual void ProcessMidi(const IMidiMessage& message);
    virtual void ProcessSystemExclusive(const ISysExMessage& message); ///< hook
    /// Name of a note into `text` (a host buffer). Base: empties `text`, returns false.
    virtual bool NoteNameOf(int note, char* text);
    /// Appends the state to `chunk`; true on success. Base: SerializeParams.
    virtual bool SerializeState(IByteChunk& chunk);
    /// Restores the state at `position`; the position after it, or -1. Base: UnserializeParams.
    virtual int32_t RestoreState(const IByteChunk& chunk, int32_t position);
    /// True when every parameter's value equals the consecutive 64-bit floats stored at
    /// `position` (compared as 32-bit floats, within 1e-5). Unreadable data compares unequal.
    virtual bool StateEquals(const IByteChunk& data, int32_t position);
    /// Hook: the VST3 view finished a resize it had requested.
    virtual void EditorResized(int left, int top, int right, int bottom);
    /// Hook: the VST3 adapter's initialisation finished its own steps.
    virtual void PluginInitialized() {}
    /// Query: whether the editor can be resized by the host. Base: false.
    virtual bool CanResizeEditor() { return false; }
    /// Hook: the host has been identified (hostCode is set).
    virtual void HostIdentified() {}
    /// Asks the host to show its context menu for parameter `index` at editor position (x, y).
    /// Base: nothing, false.
    virtual bool ShowHostParameterMenu(int index, int x, int y);
    /// The path of every editor control: takes the lock, sets the parameter from the
    /// normalised value, tells the host (NotifyHostOfChange), then ParameterChanged(index, 3).
    /// Indices out of range are ignored. [ui thread]
    virtual void SetParameterFromEditor(int index, double normalised);
    /// Gesture start/end and value notifications to the host. Adapter-defined; base: nothing.
    virtual void BeginHostEdit(int index);
    virtual void NotifyHostOfChange(int index, double normalised);
    virtual void EndHostEdit(int index);
    virtual void NotifyHostDisplayChanged() {}
    virtual bool IsOfflineRendering() { return false; }
    /// Host transport queries. Adapter-defined; base: 0, 0.0, 4/4, false.
    virtual int32_t HostSamplePosition() { return 0; }
    virtual double HostTempo() { return 0.0; }
    virtual void HostTimeSignature(int& numerator, int& denominator);
    virtual bool HostTimeInfo(TimeInfo& info);
    /// The host's identity (NotAsked until identified). Base: `hostCode`.
    virtual IHostCode HostCode() { return hostCode; }
    virtual int ApiCode() { return apiCode; }
    /// Asks the host for a new editor size in pixels. Adapter-defined; base: false.
    virtual bool ResizeEditor(int width, int height);
    virtual void HostSpecificSetup() {} ///< hook; the VST2 module overrides it
    /// Takes ownership of the editor: under the lock, the editor creates its drawing bitmap,
    /// every control receives its parameter's normalised value, `graphics` takes the editor and
    /// the drawing context (if set) is bound to it. A null editor changes nothing.
    virtual void AttachEditor(std::unique_ptr<IEditor> editor);
    /// Sets `latency` in samples.
    virtual void SetLatencySamples(int samples);
    /// MIDI and system-exclusive output to the host. Adapter-defined; base: false.
    virtual bool SendMidi(const IMidiMessage& message);
    virtual bool SendSystemExclusive(const ISysExMessage& message);
    /// Marks every parameter for the attached editor, whose timer then shows their values.
    /// Lock-free and allocation-free: fine on the audio thread.
    virtual void RefreshEditorControls();
    virtual void PresetSelected() {}    ///< hook: SelectPreset succeeded
    virtual void PresetNameChanged() {} ///< hook: the host renamed the current preset
    /// Resizes every scratch buffer to `frames` zeroed samples when `frames` differs from
    /// `blockSize` (held within 0..kMaxBlockSize); slots on a scratch buffer follow it. When
    /// memory runs out nothing changes. Takes the lock.
    /// Allocates: never call it from the audio thread.
    virtual void SetMaxBlockSize(int frames);

    // ---- Non-virtual operations ------------------------------------------------------------

    /// True when a channel configuration matches both numbers; a negative number matches any.
    bool LegalIO(int inputs, int outputs) const;
    /// The parameter at `index`, or null for an index out of range.
    IParameter* Param(int index);
    const IParameter* Param(int index) const;
    int ParamCount() const { return static_cast<int>(params.size()); }
    int PresetCount() const { return static_cast<int>(presets.size()); }
    int InputChannelCount() const { return static_cast<int>(inputChannels.size()); }
    int OutputChannelCount() const { return static_cast<int>(outputChannels.size()); }

    /// 64-bit host buffers [audio thread]: each of the first `count` input channels that is
    /// connected, in order, takes the next host pointer as its slot (a null host pointer
    /// leaves the slot on the scratch buffer). `frames` is not needed for the 64-bit path.
    void AttachInputs(const double* const* hostPointers, int count, int frames);
    void AttachOutputs(double* const* hostPointers, int count, int frames);
    /// 32-bit host buffers [audio thread]: each of the first `count` connected input channels,
    /// in order, converts the next host buffer into its scratch buffer and its slot points
    /// there. At most the scratch size (blockSize) is converted; returns the frames converted.
    /// Adapters split larger blocks.
    int AttachInputsConverted(const float* const* hostPointers, int count, int frames);
    /// Each connected output channel, in order, processes into its scratch buffer and remembers
    /// the next of `count` host buffers.
    void AttachOutputsConverted(float** hostPointers, int count);
    /// Stores (or adds) each connected output's scratch samples into its remembered host
    /// buffer, as 32-bit floats, at most the scratch size; returns the frames written.
    int WriteConvertedOutputs(int frames);
    int AccumulateConvertedOutputs(int frames);
    /// ProcessChannels(inputPointers, outputPointers, frames).
    void ProcessAttached(int frames);
    /// Output i copies the samples behind input slot i (or zeros when there is no input i).
    void PassThrough(int frames);
    /// The first n channels of each kind become connected, the rest unconnected (their slot
    /// pointing at their scratch buffer).
    void SetChannelConnections(int connectedInputs, int connectedOutputs);

    /// Host identity code for a host name (case-insensitive substring search, table order).
    static IHostCode HostCodeFromName(const char* name);
    /// hostCode = HostCodeFromName(name).
    void IdentifyHost(const char* name);

    /// Deletes the editor, then the drawing context. The effect calls this first in its
    /// destructor, so controls never outlive what they draw; the base destructor calls it too.
    void ReleaseEditor();
    /// Gives the base the editor's drawing context (owned; bound by AttachEditor).
    void SetDrawingContext(std::unique_ptr<IDrawingContext> context);

    // ---- State, presets and chunks ---------------------------------------------------------

    /// Binary parameter format: count, then each plain value. True when everything was written.
    bool SerializeParams(IByteChunk& chunk);
    /// Reads the binary parameter format at `position`; every parameter then gets
    /// ParameterChanged(i, 2). Returns the position after the data, or -1.
    int32_t UnserializeParams(const IByteChunk& chunk, int32_t position);
    /// Selects preset `index`: restores an initialised one, or captures the current state into
    /// an uninitialised one named "user preset <k>". False for a bad index or failure.
    bool SelectPreset(int index);
    /// Selects initialised preset `index` by copying its captured values into the parameters
    /// (every parameter then gets ParameterChanged(i, 2)). False, changing nothing, for a bad
    /// index or a preset holding no state. Allocation-free: the audio thread's preset change.
    bool RecallPreset(int index);
    /// The first uninitialised preset is named kDefaultPresetName and captures the current
    /// state.
    void CaptureDefaultPreset();
    /// `count` times, the first uninitialised preset is named `name` (kDefaultPresetName when
    /// null or empty) and captures the current state.
    void CaptureDefaultPresets(const char* name, int count);
    /// Stores the current state into the current preset; a non-empty `name` renames it.
    void ModifyCurrentPreset(const char* name);
    /// Preset bank: per preset, name string, initialised byte, state bytes when initialised.
    bool SerializePresets(IByteChunk& chunk);
    /// Reads a preset bank at `position`, then selects the current preset. A preset whose
    /// state cannot be read keeps its flag and state; one that cannot be recaptured is left
    /// uninitialised.
    /// Returns the last position, or -1.
    int32_t UnserializePresets(const IByteChunk& chunk, int32_t position);
    /// Clears `chunk` and writes the framework header (tag, version 1.0.0). True on success.
    static bool WriteChunkHeader(IByteChunk& chunk);
    /// Reads an optional framework header: returns where the payload starts (8 with a header,
    /// 0 without, -1 for a header cut short) and sets `version` (0 without a header).
    static int32_t ReadChunkHeader(const IByteChunk& chunk, int32_t& version);

    // ---- Fields ----------------------------------------------------------------------------

    std::vector<IChannelConfig> channelConfigs;
    IPluginLock lock;
    char effectName[kNameSize] = {};
    char productName[kNameSize] = {};
    char makerName[kNameSize] = {};
    int32_t uniqueId = 0;
    int32_t makerId = 0;
    int32_t version = 0;
    int32_t apiCode = 0; ///< 1 in the VST3 module, 0 in the VST2 module
    IHostCode hostCode = IHostCode::NotAsked;
    int32_t hostVersion = 0;               ///< (major << 16) | (minor << 8) | patch
    std::atomic<bool> bypassed{false};     ///< read by host controller threads without the lock
    std::atomic<int32_t> currentPreset{0}; ///< read by host controller threads without the lock
    double sampleRate = 44100.0;           ///< Hz
    int32_t blockSize = 0;                 ///< samples the scratch buffers hold
    int32_t latency = 0;                   ///< samples
    int32_t tailSize = 0;                  ///< samples
    std::unique_ptr<IDrawingContext> drawingContext;
    std::unique_ptr<IEditor> graphics;
    std::vector<std::unique_ptr<IParameter>> params;
    std::vector<std::unique_ptr<IPreset>> presets;
    std::vector<const double*> inputPointers;
    std::vector<double*> outputPointers;
    std::vector<std::unique_ptr<IInputChannel>> inputChannels;
    std::vector<std::unique_ptr<IOutputChannel>> outputChannels;

    // Used by the VST3 adapter only.
    bool isInstrument = false;
    bool handlesMidi = false;
    std::vector<std::string> unitNames;
    std::vector<std::string> inputBusLabels;
    std::vector<std::string> outputBusLabels;

private:
    void ParseChannelConfigs(const char* text);
    void CreateChannels();
    /// Clears the preset's chunk and fills it with SerializeState; true on success.
    bool CaptureInto(IPreset& preset);
    IPreset* FirstUninitialisedPreset();
    /// Names the preset, marks it initialised and captures the state; on failure the preset
    /// is left uninitialised with an empty chunk. True on success.
    bool InitialisePreset(IPreset& preset, const char* name);
};
