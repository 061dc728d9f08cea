#pragma once

#include "graphics/DoubleClickDetector.h"
#include "graphics/IGraphicsWindow.h"

#include <X11/Xlib.h>

#include <chrono>
#include <memory>

typedef struct _cairo_surface cairo_surface_t;
class X11Connection;
class X11EntryBox;

/// The editor window on X11: a child window of the host's window (XEmbed), drawn by
/// copying the drawing bitmap through a cairo xlib surface. The host drives it: a run
/// loop watches EventDescriptor() and calls ProcessEvents() and TimerTick(), or an idle
/// call runs HostIdle(). All editors of the module share one display connection.
///
/// Threads: the host's user-interface thread; the audio thread never reaches any X call.
class IGraphicsX11 : public IGraphicsWindow
{
public:
    IGraphicsX11(IEffectBase* plugin, int width, int height, int framesPerSecond);
    ~IGraphicsX11() override;

    /// Installs this class as the module's editor class (EditorFactory).
    static void InstallAsEditor();

    /// The X cursor-font shape shown for a cursor kind (the arrow for unknown kinds).
    static unsigned int CursorFontShape(int kind);

    /// One event for a window of this editor (from X11Connection::Dispatch).
    void HandleXEvent(XEvent& event);

    int EventDescriptor() override;
    void ProcessEvents() override;
    void HostIdle() override;
    WindowSystem NativeWindowSystem() const override { return WindowSystem::kX11; }
    bool SetContentScale(double scale) override;
    /// The host's content scale when set, else Xft.dpi / 96 of the X resources, else 1.
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
    X11Connection* connection = nullptr;
    Window xwindow = 0;
    Window hostParent = 0;
    cairo_surface_t* windowSurface = nullptr;
    cairo_surface_t* bitmapSurface = nullptr;
    const void* bitmapPixels = nullptr;
    IRectangle pendingArea;
    bool captured = false;
    double contentScale = 0.0;
    int cursorKind = 0;
    Cursor shownCursor = None;
    Cursor invisibleCursor = None;
    DoubleClickDetector doubleClicks;
    std::chrono::steady_clock::time_point lastTick{};
    std::unique_ptr<X11EntryBox> entryBox;
    /// The host's window that embeds ours when it speaks XEmbed (it told us so), else 0.
    Window embedder = 0;

    void TranslateButton(const XButtonEvent& event, bool press);
    void TranslateKey(XKeyEvent& event, bool press);
    void MatchBitmapToScale();
    Window TopLevelOf(Window window);
    void HandleXEmbedMessage(const XClientMessageEvent& message);
};
