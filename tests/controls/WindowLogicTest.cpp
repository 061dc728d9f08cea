// The editor window logic every window system shares, driven through a substitute window
// system that records the native calls and answers like a real one.

#include "TestPlugin.h"

#include "framework/IParameter.h"
#include "graphics/DoubleClickDetector.h"
#include "graphics/IGraphicsWindow.h"
#include "graphics/TypingFilter.h"
#include "graphics/VirtualKey.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace
{
std::string Rect(const IRectangle& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

// The window system: every native call is logged; UpdateWindow answers with an expose of
// what was invalidated, as a real window's synchronous paint does.
class SubstituteWindow : public IGraphicsWindow
{
public:
    SubstituteWindow(IEffectBase* plugin, double scale)
        : IGraphicsWindow(plugin, 500, 450, 30), scale(scale)
    {
    }
    ~SubstituteWindow() override { CloseEditorWindow(); }

    double DisplayScale() override { return scale; }

    std::vector<std::string> log;
    bool failCreate = false;
    bool captured = false;
    std::string boxText;
    EntryBoxLayout lastBox;
    std::vector<PopupMenuItem> shownMenu;
    int menuAnswer = -1;
    IRectangle invalid;
    int windowX = 0, windowY = 0, windowW = 0, windowH = 0;

    void Clear() { log.clear(); }
    bool Logged(const std::string& entry) const
    {
        for (const std::string& e : log)
            if (e == entry)
                return true;
        return false;
    }

    // Unused platform services.
    void HostExecutableFolder(std::string& out) override { out.clear(); }
    void ModuleFolder(std::string& out) override { out.clear(); }
    void DesktopFolder(std::string& out) override { out.clear(); }
    void DocumentsFolder(std::string& out) override { out.clear(); }
    void AppDataFolder(std::string& out, bool) override { out.clear(); }
    void UserAppDataFolder(std::string& out) override { out.clear(); }
    int ShowMessage(const char*, const char*, int) override { return 0; }
    void ChooseFile(std::string& out, int, std::string&, const char*) override { out.clear(); }
    bool ChooseColour(const IArgbColour&, const char*) override { return false; }
    bool OpenWebPage(const char*, const char*, const char*, const char*) override { return false; }
    bool ClipboardText(std::string& out) override
    {
        out.clear();
        return false;
    }
    void SetHostWindowOpacity(int) override {}
    void Reserved31() override {}
    std::unique_ptr<IBitmap> LoadPngResource(int, const char*) override { return nullptr; }

protected:
    bool AcquireWindowSystem() override
    {
        log.push_back("acquire");
        return true;
    }
    void ReleaseWindowSystem() override { log.push_back("release"); }
    void* CreateNativeWindow(void* parent, int x, int y, int w, int h) override
    {
        log.push_back("create " + std::to_string(reinterpret_cast<intptr_t>(parent)) + " " +
                      std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(w) +
                      "x" + std::to_string(h));
        windowX = x;
        windowY = y;
        windowW = w;
        windowH = h;
        return failCreate ? nullptr : this;
    }
    void DestroyNativeWindow(void*) override { log.push_back("destroy"); }
    void NativeWindowGeometry(int& x, int& y, int& w, int& h) override
    {
        x = windowX;
        y = windowY;
        w = windowW;
        h = windowH;
    }
    void InvalidateWindow(const IRectangle& area) override
    {
        log.push_back("invalidate " + Rect(area));
        invalid = invalid.Union(area);
    }
    void ValidateWindow(const IRectangle& area) override { log.push_back("validate " + Rect(area)); }
    void UpdateWindow() override
    {
        WindowEvent expose;
        expose.kind = WindowEvent::Kind::kExpose;
        expose.area = invalid;
        invalid = {};
        HandleEvent(expose);
    }
    void BlitToWindow(const IRectangle& area) override { log.push_back("blit " + Rect(area)); }
    void TakeKeyboardFocus() override { log.push_back("focus"); }
    void SetMouseCapture(bool c) override { captured = c; }
    bool HasMouseCapture() override { return captured; }
    void TrackMouseLeave() override { log.push_back("track leave"); }
    void ForwardKeyToHost(const WindowEvent& e) override
    {
        log.push_back("forward " + std::to_string(e.virtualKey));
    }
    int TrackPopupMenu(const std::vector<PopupMenuItem>& items, int x, int y) override
    {
        log.push_back("menu at " + std::to_string(x) + "," + std::to_string(y));
        shownMenu = items;
        return menuAnswer;
    }
    bool CreateEntryBox(const EntryBoxLayout& box) override
    {
        log.push_back("box");
        lastBox = box;
        boxText = box.text;
        return true;
    }
    std::string EntryBoxText() override { return boxText; }
    void DestroyEntryBox() override { log.push_back("box closed"); }
    void SetCursorShape(int kind) override { log.push_back("cursor " + std::to_string(kind)); }
    bool CursorScreenPosition(int& x, int& y) override
    {
        x = 640;
        y = 480;
        return true;
    }
    void WarpCursor(int x, int y) override
    {
        log.push_back("warp " + std::to_string(x) + "," + std::to_string(y));
    }
    void SetCursorVisible(bool v) override { log.push_back(v ? "show" : "hide"); }

private:
    double scale;
};

class Probe : public IControl
{
public:
    Probe(IEffectBase* plugin, const IRectangle& bounds, int parameterIndex = -1)
        : IControl(plugin, bounds, parameterIndex)
    {
    }
    bool Paint(IGraphics&) override
    {
        ++paints;
        return true;
    }
    void MousePressed(int x, int y, const IMouseState&) override
    {
        events.push_back("press " + std::to_string(x) + "," + std::to_string(y));
    }
    void MouseReleased(int, int, const IMouseState&) override { events.push_back("release"); }
    void MouseDragged(int x, int y, int, int, const IMouseState&) override
    {
        events.push_back("drag " + std::to_string(x) + "," + std::to_string(y));
    }
    void MouseWheeled(int, int, const IMouseState&, int notches) override
    {
        events.push_back("wheel " + std::to_string(notches));
    }
    void MouseDoubleClicked(int, int, const IMouseState&) override { events.push_back("double"); }
    void MouseHovering(int, int, const IMouseState&) override { events.push_back("hover"); }
    void MouseLeft() override { events.push_back("left"); }
    bool KeyPressed(int, int, int code) override
    {
        events.push_back("key " + std::to_string(code));
        return takesKeys;
    }

    bool takesKeys = false;
    int paints = 0;
    std::vector<std::string> events;
};

void* const kParent = reinterpret_cast<void*>(intptr_t{77});

struct Window
{
    explicit Window(double scale = 1.0)
    {
        auto owned = std::make_unique<SubstituteWindow>(&plugin, scale);
        window = owned.get();
        background = Add(IRectangle{0, 0, 500, 450});
        pad = Add(IRectangle{100, 200, 300, 400}, TestPlugin::kFrequency);
        level = Add(IRectangle{350, 100, 450, 130}, TestPlugin::kLevel);
        plugin.AttachEditor(std::move(owned));
    }
    Probe* Add(const IRectangle& bounds, int parameter = -1)
    {
        auto control = std::make_unique<Probe>(&plugin, bounds, parameter);
        Probe* raw = control.get();
        window->AddControl(std::move(control));
        return raw;
    }
    bool Send(WindowEvent::Kind kind, int x = 0, int y = 0, int button = 0, IMouseState held = {},
              int delta = 0, int key = 0)
    {
        WindowEvent e;
        e.kind = kind;
        e.x = x;
        e.y = y;
        e.button = button;
        e.buttons = held;
        e.wheelDelta = delta;
        e.virtualKey = key;
        return window->HandleEvent(e);
    }
    void Open()
    {
        ASSERT_NE(window->OpenEditorWindow(kParent), nullptr);
        window->Clear();
    }

    TestPlugin plugin;
    SubstituteWindow* window;
    Probe* background;
    Probe* pad;
    Probe* level;
};
} // namespace

TEST(EditorWindow, OpensAChildOfTheParentAtTheScaledSizeAndHoldsTheWindowSystemWhileAnyIsOpen)
{
    Window first(1.5);
    Window second(1.0);
    ASSERT_EQ(first.window->OpenEditorWindow(kParent), first.window);
    EXPECT_EQ(first.window->log, (std::vector<std::string>{"acquire", "create 77 0,0 750x675"}));
    EXPECT_TRUE(first.window->IsWindowOpen());
    EXPECT_EQ(first.window->WindowWidth(), 750);
    EXPECT_EQ(first.window->WindowHeight(), 675);

    ASSERT_NE(second.window->OpenEditorWindow(kParent), nullptr);
    EXPECT_EQ(second.window->log, (std::vector<std::string>{"create 77 0,0 500x450"}));
    EXPECT_EQ(IGraphicsWindow::OpenWindowCount(), 2);

    first.window->CloseEditorWindow();
    EXPECT_FALSE(first.window->Logged("release"));
    second.window->CloseEditorWindow();
    EXPECT_TRUE(second.window->Logged("release"));
    EXPECT_EQ(IGraphicsWindow::OpenWindowCount(), 0);
    EXPECT_FALSE(second.window->IsWindowOpen());
}

TEST(EditorWindow, ReopeningKeepsTheOldWindowsPlaceAndAFailedCreationRestoresTheCount)
{
    Window w;
    w.Open();
    w.window->windowX = 5;
    w.window->windowY = 6;
    ASSERT_NE(w.window->OpenEditorWindow(kParent), nullptr);
    EXPECT_EQ(w.window->log, (std::vector<std::string>{"destroy", "release", "acquire",
                                                        "create 77 5,6 500x450"}));
    w.window->CloseEditorWindow();

    w.window->failCreate = true;
    w.pad->dirty = false;
    w.pad->repaintPending = false;
    w.window->Clear();
    EXPECT_EQ(w.window->OpenEditorWindow(kParent), nullptr);
    EXPECT_TRUE(w.window->Logged("release"));
    EXPECT_EQ(IGraphicsWindow::OpenWindowCount(), 0);
    EXPECT_FALSE(w.pad->NeedsPaint()) << "a failed open touches no control";
}

TEST(EditorWindow, WindowPixelsReachControlsAsLogicalPixelsTruncated)
{
    Window w(1.5);
    w.Open();
    const IMouseState left{true, false, false, false, false};
    // Window pixel (301, 451) is logical (200.67, 300.67): the pad at (200, 300).
    w.Send(WindowEvent::Kind::kPress, 301, 451, WindowEvent::kLeft, left);
    EXPECT_TRUE(w.window->captured);
    EXPECT_TRUE(w.window->Logged("focus"));
    w.Send(WindowEvent::Kind::kMotion, 300, 450, 0, left); // same logical pixel
    w.Send(WindowEvent::Kind::kMotion, 320, 460, 0, left);
    w.Send(WindowEvent::Kind::kRelease, 320, 460, WindowEvent::kLeft);
    EXPECT_FALSE(w.window->captured);
    EXPECT_EQ(w.pad->events, (std::vector<std::string>{"press 200,300", "drag 213,306", "release"}));
    EXPECT_EQ(w.plugin.log, (std::vector<std::string>{"begin 2", "end 2"}));

    // A drag without the capture (the press happened elsewhere) reaches nobody.
    w.pad->events.clear();
    w.Send(WindowEvent::Kind::kMotion, 330, 470, 0, left);
    EXPECT_TRUE(w.pad->events.empty());
}

TEST(EditorWindow, WheelHoverLeaveAndDoubleClickAreRouted)
{
    Window w;
    w.Open();
    w.Send(WindowEvent::Kind::kWheel, 150, 250, 0, {}, 119);
    w.Send(WindowEvent::Kind::kWheel, 150, 250, 0, {}, -240);
    w.Send(WindowEvent::Kind::kMotion, 150, 250);
    EXPECT_FALSE(w.window->Logged("track leave")) << "hover is off until a control asks";
    w.window->hoverTracking = true;
    w.Send(WindowEvent::Kind::kMotion, 150, 250);
    EXPECT_TRUE(w.window->Logged("track leave"));
    w.Send(WindowEvent::Kind::kDoubleClick, 150, 250, WindowEvent::kLeft);
    w.pad->events.erase(std::remove(w.pad->events.begin(), w.pad->events.end(), "left"),
                        w.pad->events.end());
    EXPECT_EQ(w.pad->events, (std::vector<std::string>{"wheel 0", "wheel -2", "hover", "double"}));
    // The whole notches are one gesture; the double click begins no edit.
    EXPECT_EQ(w.plugin.log, (std::vector<std::string>{"begin 2", "end 2"}));
    w.pad->events.clear();
    w.Send(WindowEvent::Kind::kLeave);
    EXPECT_EQ(w.pad->events, (std::vector<std::string>{"left"}));
}

TEST(EditorWindow, ExposeRepaintsTheLogicalAreaAndBlitsItScaled)
{
    Window w(1.5);
    w.Open();
    WindowEvent expose;
    expose.kind = WindowEvent::Kind::kExpose;
    expose.area = {0, 0, 750, 675};
    EXPECT_TRUE(w.window->HandleEvent(expose));
    EXPECT_EQ(w.window->log, (std::vector<std::string>{"blit 0,0,750,675"}));
    EXPECT_EQ(w.window->PaintArea(), (IRectangle{0, 0, 500, 450}));
    EXPECT_EQ(w.pad->paints, 1);
}

TEST(EditorWindow, KeysTheEditorDoesNotHandleGoOnToTheHost)
{
    Window w;
    w.Open();
    // Over the pad: the pad sees the key but declines it.
    EXPECT_TRUE(w.Send(WindowEvent::Kind::kKeyDown, 150, 250, 0, {}, 0, 'A'));
    EXPECT_EQ(w.pad->events, (std::vector<std::string>{"key 15"}));
    // Over the background, or a key without a code: straight to the host.
    w.Send(WindowEvent::Kind::kKeyDown, 5, 5, 0, {}, 0, 'B');
    w.Send(WindowEvent::Kind::kKeyDown, 150, 250, 0, {}, 0, VirtualKey::kReturn);
    EXPECT_FALSE(w.Send(WindowEvent::Kind::kKeyUp, 150, 250, 0, {}, 0, 'A'));
    EXPECT_EQ(w.window->log,
              (std::vector<std::string>{"forward 65", "forward 66", "forward 13", "forward 65"}));

    w.pad->takesKeys = true;
    w.window->Clear();
    w.Send(WindowEvent::Kind::kKeyDown, 150, 250, 0, {}, 0, VirtualKey::kSpace);
    EXPECT_TRUE(w.window->log.empty());
}

TEST(EditorWindow, TimerPaintsDirtyControlsAtOnceAndRunsIdleOnEverySecondCleanTick)
{
    Window w(1.5);
    w.Open();
    EXPECT_EQ(w.window->TimerPeriodMs(), 33);
    w.window->TimerTick();
    EXPECT_EQ(w.window->log, (std::vector<std::string>{"invalidate 0,0,750,675", "blit 0,0,750,675"}));
    w.window->TimerTick(); // the second repaint of the open's invalidation
    w.window->TimerTick();
    w.window->TimerTick();
    w.window->Clear();
    const int idle = w.plugin.idleCalls;
    w.pad->Invalidate(false);
    w.window->TimerTick();
    EXPECT_EQ(w.window->log,
              (std::vector<std::string>{"invalidate 150,300,450,600", "blit 150,300,450,600"}));
    w.window->TimerTick();
    w.window->Clear();
    w.window->TimerTick();
    w.window->TimerTick();
    EXPECT_TRUE(w.window->log.empty());
    EXPECT_EQ(w.plugin.idleCalls, idle + 1);
}

TEST(EditorWindow, ClosedWindowHandlesNothing)
{
    Window w;
    EXPECT_FALSE(w.Send(WindowEvent::Kind::kPress, 150, 250, WindowEvent::kLeft));
    w.window->TimerTick();
    EXPECT_TRUE(w.pad->events.empty());
    EXPECT_TRUE(w.window->log.empty());
}

// ---- Text entry ----

struct Entry : Window
{
    explicit Entry(double scale = 1.0) : Window(scale)
    {
        Open();
        Settle();
        IRectangle r = level->bounds;
        window->AskUserForValue(level, plugin.Param(TestPlugin::kLevel), &r);
    }
    void Settle()
    {
        for (int i = 0; i < 4; ++i)
            window->TimerTick();
        window->Clear();
    }
};

TEST(EditorWindowEntry, OpensABoxOverTheControlScaledWithTheStylesFont)
{
    Entry e(1.5);
    ASSERT_TRUE(e.window->TextEntryOpen());
    const EntryBoxLayout& box = e.window->lastBox;
    EXPECT_EQ(box.x, 525);
    EXPECT_EQ(box.y, 150);
    EXPECT_EQ(box.width, 151);
    EXPECT_EQ(box.height, 46);
    EXPECT_EQ(box.fontHeight, 18);
    EXPECT_EQ(box.text, "0.0");
    EXPECT_EQ(box.limit, 7);
    EXPECT_EQ(e.window->entryState, IGraphicsWindow::kEntryFocused);

    // A second request while the box is open is ignored.
    IRectangle r = e.pad->bounds;
    e.window->OpenTextEntry(e.pad, e.pad->textStyle, r, "x", nullptr);
    EXPECT_EQ(e.window->EntryControl(), e.level);
}

TEST(EditorWindowEntry, ReturnCommitsOnTheNextTickAsOneGesture)
{
    Entry e;
    e.window->boxText = "12.5";
    EXPECT_TRUE(e.window->EntryKeyDown(VirtualKey::kReturn));
    EXPECT_TRUE(e.window->TextEntryOpen()) << "the tick finishes the entry, not the key";
    e.window->TimerTick();
    EXPECT_FALSE(e.window->TextEntryOpen());
    EXPECT_TRUE(e.window->Logged("box closed"));
    EXPECT_DOUBLE_EQ(e.plugin.Param(TestPlugin::kLevel)->Value(), 12.5);
    EXPECT_EQ(e.plugin.log.front(), "begin 4");
    EXPECT_EQ(e.plugin.log.back(), "end 4");
    EXPECT_EQ(e.window->entryState, IGraphicsWindow::kEntryIdle);
}

TEST(EditorWindowEntry, EachWayOfEndingTheEntryCommitsOrCancels)
{
    struct Case
    {
        const char* name;
        void (*end)(Entry&);
        bool commits;
    };
    const IMouseState left{true, false, false, false, false};
    static const IMouseState kLeftHeld = left;
    const Case cases[] = {
        {"escape", [](Entry& e) { EXPECT_TRUE(e.window->EntryKeyDown(VirtualKey::kEscape)); },
         false},
        {"focus lost", [](Entry& e) { e.window->EntryFocusLost(); }, true},
        {"command 1", [](Entry& e) { e.window->EntryCommand(1); }, true},
        {"press while focused",
         [](Entry& e) { e.Send(WindowEvent::Kind::kPress, 150, 250, WindowEvent::kLeft, kLeftHeld); },
         false},
        {"press after a repaint",
         [](Entry& e)
         {
             e.pad->Invalidate(false);
             e.window->entryState = IGraphicsWindow::kEntryIdle;
             e.window->TimerTick();
             EXPECT_EQ(e.window->entryState, IGraphicsWindow::kEntryRepainted);
             e.Send(WindowEvent::Kind::kPress, 150, 250, WindowEvent::kLeft, kLeftHeld);
         },
         true},
        {"wheel after a repaint",
         [](Entry& e)
         {
             e.window->entryState = IGraphicsWindow::kEntryIdle;
             e.Send(WindowEvent::Kind::kWheel, 150, 250, 0, {}, 120);
         },
         false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Entry e;
        e.window->boxText = "7";
        c.end(e);
        e.window->TimerTick();
        EXPECT_FALSE(e.window->TextEntryOpen());
        EXPECT_DOUBLE_EQ(e.plugin.Param(TestPlugin::kLevel)->Value(), c.commits ? 7.0 : 0.0);
        EXPECT_TRUE(e.pad->events.empty()) << "the press ending an entry reaches no control";
    }
}

TEST(EditorWindowEntry, WhileTheBoxHasTheFocusTheTimerLeavesTheEditorAlone)
{
    Entry e;
    e.window->Clear();
    e.pad->Invalidate(false);
    e.window->TimerTick();
    EXPECT_TRUE(e.window->log.empty());
    EXPECT_FALSE(e.Send(WindowEvent::Kind::kKeyDown, 150, 250, 0, {}, 0, 'A'));

    // Focus elsewhere without a request (state 0): the repaint spares the box.
    e.window->entryState = IGraphicsWindow::kEntryIdle;
    e.window->TimerTick();
    EXPECT_TRUE(e.window->Logged("validate 350,100,450,130"));
    EXPECT_EQ(e.window->entryState, IGraphicsWindow::kEntryRepainted);
    e.window->TimerTick();
    EXPECT_EQ(e.window->entryState, IGraphicsWindow::kEntryIdle);
    EXPECT_TRUE(e.window->TextEntryOpen());
}

TEST(EditorWindowEntry, TypingFilterFollowsTheParameterType)
{
    struct Case
    {
        int type;
        char c;
        bool passes;
    };
    const Case cases[] = {{3, '.', false}, {3, '7', true}, {3, '-', true}, {1, 'a', false},
                          {2, '+', true},  {4, '.', true}, {4, 'e', false}, {0, 'x', true},
                          {3, '\b', true}};
    for (const Case& c : cases)
        EXPECT_EQ(TypingFilter::Accepts(c.type, c.c), c.passes) << c.type << " " << c.c;

    Entry e; // a double parameter
    EXPECT_TRUE(e.window->EntryAcceptsCharacter('.'));
    EXPECT_FALSE(e.window->EntryAcceptsCharacter('x'));
}

TEST(EditorWindowEntry, BoxPlacementBeyondTheIntegerRangeBecomesTheMostNegativeInteger)
{
    Window w(4.0);
    w.Open();
    w.window->OpenTextEntry(w.pad, w.pad->textStyle, {INT_MAX / 2, 0, INT_MAX / 2 + 10, 10},
                            "", nullptr);
    EXPECT_EQ(w.window->lastBox.x, INT_MIN);
    EXPECT_EQ(w.window->lastBox.width, 41);
}

// ---- Popup menus ----

TEST(EditorWindowMenu, IdsRunThroughSubmenusAndTheChoiceNamesTheSubmenu)
{
    Window w(2.0);
    w.Open();
    IMenuModel menu;
    menu.AddEntry("one");
    auto submenu = std::make_unique<IMenuModel>();
    submenu->numbering = 2;
    submenu->AddEntry("a", IMenuEntry::kChecked);
    submenu->AddEntry("b", IMenuEntry::kDisabled);
    IMenuModel* inner = submenu.get();
    menu.AddEntry("more").submenu = std::move(submenu);
    menu.AddEntry("", IMenuEntry::kSeparator);

    w.window->menuAnswer = 4;
    IMenuModel* chosen = w.window->RunPopupMenu(menu, {10, 20, 110, 40});
    ASSERT_EQ(chosen, inner);
    EXPECT_EQ(chosen->chosenIndex, 1);
    EXPECT_EQ(w.window->log,
              (std::vector<std::string>{"menu at 20,80", "invalidate 0,0,1000,900"}));

    const auto& items = w.window->shownMenu;
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].id, 0);
    EXPECT_EQ(items[1].id, -1);
    ASSERT_EQ(items[1].submenu.size(), 2u);
    EXPECT_EQ(items[1].submenu[0].text, "01: a");
    EXPECT_EQ(items[1].submenu[0].id, 3);
    EXPECT_TRUE(items[1].submenu[0].checked);
    EXPECT_EQ(items[1].submenu[1].id, 4);
    EXPECT_TRUE(items[1].submenu[1].grayed);
    EXPECT_TRUE(items[2].separator);

    w.window->menuAnswer = -1;
    EXPECT_EQ(w.window->RunPopupMenu(menu, {10, 20, 110, 40}), nullptr);
}

