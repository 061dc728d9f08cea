// The editor's own popup menu on a real X server: what it shows, where, and how the mouse
// and the keyboard end it. The test's thread runs the modal menu while a scripted user on
// another connection acts on the screen.

#include "CairoLeakSuppression.h"
#include "X11TestInput.h"
#include "XvfbServer.h"

#include "graphics/IGraphicsWindow.h"
#include "graphics/IMenuModel.h"
#include "graphics/PopupMenuLayout.h"
#include "graphics/platform/X11Connection.h"
#include "graphics/platform/X11PopupMenu.h"
#include "resources/EmbeddedResources.h"

#include <X11/keysym.h>

#include <string>

namespace
{
const auto* const kServer = ::testing::AddGlobalTestEnvironment(new XvfbServer);

// Ids: Alpha 0, (separator 1), Beta 2, (Gamma 3 opens One 6 and Two 7), Delta 4, Epsilon 5.
constexpr int kAlpha = 0, kEpsilon = 5, kOne = 6, kTwo = 7;
constexpr int kAlphaRow = 0, kBetaRow = 2, kGammaRow = 3, kEpsilonRow = 5;

std::vector<PopupMenuItem> Items()
{
    IMenuModel menu;
    menu.AddEntry("Alpha", IMenuEntry::kChecked);
    menu.AddEntry("", IMenuEntry::kSeparator);
    menu.AddEntry("Beta", IMenuEntry::kDisabled);
    IMenuEntry& gamma = menu.AddEntry("Gamma");
    gamma.submenu = std::make_unique<IMenuModel>();
    gamma.submenu->AddEntry("One");
    gamma.submenu->AddEntry("Two");
    menu.AddEntry("Delta", IMenuEntry::kTitle);
    menu.AddEntry("Epsilon");
    return IGraphicsWindow::BuildPopupItems(menu);
}

/// The middle of row `row` of a menu window at `scale` (the left part, over the text).
void RowMiddle(const std::vector<PopupMenuItem>& items, int row, double scale, int& x, int& y)
{
    const PopupMenuLayout layout(items, scale, {});
    x = layout.Pixels(30);
    y = (layout.RowOf(row).top + layout.RowOf(row).bottom) / 2;
}

class PopupMenu : public ::testing::Test
{
protected:
    void SetUp() override
    {
        UseEmbeddedResources();
        connection = X11Connection::Acquire();
        ASSERT_NE(connection, nullptr);
    }
    void TearDown() override
    {
        if (connection)
            X11Connection::Release();
    }

    /// Runs the menu at (x, y) while `script` acts, then makes sure the script ended.
    int Track(std::function<void(Display*)> script, int x = 100, int y = 100, double scale = 1.0,
              std::function<void()> tick = {})
    {
        int chosen = -2;
        std::atomic<bool> ended{false};
        {
            // A script that failed half-way still ends the menu, so the test cannot hang.
            ScriptedUser user(
                [&, script = std::move(script)](Display* display)
                {
                    script(display);
                    if (!RunUntil([]
                                  { std::this_thread::sleep_for(std::chrono::milliseconds(10)); },
                                  [&] { return ended.load(); }, 3000))
                    {
                        ADD_FAILURE() << "the menu was still open after the script";
                        while (!ended)
                            Key(display, XK_Escape);
                    }
                });
            X11PopupMenu menu(owner, scale, std::move(tick), 20);
            chosen = menu.Track(items, x, y);
            ended = true;
        }
        EXPECT_TRUE(PopupWindows(connection->display).empty());
        return chosen;
    }

