// The VST3 module's editor as a real X11 window while the host's other threads run: the
// user-interface thread opens the view in the host's window, lets the run loop repaint, clicks
// a button (an edit that reaches the host) and closes the view again; meanwhile the audio
// thread processes automated blocks, a controller thread sets and reads values, and a third
// saves and loads state. The program runs its own X server.

#include "ConcurrentRun.h"
#include "x11/CairoLeakSuppression.h"
#include "x11/XvfbServer.h"

#include "hosting/vst3/HostRunLoop.h"
#include "hosting/vst3/Vst3Module.h"
#include "hosting/vst3/Vst3Plugin.h"
#include "hosting/x11/X11HostWindow.h"
#include "vst3/abi/Vst3View.h"

#include <X11/extensions/XTest.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

using namespace vst3;
using concurrency_test::Role;
using concurrency_test::RunSeconds;
using concurrency_test::RunTogether;

namespace
{
const auto* const kServer = ::testing::AddGlobalTestEnvironment(new XvfbServer);

int Between(std::mt19937& random, int lo, int hi)
{
    return std::uniform_int_distribution<int>(lo, hi)(random);
}
double Uniform(std::mt19937& random)
{
    return std::uniform_real_distribution<double>(0.0, 1.0)(random);
}

// Xlib's own handler ends the program at an X error without saying which request failed;
// here each is shown and counted.
std::atomic<int> xErrors{0};
int NoteXError(Display* display, XErrorEvent* error)
{
    char text[128] = {};
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr, "X error: %s (request %d.%d, resource 0x%lx)\n", text,
                 error->request_code, error->minor_code, error->resourceid);
    ++xErrors;
    return 0;
}

// Presses and releases the left button at a pixel of `window`.
void Click(Display* display, Window window, int x, int y)
{
    int rx = 0, ry = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &rx, &ry, &child);
    XTestFakeMotionEvent(display, -1, rx, ry, CurrentTime);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XSync(display, False);
}

TEST(X11EditorConcurrency, TheEditorOpensRepaintsAndClosesWhileTheHostsThreadsRun)
{
    XSetErrorHandler(NoteXError);
    Vst3Module module;
    ASSERT_TRUE(module.Load(VERDIGRIX_VST3_BUNDLE)) << module.LastError();
    Vst3Plugin plugin;
    ASSERT_TRUE(plugin.Create(module.Factory())) << plugin.LastError();
    ASSERT_TRUE(plugin.Start(48000.0, 256));
    IEditController& controller = *plugin.Controller();
    X11HostWindow host(600, 500);
    ASSERT_TRUE(host.IsOpen());
    auto* frame = new HostRunLoop();

    std::vector<ParamID> effectIds;
    ParamID presetId = 0;
    for (const ParameterInfo& info : plugin.Parameters())
        if (info.flags & ParameterInfo::kIsProgramChange)
            presetId = info.id;
        else if (!(info.flags & ParameterInfo::kIsBypass))
            effectIds.push_back(info.id);
    ASSERT_EQ(effectIds.size(), 10u);
    auto anyEffectId = [&](std::mt19937& r)
    { return effectIds[static_cast<std::size_t>(Between(r, 0, 9))]; };

    std::vector<float> left(256, 0.3f), right(256, -0.3f), outLeft(256), outRight(256);
    std::vector<char> firstState;
    ASSERT_TRUE(plugin.GetState(firstState));
    std::atomic<bool> finite{true};
    std::atomic<int> opened{0};

    const std::vector<Role> roles = {
        {"ui",
         [&](std::mt19937&)
         {
             IPlugView* view = controller.createView(kEditorViewType);
             if (view == nullptr)
                 return;
             view->setFrame(frame);
             if (view->attached(host.Parent(), kPlatformTypeX11EmbedWindowID) == kResultOk)
             {
                 ++opened;
                 frame->RunFor(40);
                 host.Sync();
                 if (const std::vector<Window> children = host.Children(); !children.empty())
                     Click(host.Connection(), children.front(), 364, 288); // Bypass
                 frame->RunFor(40);
                 view->removed();
             }
             view->release();
         }},
        {"audio",
         [&](std::mt19937& r)
         {
             for (int n = Between(r, 0, 3); n > 0; --n)
                 plugin.QueueParameter(anyEffectId(r), Uniform(r), Between(r, 0, 63));
             if (Between(r, 0, 50) == 0)
                 plugin.QueueParameter(presetId, 0.0);
             const int frames = Between(r, 0, 256);
             const float* in[2] = {left.data(), right.data()};
             float* out[2] = {outLeft.data(), outRight.data()};
             plugin.Process(in, nullptr, out, frames);
             for (int i = 0; i < frames; ++i)
                 if (!std::isfinite(outLeft[i]) || !std::isfinite(outRight[i]))
                     finite = false;
         }},
        {"controller",
         [&](std::mt19937& r)
         {
             const ParamID id = anyEffectId(r);
             controller.setParamNormalized(id, Uniform(r));
             String128 text{};
             controller.getParamStringByValue(id, controller.getParamNormalized(id), text);
         }},
        {"state",
         [&](std::mt19937& r)
         {
             std::vector<char> bytes;
             if (plugin.GetState(bytes) && Between(r, 0, 1) == 0)
                 plugin.SetState(bytes);
             else
                 plugin.SetState(firstState);
         }},
    };
    const std::vector<long> rounds = RunTogether(roles, RunSeconds());
    for (std::size_t i = 0; i < roles.size(); ++i)
        EXPECT_GT(rounds[i], 0) << roles[i].name << " never ran";
    EXPECT_GT(opened.load(), 0) << "of " << rounds[0] << " rounds";
    EXPECT_TRUE(finite);
    host.Sync();
    EXPECT_EQ(host.Children().size(), 0u);
    EXPECT_EQ(xErrors.load(), 0);
    frame->release();
}

} // namespace
