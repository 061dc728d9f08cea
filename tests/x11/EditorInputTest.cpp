// A user at the editor of each real module, in a host's window on a private X server: the
// value menus, drags and the wheel reach the host as begin/perform/end edits, and what the
// window shows is what the editor drew. The host's loop runs on the test's thread; the user
// acts from a thread of its own, as the menus are modal.

#include "CairoLeakSuppression.h"
#include "X11TestInput.h"
#include "XvfbServer.h"

#include "effect/Verdigrix.h"
#include "graphics/IBitmap.h"
#include "graphics/IGraphics.h"
#include "hosting/vst2/Vst2Instance.h"
#include "hosting/vst2/Vst2Module.h"
#include "hosting/vst3/HostRunLoop.h"
#include "hosting/vst3/Vst3Module.h"
#include "hosting/vst3/Vst3Plugin.h"
#include "hosting/x11/X11HostWindow.h"
#include "resources/EmbeddedResources.h"
#include "tests/vst2/Vst2ModulePath.h"
#include "vst3/abi/Vst3View.h"

#include <X11/keysym.h>

#include <map>
#include <memory>
#include <string>

using namespace vst3;

namespace
{
const auto* const kServer = ::testing::AddGlobalTestEnvironment(new XvfbServer);

// Parameters and where their controls are (logical pixels, the editor at scale 1).
constexpr int kSourceType = 0, kFilterType = 1, kFrequency = 2, kQ = 3, kAmount = 4, kInput = 6,
              kAnalog = 9;
constexpr int kSourceBoxX = 140, kSourceBoxY = 90; // (80, 76, 200, 104)
constexpr int kSourceBoxLeft = 80, kSourceBoxBottom = 104;
constexpr int kTypeBoxX = 292, kTypeBoxY = 410;     // (240, 396, 344, 424)
constexpr int kAmountBoxX = 404, kAmountBoxY = 126; // (352, 112, 456, 140)
constexpr int kInputBoxX = 404, kInputBoxY = 186;   // (352, 172, 456, 200), 28 high
constexpr int kPadX = 176, kPadY = 238;             // (8, 112, 344, 364)
// A menu row's height and the menu's top padding (logical pixels).
constexpr int kMenuRow = 22, kMenuPadding = 3;

struct Edit
{
    enum Kind
    {
        kBegin,
        kPerform,
        kEnd
    } kind;
    int index;
    double value;
};

/// One module's editor open in a host's window, with the host's loop and what it recorded.
class HostedEditor
{
public:
    virtual ~HostedEditor() = default;
    /// The host's loop for `milliseconds`.
    virtual void Run(int milliseconds) = 0;
    /// The parameter's normalised value as the host reads it.
    virtual double Value(int index) = 0;
    /// The edits the host received since the editor opened.
    virtual std::vector<Edit> Edits() = 0;

    Window Editor() const { return editor; }
    Display* HostDisplay() const { return host.Connection(); }

    /// Runs the host's loop while `script` acts as the user, then a little longer so the
    /// editor handles the script's last events.
    void WhileUserActs(std::function<void(Display*)> script)
    {
        {
            ScriptedUser user(std::move(script));
            EXPECT_TRUE(RunUntil([&] { Run(10); }, [&] { return user.Finished(); }, 10000));
        }
        Run(120);
    }

    /// The edits of one parameter, in order.
    std::vector<Edit> EditsOf(int index)
    {
        std::vector<Edit> found;
        for (const Edit& e : Edits())
            if (e.index == index)
                found.push_back(e);
        return found;
    }

protected:
    X11HostWindow host{700, 600};
    Window editor = 0;

