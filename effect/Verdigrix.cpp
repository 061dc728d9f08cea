#include "effect/Verdigrix.h"

#include "effect/StateDocument.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

namespace
{
// The adapters hand the effect at most the base's block-size cap at once: the engine's block.
static_assert(IEffectBase::kMaxBlockSize <= AudioProcessor::kMaxChainSamples);

/// ln(10) / 20 to 13 digits, as the saved sound was tuned with it; 0 dB gives exactly 1.
constexpr double kDecibelToNeper = 0.1151292546497;

enum class Kind
{
    Enumeration,
    Toggle,
    Range
};

struct ValueTextRow
{
    int value;
    const char* text;
};

struct ParameterRow
{
    const char* name;
    Kind kind;
    double defaultValue;
    double min;
    double max;
    double step;
    const char* label;
    std::span<const ValueTextRow> valueTexts; ///< enumerations only; toggles get off/on
};

constexpr ValueTextRow kSourceTexts[] = {{0, "Noise"}, {1, "Stereo Noise"}, {2, "Sine"},
                                         {3, "Saw"},   {4, "Square"},       {5, "Ext. input"}};
// The menu lists the entries in this order: low, high, then band pass.
constexpr ValueTextRow kFilterTexts[] = {{0, "Low Pass"}, {2, "High Pass"}, {1, "Band Pass"}};

// Enumerations and toggles step by 0.1, so a host's normalised value can leave a fraction;
// the change handler truncates enumerations and compares toggles with 0.5.
const std::array<ParameterRow, Verdigrix::kParamCount> kParameterTable = {{
    {"Source Type", Kind::Enumeration, 0, 0, 5, 0.1, "", kSourceTexts},
    {"Filter Type", Kind::Enumeration, 1, 0, 2, 0.1, "", kFilterTexts},
    {"Filter Frequency", Kind::Range, 2500, 300, 18000, 1, "Hz", {}},
    {"Filter Q", Kind::Range, 1, 0.1, 4, 0.1, "", {}},
    {"Effect Amount", Kind::Range, 100, 0, 100, 1, "%", {}},
    {"Follow Pitch", Kind::Toggle, 0, 0, 1, 0.1, "", {}},
    {"Input level", Kind::Range, 0, -15, 15, 0.1, "dB", {}},
    {"Output level", Kind::Range, 0, -15, 15, 0.1, "dB", {}},
    {"Bypass", Kind::Toggle, 0, 0, 1, 0.1, "", {}},
    {"Analog Saturation", Kind::Toggle, 1, 0, 1, 0.1, "", {}},
}};

void Configure(IParameter& parameter, const ParameterRow& row)
{
    switch (row.kind)
    {
    case Kind::Enumeration:
        parameter.ConfigureChoice(row.name, static_cast<int>(row.defaultValue),
                                  static_cast<int>(row.max) + 1, row.label);
        for (const ValueTextRow& entry : row.valueTexts)
            parameter.AddValueText(entry.value, entry.text);
        break;
    case Kind::Toggle:
        parameter.ConfigureToggle(row.name, row.defaultValue >= 0.5);
        break;
    case Kind::Range:
        parameter.ConfigureRange(row.name, row.defaultValue, row.min, row.max, row.step, row.label,
                                 1.0);
        break;
    }
}

IEffectConfig MakeConfig()
{
    IEffectConfig config;
    config.paramCount = Verdigrix::kParamCount;
    config.presetCount = Verdigrix::kPresetCount;
    config.channelConfigText = Verdigrix::kChannelConfigs;
    config.effectName = Verdigrix::kEffectName;
    config.makerName = Verdigrix::kMakerName;
    config.uniqueId = FourCharCode(product::kPluginCode);
    config.makerId = FourCharCode(product::kMakerCode);
    config.version = Verdigrix::kVersion;
    return config;
}

/// A host's rate truncated to whole hertz. Rates no engine can run at (not finite, or out of
/// the int range) are held to what the engine accepts rather than cast undefined.
int WholeHertz(double rate)
{
    if (!std::isfinite(rate))
        return 0;
    return static_cast<int>(
        std::clamp(rate, 0.0, static_cast<double>(AudioProcessor::kMaxSampleRate)));
}

void CopySamples(const double* from, double* to, int frames)
{
    if (from != to)
        std::memmove(to, from, sizeof(double) * static_cast<size_t>(frames));
}
} // namespace

