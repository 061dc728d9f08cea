// The X11 editor's services no control calls (folders, web page, clipboard, host window
// opacity) and its cursors, in process on the X11 window class under the program's own
// X server.

#include "CairoLeakSuppression.h"
#include "XvfbServer.h"

#include "graphics/platform/IGraphicsX11.h"
#include "hosting/x11/X11HostWindow.h"

#include <X11/Xatom.h>
#include <X11/cursorfont.h>
#include <X11/extensions/XTest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace
{
namespace fs = std::filesystem;
const auto* const kServer = ::testing::AddGlobalTestEnvironment(new XvfbServer);

// A folder of its own for each test, removed afterwards.
struct Scratch
{
    Scratch()
        : path(fs::temp_directory_path() /
               ("verdigrix-x11-" + std::to_string(getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name()))
    {
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~Scratch() { fs::remove_all(path); }
    void Write(const fs::path& name, const std::string& text, bool executable = false) const
    {
        fs::create_directories((path / name).parent_path());
        std::ofstream(path / name) << text;
        if (executable)
            fs::permissions(path / name, fs::perms::owner_all);
    }
    fs::path path;
};

std::string Read(const fs::path& file)
{
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class Services : public ::testing::Test
{
protected:
    IGraphicsX11 editor{nullptr, 500, 450, 30};
    Scratch scratch;
    std::string out;
};

TEST_F(Services, FoldersComeFromTheXdgUserDirectoriesWithHomeFallbacks)
{
    const std::string home = scratch.path.string();
    setenv("HOME", home.c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_DATA_HOME");
    unsetenv("XDG_DATA_DIRS");
    scratch.Write(".config/user-dirs.dirs", "# written by xdg-user-dirs-update\n"
                                            "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
                                            "XDG_DOCUMENTS_DIR=\"/srv/docs\"\n");
    editor.DesktopFolder(out);
    EXPECT_EQ(out, home + "/Schreibtisch");
    editor.DocumentsFolder(out);
    EXPECT_EQ(out, "/srv/docs");
    editor.AppDataFolder(out, false);
    EXPECT_EQ(out, home + "/.local/share");
    editor.AppDataFolder(out, true);
    EXPECT_EQ(out, "/usr/local/share");

    // XDG_CONFIG_HOME points elsewhere, where no file is: the fallbacks.
    setenv("XDG_CONFIG_HOME", (home + "/elsewhere").c_str(), 1);
    setenv("XDG_DATA_HOME", "/srv/data", 1);
    setenv("XDG_DATA_DIRS", "/opt/share:/usr/share", 1);
    editor.DesktopFolder(out);
    EXPECT_EQ(out, home + "/Desktop");
    editor.DocumentsFolder(out);
    EXPECT_EQ(out, home + "/Documents");
    editor.UserAppDataFolder(out);
    EXPECT_EQ(out, "/srv/data");
    editor.AppDataFolder(out, true);
    EXPECT_EQ(out, "/opt/share");

    // This program's folder, with its closing slash; the code here is linked into it.
    editor.HostExecutableFolder(out);
    EXPECT_EQ(out, fs::canonical("/proc/self/exe").parent_path().string() + "/");
    std::string module;
    editor.ModuleFolder(module);
    EXPECT_EQ(module, out);
}

TEST_F(Services, AWebPageOpensThroughXdgOpenWithTheUrlAsOneArgument)
{
    // A stand-in xdg-open that writes its arguments, one per line.
    scratch.Write("bin/xdg-open",
                  "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > \"$0.args\"\n", true);
    const char* const previous = std::getenv("PATH");
    const std::string path = (scratch.path / "bin").string() + ":" + (previous ? previous : "");
    setenv("PATH", path.c_str(), 1);
    const std::string url = "https://example.org/a page?x=1;y=$HOME";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(editor.OpenWebPage(url.c_str(), "Title", nullptr, nullptr));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
    const fs::path args = scratch.path / "bin/xdg-open.args";
    for (int i = 0; i < 200 && Read(args).empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(Read(args), url + "\n");

    fs::remove(args);
    EXPECT_FALSE(editor.OpenWebPage(url.c_str(), "Title", "Open it?", nullptr))
        << "a confirmation needs a message box, which answers cancelled";
    EXPECT_FALSE(editor.OpenWebPage("--help", nullptr, nullptr, nullptr));
    EXPECT_FALSE(editor.OpenWebPage("", nullptr, nullptr, nullptr));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(fs::exists(args));

    setenv("PATH", (scratch.path / "nothing").c_str(), 1);
    EXPECT_FALSE(editor.OpenWebPage(url.c_str(), nullptr, nullptr, nullptr));
    setenv("PATH", previous ? previous : "", 1);
}

// Owns CLIPBOARD on a connection of its own and answers requests for UTF8_STRING with
// `text`, or never answers at all when `answers` is false.
class ClipboardOwner
{
public:
    ClipboardOwner(std::string text, bool answers) : text(std::move(text)), answers(answers)
    {
        display = XOpenDisplay(nullptr);
        window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
        clipboard = XInternAtom(display, "CLIPBOARD", False);
        utf8 = XInternAtom(display, "UTF8_STRING", False);
        XSetSelectionOwner(display, clipboard, window, CurrentTime);
        XSync(display, False);
        thread = std::thread([this] { Serve(); });
    }
    ~ClipboardOwner()
    {
        stop = true;
        thread.join();
        XCloseDisplay(display);
    }

private:
    void Serve()
    {
        while (!stop)
        {
            while (XPending(display))
            {
                XEvent event;
                XNextEvent(display, &event);
                if (event.type == SelectionRequest && answers)
                    Answer(event.xselectionrequest);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    void Answer(const XSelectionRequestEvent& request)
    {
        XEvent reply{};
        reply.xselection.type = SelectionNotify;
        reply.xselection.requestor = request.requestor;
        reply.xselection.selection = request.selection;
        reply.xselection.target = request.target;
        reply.xselection.time = request.time;
        reply.xselection.property = None;
        if (request.target == utf8)
        {
            XChangeProperty(display, request.requestor, request.property, utf8, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(text.data()),
                            static_cast<int>(text.size()));
            reply.xselection.property = request.property;
        }
        XSendEvent(display, request.requestor, False, NoEventMask, &reply);
        XFlush(display);
    }

    std::string text;
    bool answers;
    Display* display = nullptr;
    Window window = 0;
    Atom clipboard = None;
    Atom utf8 = None;
    std::atomic<bool> stop{false};
    std::thread thread;
};

TEST_F(Services, ClipboardTextIsTheOwnersUtf8TextAndAHungOwnerCostsABoundedWait)
{
    {
        ClipboardOwner owner("Gr\xC3\xBC\xC3\x9F"
                             "e 42",
                             true);
        EXPECT_TRUE(editor.ClipboardText(out));
        EXPECT_EQ(out, "Gr\xC3\xBC\xC3\x9F"
                       "e 42");
    }
    ClipboardOwner hung("never", false);
    const auto start = std::chrono::steady_clock::now();
    out = "stale";
    EXPECT_FALSE(editor.ClipboardText(out));
    EXPECT_TRUE(out.empty());
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(400));
    EXPECT_LT(waited, std::chrono::milliseconds(1000));
}

void PointerAt(Display* display, int& x, int& y)
{
    Window root = 0, child = 0;
    int wx = 0, wy = 0;
    unsigned mask = 0;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &x, &y, &wx, &wy, &mask);
}

// Moves the pointer and waits until the server has taken the move: injected input is
// processed on the server's own schedule, not with the request.
void MovePointer(Display* display, int x, int y)
{
    XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
    XSync(display, False);
    int px = -1, py = -1;
    for (int i = 0; i < 200; ++i)
    {
        PointerAt(display, px, py);
        if (px == x && py == y)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

class OpenEditor : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(host.IsOpen());
        editor.CreateDrawingBitmap();
        ASSERT_NE(editor.OpenEditorWindow(host.Parent()), nullptr);
        host.Sync();
    }
    X11HostWindow host{600, 500};
    IGraphicsX11 editor{nullptr, 500, 450, 30};
};

TEST_F(OpenEditor, OpacityGoesToTheHostsTopLevelWindow)
{
    editor.SetHostWindowOpacity(128);
    Display* display = host.Connection();
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, host.Id(), XInternAtom(display, "_NET_WM_WINDOW_OPACITY", False), 0,
                       1, False, XA_CARDINAL, &type, &format, &count, &after, &data);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(count, 1u);
    // Xlib hands 32-bit items over as longs, sign-extended.
    EXPECT_EQ(*reinterpret_cast<unsigned long*>(data) & 0xFFFFFFFFul, 0x80808080ul);
    XFree(data);
}

TEST_F(OpenEditor, CursorKindsAreCursorFontShapesAndConcealingPutsThePointerBack)
{
    const struct
    {
        int kind;
        unsigned shape;
    } table[] = {{0, XC_left_ptr},
                 {1, XC_xterm},
                 {2, XC_watch},
                 {3, XC_crosshair},
                 {4, XC_sb_up_arrow},
                 {5, XC_bottom_right_corner},
                 {6, XC_bottom_left_corner},
                 {7, XC_sb_h_double_arrow},
                 {8, XC_sb_v_double_arrow},
                 {9, XC_fleur},
                 {10, XC_X_cursor},
                 {11, XC_hand2},
                 {12, XC_watch},
                 {13, XC_question_arrow},
                 {14, XC_left_ptr},
                 {-1, XC_left_ptr}};
    for (const auto& row : table)
        EXPECT_EQ(IGraphicsX11::CursorFontShape(row.kind), row.shape) << row.kind;

    Display* display = host.Connection();
    MovePointer(display, 200, 220);
    editor.SetMouseCursor(IGraphicsWindow::kCursorSizeNorthSouth);
    editor.ConcealCursor();
    EXPECT_TRUE(editor.cursorHidden);
    MovePointer(display, 400, 30); // a drag moves it on
    editor.RestoreCursor();
    EXPECT_FALSE(editor.cursorHidden);
    // The warp went out on the editor's own connection: wait for the server to take it.
    int x = 0, y = 0;
    for (int i = 0; i < 200 && !(x == 200 && y == 220); ++i)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        PointerAt(display, x, y);
    }
    EXPECT_EQ(x, 200);
    EXPECT_EQ(y, 220);
}
} // namespace
