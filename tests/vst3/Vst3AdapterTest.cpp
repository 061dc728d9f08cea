// The adapter's side of the plug-in base, in process: what the editor and the effect ask of
// the host (edit gestures, latency, the host's parameter menu, editor resizing), the
// transport queries answered from the last process context, and editor failures kept from
// the host.

#include "effect/Verdigrix.h"
#include "hosting/vst3/ComponentHandler.h"
#include "hosting/vst3/HostApplication.h"
#include "hosting/vst3/HostRunLoop.h"
#include "vst3/IEffectVST3View.h"

#include <gtest/gtest.h>

#include <new>

using namespace vst3;

namespace
{

/// A context menu that records where it was shown.
class RecordingMenu : public FObject, public IContextMenu
{
public:
    VST3_FUNKNOWN_METHODS
    int32 PLUGIN_API getItemCount() override { return 0; }
    tresult PLUGIN_API getItem(int32, Item&, IContextMenuTarget**) override { return kResultFalse; }
    tresult PLUGIN_API addItem(const Item&, IContextMenuTarget*) override { return kResultOk; }
    tresult PLUGIN_API removeItem(const Item&, IContextMenuTarget*) override { return kResultOk; }
    tresult PLUGIN_API popup(UCoord x, UCoord y) override
    {
        shownAt = {x, y};
        return kResultOk;
    }
    std::pair<int, int> shownAt{-1, -1};
};
tresult PLUGIN_API RecordingMenu::queryInterface(const TUID iid, void** obj)
{
    return QueryAs<IContextMenu>(this, iid, obj) ? kResultOk : FObject::queryInterface(iid, obj);
}

/// A handler that also offers context menus for parameters.
class MenuHandler : public ComponentHandler, public IComponentHandler3
{
public:
    VST3_FUNKNOWN_METHODS
    IContextMenu* PLUGIN_API createContextMenu(IPlugView* view, const ParamID* id) override
    {
        askedView = view;
        askedId = id != nullptr ? static_cast<int64>(*id) : -1;
        menu->addRef();
        return menu;
    }
    RecordingMenu* menu = new RecordingMenu;
    IPlugView* askedView = nullptr;
    int64 askedId = -2;

protected:
    ~MenuHandler() override { menu->release(); }
};
tresult PLUGIN_API MenuHandler::queryInterface(const TUID iid, void** obj)
{
    return QueryAs<IComponentHandler3>(this, iid, obj) ? kResultOk
                                                       : ComponentHandler::queryInterface(iid, obj);
}

class AdapterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(effect->initialize(static_cast<IHostApplication*>(host)), kResultOk);
    }
    void TearDown() override
    {
        effect->terminate();
        static_cast<IAudioProcessor*>(effect)->release();
        host->release();
    }

    Verdigrix* effect = new Verdigrix();
    HostApplication* host = new HostApplication("Test Host");
};

TEST_F(AdapterTest, EditorEditsReachTheHostAsOneGesture)
{
    auto* handler = new ComponentHandler;
    effect->setComponentHandler(handler);
    effect->BeginHostEdit(2);
    effect->SetParameterFromEditor(2, 0.25);
    effect->EndHostEdit(2);
    ASSERT_EQ(handler->Calls().size(), 3u);
    EXPECT_EQ(handler->Calls()[0].kind, ComponentHandler::Kind::Begin);
    EXPECT_EQ(handler->Calls()[1].kind, ComponentHandler::Kind::Perform);
    EXPECT_EQ(handler->Calls()[1].id, 2u);
    EXPECT_DOUBLE_EQ(handler->Calls()[1].value, 0.25);
    EXPECT_EQ(handler->Calls()[2].kind, ComponentHandler::Kind::End);
    EXPECT_NEAR(effect->getParamNormalized(2), 0.25, 1e-3);

    // Without a handler the edit still takes effect; nobody is told.
    effect->setComponentHandler(nullptr);
    effect->SetParameterFromEditor(2, 0.5);
    EXPECT_EQ(handler->Calls().size(), 3u);
    EXPECT_NEAR(effect->getParamNormalized(2), 0.5, 1e-3);
    handler->release();
}

