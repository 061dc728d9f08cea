// The VST3 effect in process, where its editor can be reached: edits made as the editor's
// controls make them and the editor's repaint ticks on the user-interface thread, while the
// audio thread processes automated blocks and a third thread saves and loads state.

#include "ConcurrentRun.h"
#include "effect/Verdigrix.h"
#include "graphics/IGraphicsHeadless.h"
#include "hosting/vst3/Vst3Plugin.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

using namespace vst3;
using concurrency_test::Role;
using concurrency_test::RunSeconds;
using concurrency_test::RunTogether;

namespace
{

int Between(std::mt19937& random, int lo, int hi)
{
    return std::uniform_int_distribution<int>(lo, hi)(random);
}
double Uniform(std::mt19937& random)
{
    return std::uniform_real_distribution<double>(0.0, 1.0)(random);
}

TEST(EditorConcurrency, EditorEditsAndRepaintsWhileTheHostProcessesAndLoadsState)
{
    auto* effect = new Verdigrix();
    Vst3Plugin plugin;
    ASSERT_TRUE(plugin.Adopt(static_cast<IComponent*>(effect))) << plugin.LastError();
    ASSERT_TRUE(plugin.Start(44100.0, 256));
    auto* editor = dynamic_cast<IGraphicsHeadless*>(effect->graphics.get());
    ASSERT_NE(editor, nullptr);
    const int count = effect->ParamCount();

    std::vector<float> left(256, 0.3f), right(256, -0.3f), outLeft(256), outRight(256);
    std::vector<char> saved;
    ASSERT_TRUE(plugin.GetState(saved));
    bool finite = true;

    const std::vector<Role> roles = {
        {"audio",
         [&](std::mt19937& r)
         {
             plugin.QueueParameter(static_cast<ParamID>(Between(r, 0, count - 1)), Uniform(r));
             const int frames = Between(r, 1, 256);
             const float* in[2] = {left.data(), right.data()};
             float* out[2] = {outLeft.data(), outRight.data()};
             plugin.Process(in, nullptr, out, frames);
             for (int i = 0; i < frames; ++i)
                 finite = finite && std::isfinite(outLeft[i]) && std::isfinite(outRight[i]);
         }},
        {"editor",
         [&](std::mt19937& r)
         {
             const int index = Between(r, 0, count - 1);
             effect->BeginHostEdit(index);
             effect->SetParameterFromEditor(index, Uniform(r));
             effect->EndHostEdit(index);
             editor->Tick();
         }},
        {"state",
         [&](std::mt19937& r)
         {
             std::vector<char> bytes;
             if (plugin.GetState(bytes) && Between(r, 0, 1) == 0)
                 plugin.SetState(bytes);
             else
                 plugin.SetState(saved);
         }},
    };
    const std::vector<long> rounds = RunTogether(roles, RunSeconds());
    for (std::size_t i = 0; i < roles.size(); ++i)
        EXPECT_GT(rounds[i], 0) << roles[i].name << " never ran";
    EXPECT_TRUE(finite);
    while (editor->Tick())
    {
    }
    for (int i = 0; i < count; ++i)
    {
        const IParameter& p = *effect->Param(i);
        EXPECT_TRUE(p.Value() >= p.Min() && p.Value() <= p.Max()) << p.Name() << " " << p.Value();
    }
}

} // namespace
