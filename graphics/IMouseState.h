#pragma once

/// Buttons held and modifier keys at the time of a mouse event.
struct IMouseState
{
    bool left = false;
    bool right = false;
    bool shift = false;
    bool control = false;
    bool alt = false;
};