TEST_F(AdapterTest, NewLatencyAsksTheHostToRestart)
{
    effect->SetLatencySamples(64); // without a handler: only the value
    EXPECT_EQ(effect->getLatencySamples(), 64u);
    auto* handler = new ComponentHandler;
    effect->setComponentHandler(handler);
    effect->SetLatencySamples(128);
    EXPECT_EQ(effect->getLatencySamples(), 128u);
    ASSERT_EQ(handler->Calls().size(), 1u);
    EXPECT_EQ(handler->Calls()[0].kind, ComponentHandler::Kind::Restart);
    EXPECT_EQ(handler->Calls()[0].id, static_cast<ParamID>(kLatencyChanged));
    handler->release();
}

TEST_F(AdapterTest, TheHostsParameterMenuOpensOverTheFirstView)
{
    auto* handler = new MenuHandler;
    effect->setComponentHandler(handler);
    EXPECT_FALSE(effect->ShowHostParameterMenu(3, 10, 20)); // no view yet
    EXPECT_EQ(handler->askedId, -2);

    IPlugView* view = effect->createView("editor");
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(effect->ShowHostParameterMenu(3, 10, 20));
    EXPECT_EQ(handler->askedView, view);
    EXPECT_EQ(handler->askedId, 3);
    EXPECT_EQ(handler->menu->shownAt, std::make_pair(10, 20));
    EXPECT_EQ(handler->menu->addRef(), 2u); // the adapter released the menu it was given
    handler->menu->release();

    // A plain handler offers no menus.
    auto* plain = new ComponentHandler;
    effect->setComponentHandler(plain);
    EXPECT_FALSE(effect->ShowHostParameterMenu(3, 10, 20));
    view->release();
    plain->release();
    handler->release();
}

TEST_F(AdapterTest, ViewsAreListedUntilTheirLastRelease)
{
    IPlugView* a = effect->createView("editor");
    IPlugView* b = effect->createView("editor");
    ASSERT_EQ(effect->Views().size(), 2u);
    a->release();
    ASSERT_EQ(effect->Views().size(), 1u);
    EXPECT_EQ(static_cast<IPlugView*>(effect->Views().front()), b);
    // Without an editor window nothing asks the frame for a size.
    EXPECT_FALSE(effect->ResizeEditor(500, 450));
    effect->terminate(); // forgets views without releasing them
    EXPECT_TRUE(effect->Views().empty());
    b->release();
    effect->initialize(static_cast<IHostApplication*>(host));
}

TEST_F(AdapterTest, TransportQueriesAnswerFromTheLastProcessContext)
{
    TimeInfo info;
    info.tempo = 33.0;
    info.playing = true;
    EXPECT_FALSE(effect->HostTimeInfo(info));
    EXPECT_EQ(info.tempo, 0.0); // no context yet: an empty record
    EXPECT_FALSE(info.playing);
    int numerator = 0, denominator = 0;
    effect->HostTimeSignature(numerator, denominator);
    EXPECT_EQ(numerator, 4);
    EXPECT_EQ(denominator, 4);
    EXPECT_FALSE(effect->IsOfflineRendering());

    ProcessSetup setup{kOffline, kSample32, 256, 48000.0};
    ASSERT_EQ(effect->setupProcessing(setup), kResultOk);
    EXPECT_TRUE(effect->IsOfflineRendering());

    ProcessContext context{};
    context.state = ProcessContext::kPlaying | ProcessContext::kCycleActive;
    context.projectTimeSamples = (int64{1} << 32) + 5;
    context.projectTimeMusic = 12.5;
    context.barPositionMusic = 12.0;
    context.cycleStartMusic = 8.0;
    context.cycleEndMusic = 16.0;
    context.tempo = 96.0;
    context.timeSigNumerator = 6;
    context.timeSigDenominator = 8;
    ProcessData data{};
    data.symbolicSampleSize = kSample32;
    data.processContext = &context;
    ASSERT_EQ(effect->process(data), kResultOk);
    context.tempo = 1.0; // the host's memory may change after the call

    EXPECT_EQ(effect->HostSamplePosition(), 5);
    EXPECT_DOUBLE_EQ(effect->HostTempo(), 96.0);
    effect->HostTimeSignature(numerator, denominator);
    EXPECT_EQ(numerator, 6);
    EXPECT_EQ(denominator, 8);
    ASSERT_TRUE(effect->HostTimeInfo(info));
    EXPECT_DOUBLE_EQ(info.tempo, 96.0);
    EXPECT_DOUBLE_EQ(info.samplePosition, static_cast<double>((int64{1} << 32) + 5));
    EXPECT_DOUBLE_EQ(info.ppqPosition, 12.5);
    EXPECT_DOUBLE_EQ(info.lastBarPosition, 12.0);
    EXPECT_DOUBLE_EQ(info.cycleStart, 8.0);
    EXPECT_DOUBLE_EQ(info.cycleEnd, 16.0);
    EXPECT_TRUE(info.playing);
    EXPECT_TRUE(info.cycleActive);
}

