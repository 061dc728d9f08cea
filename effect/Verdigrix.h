#pragma once

#include "VerdigrixBase.h" // the base of the target that builds the effect (plain, VST3 or VST2)

#include "ProductIdentity.h"
#include "dsp/AudioPlugin.h"
#include "effect/ModulationFilterSet.h"

#include <cstdint>
#include <memory>

class ICairoControlXY;

/// The Verdigrix effect: roughens a stereo signal by amplitude-modulating it with noise, an
/// oscillator or the side chain, through a resonant filter that can follow the input's pitch.
///
/// The same source builds on every base: the target that compiles it puts the folder holding
/// its VerdigrixBase.h first on the include path (see effect/CMakeLists.txt).
///
/// Threads: every operation runs under the plug-in lock; ProcessChannels on the host's audio
/// thread (lock held by the adapter), the others on whatever thread the host or editor uses.
class Verdigrix : public VerdigrixBase
{
public:
    /// Parameter indices. Hosts, stored chunks and the editor address parameters by index:
    /// never reorder them.
    enum ParamId
    {
        kSourceType = 0,
        kFilterType,
        kFilterFrequency,
        kFilterQ,
        kEffectAmount,
        kFollowPitch,
        kInputLevel,
        kOutputLevel,
        kBypass,
        kAnalogSaturation,
        kParamCount
    };

    /// Identity handed to the plug-in base.
    static constexpr const char* kEffectName = product::kName;
    static constexpr const char* kMakerName = product::kVendor;
    static constexpr int32_t kVersion = product::kVersion;
    static constexpr const char* kChannelConfigs = "1-1 2-1 3-1 2-2 3-2 4-2";
    static constexpr int kPresetCount = 1;
    /// The adapter code of the VST3 module, whose effect captures its default preset itself.
    static constexpr int kApiVst3 = 1;

    /// Builds the parameters, the engine and the editor; in the VST3 module also the default
    /// preset. The engine keeps its own construction values until the parameters reach it
    /// through ParameterChanged (the adapters load a state or announce every parameter when
    /// a host opens the effect).
    explicit Verdigrix(VerdigrixHost host = {});
    ~Verdigrix() override;

    /// Designs the engine for the base's sample rate (truncated to whole hertz): oversampling
    /// factor 1, modulation filter, pitch window and oscillators. Takes the lock.
    void ResetProcessing() override;

    /// Routes parameter `index`'s current value into the engine and marks it for the editor.
    /// `source` is not used. Takes the lock.
    /// Allocation-free, so host automation may call it from inside processing.
    void ParameterChanged(int index, int source) override;

    /// Processes one block [audio thread, lock held]. inputs[0..1] are the main stereo input,
    /// inputs[2..3] the side chain; outputs[0..1] receive the result. Host input buffers are
    /// never written, and any output may be the same buffer as any input. Blocks of any
    /// length; `frames` < 1 touches nothing. Allocation-free.
    void ProcessChannels(const double* const* inputs, double** outputs, int frames) override;

    /// Appends the state document (a 32-bit length and the JSON text) to `chunk`. True when
    /// the chunk is non-empty afterwards. Takes the lock.
    bool SerializeState(IByteChunk& chunk) override;

    /// Restores a state document at `position` and announces every parameter with source 2.
    /// Returns the position after the document (-1 when its length cannot be read). Bytes that
    /// are no readable document are read as the binary parameter format instead. Never
    /// throws; parameters always stay within their ranges. Takes the lock.
    int32_t RestoreState(const IByteChunk& chunk, int32_t position) override;

    /// The signal engine. Written only under the plug-in lock.
    AudioPlugin engine;
    /// The XY pad's position in the editor's control list (6).
    int padIndex = -1;

private:
    void ConfigureParameters();
    void ApplyToEngine(int index);
    /// Runs the engine on the outputs, which first receive the main inputs.
    void ProcessInOutputs(const double* const* inputs, double** outputs, int frames);
    /// Runs the engine on the effect's own buffers, for hosts whose output buffers coincide
    /// with an input other than the output's own main input.
    void ProcessInScratch(const double* const* inputs, double** outputs, int frames);

    // ---- Editor steps (effect/VerdigrixEditor.cpp) ------------------------------------------
    /// Builds the editor and attaches it to the plug-in base.
    void BuildEditor();
    /// The editor's reaction to a parameter change (graying, pad flags).
    void UpdateEditorForParameter(int index);
    /// The editor's reaction to a reset (the pad's filter and sample rate).
    void UpdateEditorAfterReset();
    /// The editor's reaction to a processed block (redraw the pad).
    void UpdateEditorAfterBlock();
    /// The XY pad, found through `padIndex`; null without an editor.
    ICairoControlXY* Pad() const;
    /// SetGrayed on every control bound to `parameterIndex`.
    void GrayControlsOf(int parameterIndex, bool grayed);

    /// One filter per Filter Type, so type changes never allocate.
    ModulationFilterSet filters;
    /// Main channels for hosts whose buffers overlap awkwardly (see ProcessInScratch).
    std::unique_ptr<double[]> scratch[2];
};