Verdigrix::Verdigrix(VerdigrixHost host) : VerdigrixBase(host, MakeConfig()), filters(engine)
{
    for (auto& channel : scratch)
        channel = std::make_unique<double[]>(AudioProcessor::kMaxChainSamples);
    ConfigureParameters();
    BuildEditor();
    // The VST3 module keeps its one program as "-", holding the defaults; the VST2 module's
    // entry point fills its programs itself.
    if (ApiCode() == kApiVst3)
        CaptureDefaultPreset();
}

Verdigrix::~Verdigrix()
{
    // The editor's controls may point into the engine, which goes before the base does.
    ReleaseEditor();
}

void Verdigrix::ConfigureParameters()
{
    for (int i = 0; i < kParamCount; ++i)
        Configure(*Param(i), kParameterTable[static_cast<size_t>(i)]);
}

// ---- Parameters ----------------------------------------------------------------------------

void Verdigrix::ParameterChanged(int index, int /*source*/)
{
    IPluginLock::Guard guard(lock);
    if (Param(index) == nullptr)
        return;
    ApplyToEngine(index);
    UpdateEditorForParameter(index);
    // Only a mark: the editor's timer shows the value, never the thread that changed it.
    if (graphics)
        graphics->MarkParameterChanged(index);
}

void Verdigrix::ApplyToEngine(int index)
{
    const IParameter& parameter = *Param(index);
    const double value = parameter.Value();
    switch (index)
    {
    case kSourceType:
        engine.sourceType = parameter.IntValue();
        break;
    case kFilterType:
        engine.filterType = filters.Install(engine, parameter.IntValue());
        engine.updateFilter();
        break;
    case kFilterFrequency:
        engine.frequency = value;
        engine.updateFilter();
        engine.setOscillatorFrequencies(value);
        break;
    case kFilterQ:
        engine.q = value;
        engine.updateFilter();
        break;
    case kEffectAmount:
        engine.amount = 0.5 * parameter.Normalised();
        break;
    case kFollowPitch:
        engine.followPitch = parameter.BoolValue();
        // Leaving pitch following puts the filter back on the parameter's frequency.
        if (!engine.followPitch)
            engine.updateFilter();
        engine.setOscillatorFrequencies(engine.frequency);
        break;
    case kInputLevel:
        engine.inputGain = std::exp(value * kDecibelToNeper);
        break;
    case kOutputLevel:
        engine.outputGain = std::exp(value * kDecibelToNeper);
        break;
    case kBypass:
        engine.bypass = parameter.BoolValue();
        break;
    case kAnalogSaturation:
        engine.saturation = parameter.BoolValue();
        break;
    default:
        break;
    }
}

// ---- Lifecycle and processing --------------------------------------------------------------

void Verdigrix::ResetProcessing()
{
    IPluginLock::Guard guard(lock);
    engine.setSampleRate(WholeHertz(sampleRate));
    engine.setOversampling(1);
    // The sine and square keep the step they were tuned with at the old rate: a host that
    // loads a state and then starts at another rate would hear them off pitch until the
    // next frequency change. Oscillators never tuned stay silent, as before.
    if (engine.sine.periodSamples > 0)
        engine.setOscillatorFrequencies(engine.sine.frequency);
    UpdateEditorAfterReset();
}

