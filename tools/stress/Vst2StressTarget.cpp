#include "Vst2StressTarget.h"

#include <cstdio>
#include <cstdlib>

namespace
{
constexpr int kBypassParam = 8;
}

Vst2StressTarget::Vst2StressTarget(const std::string& path) : StressTarget("VST2", true)
{
    module = Vst2Module::Load(path);
    if (module != nullptr)
        host = Vst2Instance::Create(module->Entry());
    failed = host == nullptr;
}

bool Vst2StressTarget::Configure(double sampleRate, int maxBlock, bool, bool)
{
    if (!opened)
    {
        host->Start(sampleRate, maxBlock);
        opened = true;
        return true;
    }
    host->Stop();
    host->Dispatch(VST2_EFF_SET_SAMPLE_RATE, 0, 0, nullptr, static_cast<float>(sampleRate));
    host->Dispatch(VST2_EFF_SET_BLOCK_SIZE, 0, maxBlock);
    host->Dispatch(VST2_EFF_MAINS_CHANGED, 0, 1);
    return true;
}

void Vst2StressTarget::SetActive(bool active)
{
    host->Dispatch(VST2_EFF_MAINS_CHANGED, 0, active ? 1 : 0);
}

void Vst2StressTarget::Automate(int param, double normalised, int)
{
    host->SetParameter(param, static_cast<float>(normalised));
}

void Vst2StressTarget::SetBypass(bool bypassed)
{
    // The effect's own Bypass parameter, by its value text as a generic editor sets it.
    char text[8];
    std::snprintf(text, sizeof text, "%s", bypassed ? "on" : "off");
    if (host->Dispatch(VST2_EFF_STRING_TO_PARAMETER, kBypassParam, 0, text) != 1)
        host->SetParameter(kBypassParam, bypassed ? 1.0f : 0.0f);
}

void Vst2StressTarget::SelectPreset(int index)
{
    host->Dispatch(VST2_EFF_SET_PROGRAM, 0, index);
}

bool Vst2StressTarget::Process(float* const* in32, float* const* out32, double* const* in64,
                               double* const* out64, int frames, bool doubles)
{
    if (doubles)
        host->ProcessDoubleReplacing(const_cast<double**>(in64), const_cast<double**>(out64),
                                     frames);
    else
        host->ProcessReplacing(const_cast<float**>(in32), const_cast<float**>(out32), frames);
    return true;
}

bool Vst2StressTarget::SaveState(std::vector<uint8_t>& bytes)
{
    bytes = host->GetChunk(false);
    return !bytes.empty();
}

bool Vst2StressTarget::LoadState(const std::vector<uint8_t>& bytes)
{
    return host->SetChunk(false, bytes.data(), bytes.size()) == 1;
}

double Vst2StressTarget::PlainValue(int param)
{
    // Input and output level and Filter Q are linear over their ranges.
    const double n = host->GetParameter(param);
    switch (param)
    {
    case 3:
        return 0.1 + 3.9 * n;
    case 6:
    case 7:
        return -15.0 + 30.0 * n;
    default:
        return n;
    }
}