    void FindEditor()
    {
        host.Sync();
        const auto children = host.Children();
        ASSERT_EQ(children.size(), 1u);
        editor = children[0];
        Run(150);
    }
};

class Vst3HostedEditor : public HostedEditor
{
public:
    explicit Vst3HostedEditor(Vst3Module& module)
    {
        EXPECT_TRUE(plugin.Create(module.Factory())) << plugin.LastError();
        frame = new HostRunLoop();
        view = plugin.Controller()->createView(kEditorViewType);
        EXPECT_NE(view, nullptr);
        if (!view)
            return;
        view->setFrame(frame);
        EXPECT_EQ(view->attached(host.Parent(), kPlatformTypeX11EmbedWindowID), kResultOk);
        FindEditor();
    }
    ~Vst3HostedEditor() override
    {
        if (view)
        {
            view->removed();
            view->release();
        }
        frame->release();
    }
    void Run(int milliseconds) override { frame->RunFor(milliseconds); }
    double Value(int index) override
    {
        return plugin.Controller()->getParamNormalized(static_cast<ParamID>(index));
    }
    std::vector<Edit> Edits() override
    {
        std::vector<Edit> edits;
        for (const auto& call : plugin.Handler().Calls())
        {
            const int index = static_cast<int>(call.id);
            if (call.kind == ComponentHandler::Kind::Begin)
                edits.push_back({Edit::kBegin, index, 0.0});
            else if (call.kind == ComponentHandler::Kind::Perform)
                edits.push_back({Edit::kPerform, index, call.value});
            else if (call.kind == ComponentHandler::Kind::End)
                edits.push_back({Edit::kEnd, index, 0.0});
        }
        return edits;
    }

private:
    Vst3Plugin plugin;
    HostRunLoop* frame = nullptr;
    IPlugView* view = nullptr;
};

class Vst2HostedEditor : public HostedEditor
{
public:
    explicit Vst2HostedEditor(Vst2Module& module) : plug(Vst2Instance::Create(module.Entry()))
    {
        EXPECT_NE(plug, nullptr);
        if (!plug)
            return;
        EXPECT_EQ(plug->Dispatch(VST2_EFF_EDIT_OPEN, 0, 0, host.Parent()), 1);
        plug->ClearCalls();
        FindEditor();
    }
    ~Vst2HostedEditor() override
    {
        if (plug)
            plug->Dispatch(VST2_EFF_EDIT_CLOSE);
    }
    void Run(int milliseconds) override
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        do
        {
            plug->Dispatch(VST2_EFF_EDIT_IDLE);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        } while (std::chrono::steady_clock::now() < end);
    }
    double Value(int index) override { return plug->GetParameter(index); }
    std::vector<Edit> Edits() override
    {
        std::vector<Edit> edits;
        for (const auto& call : plug->Calls())
        {
            if (call.opcode == VST2_HOST_BEGIN_EDIT)
                edits.push_back({Edit::kBegin, call.index, 0.0});
            else if (call.opcode == VST2_HOST_AUTOMATE)
                edits.push_back({Edit::kPerform, call.index, call.opt});
            else if (call.opcode == VST2_HOST_END_EDIT)
                edits.push_back({Edit::kEnd, call.index, 0.0});
        }
        return edits;
    }

private:
    std::unique_ptr<Vst2Instance> plug;
};

/// Whether `edits` are gestures: every perform lies between a begin and an end of its
/// parameter, and every begin is ended. At least one perform.
::testing::AssertionResult AreFramedGestures(const std::vector<Edit>& edits)
{
    std::map<int, int> open;
    int performs = 0;
    for (const Edit& e : edits)
    {
        if (e.kind == Edit::kBegin)
            ++open[e.index];
        else if (e.kind == Edit::kEnd && --open[e.index] < 0)
            return ::testing::AssertionFailure() << "an end without a begin for " << e.index;
        else if (e.kind == Edit::kPerform && (++performs, open[e.index] <= 0))
            return ::testing::AssertionFailure() << "a perform outside a gesture for " << e.index;
    }
    for (const auto& [index, count] : open)
        if (count != 0)
            return ::testing::AssertionFailure() << "a gesture left open for " << index;
    if (performs == 0)
        return ::testing::AssertionFailure() << "no perform";
    return ::testing::AssertionSuccess();
}

size_t PerformsIn(const std::vector<Edit>& edits)
{
    size_t n = 0;
    for (const Edit& e : edits)
        n += e.kind == Edit::kPerform;
    return n;
}

