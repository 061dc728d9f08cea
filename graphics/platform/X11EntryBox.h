#pragma once

#include "graphics/EntryBoxLayout.h"
#include "graphics/LineEditor.h"

#include <X11/Xlib.h>

#include <string>

typedef struct _cairo_surface cairo_surface_t;
class IGraphicsWindow;
class X11Connection;

/// The text-entry box of the X11 editor window: a child window over the control, drawn by
/// us in the layout's font and entry colours, holding one LineEditor. What ends the entry
/// is the editor window logic's business: the box reports Return, Escape and its focus
/// through the logic's Entry* calls and asks its typing filter about every character.
///
/// Threads: the host's user-interface thread, like the editor window.
class X11EntryBox
{
public:
    /// Opens the box in `parent` (the editor window) and gives it the keyboard focus.
    /// IsOpen() is false when the server refused the window.
    X11EntryBox(X11Connection& connection, Window parent, const EntryBoxLayout& layout,
                IGraphicsWindow& logic);
    ~X11EntryBox();
    X11EntryBox(const X11EntryBox&) = delete;
    X11EntryBox& operator=(const X11EntryBox&) = delete;

    bool IsOpen() const { return window != 0; }
    Window XWindow() const { return window; }
    std::string Text() const { return line.Text(); }
    bool HasFocus() const { return focused; }

    /// An event for the box's own window.
    void HandleXEvent(XEvent& event);
    /// A key pressed while the box is open, on its window or on the editor's (an XEmbed
    /// host sends keys to the editor window).
    void HandleKey(XKeyEvent& event);
    /// The keyboard focus arrived or went elsewhere, as X or the XEmbed host tells.
    void FocusGained();
    void FocusLost();

private:
    void Draw();
    /// The x of the text's origin: aligned as the layout says while it fits, else scrolled
    /// so that the caret stays inside.
    double TextOrigin(double textWidth, double caretX) const;
    double Advance(struct _cairo* context, const std::string& text) const;
    void PlaceCaretAt(int x);
    void Type(const std::string& characters);
    void SelectFont(struct _cairo* context) const;

    X11Connection& connection;
    IGraphicsWindow& logic;
    EntryBoxLayout layout;
    LineEditor line;
    Window window = 0;
    cairo_surface_t* surface = nullptr;
    bool focused = true;
};
