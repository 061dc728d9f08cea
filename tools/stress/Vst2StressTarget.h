#pragma once

#include "StressTarget.h"
#include "hosting/vst2/Vst2Instance.h"
#include "hosting/vst2/Vst2Module.h"

#include <memory>

/// The VST2 module through our host side. Either processing entry may be called per block.
class Vst2StressTarget : public StressTarget
{
public:
    explicit Vst2StressTarget(const std::string& path);

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
    std::unique_ptr<Vst2Module> module;
    std::unique_ptr<Vst2Instance> host;
    bool opened = false;
};