class EditorInput : public ::testing::TestWithParam<std::string>
{
protected:
    static void SetUpTestSuite()
    {
        vst3 = std::make_unique<Vst3Module>();
        ASSERT_TRUE(vst3->Load(VERDIGRIX_VST3_BUNDLE)) << vst3->LastError();
        std::string error;
        vst2 = Vst2Module::Load(Vst2ModulePath(), &error);
        ASSERT_NE(vst2, nullptr) << error;
    }
    static void TearDownTestSuite()
    {
        vst3.reset();
        vst2.reset();
    }
    void SetUp() override
    {
        if (GetParam() == "VST3")
            hosted = std::make_unique<Vst3HostedEditor>(*vst3);
        else
            hosted = std::make_unique<Vst2HostedEditor>(*vst2);
        ASSERT_NE(hosted->Editor(), 0u);
    }
    void TearDown() override { hosted.reset(); }

    static inline std::unique_ptr<Vst3Module> vst3;
    static inline std::unique_ptr<Vst2Module> vst2;
    std::unique_ptr<HostedEditor> hosted;
};

TEST_P(EditorInput, APressOnAValueBoxOpensItsMenuBelowItAndAPressOnAnEntryChoosesIt)
{
    const Window editor = hosted->Editor();
    hosted->WhileUserActs(
        [&](Display* user)
        {
            Click(user, editor, kSourceBoxX, kSourceBoxY);
            const auto popups = WaitForPopups(user, 1);
            ASSERT_EQ(popups.size(), 1u);
            int boxX = 0, boxY = 0;
            ToScreen(user, editor, kSourceBoxLeft, kSourceBoxBottom, boxX, boxY);
            const Geometry menu = GeometryOf(user, popups[0]);
            EXPECT_EQ(menu.x, boxX);
            EXPECT_EQ(menu.y, boxY);
            // The six sources, the third is "Sine".
            EXPECT_EQ(menu.height, 2u * kMenuPadding + 6u * kMenuRow);
            Click(user, popups[0], 40, kMenuPadding + 2 * kMenuRow + kMenuRow / 2);
        });
    EXPECT_TRUE(PopupWindows(hosted->HostDisplay()).empty());
    EXPECT_NEAR(hosted->Value(kSourceType), 0.4, 1e-6);
    const auto edits = hosted->EditsOf(kSourceType);
    ASSERT_EQ(edits.size(), 3u);
    EXPECT_EQ(edits[0].kind, Edit::kBegin);
    EXPECT_EQ(edits[1].kind, Edit::kPerform);
    EXPECT_NEAR(edits[1].value, 0.4, 1e-6);
    EXPECT_EQ(edits[2].kind, Edit::kEnd);
}

TEST_P(EditorInput, AMenuDismissedByAPressOutsideOrEscapeChangesNothing)
{
    const Window editor = hosted->Editor();
    for (const bool escape : {false, true})
    {
        SCOPED_TRACE(escape ? "Escape" : "a press outside");
        const double before = hosted->Value(kSourceType);
        hosted->WhileUserActs(
            [&](Display* user)
            {
                Click(user, editor, kSourceBoxX, kSourceBoxY);
                ASSERT_EQ(WaitForPopups(user, 1).size(), 1u);
                if (escape)
                    Key(user, XK_Escape);
                else
                    Click(user, editor, 450, 30);
                EXPECT_TRUE(RunUntil([]
                                     { std::this_thread::sleep_for(std::chrono::milliseconds(5)); },
                                     [&] { return PopupWindows(user).empty(); }));
            });
        EXPECT_EQ(hosted->Value(kSourceType), before);
        EXPECT_EQ(PerformsIn(hosted->Edits()), 0u);
    }
    // The editor takes input as before.
    hosted->WhileUserActs([&](Display* user) { Click(user, editor, 364, 320); }); // Analog
    EXPECT_EQ(PerformsIn(hosted->EditsOf(kAnalog)), 1u);
}