/// An editor whose window system runs out of memory at every step a view drives.
class FailingEditor : public IEditor
{
public:
    void CreateDrawingBitmap() override {}
    void SetControlsFromNormalised(int, double) override {}
    void ShowParameterValue(int, double, bool) override {}
    void MarkParameterChanged(int) override {}
    bool HasWindowSystem() override { return true; }
    void* OpenEditorWindow(void*) override { throw std::bad_alloc(); }
    void CloseEditorWindow() override { throw std::bad_alloc(); }
    bool SetContentScale(double) override { throw std::bad_alloc(); }
    void ProcessEvents() override { throw std::bad_alloc(); }
    void TimerTick() override { throw std::bad_alloc(); }
};

IEffectConfig FailingEditorConfig()
{
    IEffectConfig config;
    config.paramCount = 0;
    config.presetCount = 1;
    config.channelConfigText = "2-2";
    config.effectName = "Probe";
    config.makerName = "Tamrok";
    return config;
}

class FailingEditorEffect : public IEffectVST3
{
public:
    FailingEditorEffect() : IEffectVST3(FailingEditorConfig())
    {
        AttachEditor(std::make_unique<FailingEditor>());
    }
};

TEST(AdapterGuards, EditorFailuresInAViewNeverUnwindIntoTheHost)
{
    auto* effect = new FailingEditorEffect();
    auto* frame = new HostRunLoop();
    IPlugView* view = effect->createView("editor");
    ASSERT_NE(view, nullptr);
    view->setFrame(frame);
    int parent = 0;
    EXPECT_EQ(view->attached(&parent, kPlatformTypeX11EmbedWindowID), kResultFalse);

    void* found = nullptr;
    ASSERT_EQ(view->queryInterface(IPlugViewContentScaleSupport::iid.data(), &found), kResultOk);
    auto* scaling = static_cast<IPlugViewContentScaleSupport*>(found);
    EXPECT_EQ(scaling->setContentScaleFactor(2.0f), kResultFalse);
    scaling->release();
    ASSERT_EQ(view->queryInterface(Linux::ITimerHandler::iid.data(), &found), kResultOk);
    static_cast<Linux::ITimerHandler*>(found)->onTimer();
    static_cast<Linux::ITimerHandler*>(found)->release();
    ASSERT_EQ(view->queryInterface(Linux::IEventHandler::iid.data(), &found), kResultOk);
    static_cast<Linux::IEventHandler*>(found)->onFDIsSet(0);
    static_cast<Linux::IEventHandler*>(found)->release();
    EXPECT_EQ(view->removed(), kResultFalse);

    view->release();
    frame->release();
    static_cast<IAudioProcessor*>(effect)->release();
}

} // namespace
