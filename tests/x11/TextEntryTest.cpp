// The X11 editor's text-entry box, focus and services: in process on the X11 window class
// with a small plug-in, and through the real VST3 module as a host sees it. The program
// runs its own X server; keys and clicks come from the X test extension.

#include "XvfbServer.h"

#include "graphics/platform/IGraphicsX11.h"
#include "hosting/vst3/HostRunLoop.h"
#include "hosting/vst3/Vst3Module.h"
#include "hosting/vst3/Vst3Plugin.h"
#include "hosting/x11/X11HostWindow.h"
#include "tests/controls/TestPlugin.h"
#include "vst3/abi/Vst3View.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions()
{
    return "leak:libcairo.so\nleak:libfontconfig.so\n";
}

namespace
{
const auto* const kServer = ::testing::AddGlobalTestEnvironment(new XvfbServer);

std::vector<Window> ChildrenOf(Display* display, Window window)
{
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    std::vector<Window> out;
    if (XQueryTree(display, window, &root, &parent, &children, &count))
        out.assign(children, children + count);
    if (children)
        XFree(children);
    return out;
}

void Key(Display* display, KeySym symbol, bool shift = false)
{
    const KeyCode shiftKey = XKeysymToKeycode(display, XK_Shift_L);
    const KeyCode code = XKeysymToKeycode(display, symbol);
    if (shift)
        XTestFakeKeyEvent(display, shiftKey, True, CurrentTime);
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    if (shift)
        XTestFakeKeyEvent(display, shiftKey, False, CurrentTime);
    XSync(display, False);
}

// Digits, lower-case letters, '.' and '-', as a US keyboard types them.
void Type(Display* display, const std::string& text)
{
    for (char c : text)
        Key(display, c == '.' ? XK_period : c == '-' ? XK_minus : static_cast<KeySym>(c));
}

void PointerTo(Display* display, Window window, int x, int y)
{
    int rx = 0, ry = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &rx, &ry, &child);
    XTestFakeMotionEvent(display, -1, rx, ry, CurrentTime);
}

void Button(Display* display, Window window, int x, int y, unsigned button = 1)
{
    PointerTo(display, window, x, y);
    XTestFakeButtonEvent(display, button, True, CurrentTime);
    XTestFakeButtonEvent(display, button, False, CurrentTime);
    XSync(display, False);
}

// ---- In process: the window class with a small plug-in ----

// The window class with the box's text in view.
class TestEditor : public IGraphicsX11
{
public:
    using IGraphicsX11::EntryBoxText;
    using IGraphicsX11::IGraphicsX11;
};

class Field : public IControl
{
public:
    Field(IEffectBase* plugin, const IRectangle& bounds, int parameter)
        : IControl(plugin, bounds, parameter)
    {
    }
    bool Paint(IGraphics&) override { return true; }
    void AcceptText(const char* text) override { accepted.push_back(text); }
    std::vector<std::string> accepted;
};

class InProcess : public ::testing::Test
{
public:
    void SetUp() override
    {
        ASSERT_TRUE(host.IsOpen());
        display = host.Connection();
        editor = std::make_unique<TestEditor>(&plugin, 500, 450, 30);
        auto owned = std::make_unique<Field>(&plugin, IRectangle{100, 100, 200, 130}, -1);
        field = owned.get();
        editor->AddControl(std::move(owned));
        editor->CreateDrawingBitmap();
        ASSERT_NE(editor->OpenEditorWindow(host.Parent()), nullptr);
        window = static_cast<Window>(reinterpret_cast<uintptr_t>(editor->WindowHandle()));
        Pump(60);
    }
    void TearDown() override { editor.reset(); }