TEST(EditorWindowMenu, AChoiceFromTheValueMenuSetsTheEnumeration)
{
    Window w;
    w.Open();
    Probe* source = w.Add({0, 0, 50, 20}, TestPlugin::kSource);
    w.window->menuAnswer = 2;
    IRectangle r = source->bounds;
    w.window->AskUserForValue(source, w.plugin.Param(TestPlugin::kSource), &r);
    EXPECT_DOUBLE_EQ(w.plugin.Param(TestPlugin::kSource)->Value(), 2.0);
    EXPECT_EQ(w.window->shownMenu[1].text, "Stereo");
}

// ---- Cursor and double clicks ----

TEST(EditorWindowCursor, KindsOutsideTheTableShowTheArrowAndConcealRestoresWhereItWas)
{
    Window w;
    w.Open();
    for (int kind : {0, 1, 13, 14, -1})
        w.window->SetMouseCursor(kind);
    EXPECT_EQ(w.window->log, (std::vector<std::string>{"cursor 0", "cursor 1", "cursor 13",
                                                        "cursor 0", "cursor 0"}));
    w.window->Clear();
    w.window->ConcealCursor();
    w.window->ConcealCursor();
    EXPECT_EQ(w.window->savedCursorX, 640);
    w.window->RestoreCursor();
    w.window->RestoreCursor();
    EXPECT_EQ(w.window->log, (std::vector<std::string>{"hide", "warp 640,480", "show"}));
}

TEST(DoubleClick, RecognisedFromTimeAndDistanceOfTwoLeftPresses)
{
    struct Case
    {
        int button;
        int x;
        uint32_t time;
        bool isDouble;
    };
    const Case second[] = {{1, 102, 1300, true}, {1, 110, 1100, false}, {1, 100, 1401, false},
                           {3, 100, 1100, false}};
    for (const Case& c : second)
    {
        DoubleClickDetector d;
        EXPECT_FALSE(d.Press(1, 100, 50, 1000));
        EXPECT_EQ(d.Press(c.button, c.x, 50, c.time), c.isDouble) << c.x << " " << c.time;
    }
    DoubleClickDetector d;
    d.Press(1, 0, 0, 0xFFFFFF00u);
    EXPECT_TRUE(d.Press(1, 0, 0, 0x10u)) << "server time wraps";
    EXPECT_FALSE(d.Press(1, 0, 0, 0x20u)) << "a third press starts afresh";
}
