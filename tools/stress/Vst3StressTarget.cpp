#include "Vst3StressTarget.h"

using namespace vst3;

Vst3StressTarget::Vst3StressTarget(const std::string& bundle) : StressTarget("VST3", false)
{
    if (!module.Load(bundle))
        return;
    plugin = std::make_unique<Vst3Plugin>("Verdigrix Stress");
    if (!plugin->Create(module.Factory()))
        return;
    for (const ParameterInfo& info : plugin->Parameters())
    {
        if (info.flags & ParameterInfo::kIsBypass)
            bypassId = info.id;
        if (info.flags & ParameterInfo::kIsProgramChange)
        {
            presetId = info.id;
            presetSteps = info.stepCount;
        }
    }
    failed = false;
}

bool Vst3StressTarget::Configure(double sampleRate, int maxBlock, bool doubles, bool side)
{
    sideChain = side;
    return plugin->Start(sampleRate, maxBlock, doubles ? kSample64 : kSample32, side);
}

void Vst3StressTarget::SetActive(bool active)
{
    plugin->Component()->setActive(active ? 1 : 0);
}

void Vst3StressTarget::Automate(int param, double normalised, int offset)
{
    plugin->QueueParameter(static_cast<ParamID>(param), normalised, offset);
}

void Vst3StressTarget::SetBypass(bool bypassed)
{
    plugin->QueueParameter(bypassId, bypassed ? 1.0 : 0.0);
}

void Vst3StressTarget::SelectPreset(int index)
{
    plugin->QueueParameter(presetId, presetSteps > 0 ? static_cast<double>(index) / presetSteps : 0.0);
}

bool Vst3StressTarget::Process(float* const* in32, float* const* out32, double* const* in64,
                               double* const* out64, int frames, bool doubles)
{
    const bool side = sideChain;
    if (doubles)
        return plugin->Process(in64, side ? in64 + 2 : nullptr, const_cast<double**>(out64),
                               frames) == kResultOk;
    return plugin->Process(in32, side ? in32 + 2 : nullptr, const_cast<float**>(out32), frames) ==
           kResultOk;
}

bool Vst3StressTarget::SaveState(std::vector<uint8_t>& bytes)
{
    std::vector<char> state;
    if (!plugin->GetState(state))
        return false;
    bytes.assign(state.begin(), state.end());
    return true;
}

bool Vst3StressTarget::LoadState(const std::vector<uint8_t>& bytes)
{
    return plugin->SetState(std::vector<char>(bytes.begin(), bytes.end()));
}

double Vst3StressTarget::PlainValue(int param)
{
    IEditController& c = *plugin->Controller();
    const auto id = static_cast<ParamID>(param);
    return c.normalizedParamToPlain(id, c.getParamNormalized(id));
}
