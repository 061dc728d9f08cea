// Both modules, loaded as a host loads them, driven from four host threads at once: the
// audio thread with automation, the controller (host parameter calls), state saving and
// loading with preset changes, and editor opening and closing. Built under ThreadSanitizer
// by the tsan preset; in the other builds it still checks for deadlocks and bad states.

#include "ConcurrentRun.h"
#include "hosting/vst2/Vst2Instance.h"
#include "hosting/vst2/Vst2Module.h"
#include "hosting/vst3/Vst3Module.h"
#include "hosting/vst3/Vst3Plugin.h"
#include "vst3/abi/Vst3View.h"
#include "vst3/base/Utf16.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <vector>

using namespace vst3;
using concurrency_test::Role;
using concurrency_test::RunSeconds;
using concurrency_test::RunTogether;

namespace
{

std::string BuildDir()
{
    const char* dir = std::getenv("VERDIGRIX_BUILD_DIR");
    return dir != nullptr ? dir : VERDIGRIX_BUILD_DIR_FALLBACK;
}

/// Plain range of each effect parameter, by name, as the saved document names them.
using Ranges = std::map<std::string, std::pair<double, double>>;

/// Checks that `text` is a state document whose every value is finite and in range. Returns
/// a description of the first fault, or an empty text.
std::string CheckDocument(const std::string& text, const Ranges& ranges)
{
    const auto document = nlohmann::json::parse(text, nullptr, false);
    if (document.is_discarded() || !document.is_object() || !document["params"].is_array())
        return "no state document: " + text.substr(0, 80);
    if (document["params"].size() != ranges.size())
        return "wrong number of parameters";
    for (const auto& entry : document["params"])
    {
        const std::string name = entry.value("name", "");
        const double v = entry.value("value", std::nan(""));
        const auto range = ranges.find(name);
        if (range == ranges.end())
            return "unknown parameter " + name;
        if (!std::isfinite(v) || v < range->second.first || v > range->second.second)
            return name + " out of range: " + std::to_string(v);
    }
    return {};
}

/// The document inside a chunk whose length-prefixed text starts at `offset`.
std::string DocumentAt(const std::vector<uint8_t>& bytes, std::size_t offset)
{
    int32_t length = -1;
    if (bytes.size() < offset + 4)
        return {};
    std::memcpy(&length, bytes.data() + offset, 4);
    if (length < 0 || bytes.size() < offset + 4 + static_cast<std::size_t>(length))
        return {};
    return std::string(reinterpret_cast<const char*>(bytes.data()) + offset + 4,
                       static_cast<std::size_t>(length));
}

/// Collects faults from any thread; the test reports them after the run.
class Faults
{
public:
    void Add(const std::string& fault)
    {
        std::lock_guard guard(lock);
        if (list.size() < 10)
            list.push_back(fault);
    }
    std::vector<std::string> List()
    {
        std::lock_guard guard(lock);
        return list;
    }

private:
    std::mutex lock;
    std::vector<std::string> list;
};

double Uniform(std::mt19937& random)
{
    return std::uniform_real_distribution<double>(0.0, 1.0)(random);
}
int Between(std::mt19937& random, int lo, int hi)
{
    return std::uniform_int_distribution<int>(lo, hi)(random);
}

/// Planar stereo test signal and output.
struct StereoBuffers
{
    explicit StereoBuffers(int frames) : left(frames), right(frames), outLeft(frames),
                                         outRight(frames)
    {
        for (int i = 0; i < frames; ++i)
        {
            left[i] = static_cast<float>(0.5 * std::sin(0.05 * i));
            right[i] = static_cast<float>(0.5 * std::cos(0.031 * i));
        }
    }
    bool OutputFinite(int frames) const
    {
        for (int i = 0; i < frames; ++i)
            if (!std::isfinite(outLeft[i]) || !std::isfinite(outRight[i]))
                return false;
        return true;
    }
    std::vector<float> left, right, outLeft, outRight;
};

constexpr int kMaxBlock = 512;

TEST(ModuleConcurrency, Vst3HostThreadsTogether)
{
    Vst3Module module;
    ASSERT_TRUE(module.Load(BuildDir() + "/vst3/Verdigrix.vst3")) << module.LastError();
    Vst3Plugin plugin;
    ASSERT_TRUE(plugin.Create(module.Factory())) << plugin.LastError();
    ASSERT_TRUE(plugin.Start(48000.0, kMaxBlock));
    IEditController& controller = *plugin.Controller();

    Ranges ranges;
    std::vector<ParamID> effectIds;
    ParamID bypassId = 0, presetId = 0;
    for (const ParameterInfo& info : plugin.Parameters())
    {
        if (info.flags & ParameterInfo::kIsBypass)
            bypassId = info.id;
        else if (info.flags & ParameterInfo::kIsProgramChange)
            presetId = info.id;
        else
        {
            effectIds.push_back(info.id);
            ranges[Narrow(info.title, 128)] = {controller.normalizedParamToPlain(info.id, 0.0),
                                               controller.normalizedParamToPlain(info.id, 1.0)};
        }
    }
    ASSERT_EQ(effectIds.size(), 10u);
    auto anyEffectId = [&](std::mt19937& r)
    { return effectIds[static_cast<std::size_t>(Between(r, 0, 9))]; };

    Faults faults;
    std::vector<char> firstState;
    ASSERT_TRUE(plugin.GetState(firstState));
    StereoBuffers buffers(kMaxBlock);

    const std::vector<Role> roles = {
        {"audio",
         [&](std::mt19937& r)
         {
             for (int n = Between(r, 0, 3); n > 0; --n)
                 plugin.QueueParameter(anyEffectId(r), Uniform(r), Between(r, 0, 63));
             if (Between(r, 0, 20) == 0)
                 plugin.QueueParameter(bypassId, Between(r, 0, 1));
             if (Between(r, 0, 50) == 0)
                 plugin.QueueParameter(presetId, 0.0);
             const int frames = Between(r, 0, kMaxBlock);
             const float* in[2] = {buffers.left.data(), buffers.right.data()};
             float* out[2] = {buffers.outLeft.data(), buffers.outRight.data()};
             if (plugin.Process(in, nullptr, out, frames) != kResultOk)
                 faults.Add("process refused");
             if (!buffers.OutputFinite(frames))
                 faults.Add("output not finite");
         }},
        {"controller",
         [&](std::mt19937& r)
         {
             const ParamID id = anyEffectId(r);
             controller.setParamNormalized(id, Uniform(r));
             const double v = controller.getParamNormalized(id);
             if (!(v >= 0.0 && v <= 1.0))
                 faults.Add("controller value out of range: " + std::to_string(v));
             String128 text{};
             if (controller.getParamStringByValue(id, v, text) == kResultOk)
             {
                 double back = -1.0;
                 controller.getParamValueByString(id, text, back);
             }
         }},
        {"state",
         [&](std::mt19937& r)
         {
             std::vector<char> bytes;
             if (!plugin.GetState(bytes))
             {
                 faults.Add("getState failed");
                 return;
             }
             const std::vector<uint8_t> raw(bytes.begin(), bytes.end());
             if (std::string fault = CheckDocument(DocumentAt(raw, 0), ranges); !fault.empty())
                 faults.Add("saved state: " + fault);
             if (!plugin.SetState(Between(r, 0, 1) == 0 ? bytes : firstState))
                 faults.Add("setState refused its own state");
         }},
        {"editor",
         [&](std::mt19937&)
         {
             IPlugView* view = controller.createView("editor");
             if (view == nullptr)
                 return;
             ViewRect size{};
             view->getSize(&size);
             view->attached(nullptr, "X11EmbedWindowID");
             view->removed();
             view->release();
         }},
    };
    const std::vector<long> rounds = RunTogether(roles, RunSeconds());
    for (std::size_t i = 0; i < roles.size(); ++i)
        EXPECT_GT(rounds[i], 0) << roles[i].name << " never ran";
    for (const std::string& fault : faults.List())
        ADD_FAILURE() << fault;

    std::vector<char> last;
    ASSERT_TRUE(plugin.GetState(last));
    EXPECT_EQ(CheckDocument(DocumentAt({last.begin(), last.end()}, 0), ranges), "");
}

TEST(ModuleConcurrency, Vst2HostThreadsTogether)
{
    std::string error;
    auto module = Vst2Module::Load(BuildDir() + "/vst2/Verdigrix.so", &error);
    ASSERT_NE(module, nullptr) << error;
    auto host = Vst2Instance::Create(module->Entry());
    ASSERT_NE(host, nullptr);
    host->Start(48000.0, kMaxBlock);
    const int paramCount = host->Effect()->num_params;
    ASSERT_EQ(paramCount, 10);

    // The effect's parameter table, by the names its documents carry.
    const Ranges ranges = {
        {"Source Type", {0, 5}},        {"Filter Type", {0, 2}},     {"Filter Frequency", {300, 18000}},
        {"Filter Q", {0.1, 4}},         {"Effect Amount", {0, 100}}, {"Follow Pitch", {0, 1}},
        {"Input level", {-15, 15}},     {"Output level", {-15, 15}}, {"Bypass", {0, 1}},
        {"Analog Saturation", {0, 1}},
    };

    Faults faults;
    const std::vector<uint8_t> firstProgram = host->GetChunk(false);
    ASSERT_FALSE(firstProgram.empty());
    ASSERT_EQ(CheckDocument(DocumentAt(firstProgram, 8), ranges), "");

    std::vector<float> in[4], out[2];
    for (auto& c : in)
        c.assign(kMaxBlock, 0.25f);
    for (auto& c : out)
        c.assign(kMaxBlock, 0.0f);
    float* inputs[4] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
    float* outputs[2] = {out[0].data(), out[1].data()};

    const std::vector<Role> roles = {
        {"audio",
         [&](std::mt19937& r)
         {
             host->SetParameter(Between(r, 0, paramCount - 1), static_cast<float>(Uniform(r)));
             const int frames = Between(r, 0, kMaxBlock);
             host->ProcessReplacing(inputs, outputs, frames);
             for (int i = 0; i < frames; ++i)
                 if (!std::isfinite(out[0][i]) || !std::isfinite(out[1][i]))
                 {
                     faults.Add("output not finite");
                     break;
                 }
         }},
        {"controller",
         [&](std::mt19937& r)
         {
             const int index = Between(r, 0, paramCount - 1);
             host->SetParameter(index, static_cast<float>(Uniform(r)));
             const float v = host->GetParameter(index);
             if (!(v >= 0.0f && v <= 1.0f))
                 faults.Add("parameter out of range: " + std::to_string(v));
             std::string text = host->Text(VST2_EFF_GET_PARAM_DISPLAY, index);
             host->Dispatch(VST2_EFF_STRING_TO_PARAMETER, index, 0, text.data());
             host->Dispatch(VST2_EFF_EDIT_IDLE);
         }},
        {"state",
         [&](std::mt19937& r)
         {
             const bool bank = Between(r, 0, 1) == 0;
             const std::vector<uint8_t> chunk = host->GetChunk(bank);
             if (chunk.empty())
             {
                 faults.Add("no chunk");
                 return;
             }
             if (!bank)
                 if (std::string fault = CheckDocument(DocumentAt(chunk, 8), ranges); !fault.empty())
                     faults.Add("saved program: " + fault);
             const std::vector<uint8_t>& back = Between(r, 0, 1) == 0 ? chunk : firstProgram;
             if (host->SetChunk(bank && &back == &chunk, back.data(), back.size()) != 1)
                 faults.Add("its own chunk was refused");
             host->Dispatch(VST2_EFF_SET_PROGRAM, 0, 0);
             host->Text(VST2_EFF_GET_PROGRAM_NAME);
         }},
        {"editor",
         [&](std::mt19937&)
         {
             void* rect = nullptr;
             host->Dispatch(VST2_EFF_EDIT_GET_RECT, 0, 0, &rect);
             host->Dispatch(VST2_EFF_EDIT_OPEN);
             host->Dispatch(VST2_EFF_EDIT_IDLE);
             host->Dispatch(VST2_EFF_EDIT_CLOSE);
         }},
    };
    const std::vector<long> rounds = RunTogether(roles, RunSeconds());
    for (std::size_t i = 0; i < roles.size(); ++i)
        EXPECT_GT(rounds[i], 0) << roles[i].name << " never ran";
    for (const std::string& fault : faults.List())
        ADD_FAILURE() << fault;
    EXPECT_EQ(CheckDocument(DocumentAt(host->GetChunk(false), 8), ranges), "");
    host->Stop();
}

} // namespace
