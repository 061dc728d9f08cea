#pragma once

#include "graphics/EntryBoxLayout.h"
#include "graphics/IGraphics.h"
#include "graphics/PopupMenuItem.h"
#include "graphics/WindowEvent.h"

#include <string>
#include <vector>

/// The editor window logic every window system shares: opening and closing the child
/// window, turning window events into the routing operations of IGraphics, the repaint
/// timer's tick, the text-entry box's states, popup menus and the cursor. A platform
/// class (X11, Win32) derives from it, implements the small native operations below and
/// feeds it events; tests drive it through a substitute window system.
///
/// Positions given to and taken from the native operations are window pixels (logical
/// pixels times DisplayScale(), truncated); the logic converts to logical pixels itself.
///
/// Threads: the user-interface thread that owns the window (events, timer, menus).
class IGraphicsWindow : public IGraphics
{
public:
    /// Text-entry states (`entryState`).
    enum EntryState : int
    {
        kEntryIdle = 0,      ///< no request pending
        kEntryFocused = 1,   ///< the box has the keyboard focus
        kEntryRepainted = 2, ///< the editor repainted while the box was open
        kEntryCancel = 3,    ///< cancel requested: the next tick closes the box
        kEntryCommit = 4     ///< commit requested: the next tick takes its text
    };

    /// Cursor kinds of SetMouseCursor; any other kind is the normal arrow.
    enum CursorKind : int
    {
        kCursorArrow = 0,
        kCursorTextBeam = 1,
        kCursorWait = 2,
        kCursorCross = 3,
        kCursorUpArrow = 4,
        kCursorSizeNwSe = 5,
        kCursorSizeNeSw = 6,
        kCursorSizeWestEast = 7,
        kCursorSizeNorthSouth = 8,
        kCursorSizeAll = 9,
        kCursorNotAllowed = 10,
        kCursorHand = 11,
        kCursorArrowWait = 12,
        kCursorArrowQuestion = 13
    };

    IGraphicsWindow(IEffectBase* plugin, int width, int height, int framesPerSecond);
    /// Closes the window; the platform class must have closed it already (its native
    /// operations are gone by the time this runs), so this only checks the count.
    ~IGraphicsWindow() override;

    // ---- Fed by the platform class ----

    /// Handles one event for the editor window. Answers false when the platform should
    /// give the event its default processing (key releases, events for a closed window,
    /// everything but a press while the text box has the focus).
    bool HandleEvent(const WindowEvent& event);
    /// One tick of the repaint timer (every TimerPeriodMs()): finishes a requested text
    /// entry, else invalidates what is dirty and paints it at once.
    void TimerTick() override;
    /// The period of the repaint timer: trunc(1000 / frames per second) ms (33 at 30).
    int TimerPeriodMs() const;
    int RepaintPeriodMs() const override { return TimerPeriodMs(); }
    bool HasWindowSystem() override { return true; }

    // Events of the text-entry box (the box's own window or widget).
    void EntryFocusGained() { entryState = kEntryFocused; }
    void EntryFocusLost() { entryState = kEntryCommit; }
    /// Return commits and Escape cancels (answer true: consumed); other keys are the box's.
    bool EntryKeyDown(int virtualKey);
    /// Whether the box takes a typed character: the typing filter of the parameter's type.
    bool EntryAcceptsCharacter(char c) const;
    /// A command from the box; code 1 commits.
    void EntryCommand(int code);

    bool TextEntryOpen() const { return entryControl != nullptr; }
    IEditorElement* EntryControl() const { return entryControl; }
    IParameter* EntryParameter() const { return entryParameter; }
    void* ParentWindow() const { return parentWindow; }

    /// The popup items for `menu`: item ids run through the whole tree in building order,
    /// a menu's entries taking the ids after all ids given out before it; submenu items
    /// carry their submenu's items. Texts carry their number prefix.
    static std::vector<PopupMenuItem> BuildPopupItems(const IMenuModel& menu);
    /// Physical size of the window for a logical size at `scale`: trunc(scale x size).
    static int ToWindowPixels(int logical, double scale);
    /// Editor windows open in this module.
    static int OpenWindowCount();

