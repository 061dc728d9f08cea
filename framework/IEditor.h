#pragma once

/// The little the plug-in base needs from its editor. The graphics object (IGraphics)
/// implements it; the framework core never sees the graphics layer itself.
/// [ui thread, or any thread under the plug-in lock]
class IEditor
{
public:
    virtual ~IEditor() = default;

    /// AttachEditor step 1: create the drawing bitmap at the display scale.
    virtual void CreateDrawingBitmap() = 0;

    /// AttachEditor step 2: hand a normalised value to every control bound to `index`
    /// and to every control that has `index` among its additional parameters.
    virtual void SetControlsFromNormalised(int index, double normalised) = 0;

    /// Push one parameter's value to the controls bound to it. [ui thread]
    virtual void ShowParameterValue(int index, double value, bool isNormalised) = 0;

    /// Parameter `index` took a new value. Lock-free and allocation-free, for any thread
    /// (the audio thread above all): the editor only notes it, and its repaint timer takes
    /// the parameter's value on the user-interface thread.
    virtual void MarkParameterChanged(int index) = 0;

    // ---- The editor window, for the adapters [ui thread] ----

    /// The window systems an editor window can live in.
    enum class WindowSystem
    {
        kNone,  ///< no window (tests, tools)
        kX11,   ///< the parent is an X window id
        kWin32  ///< the parent is a window handle (HWND)
    };

    /// Whether this build has a window class that can open the editor in a host window.
    /// A window-less editor answers false; the adapters then announce no editor.
    virtual bool HasWindowSystem() { return false; }
    /// Which kind of parent window OpenEditorWindow takes; the adapters name it to the host.
    virtual WindowSystem NativeWindowSystem() const { return WindowSystem::kNone; }
    /// Whether the open window runs its repaint timer and events itself (a Win32 timer and
    /// the host's message loop), so that no host run loop or idle call is needed.
    virtual bool DrivesItself() const { return false; }
    /// Opens the editor as a child of the host's window `parent` (a native window id or
    /// handle). Answers the editor's window, or null when it could not open.
    virtual void* OpenEditorWindow(void* /*parent*/) { return nullptr; }
    virtual void CloseEditorWindow() {}
    virtual bool IsWindowOpen() { return false; }
    /// The window's size in physical pixels: trunc(display scale x logical size). Valid
    /// before the window opens and after it closed.
    virtual int WindowWidth() { return 0; }
    virtual int WindowHeight() { return 0; }
    /// The host's content scale (physical per logical pixel), for window systems whose
    /// hosts tell it; 0 or less returns to the screen's own scale. Answers whether taken.
    virtual bool SetContentScale(double) { return false; }

    // ---- Driven by the host when the window system has no timer or events of its own ----

    /// One tick of the repaint timer (a run-loop timer every RepaintPeriodMs()).
    virtual void TimerTick() {}
    virtual int RepaintPeriodMs() const { return 33; }
    /// The descriptor to watch for window-system events, -1 when there is none.
    virtual int EventDescriptor() { return -1; }
    /// Handles every window-system event waiting, without blocking.
    virtual void ProcessEvents() {}
    /// A host's idle call (VST2 effEditIdle): events, then the timer when it is due.
    virtual void HostIdle() {}
};

/// The editor's drawing context (the cairo canvas), owned by the plug-in base and
/// released after the editor.
class IDrawingContext
{
public:
    virtual ~IDrawingContext() = default;

    /// AttachEditor step 3: bind to the editor's drawing bitmap (called once).
    virtual void BindCanvas(IEditor& editor) = 0;
};
