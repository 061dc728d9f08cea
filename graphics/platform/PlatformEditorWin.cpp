#include "graphics/platform/PlatformEditor.h"

#include "graphics/platform/IGraphicsWin.h"

void PlatformEditor::Install()
{
    IGraphicsWin::InstallAsEditor();
}
