// The editor as a Win32 child window inside a host's top-level window, through the real
// modules loaded as a host loads them. Runs under Wine with an X server of its own. The
// program is its own launcher: it runs its cases in child processes, once at 96 dpi and once
// at 144 dpi (the prefix's LogPixels, which a process reads as it starts).

#include "effect/Verdigrix.h"
#include "graphics/IBitmap.h"
#include "graphics/IGraphics.h"
#include "graphics/IGraphicsHeadless.h"
#include "hosting/vst2/Vst2Instance.h"
#include "hosting/vst2/Vst2Module.h"
#include "hosting/vst3/Vst3Module.h"
#include "hosting/vst3/Vst3Plugin.h"
#include "tests/vst2/Vst2ModulePath.h"
#include "tests/vst3/BundleFixture.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace vst3;

namespace
{
constexpr const char* kDpiVariable = "VERDIGRIX_EDITOR_DPI";

int ExpectedDpi()
{
    const char* dpi = std::getenv(kDpiVariable);
    return dpi != nullptr ? std::atoi(dpi) : 96;
}

double ExpectedScale()
{
    return ExpectedDpi() / 96.0;
}

int ToWindow(int logical)
{
    return static_cast<int>(ExpectedScale() * logical);
}

LPARAM At(int x, int y)
{
    return MAKELPARAM(x, y);
}

// Runs the thread's messages for `milliseconds`, as a host's message loop would.
void Pump(int milliseconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end)
    {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(5);
    }
}

std::string ClassOf(HWND window)
{
    char name[128] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TitleOf(HWND window)
{
    char title[128] = {};
    GetWindowTextA(window, title, sizeof title);
    return title;
}

// A host's top-level window; it records the keys that reach it.
class HostWindow
{
public:
    HostWindow()
    {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "VerdigrixTestHost";
        RegisterClassA(&windowClass);
        window =
            CreateWindowExA(0, "VerdigrixTestHost", "Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                            1000, 800, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        keys.clear();
    }
    ~HostWindow() { DestroyWindow(window); }
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND Handle() const { return window; }
    /// The editor windows inside.
    std::vector<HWND> Editors() const
    {
        std::vector<HWND> found;
        for (HWND child = FindWindowExA(window, nullptr, "IEditorWndClass", nullptr);
             child != nullptr; child = FindWindowExA(window, child, "IEditorWndClass", nullptr))
            found.push_back(child);
        return found;
    }
    HWND Editor() const
    {
        const auto editors = Editors();
        return editors.size() == 1 ? editors[0] : nullptr;
    }

    static inline std::vector<WPARAM> keys;

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_KEYDOWN)
            keys.push_back(wParam);
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }

    HWND window = nullptr;
};

// A left-button press at window pixel (x, y), a drag to (toX, toY), and the release there.
void PressDragAndRelease(HWND editor, int x, int y, int toX, int toY)
{
    SendMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
    SendMessageA(editor, WM_MOUSEMOVE, MK_LBUTTON, At(toX, toY));
    SendMessageA(editor, WM_LBUTTONUP, 0, At(toX, toY));
}

void Click(HWND editor, int x, int y)
{
    SendMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
    SendMessageA(editor, WM_LBUTTONUP, 0, At(x, y));
}

double LeadingNumber(const std::string& text)
{
    return std::strtod(text.c_str(), nullptr);
}

// The editor drawn without a window at the same scale, for comparing what the window shows.
std::unique_ptr<Verdigrix> HeadlessEditor()
{
    IGraphicsHeadless::SetScreenScale(ExpectedScale());
    auto effect = std::make_unique<Verdigrix>();
    for (int i = 0; i < effect->ParamCount(); ++i)
        effect->ParameterChanged(i, IEffectBase::kSourceOpening);
    auto* editor = dynamic_cast<IGraphics*>(effect->graphics.get());
    if (editor == nullptr)
        return nullptr;
    for (int tick = 0; tick < 8; ++tick)
    {
        IRectangle area;
        if (editor->FindDirtyArea(area))
            editor->RedrawArea(area);
    }
    return effect;
}

class Vst3Editor : public BundleTest
{
protected:
    void SetUp() override
    {
        plugin = NewPlugin();
        view = plugin->Controller()->createView(kEditorViewType);
        ASSERT_NE(view, nullptr);
    }
    void TearDown() override
    {
        if (view)
        {
            view->removed();
            view->release();
        }
        plugin.reset();
    }

