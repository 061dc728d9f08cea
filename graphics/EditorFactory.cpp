#include "graphics/EditorFactory.h"

#include "graphics/IGraphicsHeadless.h"

#include <atomic>

namespace
{
std::atomic<EditorFactory::Maker> installed{nullptr};
} // namespace

void EditorFactory::Install(Maker maker)
{
    installed = maker;
}

std::unique_ptr<IGraphics> EditorFactory::Make(IEffectBase* plugin, int width, int height,
                                               int framesPerSecond)
{
    if (Maker maker = installed.load())
        return maker(plugin, width, height, framesPerSecond);
    return std::make_unique<IGraphicsHeadless>(plugin, width, height, framesPerSecond);
}
