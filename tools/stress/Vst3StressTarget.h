#pragma once

#include "StressTarget.h"
#include "hosting/vst3/Vst3Module.h"
#include "hosting/vst3/Vst3Plugin.h"

#include <memory>

/// The VST3 module through our host side. Sample size is chosen at set-up.
class Vst3StressTarget : public StressTarget
{
public:
    /// Loads the bundle and creates an instance; Failed() tells whether that worked.
    explicit Vst3StressTarget(const std::string& bundle);

    bool Configure(double sampleRate, int maxBlock, bool doubles, bool sideChain) override;
    void SetActive(bool active) override;
    void Automate(int param, double normalised, int offset) override;
    void SetBypass(bool bypassed) override;
    void SelectPreset(int index) override;
    bool Process(float* const* in32, float* const* out32, double* const* in64,
                 double* const* out64, int frames, bool doubles) override;
    bool SaveState(std::vector<uint8_t>& bytes) override;
    bool LoadState(const std::vector<uint8_t>& bytes) override;
    double PlainValue(int param) override;

private:
    Vst3Module module;
    std::unique_ptr<Vst3Plugin> plugin;
    vst3::ParamID bypassId = 0;
    vst3::ParamID presetId = 0;
    int presetSteps = 0;
    bool sideChain = false;
};
