// The editor as an X11 window inside a host's window, through the real modules: the VST3
// view on our poll() run loop and the VST2 editor opcodes driven by effEditIdle. The
// program runs its own X server; input comes from the X test extension.

#include "CairoLeakSuppression.h"
#include "X11TestInput.h"
#include "XvfbServer.h"

#include "hosting/vst2/Vst2Instance.h"
#include "hosting/vst2/Vst2Module.h"
#include "hosting/vst3/HostRunLoop.h"
#include "hosting/vst3/Vst3Module.h"
#include "hosting/vst3/Vst3Plugin.h"
#include "hosting/x11/X11HostWindow.h"
#include "tests/vst2/Vst2ModulePath.h"
#include "vst3/abi/Vst3View.h"

#include <X11/Xatom.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

using namespace vst3;

namespace
{
const auto* const kServer = ::testing::AddGlobalTestEnvironment(new XvfbServer);

// The editor's background (48, 48, 48) and the accent colour of its frames.
constexpr unsigned long kBackground = 0x303030;

bool HasXEmbedInfo(Display* display, Window window)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const Atom info = XInternAtom(display, "_XEMBED_INFO", False);
    XGetWindowProperty(display, window, info, 0, 2, False, AnyPropertyType, &type, &format, &count,
                       &after, &data);
    if (data)
        XFree(data);
    return type == info && format == 32 && count == 2;
}

class Vst3Editor : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        module = std::make_unique<Vst3Module>();
        ASSERT_TRUE(module->Load(VERDIGRIX_VST3_BUNDLE)) << module->LastError();
    }
    static void TearDownTestSuite() { module.reset(); }

    void SetUp() override
    {
        plugin = std::make_unique<Vst3Plugin>();
        ASSERT_TRUE(plugin->Create(module->Factory())) << plugin->LastError();
        frame = new HostRunLoop();
    }
    void TearDown() override
    {
        if (view)
            view->release();
        frame->release();
        plugin.reset();
    }

    IPlugView* NewView()
    {
        IPlugView* v = plugin->Controller()->createView(kEditorViewType);
        EXPECT_NE(v, nullptr);
        if (v)
            v->setFrame(frame);
        return v;
    }

    static inline std::unique_ptr<Vst3Module> module;
    std::unique_ptr<Vst3Plugin> plugin;
    HostRunLoop* frame = nullptr;
    IPlugView* view = nullptr;
};

TEST_F(Vst3Editor, AttachesAChildWindowOfTheHostsWindowAtTheScaledSize)
{
    for (float scale : {1.0f, 1.5f})
    {
        SCOPED_TRACE(scale);
        X11HostWindow host(800, 700);
        ASSERT_TRUE(host.IsOpen());
        view = NewView();
        EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID), kResultTrue);
        EXPECT_EQ(view->isPlatformTypeSupported("X11EmbedWindowIDs"), kResultFalse);
        void* scaling = nullptr;
        ASSERT_EQ(view->queryInterface(IPlugViewContentScaleSupport::iid.data(), &scaling), kResultOk);
        static_cast<IPlugViewContentScaleSupport*>(scaling)->setContentScaleFactor(scale);
        static_cast<IPlugViewContentScaleSupport*>(scaling)->release();

        ViewRect before{};
        ASSERT_EQ(view->getSize(&before), kResultOk);
        ASSERT_EQ(view->attached(host.Parent(), kPlatformTypeX11EmbedWindowID), kResultOk);
        host.Sync();
        const auto children = host.Children();
        ASSERT_EQ(children.size(), 1u);
        const Geometry g = GeometryOf(host.Connection(), children[0]);
        const unsigned w = scale == 1.0f ? 500 : 750;
        const unsigned h = scale == 1.0f ? 450 : 675;
        EXPECT_EQ(g.width, w);
        EXPECT_EQ(g.height, h);
        EXPECT_EQ(before.right, static_cast<int>(w));
        ViewRect after{};
        view->getSize(&after);
        EXPECT_EQ(after.bottom, static_cast<int>(h));
        EXPECT_TRUE(HasXEmbedInfo(host.Connection(), children[0]));
        EXPECT_EQ(view->canResize(), kResultFalse);
        EXPECT_EQ(frame->TimerCount(), 1);
        EXPECT_EQ(frame->periods.back(), 33u);
        EXPECT_EQ(frame->HandlerCount(), 1);

        frame->RunFor(150);
        // The background, drawn and copied to the window.
        XImage* image = XGetImage(host.Connection(), children[0], 0, static_cast<int>(h) - 2, 1, 1,
                                  AllPlanes, ZPixmap);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(XGetPixel(image, 0, 0) & 0xFFFFFF, kBackground);
        XDestroyImage(image);

        EXPECT_EQ(view->removed(), kResultOk);
        EXPECT_EQ(frame->TimerCount(), 0);
        EXPECT_EQ(frame->HandlerCount(), 0);
        host.Sync();
        EXPECT_TRUE(host.Children().empty());
        view->release();
        view = nullptr;
    }
}

TEST_F(Vst3Editor, AHostWithoutARunLoopGetsNoWindow)
{
    X11HostWindow host(600, 500);
    view = NewView();
    HostRunLoop* bare = new HostRunLoop(false);
    view->setFrame(bare);
    EXPECT_EQ(view->attached(host.Parent(), kPlatformTypeX11EmbedWindowID), kResultFalse);
    host.Sync();
    EXPECT_TRUE(host.Children().empty());
    view->setFrame(frame);
    bare->release();
    EXPECT_EQ(view->attached(host.Parent(), "HWND"), kResultFalse);
}

