#pragma once

#include "hosting/vst3/Vst3Module.h"
#include "hosting/vst3/Vst3Plugin.h"
#include "tools/render/RenderHost.h"

#include <memory>

/// RenderHost for a VST3 bundle, through our own VST3 host side.
class Vst3RenderHost : public RenderHost
{
public:
    /// `sampleSize` is vst3::kSample32 or kSample64: the width the plug-in processes in.
    explicit Vst3RenderHost(int sampleSize = 1);
    ~Vst3RenderHost() override;

    bool Load(const std::string& path, std::string& error) override;
    std::string Description() override;
    std::vector<Parameter> Parameters() override;
    double PlainToNormalized(int index, double plain) override;
    std::string ValueText(int index, double normalized) override;
    double Normalized(int index) override;
    void SetParameter(int index, double normalized) override;
    bool LoadState(const std::vector<char>& bytes, std::string& error) override;
    bool SaveState(std::vector<char>& bytes, std::string& error) override;
    bool Start(double sampleRate, int maxBlock, bool sideChain, std::string& error) override;
    bool Process(const double* const in[2], const double* const side[2], double* out[2],
                 int frames) override;

private:
    vst3::ParamID IdOf(int index);

    int sampleSize;
    Vst3Module module;
    std::unique_ptr<Vst3Plugin> plugin;
    std::vector<vst3::ParameterInfo> infos;
    std::vector<float> scratch; ///< 32-bit conversions: in, side and out, two channels each
};
