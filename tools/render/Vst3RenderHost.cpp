#include "tools/render/Vst3RenderHost.h"

#include "vst3/base/Utf16.h"

#include <algorithm>

using namespace vst3;

Vst3RenderHost::Vst3RenderHost(int sampleSize) : sampleSize(sampleSize) {}

Vst3RenderHost::~Vst3RenderHost()
{
    plugin.reset(); // before the module unloads
}

bool Vst3RenderHost::Load(const std::string& path, std::string& error)
{
    if (!module.Load(path))
    {
        error = module.LastError();
        return false;
    }
    plugin = std::make_unique<Vst3Plugin>("verdigrix-render");
    if (!plugin->Create(module.Factory()))
    {
        error = plugin->LastError();
        return false;
    }
    infos = plugin->Parameters();
    return true;
}

std::string Vst3RenderHost::Description()
{
    PFactoryInfo factory{};
    PClassInfo2 info{};
    module.Factory()->getFactoryInfo(&factory);
    void* f2 = nullptr;
    std::string text = "VST3";
    if (module.Factory()->queryInterface(IPluginFactory2::iid.data(), &f2) == kResultOk)
    {
        if (static_cast<IPluginFactory2*>(f2)->getClassInfo2(0, &info) == kResultOk)
            text += std::string(" ") + info.name + " " + info.version;
        static_cast<IPluginFactory2*>(f2)->release();
    }
    return text + " by " + factory.vendor;
}

ParamID Vst3RenderHost::IdOf(int index)
{
    return infos.at(static_cast<std::size_t>(index)).id;
}

std::vector<RenderHost::Parameter> Vst3RenderHost::Parameters()
{
    std::vector<Parameter> list;
    IEditController* controller = plugin->Controller();
    for (const ParameterInfo& info : infos)
    {
        Parameter p;
        p.title = Narrow(info.title, 128);
        p.units = Narrow(info.units, 128);
        p.isList = (info.flags & ParameterInfo::kIsList) != 0 && info.stepCount > 0;
        p.automatable = (info.flags & ParameterInfo::kCanAutomate) != 0;
        p.hostOnly =
            (info.flags & (ParameterInfo::kIsBypass | ParameterInfo::kIsProgramChange)) != 0;
        // A list without display texts (a format parameter) is listed by its step numbers.
        if (p.isList)
            for (int k = 0; k <= info.stepCount; ++k)
            {
                std::string text =
                    plugin->ValueText(info.id, static_cast<double>(k) / info.stepCount);
                p.values.push_back(text.empty() ? std::to_string(k) : text);
            }
        p.min = controller->normalizedParamToPlain(info.id, 0.0);
        p.max = controller->normalizedParamToPlain(info.id, 1.0);
        list.push_back(std::move(p));
    }
    return list;
}

double Vst3RenderHost::PlainToNormalized(int index, double plain)
{
    return plugin->Controller()->plainParamToNormalized(IdOf(index), plain);
}

std::string Vst3RenderHost::ValueText(int index, double normalized)
{
    return plugin->ValueText(IdOf(index), normalized);
}

double Vst3RenderHost::Normalized(int index)
{
    return plugin->Controller()->getParamNormalized(IdOf(index));
}

void Vst3RenderHost::SetParameter(int index, double normalized)
{
    plugin->QueueParameter(IdOf(index), normalized);
}

bool Vst3RenderHost::LoadState(const std::vector<char>& bytes, std::string& error)
{
    if (!plugin->SetState(bytes))
    {
        error = "the plug-in refused the state";
        return false;
    }
    return true;
}

bool Vst3RenderHost::SaveState(std::vector<char>& bytes, std::string& error)
{
    if (!plugin->GetState(bytes))
    {
        error = "the plug-in could not save its state";
        return false;
    }
    return true;
}

bool Vst3RenderHost::Start(double sampleRate, int maxBlock, bool sideChain, std::string& error)
{
    if (!plugin->Start(sampleRate, maxBlock, sampleSize, sideChain))
    {
        error = plugin->LastError();
        return false;
    }
    if (sampleSize == kSample32)
        scratch.assign(static_cast<std::size_t>(maxBlock) * 6, 0.0f);
    return true;
}

bool Vst3RenderHost::Process(const double* const in[2], const double* const side[2], double* out[2],
                             int frames)
{
    if (sampleSize == kSample64)
        return plugin->Process(in, side, out, frames) == kResultOk;

    // The conversion planes hold the block size Start prepared, and no more.
    const std::size_t block = scratch.size() / 6;
    if (frames > 0 && static_cast<std::size_t>(frames) > block)
        return false;
    float* f[6];
    for (std::size_t c = 0; c < 6; ++c)
        f[c] = scratch.data() + c * block;
    for (int c = 0; c < 2; ++c)
    {
        std::copy_n(in[c], frames, f[c]);
        if (side != nullptr)
            std::copy_n(side[c], frames, f[2 + c]);
    }
    const float* fin[2] = {f[0], f[1]};
    const float* fside[2] = {f[2], f[3]};
    float* fout[2] = {f[4], f[5]};
    if (plugin->Process(fin, side != nullptr ? fside : nullptr, fout, frames) != kResultOk)
        return false;
    for (int c = 0; c < 2; ++c)
        std::copy_n(fout[c], frames, out[c]);
    return true;
}