    // ---- IGraphics platform operations implemented once ----

    void PaintToScreen(const IRectangle& area) override;
    void CancelTextEntry() override;
    IMenuModel* RunPopupMenu(IMenuModel& menu, const IRectangle& rectangle) override;
    void OpenTextEntry(IEditorElement* control, const ITextStyle& style,
                       const IRectangle& rectangle, const std::string& initialText,
                       IParameter* parameter) override;
    void* OpenEditorWindow(void* parent) override;
    void CloseEditorWindow() override;
    void* WindowHandle() override;
    void SetMouseCursor(int kind) override;
    void ConcealCursor() override;
    void RestoreCursor() override;

    int entryState = kEntryIdle;

protected:
    // ---- Native operations of the platform class ----

    /// Makes the window system usable by the first open editor window of the module
    /// (registers a window class, opens a display connection). False: no window opens.
    virtual bool AcquireWindowSystem() = 0;
    /// Undoes AcquireWindowSystem when the last editor window of the module closed.
    virtual void ReleaseWindowSystem() = 0;
    /// Creates the visible child window of `parent` at (x, y), `width` x `height`, and
    /// starts its repaint timer (TimerPeriodMs). Null on failure.
    virtual void* CreateNativeWindow(void* parent, int x, int y, int width, int height) = 0;
    /// Stops the timer and destroys `window` (and an open entry box with it).
    virtual void DestroyNativeWindow(void* window) = 0;
    /// The open window's position relative to its parent and its size.
    virtual void NativeWindowGeometry(int& x, int& y, int& width, int& height) = 0;
    /// Marks `area` of the window for painting, without erasing.
    virtual void InvalidateWindow(const IRectangle& area) = 0;
    /// Removes `area` from what the next paint covers.
    virtual void ValidateWindow(const IRectangle& area) = 0;
    /// Paints what is invalid at once: the platform answers with an expose event
    /// (HandleEvent, kExpose) for its update area before returning.
    virtual void UpdateWindow() = 0;
    /// Copies `area` of the drawing bitmap to the same pixels of the window.
    virtual void BlitToWindow(const IRectangle& area) = 0;
    virtual void TakeKeyboardFocus() = 0;
    virtual void SetMouseCapture(bool captured) = 0;
    virtual bool HasMouseCapture() = 0;
    /// Asks for a kLeave event when the mouse leaves the window.
    virtual void TrackMouseLeave() = 0;
    /// Sends a key event the editor did not handle to the host's top-level window.
    virtual void ForwardKeyToHost(const WindowEvent& event) = 0;
    /// Shows `items` modally with the top-left corner at window pixel (x, y) and answers
    /// the chosen item's id, or -1 when the menu was dismissed.
    virtual int TrackPopupMenu(const std::vector<PopupMenuItem>& items, int x, int y) = 0;
    /// Opens the text-entry box as described, its whole text selected, with the focus.
    virtual bool CreateEntryBox(const EntryBoxLayout& box) = 0;
    /// The box's current text.
    virtual std::string EntryBoxText() = 0;
    virtual void DestroyEntryBox() = 0;
    /// Shows the cursor shape of a CursorKind (any other value: the arrow).
    virtual void SetCursorShape(int kind) = 0;
    /// The mouse position on the screen; false when unknown.
    virtual bool CursorScreenPosition(int& x, int& y) = 0;
    virtual void WarpCursor(int screenX, int screenY) = 0;
    virtual void SetCursorVisible(bool visible) = 0;

private:
    void* window = nullptr;
    void* parentWindow = nullptr;
    IEditorElement* entryControl = nullptr;
    IParameter* entryParameter = nullptr;

    IRectangle ToLogical(const IRectangle& windowArea);
    IRectangle ToWindow(const IRectangle& logicalArea);
    void FinishEntry();
    bool HandleMouse(const WindowEvent& event);
};