TEST_F(Vst3Editor, AClickOnAButtonReachesTheHostAsOneEditAndSurvivesReopening)
{
    X11HostWindow host(600, 500);
    view = NewView();
    ASSERT_EQ(view->attached(host.Parent(), kPlatformTypeX11EmbedWindowID), kResultOk);
    frame->RunFor(100);
    const Window editor = host.Children().at(0);
    const size_t seen = plugin->Handler().Calls().size();
    Click(host.Connection(), editor, 364, 288); // the Bypass button
    frame->RunFor(150);
    const std::vector<ComponentHandler::Call> calls(plugin->Handler().Calls().begin() + seen,
                                                    plugin->Handler().Calls().end());
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.front().kind, ComponentHandler::Kind::Begin);
    EXPECT_EQ(calls.back().kind, ComponentHandler::Kind::End);
    const ParamID bypass = calls.front().id;
    bool performed = false;
    for (const auto& c : calls)
        if (c.kind == ComponentHandler::Kind::Perform && c.id == bypass)
            performed = c.value > 0.5;
    EXPECT_TRUE(performed);
    const double value = plugin->Controller()->getParamNormalized(bypass);
    EXPECT_GT(value, 0.5);

    view->removed();
    ASSERT_EQ(view->attached(host.Parent(), kPlatformTypeX11EmbedWindowID), kResultOk);
    frame->RunFor(100);
    EXPECT_EQ(plugin->Controller()->getParamNormalized(bypass), value);
    view->removed();
}

TEST_F(Vst3Editor, TwoEditorsAtOnceWhileAnotherThreadProcessesWithAutomation)
{
    X11HostWindow host(1100, 500);
    auto second = std::make_unique<Vst3Plugin>();
    ASSERT_TRUE(second->Create(module->Factory()));
    view = NewView();
    IPlugView* other = second->Controller()->createView(kEditorViewType);
    other->setFrame(frame);
    ASSERT_EQ(view->attached(host.Parent(), kPlatformTypeX11EmbedWindowID), kResultOk);
    ASSERT_EQ(other->attached(host.Parent(), kPlatformTypeX11EmbedWindowID), kResultOk);
    host.Sync();
    EXPECT_EQ(host.Children().size(), 2u);

    ASSERT_TRUE(plugin->Start(48000, 64));
    std::atomic<bool> stop{false};
    std::atomic<int> blocks{0};
    std::thread audio(
        [&]
        {
            float left[64] = {}, right[64] = {}, outLeft[64], outRight[64];
            const float* in[2] = {left, right};
            float* out[2] = {outLeft, outRight};
            int i = 0;
            while (!stop)
            {
                plugin->QueueParameter(2, (i++ % 100) / 100.0);
                plugin->Process(in, nullptr, out, 64);
                ++blocks;
            }
        });
    frame->RunFor(300);
    stop = true;
    audio.join();
    EXPECT_GT(blocks.load(), 0);
    other->removed();
    view->removed();
    other->release();
    second.reset();
}

// ---- VST2 ----

class Vst2Editor : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        std::string error;
        module = Vst2Module::Load(Vst2ModulePath(), &error);
        ASSERT_NE(module, nullptr) << error;
    }
    static void TearDownTestSuite() { module.reset(); }

    static void Idle(Vst2Instance& plug, int milliseconds)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        while (std::chrono::steady_clock::now() < end)
        {
            plug.Dispatch(VST2_EFF_EDIT_IDLE);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    static inline std::unique_ptr<Vst2Module> module;
};

TEST_F(Vst2Editor, OpensInTheParentGivenAndAClickBecomesOneAutomatedEdit)
{
    X11HostWindow host(600, 500);
    auto plug = Vst2Instance::Create(module->Entry());
    ASSERT_NE(plug, nullptr);
    EXPECT_TRUE(plug->Effect()->flags & VST2_FLAG_HAS_EDITOR);
    vst2_erect* rect = nullptr;
    ASSERT_EQ(plug->Dispatch(VST2_EFF_EDIT_GET_RECT, 0, 0, &rect), 1);
    EXPECT_EQ(rect->right, 500);
    EXPECT_EQ(rect->bottom, 450);
    ASSERT_EQ(plug->Dispatch(VST2_EFF_EDIT_OPEN, 0, 0, host.Parent()), 1);
    ASSERT_EQ(plug->Dispatch(VST2_EFF_EDIT_GET_RECT, 0, 0, &rect), 1);
    EXPECT_EQ(rect->right, 500);
    host.Sync();
    ASSERT_EQ(host.Children().size(), 1u);
    const Window editor = host.Children()[0];
    EXPECT_EQ(GeometryOf(host.Connection(), editor).width, 500u);

    Idle(*plug, 100);
    plug->ClearCalls();
    Click(host.Connection(), editor, 364, 288); // Bypass
    Idle(*plug, 150);
    EXPECT_EQ(plug->CallsOf(VST2_HOST_BEGIN_EDIT).size(), 1u);
    EXPECT_EQ(plug->CallsOf(VST2_HOST_END_EDIT).size(), 1u);
    EXPECT_FALSE(plug->CallsOf(VST2_HOST_AUTOMATE).empty());

    EXPECT_EQ(plug->Dispatch(VST2_EFF_EDIT_CLOSE), 1);
    host.Sync();
    EXPECT_TRUE(host.Children().empty());
}
} // namespace
