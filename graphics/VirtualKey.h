#pragma once

/// The key numbers the editor works with: space, arrows, '0'..'9' and 'A'..'Z' reach the
/// controls (IGraphics::RouteKey); the others steer the text-entry box. Platform classes
/// translate their own key symbols into these.
struct VirtualKey
{
    enum : int
    {
        kNone = 0,
        kBackspace = 8,
        kTab = 9,
        kReturn = 13,
        kEscape = 27,
        kSpace = 32,
        kEnd = 35,
        kHome = 36,
        kLeft = 37,
        kUp = 38,
        kRight = 39,
        kDown = 40,
        kDelete = 46
    };
};
