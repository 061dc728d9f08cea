#include "StressRun.h"

#include "hosting/allocation/AllocationCounter.h"

#include <algorithm>
#include <cmath>

namespace
{

constexpr int kFilterQ = 3;
constexpr int kInputLevel = 6;
constexpr int kOutputLevel = 7;
constexpr int kParamCount = 10;
// Longest block any step asks for: past the largest announced maximum.
constexpr int kLongestBlock = 4096 * 2 + 3;

const double kRates[] = {8000,  11025, 16000,  22050,  32000,  44100,
                         48000, 88200, 96000, 176400, 192000, 384000};
const int kMaxBlocks[] = {1, 64, 256, 500, 512, 1024, 4096};
const int kPrimes[] = {2, 3, 5, 7, 13, 31, 61, 127, 257, 509, 1021, 2039};

double DecibelGain(double db)
{
    return std::pow(10.0, db / 20.0);
}

} // namespace

StressRun::StressRun(StressTarget& target, uint32_t seed) : target(target), random(seed)
{
    in32.assign(4, std::vector<float>(kLongestBlock));
    out32.assign(2, std::vector<float>(kLongestBlock));
    in64.assign(4, std::vector<double>(kLongestBlock));
    out64.assign(2, std::vector<double>(kLongestBlock));
    for (auto& c : in32)
        in32Pointers.push_back(c.data());
    for (auto& c : out32)
        out32Pointers.push_back(c.data());
    for (auto& c : in64)
        in64Pointers.push_back(c.data());
    for (auto& c : out64)
        out64Pointers.push_back(c.data());
}

bool StressRun::Failed(const std::string& what)
{
    fault = "step " + std::to_string(step) + " (" + target.Name() + ", " +
            std::to_string(static_cast<int>(sampleRate)) + " Hz, max block " +
            std::to_string(maxBlock) + (doubles ? ", 64-bit" : ", 32-bit") + "): " + what;
    return false;
}

bool StressRun::Run(long steps)
{
    if (!Reconfigure())
        return false;
    for (step = 0; step < steps; ++step)
        if (!Step())
            return false;
    return true;
}

bool StressRun::Step()
{
    const int choice = std::uniform_int_distribution<int>(0, 99)(random);
    carried.clear();
    if (choice < 4)
        return Reconfigure();
    if (choice < 7)
    {
        target.SetActive(false);
        target.SetActive(true);
        return true;
    }
    if (choice < 10)
        return RoundTripState();
    if (choice < 12)
    {
        target.SelectPreset(0);
        carried = " carrying a preset change";
    }
    else if (choice < 16)
    {
        target.SetBypass(std::uniform_int_distribution<int>(0, 1)(random) == 1);
        carried = " carrying a bypass change";
    }
    else if (choice < 20 && target.SwitchesSampleSizePerBlock())
        doubles = !doubles;
    if (choice >= 20)
        Automate();
    return ProcessBlock();
}

bool StressRun::Reconfigure()
{
    sampleRate = kRates[std::uniform_int_distribution<std::size_t>(0, std::size(kRates) - 1)(random)];
    maxBlock = kMaxBlocks[std::uniform_int_distribution<std::size_t>(0, std::size(kMaxBlocks) - 1)(random)];
    doubles = std::uniform_int_distribution<int>(0, 1)(random) == 1;
    sideChain = std::uniform_int_distribution<int>(0, 1)(random) == 1;
    target.SetActive(false);
    if (!target.Configure(sampleRate, maxBlock, doubles, sideChain))
        return Failed("configuration refused");
    return true;
}

void StressRun::Automate()
{
    // Many points per parameter and block, as a host sends a ramp; offsets ascend.
    const int params = std::uniform_int_distribution<int>(1, 6)(random);
    for (int k = 0; k < params; ++k)
    {
        const int param = std::uniform_int_distribution<int>(0, kParamCount - 1)(random);
        const int points = std::uniform_int_distribution<int>(1, 16)(random);
        for (int p = 0; p < points; ++p)
            target.Automate(param, std::uniform_real_distribution<double>(0.0, 1.0)(random),
                            p * 8);
    }
}

