#pragma once

#include "framework/IEffectBase.h"
#include "framework/IHostBlock.h"
#include "vst2/abi/vst2_abi.h"

#include <cstdint>
#include <vector>

/// The VST 2.4 adapter: a plug-in base that fills the effect record a VST2 host receives from
/// the entry point, answers the host's dispatcher calls and runs the processing and parameter
/// entries. Every entry from the host holds the plug-in lock for its whole run.
///
/// The host owns the object through the record: effClose deletes it.
class IEffectVST2 : public IEffectBase
{
public:
    /// Scratch size before the host announces its block size.
    static constexpr int kDefaultBlockSize = 1024;
    /// Chunks larger than this given to effSetChunk are refused outright.
    static constexpr intptr_t kMaxChunkBytes = 64 * 1024 * 1024;

    /// Fills the effect record (counts, flags, identity, entries), builds the speaker
    /// arrangements, connects every channel and sizes the scratch buffers.
    /// `hostCallback` may be null (the module then runs without a host).
    IEffectVST2(const IEffectConfig& config, vst2_host_callback hostCallback);
    ~IEffectVST2() override;

    /// The entry point's last step, under the module's creation lock: the presets are
    /// captured under the default program name and the record reports at least one program.
    void PrepareForHost();

    /// The record handed to the host; it lives at a fixed address as long as the object.
    vst2_effect* EffectRecord() { return &effect; }

    /// The object behind a record, or null when the record or its object is null.
    static IEffectVST2* FromRecord(vst2_effect* record);

    // ---- IEffectBase operations this adapter defines --------------------------------------

    /// Asks the host once: product name (33), and version (34) when the name is not empty.
    IHostCode HostCode() override;
    void BeginHostEdit(int index) override;
    void NotifyHostOfChange(int index, double normalised) override;
    void EndHostEdit(int index) override;
    void NotifyHostDisplayChanged() override;
    /// True while the host reports offline rendering (audioMasterGetCurrentProcessLevel 4).
    bool IsOfflineRendering() override;
    /// Transport queries through audioMasterGetTime; only fields the host marks valid are
    /// read. Without an answer: 0, 0.0, 4/4 and false.
    int32_t HostSamplePosition() override;
    double HostTempo() override;
    void HostTimeSignature(int& numerator, int& denominator) override;
    bool HostTimeInfo(TimeInfo& info) override;
    /// Sends one MIDI event to the host; true when the host accepted it (returned 1).
    bool SendMidi(const IMidiMessage& message) override;
    /// Runs once per object (effOpen): host identification, the channel changes some hosts
    /// need, the reported channel counts, then HostIdentified().
    void HostSpecificSetup() override;
    /// The base steps, then the record announces the editor and `editorRect` takes its size.
    void AttachEditor(std::unique_ptr<IEditor> editor) override;
    void SetLatencySamples(int samples) override;
    /// Keeps `editorRect` in step and asks the host to resize its frame.
    bool ResizeEditor(int width, int height) override;

    // ---- Fields ----------------------------------------------------------------------------

    vst2_host_callback hostCallback = nullptr;
    vst2_speaker_arrangement inputArrangement{};
    vst2_speaker_arrangement outputArrangement{};
    vst2_erect editorRect{};
    bool hostSetupDone = false;
    IByteChunk programChunk; ///< what effGetChunk handed out (or effSetChunk received)
    IByteChunk bankChunk;
    vst2_effect effect{};

private:
    // C entries of the record: recover the object, take the lock, forward.
    static intptr_t VSTDispatcher(vst2_effect* record, int32_t opcode, int32_t index,
                                  intptr_t value, void* ptr, float opt);
    static void VSTProcessReplacing(vst2_effect* record, float** inputs, float** outputs,
                                    int32_t frames);
    static void VSTProcessAccumulating(vst2_effect* record, float** inputs, float** outputs,
                                       int32_t frames);
    static void VSTProcessDoubleReplacing(vst2_effect* record, double** inputs, double** outputs,
                                          int32_t frames);
    static void VSTSetParameter(vst2_effect* record, int32_t index, float value);
    static float VSTGetParameter(vst2_effect* record, int32_t index);

    intptr_t Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);
    intptr_t HostCall(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                      float opt = 0.0f);
    /// Whether the attached editor can open a window in this build.
    bool CanOpenEditor() const;
    /// The editor opcodes (rectangle, open, close), called without the plug-in lock.
    intptr_t DispatchEditor(int32_t opcode, void* ptr);
    /// The host's time record with the fields asked for, or null.
    const vst2_time_info* HostTime(int32_t wanted);

    void Open();
    void SetSampleRate(float rate);
    void SetBlockSize(intptr_t frames);
    intptr_t EditGetRect(void* ptr);
    intptr_t EditOpen(void* parent);
    intptr_t EditClose();
    intptr_t PinProperties(bool input, int32_t index, void* ptr);
    intptr_t SetSpeakerArrangement(intptr_t inputs, void* outputs);
    intptr_t GetSpeakerArrangement(intptr_t inputs, void* outputs);
    intptr_t VendorSpecific(int32_t index, intptr_t value, void* ptr, float opt);
    intptr_t CanDo(const char* feature) const;
    intptr_t MidiKeyName(void* ptr);
    intptr_t ProcessEvents(void* ptr);

    void SetParameterFromHost(int32_t index, float normalised);
    float GetParameterForHost(int32_t index);
    void WriteParamText(int32_t opcode, int32_t index, char* text);
    intptr_t StringToParameter(int32_t index, const char* text);
    /// effGetParameterProperties: switches and integer ranges for toggles and enumerations.
    intptr_t ParameterProperties(int32_t index, void* ptr);

    void SetProgram(intptr_t index);
    void SetProgramName(const char* name);
    void GetProgramName(char* text);
    intptr_t GetProgramNameIndexed(int32_t index, char* text);
    intptr_t GetChunk(bool bank, void* ptr);
    intptr_t SetChunk(bool bank, intptr_t size, const void* bytes);

    /// One processing entry's block (32- or 64-bit samples) through hostBlock.
    template <class Sample>
    void ProcessHostBlock(Sample** inputs, Sample** outputs, int32_t frames,
                          IHostBlock::OutputMode mode);

    IHostBlock hostBlock{*this};
};
