#pragma once

#include "graphics/EntryBoxLayout.h"
#include "graphics/IGraphicsWindow.h"

#include <windows.h>

#include <array>
#include <memory>
#include <string>

/// The editor window on Windows: a child window of class "IEditorWndClass" inside the
/// host's window, painted by copying the drawing bitmap (a DIB section) with GDI. Its own
/// timer (id 2, TimerPeriodMs) drives the repaint tick from the host's message loop, so no
/// host idle call or run loop is needed. The text-entry box is an EDIT child window whose
/// procedure is subclassed; popup menus are native menus tracked modally.
///
/// Threads: the host's user-interface thread that owns the window; the audio thread never
/// reaches any Win32 call of this class.
class IGraphicsWin : public IGraphicsWindow
{
public:
    /// The window class of every editor window of this module.
    static constexpr const char* kWindowClass = "IEditorWndClass";
    /// The repaint timer's id.
    static constexpr UINT_PTR kTimerId = 2;
    /// The control id of the text-entry box.
    static constexpr int kEntryBoxId = 99;

    IGraphicsWin(IEffectBase* plugin, int width, int height, int framesPerSecond);
    ~IGraphicsWin() override;

    /// Installs this class as the module's editor class (EditorFactory).
    static void InstallAsEditor();

    WindowSystem NativeWindowSystem() const override { return WindowSystem::kWin32; }
    bool DrivesItself() const override { return true; }
    bool SetContentScale(double scale) override;
    /// The host's content scale when set, else the larger of the screen's logical dots per
    /// inch (horizontal, vertical) divided by 96.
    double DisplayScale() override;
    std::string BackendName() override;

    int ShowMessage(const char* text, const char* caption, int buttons) override;
    void HostExecutableFolder(std::string& out) override;
    void ModuleFolder(std::string& out) override;
    void DesktopFolder(std::string& out) override;
    void DocumentsFolder(std::string& out) override;
    void AppDataFolder(std::string& out, bool systemWide) override;
    void UserAppDataFolder(std::string& out) override;
    void ChooseFile(std::string& out, int action, std::string& directory,
                    const char* extensions) override;
    bool ChooseColour(const IArgbColour& colour, const char* title) override;
    bool OpenWebPage(const char* url, const char* title, const char* confirmText,
                     const char* failureText) override;
    bool ClipboardText(std::string& out) override;
    void SetHostWindowOpacity(int alpha) override;
    void Reserved31() override;
    std::unique_ptr<IBitmap> LoadPngResource(int id, const char* name) override;

    /// The folder part of `path`: up to and including the last backslash; empty when the
    /// path has no backslash or ends with one.
    static std::string FolderOf(const std::string& path);

protected:
    bool AcquireWindowSystem() override;
    void ReleaseWindowSystem() override;
    void* CreateNativeWindow(void* parent, int x, int y, int width, int height) override;
    void DestroyNativeWindow(void* window) override;
    void NativeWindowGeometry(int& x, int& y, int& width, int& height) override;
    void InvalidateWindow(const IRectangle& area) override;
    void ValidateWindow(const IRectangle& area) override;
    void UpdateWindow() override;
    void BlitToWindow(const IRectangle& area) override;
    void TakeKeyboardFocus() override;
    void SetMouseCapture(bool captured) override;
    bool HasMouseCapture() override;
    void TrackMouseLeave() override;
    void ForwardKeyToHost(const WindowEvent& event) override;
    int TrackPopupMenu(const std::vector<PopupMenuItem>& items, int x, int y) override;
    bool CreateEntryBox(const EntryBoxLayout& box) override;
    std::string EntryBoxText() override;
    void DestroyEntryBox() override;
    void SetCursorShape(int kind) override;
    bool CursorScreenPosition(int& x, int& y) override;
    void WarpCursor(int screenX, int screenY) override;
    void SetCursorVisible(bool visible) override;

private:
    HMODULE module = nullptr;
    HWND window = nullptr;
    HWND entryBox = nullptr;
    WNDPROC entryPreviousProcedure = nullptr;
    HFONT entryFont = nullptr;
    EntryBoxLayout entryLayout;
    std::unique_ptr<std::array<COLORREF, 16>> customColours;
    DWORD processId = 0;
    HWND parentWindow = nullptr;
    HWND topWindow = nullptr;
    std::string topWindowClass;
    /// The device context of the paint in progress (between BeginPaint and EndPaint).
    HDC paintContext = nullptr;
    double contentScale = 0.0;

    static LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK EntryProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    /// The editor whose window `hwnd` is, or null.
    static IGraphicsWin* EditorOf(HWND hwnd);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleEntryMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool Paint();
    bool Mouse(WindowEvent::Kind kind, int button, WPARAM wParam, LPARAM lParam);
    LRESULT EntryColours(HDC context);
    HMENU BuildMenu(const std::vector<PopupMenuItem>& items);
    void MatchBitmapToScale();
    void FindTopWindow();
    void KnownFolder(int folder, std::string& out);
};