    ParamID IdOf(const char* title)
    {
        for (const ParameterInfo& info : plugin->Parameters())
            if (Text(info.title) == title)
                return info.id;
        ADD_FAILURE() << "no parameter " << title;
        return 0;
    }

    std::vector<ComponentHandler::Call> CallsSince(size_t seen)
    {
        const auto& all = plugin->Handler().Calls();
        return {all.begin() + static_cast<std::ptrdiff_t>(std::min(seen, all.size())), all.end()};
    }

    /// The last value performed for `id` among `calls`, or -1.
    static double Performed(const std::vector<ComponentHandler::Call>& calls, ParamID id)
    {
        double value = -1.0;
        for (const auto& c : calls)
            if (c.kind == ComponentHandler::Kind::Perform && c.id == id)
                value = c.value;
        return value;
    }

    std::unique_ptr<Vst3Plugin> plugin;
    IPlugView* view = nullptr;
};

TEST(Screen, HasTheDpiThisRunIsFor)
{
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSX), ExpectedDpi());
    ReleaseDC(nullptr, screen);
}

TEST_F(Vst3Editor, BothScalesOpenTheChildWindowThatPaintsTheEditorAndTakesAPress)
{
    HostWindow host;
    const int width = ToWindow(500);
    const int height = ToWindow(450);
    EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeHWND), kResultTrue);
    EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID), kResultFalse);
    ViewRect before{};
    ASSERT_EQ(view->getSize(&before), kResultOk);
    EXPECT_EQ(before.right - before.left, width);
    EXPECT_EQ(before.bottom - before.top, height);
    EXPECT_EQ(view->attached(host.Handle(), kPlatformTypeX11EmbedWindowID), kResultFalse);
    EXPECT_TRUE(host.Editors().empty());

    // No run loop: the window's own timer drives it.
    ASSERT_EQ(view->attached(host.Handle(), kPlatformTypeHWND), kResultOk);
    HWND editor = host.Editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(ClassOf(editor), "IEditorWndClass");
    EXPECT_EQ(TitleOf(editor), "Verdigrix");
    EXPECT_EQ(GetParent(editor), host.Handle());
    EXPECT_TRUE(GetWindowLongA(editor, GWL_STYLE) & WS_CHILD);
    RECT client{};
    GetClientRect(editor, &client);
    EXPECT_EQ(client.right, width);
    EXPECT_EQ(client.bottom, height);

    Pump(400);
    auto headless = HeadlessEditor();
    ASSERT_NE(headless, nullptr);
    const IBitmap* drawn = dynamic_cast<IGraphics*>(headless->graphics.get())->DrawingBitmap();
    ASSERT_EQ(drawn->Width(), width);
    // Points across the editor outside the pad, whose curve follows the processing.
    HDC screen = GetDC(editor);
    int compared = 0;
    for (int y = 4; y < 450; y += 23)
        for (int x = 4; x < 500; x += 29)
        {
            if (x >= 4 && x < 348 && y >= 108 && y < 368)
                continue;
            const int wx = ToWindow(x);
            const int wy = ToWindow(y);
            const uint32_t expected = drawn->Pixels()[wy * drawn->RowPixels() + wx];
            const COLORREF shown = GetPixel(screen, wx, wy);
            EXPECT_EQ(GetRValue(shown), (expected >> 16) & 0xFF) << wx << "," << wy;
            EXPECT_EQ(GetGValue(shown), (expected >> 8) & 0xFF) << wx << "," << wy;
            EXPECT_EQ(GetBValue(shown), expected & 0xFF) << wx << "," << wy;
            ++compared;
        }
    ReleaseDC(editor, screen);
    EXPECT_GT(compared, 200);

    // A press on the pad at logical (200, 300) (at 1.5 that is window pixel (301, 451)) opens
    // its two gestures; the drag to logical (300, 300) sets the frequency there.
    const size_t seen = plugin->Handler().Calls().size();
    const ParamID frequency = IdOf("Filter Frequency");
    const ParamID q = IdOf("Filter Q");
    const int px = ExpectedDpi() == 144 ? 301 : 200;
    const int py = ExpectedDpi() == 144 ? 451 : 300;
    PressDragAndRelease(editor, px, py, ToWindow(300), py);
    Pump(100);
    const auto calls = CallsSince(seen);
    ASSERT_GE(calls.size(), 5u);
    EXPECT_EQ(calls[0].kind, ComponentHandler::Kind::Begin);
    EXPECT_EQ(calls[0].id, frequency);
    EXPECT_EQ(calls[1].kind, ComponentHandler::Kind::Begin);
    EXPECT_EQ(calls[1].id, q);
    EXPECT_EQ(calls.back().kind, ComponentHandler::Kind::End);
    const double value = Performed(calls, frequency);
    ASSERT_GE(value, 0.0);
    // The pad is logarithmic in hertz across its 336 pixels from x = 8.
    const double low = LeadingNumber(plugin->ValueText(frequency, 0.0));
    const double high = LeadingNumber(plugin->ValueText(frequency, 1.0));
    const double expected = low * std::pow(high / low, (300.0 - 8.0) / 336.0);
    EXPECT_NEAR(LeadingNumber(plugin->ValueText(frequency, value)), expected, expected * 0.005);

    EXPECT_EQ(view->removed(), kResultOk);
    EXPECT_TRUE(host.Editors().empty());
}