    void Pump(int milliseconds)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        while (std::chrono::steady_clock::now() < end)
        {
            XSync(display, False);
            editor->ProcessEvents();
            editor->TimerTick();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    // Opens the box for the field; `parameter` (index) switches on its typing filter.
    void Open(const std::string& text, int parameter = -1)
    {
        field->parameterIndex = parameter;
        editor->OpenTextEntry(field, field->textStyle, field->bounds, text,
                              parameter >= 0 ? plugin.Param(parameter) : nullptr);
        ASSERT_TRUE(editor->TextEntryOpen());
        Pump(30);
    }
    Window Box() const
    {
        const auto boxes = ChildrenOf(display, window);
        return boxes.size() == 1 ? boxes[0] : 0;
    }

    X11HostWindow host{600, 500};
    Display* display = nullptr;
    TestPlugin plugin;
    std::unique_ptr<TestEditor> editor;
    Field* field = nullptr;
    Window window = 0;
};

TEST_F(InProcess, TheBoxCoversTheControlInItsColoursAndTakesTheFocus)
{
    field->textStyle.entryBackground = {255, 10, 200, 30};
    Open("0.0");
    const Window box = Box();
    ASSERT_NE(box, 0u);
    Window root = 0;
    int x = 0, y = 0;
    unsigned w = 0, h = 0, border = 0, depth = 0;
    XGetGeometry(display, box, &root, &x, &y, &w, &h, &border, &depth);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 100);
    EXPECT_EQ(w, 101u);
    EXPECT_EQ(h, 31u);
    XImage* corner = XGetImage(display, box, 0, 0, 1, 1, AllPlanes, ZPixmap);
    ASSERT_NE(corner, nullptr);
    EXPECT_EQ(XGetPixel(corner, 0, 0) & 0xFFFFFF, 0x0AC81Eu);
    XDestroyImage(corner);
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    EXPECT_EQ(focus, box);
}

TEST_F(InProcess, TypingReplacesTheSelectionAndTheEditingKeysWorkWithinTheLimit)
{
    Open("0.0");
    Type(display, "12345678"); // the whole text was selected; the limit is 7
    Pump(30);
    EXPECT_EQ(editor->EntryBoxText(), "1234567");
    Key(display, XK_Home);
    Key(display, XK_Delete);
    Key(display, XK_End);
    Key(display, XK_Left);
    Key(display, XK_BackSpace);
    Key(display, XK_Right);
    Type(display, "x");
    Pump(30);
    EXPECT_EQ(editor->EntryBoxText(), "23457x");
    Key(display, XK_Home, true); // Shift+Home selects back to the start
    Type(display, "ab");
    Key(display, XK_Return);
    Pump(60);
    EXPECT_FALSE(editor->TextEntryOpen());
    EXPECT_EQ(Box(), 0u);
    ASSERT_EQ(field->accepted.size(), 1u);
    EXPECT_EQ(field->accepted[0], "ab");
}

TEST_F(InProcess, ThePressThatPlacesTheCaretAndALatinOneKeyTypeUtf8)
{
    Open("0000");
    const KeyCode spare = XKeysymToKeycode(display, XK_F12);
    KeySym umlaut = XK_udiaeresis;
    XChangeKeyboardMapping(display, spare, 1, &umlaut, 1);
    XSync(display, False);
    Pump(30);
    Button(display, Box(), 0, 15); // left of the text: the caret goes to its start
    Pump(30);
    XTestFakeKeyEvent(display, spare, True, CurrentTime);
    XTestFakeKeyEvent(display, spare, False, CurrentTime);
    XSync(display, False);
    Pump(30);
    KeySym f12 = XK_F12;
    XChangeKeyboardMapping(display, spare, 1, &f12, 1);
    EXPECT_EQ(editor->EntryBoxText(), "\xC3\xBC"
                                      "0000");
}

TEST_F(InProcess, TheTypingFilterFollowsTheParameterType)
{
    struct Case
    {
        int parameter;
        const char* typed;
        const char* kept;
    };
    const Case cases[] = {
        {TestPlugin::kSource, "1.2", "12"},    // an enumeration takes no point
        {TestPlugin::kLevel, "-1.5x", "-1.5"}, // a double takes one, but no letter
        {-1, "a.b", "a.b"},                    // no parameter: anything
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.typed);
        Open("0", c.parameter);
        Type(display, c.typed);
        Pump(30);
        EXPECT_EQ(editor->EntryBoxText(), c.kept);
        Key(display, XK_Escape);
        Pump(60);
        ASSERT_FALSE(editor->TextEntryOpen());
    }
}

