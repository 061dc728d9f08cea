#pragma once

#include "graphics/IMouseState.h"
#include "graphics/IRectangle.h"

/// One event of the window system, as a platform class translates it for the editor
/// window logic (IGraphicsWindow::HandleEvent). Positions are window pixels, relative to
/// the editor window's top-left corner.
struct WindowEvent
{
    enum class Kind
    {
        kResize,      ///< the window's size changed
        kFocusIn,     ///< the editor window gained the keyboard focus
        kFocusOut,    ///< ... or lost it
        kExpose,      ///< `area` of the window must be painted
        kClose,       ///< the window system asks the window to close
        kKeyDown,     ///< `virtualKey` pressed
        kKeyUp,       ///< `virtualKey` released
        kMotion,      ///< the mouse moved; `buttons` tells whether it drags
        kPress,       ///< `button` went down
        kRelease,     ///< `button` went up
        kDoubleClick, ///< a second left press close in time and place to the first
        kWheel,       ///< `wheelDelta` in 1/120 notches, positive away from the user
        kLeave        ///< the mouse left the window
    };

    /// Buttons as numbered by the logic: 1 left, 2 middle, 3 right.
    enum Button
    {
        kLeft = 1,
        kMiddle = 2,
        kRight = 3
    };

    Kind kind = Kind::kMotion;
    int x = 0;
    int y = 0;
    int button = 0;
    int wheelDelta = 0;
    /// Keys by the platform-neutral codes of VirtualKey.
    int virtualKey = 0;
    IMouseState buttons;
    IRectangle area;
    /// The platform's own event, for sending a key on to the host unchanged.
    const void* native = nullptr;
};
