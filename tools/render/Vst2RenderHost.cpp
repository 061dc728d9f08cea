#include "tools/render/Vst2RenderHost.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace
{
// Steps used to discover a choice parameter's texts: finer than any list this effect has.
constexpr int kProbeSteps = 1000;
// VST2 vendor-specific selectors the module answers: 7 formats a normalised value, 8 says
// whether a parameter moves in steps (0xBEEF) or continuously (0).
constexpr int32_t kFormatNormalised = 7;
constexpr int32_t kSteppedQuery = 8;
constexpr intptr_t kVendorYes = 0xBEEF;

std::unique_ptr<Vst2Instance> Instantiate(const Vst2Module& module)
{
    Vst2Instance::Setup setup;
    setup.productName = "verdigrix-render";
    setup.processLevel = 4; // offline
    auto instance = Vst2Instance::Create(module.Entry(), setup);
    if (instance != nullptr)
        instance->Dispatch(VST2_EFF_OPEN);
    return instance;
}
} // namespace

Vst2RenderHost::Vst2RenderHost(int bits) : bits(bits) {}

Vst2RenderHost::~Vst2RenderHost()
{
    // Instances close before the module unloads.
    if (plugin != nullptr)
        plugin->Stop();
    plugin.reset();
    converter.reset();
}

bool Vst2RenderHost::Load(const std::string& path, std::string& error)
{
    module = Vst2Module::Load(path, &error);
    if (module == nullptr)
        return false;
    plugin = Instantiate(*module);
    converter = Instantiate(*module);
    if (plugin == nullptr || converter == nullptr)
    {
        error = "the module returned no effect";
        return false;
    }
    return true;
}

std::string Vst2RenderHost::Description()
{
    const auto version = static_cast<int>(plugin->Dispatch(VST2_EFF_GET_VENDOR_VERSION));
    char number[32];
    std::snprintf(number, sizeof number, "%d.%d.%d", version / 10000, version / 100 % 100,
                  version % 100);
    return "VST2 " + plugin->Text(VST2_EFF_GET_EFFECT_NAME) + " " + number + " by " +
           plugin->Text(VST2_EFF_GET_VENDOR_STRING);
}

std::vector<RenderHost::Parameter> Vst2RenderHost::Parameters()
{
    std::vector<Parameter> list;
    for (int i = 0; i < plugin->Effect()->num_params; ++i)
    {
        Parameter p;
        p.title = plugin->Text(VST2_EFF_GET_PARAM_NAME, i);
        p.automatable = plugin->Dispatch(VST2_EFF_CAN_BE_AUTOMATED, i) != 0;
        const bool stepped =
            plugin->Dispatch(VST2_EFF_VENDOR_SPECIFIC, kSteppedQuery, i) == kVendorYes;
        if (stepped)
        {
            // Choices appear in value order as the normalised value rises.
            for (int k = 0; k <= kProbeSteps; ++k)
            {
                const std::string text = ValueText(i, static_cast<double>(k) / kProbeSteps);
                if (p.values.empty() || p.values.back() != text)
                    p.values.push_back(text);
            }
            p.isList = p.values.size() > 1;
        }
        p.min = std::strtod(ValueText(i, 0.0).c_str(), nullptr);
        p.max = std::strtod(ValueText(i, 1.0).c_str(), nullptr);
        if (p.isList)
        {
            p.min = 0.0;
            p.max = static_cast<double>(p.values.size() - 1);
        }
        else
        {
            // The unit label shows beside a number (it is empty while a value text shows).
            p.units = converter->Text(VST2_EFF_GET_PARAM_LABEL, i);
        }
        list.push_back(std::move(p));
    }
    return list;
}

double Vst2RenderHost::PlainToNormalized(int index, double plain)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", plain);
    converter->Dispatch(VST2_EFF_STRING_TO_PARAMETER, index, 0, text);
    return converter->GetParameter(index);
}

std::string Vst2RenderHost::ValueText(int index, double normalized)
{
    // The current value has an exact display text; a normalised value passed through a float
    // could land a hair below it (2499.99 shown as 2499).
    if (static_cast<float>(normalized) == plugin->GetParameter(index))
        return plugin->Text(VST2_EFF_GET_PARAM_DISPLAY, index);
    char text[256] = {};
    plugin->Dispatch(VST2_EFF_VENDOR_SPECIFIC, kFormatNormalised, index, text,
                     static_cast<float>(normalized));
    text[sizeof text - 1] = '\0';
    return text;
}

double Vst2RenderHost::Normalized(int index)
{
    return plugin->GetParameter(index);
}

void Vst2RenderHost::SetParameter(int index, double normalized)
{
    pending.push_back({index, static_cast<float>(normalized)});
}

bool Vst2RenderHost::LoadState(const std::vector<char>& bytes, std::string& error)
{
    if (plugin->SetChunk(false, bytes.data(), bytes.size()) != 1)
    {
        error = "the plug-in refused the state";
        return false;
    }
    return true;
}

bool Vst2RenderHost::SaveState(std::vector<char>& bytes, std::string& error)
{
    const std::vector<uint8_t> chunk = plugin->GetChunk(false);
    if (chunk.empty())
    {
        error = "the plug-in could not save its state";
        return false;
    }
    bytes.assign(chunk.begin(), chunk.end());
    return true;
}

bool Vst2RenderHost::Start(double sampleRate, int maxBlock, bool, std::string& error)
{
    if (maxBlock < 1)
    {
        error = "block size must be positive";
        return false;
    }
    plugin->Start(sampleRate, maxBlock);
    plugin->Dispatch(VST2_EFF_START_PROCESS);
    silence.assign(static_cast<std::size_t>(maxBlock), 0.0);
    floats.assign(static_cast<std::size_t>(maxBlock) * 6, 0.0f);
    return true;
}

bool Vst2RenderHost::Process(const double* const in[2], const double* const side[2], double* out[2],
                             int frames)
{
    // Parameter changes reach the plug-in as a host's automation, just before the block.
    for (const Pending& change : pending)
        plugin->SetParameter(change.index, change.normalized);
    pending.clear();
    if (frames <= 0)
        return true;
    const std::size_t block = silence.size();
    if (static_cast<std::size_t>(frames) > block)
        return false;
    const double* inputs[4] = {in[0], in[1], side != nullptr ? side[0] : silence.data(),
                               side != nullptr ? side[1] : silence.data()};
    if (bits == 64)
    {
        plugin->ProcessDoubleReplacing(const_cast<double**>(inputs), out, frames);
        return true;
    }
    float* f[6];
    for (std::size_t c = 0; c < 6; ++c)
        f[c] = floats.data() + c * block;
    for (std::size_t c = 0; c < 4; ++c)
        std::copy_n(inputs[c], frames, f[c]);
    float* outputs[2] = {f[4], f[5]};
    plugin->ProcessReplacing(f, outputs, frames);
    for (std::size_t c = 0; c < 2; ++c)
        std::copy_n(outputs[c], frames, out[c]);
    return true;
}