TEST_F(InProcess, EachWayOfEndingTheEntryCommitsOrCancels)
{
    struct Case
    {
        const char* name;
        void (*end)(InProcess&);
        bool commits;
    };
    const Case cases[] = {
        {"Return", [](InProcess& t) { Key(t.display, XK_Return); }, true},
        {"Escape", [](InProcess& t) { Key(t.display, XK_Escape); }, false},
        {"a press elsewhere in the editor",
         [](InProcess& t) { Button(t.display, t.window, 300, 300); }, true},
        {"the wheel in the editor", [](InProcess& t) { Button(t.display, t.window, 300, 300, 4); },
         false},
        {"the host's XEmbed focus out",
         [](InProcess& t)
         {
             XEvent e{};
             e.xclient.type = ClientMessage;
             e.xclient.window = t.window;
             e.xclient.message_type = XInternAtom(t.display, "_XEMBED", False);
             e.xclient.format = 32;
             e.xclient.data.l[1] = 5;
             XSendEvent(t.display, t.window, False, NoEventMask, &e);
             XSync(t.display, False);
         },
         true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        field->accepted.clear();
        Open("0");
        Type(display, "42");
        c.end(*this);
        Pump(80);
        EXPECT_FALSE(editor->TextEntryOpen());
        EXPECT_EQ(Box(), 0u);
        EXPECT_EQ(field->accepted,
                  c.commits ? std::vector<std::string>{"42"} : std::vector<std::string>{});
    }
}

TEST_F(InProcess, KeysAnXEmbedHostSendsToTheEditorWindowGoToTheOpenBox)
{
    Open("0");
    auto send = [&](KeySym symbol)
    {
        XEvent e{};
        e.xkey.type = KeyPress;
        e.xkey.display = display;
        e.xkey.window = window;
        e.xkey.root = DefaultRootWindow(display);
        e.xkey.keycode = XKeysymToKeycode(display, symbol);
        e.xkey.same_screen = True;
        XSendEvent(display, window, False, KeyPressMask, &e);
        XSync(display, False);
    };
    send(XK_7);
    send(XK_Return);
    Pump(80);
    EXPECT_FALSE(editor->TextEntryOpen());
    EXPECT_EQ(field->accepted, std::vector<std::string>{"7"});
}

TEST_F(InProcess, ClosingTheWindowWithTheBoxOpenTakesTheBoxAlong)
{
    Open("5");
    editor->CloseEditorWindow();
    host.Sync();
    EXPECT_TRUE(host.Children().empty());
    EXPECT_FALSE(editor->TextEntryOpen());
    EXPECT_TRUE(field->accepted.empty());
}

// ---- Through the real VST3 module ----

class Vst3TextEntry : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        module = std::make_unique<Vst3Module>();
        ASSERT_TRUE(module->Load(VERDIGRIX_VST3_BUNDLE)) << module->LastError();
    }
    static void TearDownTestSuite() { module.reset(); }

    static inline std::unique_ptr<Vst3Module> module;
};

TEST_F(Vst3TextEntry, ADoubleClickedValueBoxTakesATypedValueAsOneHostEdit)
{
    using namespace vst3;
    X11HostWindow host(600, 500);
    Display* display = host.Connection();
    Vst3Plugin plugin;
    ASSERT_TRUE(plugin.Create(module->Factory())) << plugin.LastError();
    auto* frame = new HostRunLoop();
    IPlugView* view = plugin.Controller()->createView(kEditorViewType);
    ASSERT_NE(view, nullptr);
    view->setFrame(frame);
    ASSERT_EQ(view->attached(host.Parent(), kPlatformTypeX11EmbedWindowID), kResultOk);
    frame->RunFor(100);
    const Window editor = host.Children().at(0);

    // Opens the Q box (a double parameter) and types `text`, then `end` ends the entry.
    auto enter = [&](const std::string& text, auto end)
    {
        Button(display, editor, 176, 410);
        Button(display, editor, 176, 410);
        frame->RunFor(150);
        EXPECT_EQ(ChildrenOf(display, editor).size(), 1u) << "the box is open";
        const size_t seen = plugin.Handler().Calls().size();
        Type(display, text);
        end();
        frame->RunFor(150);
        EXPECT_TRUE(ChildrenOf(display, editor).empty()) << "the box is closed";
        return std::vector<ComponentHandler::Call>(plugin.Handler().Calls().begin() + seen,
                                                   plugin.Handler().Calls().end());
    };

    const auto committed = enter("2", [&] { Key(display, XK_Return); });
    ASSERT_GE(committed.size(), 3u);
    EXPECT_EQ(committed.front().kind, ComponentHandler::Kind::Begin);
    EXPECT_EQ(committed.back().kind, ComponentHandler::Kind::End);
    const ParamID q = committed.front().id;
    const double two = (2.0 - 0.1) / (4.0 - 0.1);
    EXPECT_NEAR(plugin.Controller()->getParamNormalized(q), two, 1e-6);

    EXPECT_TRUE(enter("3", [&] { Key(display, XK_Escape); }).empty());
    EXPECT_NEAR(plugin.Controller()->getParamNormalized(q), two, 1e-6);

    const auto clickedAway = enter("3", [&] { Button(display, editor, 250, 60); });
    ASSERT_FALSE(clickedAway.empty());
    EXPECT_NEAR(plugin.Controller()->getParamNormalized(q), (3.0 - 0.1) / 3.9, 1e-6);

    view->removed();
    view->release();
    frame->release();
}
} // namespace
