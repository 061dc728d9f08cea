#include "graphics/platform/PlatformEditor.h"

void PlatformEditor::Install() {}
