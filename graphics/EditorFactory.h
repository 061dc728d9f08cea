#pragma once

#include <memory>

class IEffectBase;
class IGraphics;

/// Makes the graphics object an effect builds its editor on. A module that can show a
/// window on its platform installs that platform's class (once, before instances are
/// created); everything else (tests, tools) gets the window-less editor.
class EditorFactory
{
public:
    using Maker = std::unique_ptr<IGraphics> (*)(IEffectBase* plugin, int width, int height,
                                                 int framesPerSecond);

    /// Installs `maker`; null returns to the window-less editor.
    static void Install(Maker maker);
    static std::unique_ptr<IGraphics> Make(IEffectBase* plugin, int width, int height,
                                           int framesPerSecond);
};
