#pragma once

#include "hosting/vst2/Vst2Instance.h"
#include "hosting/vst2/Vst2Module.h"
#include "tools/render/RenderHost.h"

#include <memory>
#include <vector>

/// RenderHost for a VST2 module (.so), through our own VST2 host side.
///
/// VST2 tells a host little about a parameter, so the list is found the way a host finds it:
/// names and units from the text opcodes, choices and ranges from the display texts of
/// normalised values, plain-to-normalised through a second, private instance that is given
/// the number as text.
class Vst2RenderHost : public RenderHost
{
public:
    /// `bits` is 32 (processReplacing) or 64 (processDoubleReplacing).
    explicit Vst2RenderHost(int bits = 64);
    ~Vst2RenderHost() override;

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
    struct Pending
    {
        int index;
        float normalized;
    };

    int bits;
    std::unique_ptr<Vst2Module> module;
    std::unique_ptr<Vst2Instance> plugin;
    std::unique_ptr<Vst2Instance> converter; ///< answers PlainToNormalized
    std::vector<Pending> pending;
    std::vector<float> floats;   ///< 32-bit conversions: 4 inputs and 2 outputs
    std::vector<double> silence; ///< side chain when none is given
};