TEST_F(Vst3Editor, TheSourceDropdownOpensAMenuWhoseChoiceBecomesTheValue)
{
    HostWindow host;
    ASSERT_EQ(view->attached(host.Handle(), kPlatformTypeHWND), kResultOk);
    Pump(100);
    const ParamID source = IdOf("Source Type");
    const double before = plugin->Controller()->getParamNormalized(source);
    const size_t seen = plugin->Handler().Calls().size();

    // The menu is modal: a timer that fires inside its loop finds it, notes its entries
    // and picks the second one.
    static HWND menu;
    static int entries;
    static int checked;
    menu = nullptr;
    entries = checked = -1;
    const UINT_PTR timer =
        SetTimer(nullptr, 0, 150,
                 [](HWND, UINT, UINT_PTR, DWORD)
                 {
                     HWND found = FindWindowA("#32768", nullptr);
                     if (found == nullptr || menu != nullptr)
                         return;
                     menu = found;
                     auto* shown = reinterpret_cast<HMENU>(SendMessageA(found, MN_GETHMENU, 0, 0));
                     entries = GetMenuItemCount(shown);
                     for (int i = 0; i < entries; ++i)
                         if (GetMenuState(shown, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED)
                             checked = i;
                     PostMessageA(found, WM_KEYDOWN, VK_DOWN, 0);
                     PostMessageA(found, WM_KEYDOWN, VK_DOWN, 0);
                     PostMessageA(found, WM_KEYDOWN, VK_RETURN, 0);
                 });
    const int x = ToWindow(140);
    const int y = ToWindow(90);
    SendMessageA(host.Editor(), WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
    SendMessageA(host.Editor(), WM_LBUTTONUP, 0, At(x, y));
    KillTimer(nullptr, timer);
    Pump(100);
    ASSERT_NE(menu, nullptr);
    // The six sources, the current one checked.
    EXPECT_EQ(entries, 6);
    EXPECT_EQ(checked, static_cast<int>(std::lround(before * 5)));
    const double after = plugin->Controller()->getParamNormalized(source);
    EXPECT_DOUBLE_EQ(after, 1.0 / 5);
    EXPECT_EQ(Performed(CallsSince(seen), source), after);
}

TEST_F(Vst3Editor, TheHostsContentScaleSizesTheWindow)
{
    HostWindow host;
    void* scaling = nullptr;
    ASSERT_EQ(view->queryInterface(IPlugViewContentScaleSupport::iid.data(), &scaling), kResultOk);
    auto* scale = static_cast<IPlugViewContentScaleSupport*>(scaling);
    ASSERT_EQ(scale->setContentScaleFactor(1.5f), kResultOk);
    ViewRect size{};
    view->getSize(&size);
    EXPECT_EQ(size.right, 750);
    ASSERT_EQ(view->attached(host.Handle(), kPlatformTypeHWND), kResultOk);
    RECT client{};
    GetClientRect(host.Editor(), &client);
    EXPECT_EQ(client.right, 750);
    EXPECT_EQ(client.bottom, 675);
    // While open, the window follows a new factor.
    ASSERT_EQ(scale->setContentScaleFactor(1.0f), kResultOk);
    GetClientRect(host.Editor(), &client);
    EXPECT_EQ(client.right, 500);
    EXPECT_EQ(client.bottom, 450);
    scale->release();
}

TEST_F(Vst3Editor, TheTextBoxFiltersTypingReturnCommitsAndEscapeCancels)
{
    HostWindow host;
    ASSERT_EQ(view->attached(host.Handle(), kPlatformTypeHWND), kResultOk);
    HWND editor = host.Editor();
    Pump(100);
    const ParamID frequency = IdOf("Filter Frequency");
    // The frequency box, {8, 396, 112, 424}: a double click asks for a typed value.
    const int x = ToWindow(60);
    const int y = ToWindow(410);
    auto openBox = [&]
    {
        SendMessageA(editor, WM_LBUTTONDBLCLK, MK_LBUTTON, At(x, y));
        SendMessageA(editor, WM_LBUTTONUP, 0, At(x, y));
        Pump(50);
        return GetDlgItem(editor, 99);
    };
    HWND box = openBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ClassOf(box), "Edit");
    EXPECT_EQ(GetFocus(), box);
    // A second request while the box is open changes nothing.
    EXPECT_EQ(openBox(), box);

    SetWindowTextA(box, "");
    for (char c : std::string("1x2.0a0"))
        SendMessageA(box, WM_CHAR, static_cast<WPARAM>(c), 0);
    char typed[32] = {};
    GetWindowTextA(box, typed, sizeof typed);
    EXPECT_STREQ(typed, "12.00");
    SetWindowTextA(box, "1200");
    const size_t seen = plugin->Handler().Calls().size();
    SendMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
    Pump(150);
    EXPECT_EQ(GetDlgItem(editor, 99), nullptr);
    const double value = Performed(CallsSince(seen), frequency);
    ASSERT_GE(value, 0.0);
    EXPECT_NEAR(LeadingNumber(plugin->ValueText(frequency, value)), 1200.0, 1.0);

    box = openBox();
    ASSERT_NE(box, nullptr);
    SetWindowTextA(box, "3000");
    const size_t beforeCancel = plugin->Handler().Calls().size();
    SendMessageA(box, WM_KEYDOWN, VK_ESCAPE, 0);
    Pump(150);
    EXPECT_EQ(GetDlgItem(editor, 99), nullptr);
    EXPECT_EQ(Performed(CallsSince(beforeCancel), frequency), -1.0);
    EXPECT_DOUBLE_EQ(plugin->Controller()->getParamNormalized(frequency), value);
}

TEST_F(Vst3Editor, ClosingAndReopeningKeepsValuesAndTheClassLivesWhileAWindowIsOpen)
{
    HostWindow host;
    HMODULE module = GetModuleHandleA("Verdigrix.vst3");
    ASSERT_NE(module, nullptr);
    WNDCLASSA info{};
    ASSERT_EQ(view->attached(host.Handle(), kPlatformTypeHWND), kResultOk);
    EXPECT_TRUE(GetClassInfoA(module, "IEditorWndClass", &info));
    EXPECT_TRUE(info.style & CS_DBLCLKS);
    Pump(100);
    const size_t seen = plugin->Handler().Calls().size();
    Click(host.Editor(), ToWindow(364), ToWindow(288)); // the effect's own Bypass button
    Pump(100);
    const auto calls = CallsSince(seen);
    ASSERT_FALSE(calls.empty());
    const ParamID bypass = calls.front().id;
    const double value = plugin->Controller()->getParamNormalized(bypass);
    EXPECT_GT(value, 0.5);

    auto second = NewPlugin();
    IPlugView* other = second->Controller()->createView(kEditorViewType);
    ASSERT_EQ(other->attached(host.Handle(), kPlatformTypeHWND), kResultOk);
    EXPECT_EQ(host.Editors().size(), 2u);
    view->removed();
    EXPECT_TRUE(GetClassInfoA(module, "IEditorWndClass", &info));
    other->removed();
    other->release();
    second.reset();
    EXPECT_FALSE(GetClassInfoA(module, "IEditorWndClass", &info));

    ASSERT_EQ(view->attached(host.Handle(), kPlatformTypeHWND), kResultOk);
    Pump(100);
    EXPECT_NE(host.Editor(), nullptr);
    EXPECT_EQ(plugin->Controller()->getParamNormalized(bypass), value);
}

TEST_F(Vst3Editor, KeysTheEditorDoesNotTakeGoOnToTheHostsWindow)
{
    HostWindow host;
    ASSERT_EQ(view->attached(host.Handle(), kPlatformTypeHWND), kResultOk);
    HostWindow::keys.clear();
    SendMessageA(host.Editor(), WM_KEYDOWN, 'Q', 0);
    ASSERT_EQ(HostWindow::keys.size(), 1u);
    EXPECT_EQ(HostWindow::keys[0], static_cast<WPARAM>('Q'));
}

TEST_F(Vst3Editor, AHostThatDestroysItsWindowFirstLeavesTheEditorClosed)
{
    auto host = std::make_unique<HostWindow>();
    ASSERT_EQ(view->attached(host->Handle(), kPlatformTypeHWND), kResultOk);
    Pump(50);
    host.reset();
    Pump(50);
    EXPECT_EQ(view->removed(), kResultOk);
    HostWindow again;
    ASSERT_EQ(view->attached(again.Handle(), kPlatformTypeHWND), kResultOk);
    EXPECT_NE(again.Editor(), nullptr);
}

// ---- VST2 ----

TEST(Vst2Editor, OpensInTheHwndGivenAndAClickBecomesOneAutomatedEdit)
{
    std::string error;
    auto module = Vst2Module::Load(Vst2ModulePath(), &error);
    ASSERT_NE(module, nullptr) << error;
    HostWindow host;
    auto plug = Vst2Instance::Create(module->Entry());
    ASSERT_NE(plug, nullptr);
    EXPECT_TRUE(plug->Effect()->flags & VST2_FLAG_HAS_EDITOR);
    vst2_erect* rect = nullptr;
    ASSERT_EQ(plug->Dispatch(VST2_EFF_EDIT_GET_RECT, 0, 0, &rect), 1);
    EXPECT_EQ(rect->right - rect->left, ToWindow(500));
    EXPECT_EQ(rect->bottom - rect->top, ToWindow(450));
    EXPECT_EQ(plug->Dispatch(VST2_EFF_EDIT_OPEN, 0, 0, nullptr), 0);
    ASSERT_EQ(plug->Dispatch(VST2_EFF_EDIT_OPEN, 0, 0, host.Handle()), 1);
    ASSERT_EQ(plug->Dispatch(VST2_EFF_EDIT_GET_RECT, 0, 0, &rect), 1);
    EXPECT_EQ(rect->right - rect->left, ToWindow(500));
    HWND editor = host.Editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(TitleOf(editor), "Verdigrix");

    Pump(100);
    plug->ClearCalls();
    Click(editor, ToWindow(364), ToWindow(288)); // Bypass
    Pump(100);
    EXPECT_EQ(plug->CallsOf(VST2_HOST_BEGIN_EDIT).size(), 1u);
    EXPECT_EQ(plug->CallsOf(VST2_HOST_END_EDIT).size(), 1u);
    EXPECT_FALSE(plug->CallsOf(VST2_HOST_AUTOMATE).empty());

    EXPECT_EQ(plug->Dispatch(VST2_EFF_EDIT_CLOSE), 1);
    EXPECT_TRUE(host.Editors().empty());
    plug->Close();
}

// ---- The launcher ----

bool SetScreenDpi(DWORD dpi)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const bool ok =
        RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                       sizeof dpi) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

// Runs this program again with the screen at `dpi` and a test filter; answers its status.
int RunAt(DWORD dpi, const std::string& filter)
{
    if (!SetScreenDpi(dpi))
    {
        std::fprintf(stderr, "cannot set the screen's dpi\n");
        return 1;
    }
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string command = std::string("\"") + self + "\" --gtest_filter=" + filter;
    SetEnvironmentVariableA(kDpiVariable, std::to_string(dpi).c_str());
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    std::fflush(stdout);
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process))
    {
        std::fprintf(stderr, "cannot start %s\n", command.c_str());
        return 1;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 1;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(status);
}
} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Hosts declare themselves aware of the screen's dpi; the editor scales itself.
    SetProcessDPIAware();
    if (std::getenv(kDpiVariable) != nullptr)
        return RUN_ALL_TESTS();
    const int at96 = RunAt(96, "*");
    const int at144 = RunAt(144, "Screen.*:*BothScales*:Vst2Editor.*");
    SetScreenDpi(96);
    return at96 != 0 || at144 != 0 ? 1 : 0;
}