TEST_P(EditorInput, DownAndReturnChooseFromTheKeyboard)
{
    const Window editor = hosted->Editor();
    ASSERT_EQ(hosted->Value(kFilterType), 0.5); // Band Pass
    hosted->WhileUserActs(
        [&](Display* user)
        {
            Click(user, editor, kTypeBoxX, kTypeBoxY);
            ASSERT_EQ(WaitForPopups(user, 1).size(), 1u);
            Key(user, XK_Down);
            Key(user, XK_Down);
            Key(user, XK_Up);
            Key(user, XK_Return);
        });
    EXPECT_EQ(hosted->Value(kFilterType), 0.0); // Low Pass, the first entry
    EXPECT_TRUE(AreFramedGestures(hosted->Edits()));
}

TEST_P(EditorInput, DraggingThePadPastItsCornerSetsBothAxesToTheirEndsInOneGesture)
{
    const Window editor = hosted->Editor();
    hosted->WhileUserActs([&](Display* user) { Drag(user, editor, kPadX, kPadY, 2, 100, 6); });
    EXPECT_EQ(hosted->Value(kFrequency), 0.0);
    EXPECT_EQ(hosted->Value(kQ), 1.0);
    const auto edits = hosted->Edits();
    EXPECT_TRUE(AreFramedGestures(edits));
    EXPECT_GE(PerformsIn(hosted->EditsOf(kFrequency)), 3u);
    EXPECT_GE(PerformsIn(hosted->EditsOf(kQ)), 3u);
}

TEST_P(EditorInput, TheWheelAndAVerticalDragMoveAValueBox)
{
    const Window editor = hosted->Editor();
    ASSERT_EQ(hosted->Value(kAmount), 1.0);
    ASSERT_EQ(hosted->Value(kInput), 0.5);
    hosted->WhileUserActs(
        [&](Display* user)
        {
            for (int notch = 0; notch < 3; ++notch)
                Click(user, editor, kAmountBoxX, kAmountBoxY, 5); // towards the user
            // A quarter of the range per box height (28 pixels): up by one height.
            Drag(user, editor, kInputBoxX, kInputBoxY, kInputBoxX, kInputBoxY - 28);
        });
    EXPECT_NEAR(hosted->Value(kAmount), 0.97, 1e-6);
    EXPECT_NEAR(hosted->Value(kInput), 0.75, 0.004);
    EXPECT_TRUE(AreFramedGestures(hosted->Edits()));
    EXPECT_EQ(PerformsIn(hosted->EditsOf(kAmount)), 3u);
}

TEST_P(EditorInput, TheWindowShowsThePixelsTheEditorDrew)
{
    // The same editor drawn without a window, from the same defaults.
    UseEmbeddedResources();
    Verdigrix effect;
    for (int i = 0; i < effect.ParamCount(); ++i)
        effect.ParameterChanged(i, IEffectBase::kSourceOpening);
    auto* drawn = dynamic_cast<IGraphics*>(effect.graphics.get());
    ASSERT_NE(drawn, nullptr);
    for (int tick = 0; tick < 4; ++tick)
    {
        IRectangle area;
        if (drawn->FindDirtyArea(area))
            drawn->RedrawArea(area);
    }
    const IBitmap& bitmap = *drawn->DrawingBitmap();

    hosted->Run(100);
    Display* display = hosted->HostDisplay();
    XImage* image = XGetImage(display, hosted->Editor(), 0, 0, 500, 450, AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(bitmap.Width(), 500);
    ASSERT_EQ(bitmap.Height(), 450);
    int differing = 0;
    for (int y = 0; y < 450; ++y)
        for (int x = 0; x < 500; ++x)
        {
            const uint32_t want = bitmap.Pixels()[y * bitmap.RowPixels() + x] & 0xFFFFFF;
            const auto got = static_cast<uint32_t>(XGetPixel(image, x, y) & 0xFFFFFF);
            if (got != want && differing++ < 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << "): " << std::hex << got
                              << " instead of " << want;
        }
    XDestroyImage(image);
    EXPECT_EQ(differing, 0);
}

INSTANTIATE_TEST_SUITE_P(Modules, EditorInput, ::testing::Values("VST3", "VST2"),
                         [](const auto& info) { return info.param; });
} // namespace