    X11Connection* connection = nullptr;
    Window owner = 0;
    const std::vector<PopupMenuItem> items = Items();
};

TEST_F(PopupMenu, TheKeyboardMovesOverSeparatorsIntoSubmenusAndChoosesOnlyEnabledEntries)
{
    struct Case
    {
        const char* name;
        std::vector<KeySym> keys; // Escape follows: a script that chose nothing dismisses
        int expected;
    } const cases[] = {
        {"Down Return takes the first entry", {XK_Down, XK_Return}, kAlpha},
        {"Up from nothing takes the last", {XK_Up, XK_Return}, kEpsilon},
        {"a grayed entry cannot be chosen", {XK_Down, XK_Down, XK_Return}, -1},
        {"a disabled entry cannot be chosen", {XK_Down, XK_Down, XK_Down, XK_Down, XK_Return}, -1},
        {"Down wraps round",
         {XK_Down, XK_Down, XK_Down, XK_Down, XK_Down, XK_Down, XK_Return},
         kAlpha},
        {"Right opens the submenu at its first entry",
         {XK_Down, XK_Down, XK_Down, XK_Right, XK_Down, XK_Return},
         kTwo},
        {"Return opens the submenu too", {XK_Up, XK_Up, XK_Up, XK_Return, XK_Return}, kOne},
        {"Left goes back to the parent",
         {XK_Down, XK_Down, XK_Down, XK_Right, XK_Left, XK_Down, XK_Down, XK_Return},
         kEpsilon},
        {"Escape dismisses", {}, -1},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const int chosen = Track(
            [&](Display* display)
            {
                ASSERT_FALSE(WaitForPopups(display, 1).empty());
                for (KeySym key : c.keys)
                    Key(display, key);
                Key(display, XK_Escape);
            });
        EXPECT_EQ(chosen, c.expected);
    }
}

TEST_F(PopupMenu, APressOnAnEnabledEntryChoosesItAndAnywhereElseDoesNot)
{
    struct Case
    {
        const char* name;
        int row; // -1: a press outside the menu
        int expected;
    } const cases[] = {
        {"an enabled entry", kEpsilonRow, kEpsilon},
        {"a grayed entry", kBetaRow, -1},
        {"the separator", 1, -1},
        {"outside", -1, -1},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const int chosen = Track(
            [&](Display* display)
            {
                const auto popups = WaitForPopups(display, 1);
                ASSERT_EQ(popups.size(), 1u);
                int x = 0, y = 0;
                RowMiddle(items, c.row < 0 ? 0 : c.row, 1.0, x, y);
                if (c.row < 0)
                    Click(display, DefaultRootWindow(display), 600, 600);
                else
                    Click(display, popups[0], x, y);
                // Still open when nothing was chosen: only then does Escape reach it.
                Key(display, XK_Escape);
            });
        EXPECT_EQ(chosen, c.expected);
    }
}

TEST_F(PopupMenu, HoveringOpensTheSubmenuBesideItsEntryWhereAPressChooses)
{
    const int chosen = Track(
        [&](Display* display)
        {
            const auto popups = WaitForPopups(display, 1);
            ASSERT_EQ(popups.size(), 1u);
            int x = 0, y = 0;
            RowMiddle(items, kGammaRow, 1.0, x, y);
            MoveTo(display, popups[0], x, y);
            const auto both = WaitForPopups(display, 2);
            ASSERT_EQ(both.size(), 2u);
            const Geometry menu = GeometryOf(display, both[0]);
            const Geometry submenu = GeometryOf(display, both[1]);
            EXPECT_GE(submenu.x, menu.x + static_cast<int>(menu.width) - 2);
            EXPECT_NEAR(submenu.y, menu.y + y, 22);
            // The entry that opened it is lit in amber.
            EXPECT_EQ(PixelOf(display, both[0], 3, y), kMenuAccent);
            RowMiddle(items, 1, 1.0, x, y);
            Click(display, both[1], x, y);
            Key(display, XK_Escape);
        });
    EXPECT_EQ(chosen, kTwo);
}

TEST_F(PopupMenu, TheReleaseOfTheOpeningPressChoosesNothingUntilThePointerReachesAnEntry)
{
    // The press that opened the menu is still held when it appears, over its first entry.
    Display* display = connection->display;
    XTestFakeMotionEvent(display, -1, 130, 114, CurrentTime);
    Button(display, 1, true);
    const int dismissed = Track(
        [&](Display* user)
        {
            ASSERT_FALSE(WaitForPopups(user, 1).empty());
            Button(user, 1, false);
            Key(user, XK_Escape);
        });
    EXPECT_EQ(dismissed, -1);

    XTestFakeMotionEvent(display, -1, 90, 90, CurrentTime);
    Button(display, 1, true);
    const int dragged = Track(
        [&](Display* user)
        {
            const auto popups = WaitForPopups(user, 1);
            ASSERT_EQ(popups.size(), 1u);
            int x = 0, y = 0;
            RowMiddle(items, kEpsilonRow, 1.0, x, y);
            MoveTo(user, popups[0], x, y);
            Button(user, 1, false);
            Key(user, XK_Escape);
        });
    EXPECT_EQ(dragged, kEpsilon);
}

TEST_F(PopupMenu, StaysOnTheScreenAndScalesWithTheEditor)
{
    Display* display = connection->display;
    const int screenWidth = DisplayWidth(display, DefaultScreen(display));
    const int screenHeight = DisplayHeight(display, DefaultScreen(display));
    std::vector<Geometry> seen;
    for (double scale : {1.0, 2.0})
    {
        Track(
            [&](Display* user)
            {
                const auto popups = WaitForPopups(user, 1);
                ASSERT_EQ(popups.size(), 1u);
                seen.push_back(GeometryOf(user, popups[0]));
                // The submenu opens to the left where the right has no room.
                int x = 0, y = 0;
                RowMiddle(items, kGammaRow, scale, x, y);
                MoveTo(user, popups[0], x, y);
                const auto both = WaitForPopups(user, 2);
                ASSERT_EQ(both.size(), 2u);
                const Geometry submenu = GeometryOf(user, both[1]);
                EXPECT_LE(submenu.x + static_cast<int>(submenu.width), seen.back().x + 2);
                Key(user, XK_Escape);
            },
            screenWidth - 5, screenHeight - 5, scale);
    }
    ASSERT_EQ(seen.size(), 2u);
    for (const Geometry& g : seen)
    {
        EXPECT_EQ(g.x + static_cast<int>(g.width), screenWidth);
        EXPECT_EQ(g.y + static_cast<int>(g.height), screenHeight);
    }
    EXPECT_EQ(seen[1].height, 2 * seen[0].height);
}

TEST_F(PopupMenu, OtherWindowsKeepTheirTimerAndTheirCloseRequestWaitsForTheMenu)
{
    Display* display = connection->display;
    owner = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 50, 50, 0, 0, 0);
    XSelectInput(display, owner, StructureNotifyMask);
    XSync(display, False);
    int ticks = 0;
    const int chosen = Track(
        [&](Display* user)
        {
            ASSERT_FALSE(WaitForPopups(user, 1).empty());
            XEvent close{};
            close.xclient.type = ClientMessage;
            close.xclient.window = owner;
            close.xclient.message_type = XInternAtom(user, "WM_PROTOCOLS", False);
            close.xclient.format = 32;
            XSendEvent(user, owner, False, NoEventMask, &close);
            XSync(user, False);
            std::this_thread::sleep_for(std::chrono::milliseconds(120));
            Key(user, XK_Escape);
        },
        100, 100, 1.0, [&] { ++ticks; });
    EXPECT_EQ(chosen, -1);
    EXPECT_GE(ticks, 3);
    XEvent waiting;
    EXPECT_TRUE(XCheckTypedWindowEvent(display, owner, ClientMessage, &waiting));

