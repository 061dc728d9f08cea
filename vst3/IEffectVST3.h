#pragma once

#include "framework/IEffectBase.h"
#include "framework/IHostBlock.h"
#include "vst3/abi/Vst3EditController.h"
#include "vst3/abi/Vst3View.h"
#include "vst3/base/SingleComponentEffect.h"

#include <atomic>
#include <vector>

class IEffectVST3View;

/// The plug-in base as one VST3 object: component, audio processor and edit controller at
/// once, with units and MIDI mapping. The effect derives from it; the factory hands the host
/// one such object. Host calls run on the host's main thread unless marked [audio thread].
class IEffectVST3 : public IEffectBase,
                    public vst3::IUnitInfo,
                    public vst3::SingleComponentEffect,
                    public vst3::IMidiMapping
{
public:
    using tresult = vst3::tresult;

    /// Parameter id of the host-level preset selector ('prst').
    static constexpr vst3::ParamID presetParamId = 0x70727374;
    /// Parameter id of the host-level bypass ('bpas').
    static constexpr vst3::ParamID bypassParamId = 0x62706173;
    /// The host-level Bypass parameter's two texts.
    static constexpr const char* kBypassOff = "off";
    static constexpr const char* kBypassOn = "on";
    /// setState refuses streams longer than this (bytes).
    static constexpr int kMaxStateBytes = 16 * 1024 * 1024;

    explicit IEffectVST3(const IEffectConfig& config);

    VST3_FUNKNOWN_METHODS

    // IPluginBase
    tresult PLUGIN_API initialize(vst3::FUnknown* context) override;
    tresult PLUGIN_API terminate() override;

    // IComponent
    tresult PLUGIN_API activateBus(vst3::MediaType type, vst3::BusDirection dir, vst3::int32 index,
                                   vst3::TBool state) override;
    tresult PLUGIN_API setActive(vst3::TBool state) override;
    tresult PLUGIN_API setState(vst3::IBStream* state) override;
    tresult PLUGIN_API getState(vst3::IBStream* state) override;

    // IAudioProcessor
    tresult PLUGIN_API setBusArrangements(vst3::SpeakerArrangement* inputs, vst3::int32 numIns,
                                          vst3::SpeakerArrangement* outputs,
                                          vst3::int32 numOuts) override;
    tresult PLUGIN_API canProcessSampleSize(vst3::int32 symbolicSampleSize) override;
    vst3::uint32 PLUGIN_API getLatencySamples() override;
    tresult PLUGIN_API setupProcessing(vst3::ProcessSetup& setup) override;
    /// [audio thread] Applies the last point of every parameter queue, then the audio.
    tresult PLUGIN_API process(vst3::ProcessData& data) override;
    vst3::uint32 PLUGIN_API getTailSamples() override;

    // IEditController
    tresult PLUGIN_API setComponentState(vst3::IBStream* state) override;
    tresult PLUGIN_API getParamStringByValue(vst3::ParamID id, vst3::ParamValue valueNormalized,
                                             vst3::String128 string) override;
    tresult PLUGIN_API getParamValueByString(vst3::ParamID id, vst3::TChar* string,
                                             vst3::ParamValue& valueNormalized) override;
    vst3::ParamValue PLUGIN_API plainParamToNormalized(vst3::ParamID id,
                                                       vst3::ParamValue plainValue) override;
    /// Lock-free; answers for every exported parameter, Preset and Bypass included.
    vst3::ParamValue PLUGIN_API getParamNormalized(vst3::ParamID id) override;
    /// Stores the value as a block's change would: it reads back at once, and the engine and
    /// the editor follow. Echoing the selected preset does not reload it.
    tresult PLUGIN_API setParamNormalized(vst3::ParamID id, vst3::ParamValue value) override;
    vst3::IPlugView* PLUGIN_API createView(vst3::FIDString name) override;

    // IUnitInfo
    vst3::int32 PLUGIN_API getUnitCount() override;
    tresult PLUGIN_API getUnitInfo(vst3::int32 unitIndex, vst3::UnitInfo& info) override;
    vst3::int32 PLUGIN_API getProgramListCount() override;
    tresult PLUGIN_API getProgramListInfo(vst3::int32 listIndex,
                                          vst3::ProgramListInfo& info) override;
    tresult PLUGIN_API getProgramName(vst3::ProgramListID listId, vst3::int32 programIndex,
                                      vst3::String128 name) override;
    tresult PLUGIN_API getProgramInfo(vst3::ProgramListID listId, vst3::int32 programIndex,
                                      vst3::CString attributeId,
                                      vst3::String128 attributeValue) override;
    tresult PLUGIN_API hasProgramPitchNames(vst3::ProgramListID listId,
                                            vst3::int32 programIndex) override;
    tresult PLUGIN_API getProgramPitchName(vst3::ProgramListID listId, vst3::int32 programIndex,
                                           vst3::int16 midiPitch, vst3::String128 name) override;
    vst3::UnitID PLUGIN_API getSelectedUnit() override;
    tresult PLUGIN_API selectUnit(vst3::UnitID unitId) override;
    tresult PLUGIN_API getUnitByBus(vst3::int32 type, vst3::int32 dir, vst3::int32 busIndex,
                                    vst3::int32 channel, vst3::UnitID& unitId) override;
    tresult PLUGIN_API setUnitProgramData(vst3::int32 listOrUnitId, vst3::int32 programIndex,
                                          vst3::IBStream* data) override;

    // IMidiMapping
    tresult PLUGIN_API getMidiControllerAssignment(vst3::int32 busIndex, vst3::int16 channel,
                                                   vst3::CtrlNumber midiControllerNumber,
                                                   vst3::ParamID& id) override;

    // Plug-in base operations this adapter implements
    void BeginHostEdit(int index) override;
    void NotifyHostOfChange(int index, double normalised) override;
    void EndHostEdit(int index) override;
    bool SendMidi(const IMidiMessage& message) override;
    bool ShowHostParameterMenu(int index, int x, int y) override;
    bool ResizeEditor(int width, int height) override;
    bool IsOfflineRendering() override;
    int32_t HostSamplePosition() override;
    double HostTempo() override;
    void HostTimeSignature(int& numerator, int& denominator) override;
    bool HostTimeInfo(TimeInfo& info) override;
    void SetLatencySamples(int samples) override;

    /// Called by a view whose last reference goes: forgets it (first occurrence).
    void ViewClosed(IEffectVST3View* view);
    /// The open views, in creation order (not owned).
    const std::vector<IEffectVST3View*>& Views() const { return views; }
    /// Whether the editor can open a window here (the build has a window class for the
    /// platform); otherwise views answer as for an effect without an editor.
    bool HasEditorWindow() const { return graphics != nullptr && graphics->HasWindowSystem(); }

    /// Channels of the side-chain input bus (at most 2; 0 means none).
    int sideChainChannels = 2;

protected:
    ~IEffectVST3() override;

private:
    void BuildBuses();
    void ExportParameters();
    void ExportEffectParameter(int index);
    vst3::UnitID UnitFor(const IParameter& param);
    void ApplyParameterChanges(vst3::IParameterChanges& changes);
    void ApplyParameterChange(vst3::ParamID id, double value);
    /// The preset a normalised Preset value stands for (a list of PresetCount() entries), and
    /// back.
    int PresetIndexFor(double normalised) const;
    double PresetNormalised(int index) const;
    /// The Preset parameter and its program list exist (at least one preset, after initialize).
    bool HasProgramList() const { return parameters.getParameter(presetParamId) != nullptr; }
    /// Hands hostBlock each channel's buffer of the block's buses (main, side chain, outputs in
    /// bus order) and clears host outputs that no connected channel writes.
    void ResolveBuffers(const vst3::ProcessData& data, bool is64);
    int SideChainFirstChannel(int mainChannels) const;
    tresult ArrangeBuses(vst3::SpeakerArrangement* inputs, vst3::int32 numIns,
                         vst3::SpeakerArrangement* outputs, vst3::int32 numOuts);
    void ReplaceBus(vst3::BusList& list, vst3::int32 index, std::unique_ptr<vst3::AudioBus> bus);
    void ConnectInputs(int first, int count);
    void ConnectChannelsToBuses();
    bool HasEditor() const { return graphics != nullptr; }

    vst3::ProcessContext processContext{}; ///< copy of the last context a block carried
    bool hasProcessContext = false;
    std::vector<IEffectVST3View*> views;
    /// The Preset value the host last set (read back while it names the selected preset).
    std::atomic<double> presetValue{0.0};
    /// Every block's buffers, as ResolveBuffers routes the host's buses to the channels.
    IHostBlock hostBlock{*this};
};