void Verdigrix::ProcessChannels(const double* const* inputs, double** outputs, int frames)
{
    if (frames < 1 || inputs == nullptr || outputs == nullptr || outputs[0] == nullptr ||
        outputs[1] == nullptr)
        return;
    if (inputs[0] == nullptr || inputs[1] == nullptr)
    {
        std::fill_n(outputs[0], frames, 0.0);
        std::fill_n(outputs[1], frames, 0.0);
        return;
    }

    const double* sideLeft = InputChannelCount() > 2 ? inputs[2] : nullptr;
    const double* sideRight = InputChannelCount() > 3 ? inputs[3] : nullptr;
    // Only the main input's right channel decides: without it the host feeds a mono
    // configuration, and the side chain's first channel serves both sides.
    const bool stereoSideChain = inputChannels.size() >= 2 && inputChannels[1]->connected;
    engine.sidechain = {sideLeft, stereoSideChain ? sideRight : sideLeft};

    // Writing the main input into an output must not destroy an input still to be read:
    // the other main channel or a side-chain channel sharing that buffer.
    const auto clobbers = [&](const double* output, const double* ownInput)
    {
        const double* later[] = {inputs[0], inputs[1], engine.sidechain[0], engine.sidechain[1]};
        return std::any_of(std::begin(later), std::end(later),
                           [&](const double* in) { return in == output && in != ownInput; });
    };
    if (outputs[0] == outputs[1] || clobbers(outputs[0], inputs[0]) ||
        clobbers(outputs[1], inputs[1]))
        ProcessInScratch(inputs, outputs, frames);
    else
        ProcessInOutputs(inputs, outputs, frames);

    engine.sidechain = {nullptr, nullptr};
    UpdateEditorAfterBlock();
}

void Verdigrix::ProcessInOutputs(const double* const* inputs, double** outputs, int frames)
{
    CopySamples(inputs[1], outputs[1], frames);
    CopySamples(inputs[0], outputs[0], frames);
    engine.runBlock(outputs, frames);
}

void Verdigrix::ProcessInScratch(const double* const* inputs, double** outputs, int frames)
{
    const std::array<const double*, 2> side = engine.sidechain;
    double* work[2] = {scratch[0].get(), scratch[1].get()};
    for (int done = 0; done < frames; done += AudioProcessor::kMaxChainSamples)
    {
        const int n = std::min(AudioProcessor::kMaxChainSamples, frames - done);
        std::copy_n(inputs[1] + done, n, work[1]);
        std::copy_n(inputs[0] + done, n, work[0]);
        engine.sidechain = {side[0] ? side[0] + done : nullptr, side[1] ? side[1] + done : nullptr};
        engine.runBlock(work, n);
        // Output 0 last, so it wins when a host hands the same buffer for both.
        std::copy_n(work[1], n, outputs[1] + done);
        std::copy_n(work[0], n, outputs[0] + done);
    }
    engine.sidechain = side;
}

// ---- State ---------------------------------------------------------------------------------

bool Verdigrix::SerializeState(IByteChunk& chunk)
{
    IPluginLock::Guard guard(lock);
    std::array<StateDocument::Entry, kParamCount> entries;
    for (int i = 0; i < kParamCount; ++i)
        entries[static_cast<size_t>(i)] = {Param(i)->Name(), Param(i)->Value()};
    const std::string text = StateDocument::Write(entries);
    if (text.empty())
        return false;
    return chunk.PutString(std::string_view(text)) > 0;
}

int32_t Verdigrix::RestoreState(const IByteChunk& chunk, int32_t position)
{
    IPluginLock::Guard guard(lock);
    std::string text;
    const int32_t end = chunk.GetString(position, text);

    std::array<std::string_view, kParamCount> names;
    for (int i = 0; i < kParamCount; ++i)
        names[static_cast<size_t>(i)] = Param(i)->Name();
    const bool read = StateDocument::Read(
        text, names, [this](int index, double value) { Param(index)->SetClamped(value); });
    if (!read)
        return UnserializeParams(chunk, position);

    for (int i = 0; i < ParamCount(); ++i)
        ParameterChanged(i, kSourceState);
    return end;
}

// ---- Editor steps --------------------------------------------------------------------------
// BuildEditor and the editor steps of the change handler, reset and block processing live in
// effect/VerdigrixEditor.cpp.
