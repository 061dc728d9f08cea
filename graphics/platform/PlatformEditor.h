#pragma once

/// Makes this platform's editor window class the one effects build their editor on
/// (see EditorFactory). A module calls it once as it loads; on a platform without a window
/// class of ours it does nothing, and the editor stays window-less.
class PlatformEditor
{
public:
    static void Install();
};
