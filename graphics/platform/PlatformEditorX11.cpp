#include "graphics/platform/PlatformEditor.h"

#include "graphics/platform/IGraphicsX11.h"

void PlatformEditor::Install()
{
    IGraphicsX11::InstallAsEditor();
}
