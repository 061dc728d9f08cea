#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

/// One plug-in instance as the stress host drives it, whatever its format. Buffers are
/// planar: four inputs (main left, right, side chain left, right) and two outputs.
class StressTarget
{
public:
    virtual ~StressTarget() = default;
    StressTarget(const StressTarget&) = delete;
    StressTarget& operator=(const StressTarget&) = delete;

    /// The format, for messages ("VST2", "VST3").
    const std::string& Name() const { return name; }
    /// True when the module did not load or gave no instance; nothing else may be called then.
    bool Failed() const { return failed; }
    /// Whether the next blocks may switch sample size without a Configure.
    bool SwitchesSampleSizePerBlock() const { return switchesSampleSize; }

    /// (Re)configures as a host does between activations: rate, largest block, sample size
    /// where the format chooses it at set-up, side-chain bus active. False when refused.
    virtual bool Configure(double sampleRate, int maxBlock, bool doubles, bool sideChain) = 0;
    virtual void SetActive(bool active) = 0;

    /// A parameter change for the next block, at `offset` within it (normalised value).
    virtual void Automate(int param, double normalised, int offset) = 0;
    virtual void SetBypass(bool bypassed) = 0;
    virtual void SelectPreset(int index) = 0;

    /// One block; `doubles` chooses the 64-bit buffers. Answers whether it ran.
    virtual bool Process(float* const* in32, float* const* out32, double* const* in64,
                         double* const* out64, int frames, bool doubles) = 0;

    virtual bool SaveState(std::vector<uint8_t>& bytes) = 0;
    virtual bool LoadState(const std::vector<uint8_t>& bytes) = 0;

    /// The plain value of effect parameter `param` as the host sees it now.
    virtual double PlainValue(int param) = 0;

protected:
    StressTarget(std::string name, bool switchesSampleSizePerBlock)
        : name(std::move(name)), switchesSampleSize(switchesSampleSizePerBlock)
    {
    }

    /// Cleared by the format's constructor once its instance exists.
    bool failed = true;

private:
    std::string name;
    bool switchesSampleSize;
};