int StressRun::BlockSize()
{
    switch (std::uniform_int_distribution<int>(0, 7)(random))
    {
    case 0:
        return 0;
    case 1:
        return 1;
    case 2:
    case 3:
        return kPrimes[std::uniform_int_distribution<std::size_t>(0, std::size(kPrimes) - 1)(random)];
    case 4:
        return maxBlock;
    case 5: // past the announced maximum, as some hosts do
        return std::min(kLongestBlock,
                        maxBlock + std::uniform_int_distribution<int>(1, maxBlock + 3)(random));
    default:
        return std::uniform_int_distribution<int>(1, maxBlock)(random);
    }
}

bool StressRun::ProcessBlock()
{
    const int frames = BlockSize();
    const bool silent = std::uniform_int_distribution<int>(0, 5)(random) == 0;
    const double level = silent ? 0.0 : std::uniform_real_distribution<double>(0.01, 1.0)(random);
    std::uniform_real_distribution<double> sample(-level, level);
    for (int c = 0; c < 4; ++c)
        for (int i = 0; i < frames; ++i)
        {
            const double v = sample(random);
            in64[c][i] = v;
            in32[c][i] = static_cast<float>(v);
        }
    for (int c = 0; c < 2; ++c)
    {
        std::fill_n(out32[c].begin(), frames, 123.0f);
        std::fill_n(out64[c].begin(), frames, 123.0);
    }

    long allocations = 0;
    {
        AllocationCounter counter;
        target.Process(in32Pointers.data(), out32Pointers.data(), in64Pointers.data(),
                       out64Pointers.data(), frames, doubles);
        allocations = counter.count();
    }
    ++blocks;
    if (allocations != 0)
        return Failed(std::to_string(allocations) + " allocations in a block of " +
                      std::to_string(frames) + carried);

    // |out| <= output gain * 1.2 * (1 + amount * |modulation|) * 1.2 * input gain * |in|: the
    // saturation grows a value by at most 1.2, the amount is at most one half, and a
    // modulation (noise, oscillator or side chain through a filter of Q <= 4) stays below
    // eight times its source. Bypassed, the input passes unchanged.
    const double inGain = DecibelGain(target.PlainValue(kInputLevel));
    const double outGain = DecibelGain(target.PlainValue(kOutputLevel));
    const double q = std::max(1.0, target.PlainValue(kFilterQ));
    const double modulation = 1.2 * 2.0 * q * std::max(1.0, level);
    const double bound = std::max(level, outGain * 1.2 * (1.0 + 0.5 * modulation) * 1.2 * inGain *
                                             level) * (1.0 + 1e-6) + 1e-12;
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < frames; ++i)
        {
            const double v = doubles ? out64[c][i] : out32[c][i];
            if (!std::isfinite(v))
                return Failed("output not finite at " + std::to_string(i) + " of " +
                              std::to_string(frames));
            if (silent && v != 0.0)
                return Failed("silence in, " + std::to_string(v) + " out at " + std::to_string(i));
            if (std::fabs(v) > bound)
                return Failed("output " + std::to_string(v) + " beyond " + std::to_string(bound) +
                              " at " + std::to_string(i) + " of " + std::to_string(frames));
        }
    return true;
}

bool StressRun::RoundTripState()
{
    // Save, play on with changes, restore: the restored state saves back byte for byte.
    std::vector<uint8_t> saved;
    if (!target.SaveState(saved))
        return Failed("state not saved");
    for (int k = std::uniform_int_distribution<int>(0, 3)(random); k > 0; --k)
    {
        Automate();
        if (!ProcessBlock())
            return false;
    }
    if (!target.LoadState(saved))
        return Failed("its own state refused");
    std::vector<uint8_t> again;
    if (!target.SaveState(again) || again != saved)
        return Failed("restored state saves differently");
    return true;
}