    // A window destroyed under the menu (the host closed it) ends the menu.
    const int ended = Track(
        [&](Display* user)
        {
            ASSERT_FALSE(WaitForPopups(user, 1).empty());
            XDestroyWindow(user, owner);
            XSync(user, False);
        });
    EXPECT_EQ(ended, -1);
    EXPECT_TRUE(XCheckTypedWindowEvent(display, owner, DestroyNotify, &waiting));
}

TEST_F(PopupMenu, IsDrawnAmberOnDarkWithTheTextsInIt)
{
    Track(
        [&](Display* display)
        {
            const auto popups = WaitForPopups(display, 1);
            ASSERT_EQ(popups.size(), 1u);
            const Geometry g = GeometryOf(display, popups[0]);
            XImage* image =
                XGetImage(display, popups[0], 0, 0, g.width, g.height, AllPlanes, ZPixmap);
            ASSERT_NE(image, nullptr);
            EXPECT_EQ(XGetPixel(image, 0, 0) & 0xFFFFFF, kMenuAccent);
            EXPECT_EQ(XGetPixel(image, 2, 2) & 0xFFFFFF, kMenuBackground);
            // Each row with an enabled entry has amber ink in it.
            const PopupMenuLayout layout(items, 1.0, {});
            int litRows = 0;
            for (int row : {kAlphaRow, kGammaRow, kEpsilonRow})
            {
                int accent = 0;
                for (int y = layout.RowOf(row).top; y < layout.RowOf(row).bottom; ++y)
                    for (unsigned x = 22; x + 22 < g.width; ++x)
                        accent += ((XGetPixel(image, static_cast<int>(x), y) >> 16) & 0xFF) > 0xA0;
                litRows += accent > 10;
            }
            EXPECT_EQ(litRows, 3);
            XDestroyImage(image);
            Key(display, XK_Escape);
        });
}
} // namespace
