#include "graphics/IGraphicsHeadless.h"

#include "graphics/IBitmap.h"
#include "graphics/platform/PngResource.h"

#include <atomic>

namespace
{
std::atomic<double> screenScale{1.0};
} // namespace

IGraphicsHeadless::IGraphicsHeadless(IEffectBase* plugin, int width, int height,
                                     int framesPerSecond, double scale)
    : IGraphics(plugin, width, height, framesPerSecond), scale(scale > 0.0 ? scale : ScreenScale())
{
}

void IGraphicsHeadless::SetScreenScale(double s)
{
    if (s > 0.0)
        screenScale = s;
}

double IGraphicsHeadless::ScreenScale()
{
    return screenScale;
}

IGraphicsHeadless::~IGraphicsHeadless() = default;

bool IGraphicsHeadless::Tick()
{
    IRectangle area;
    if (!FindDirtyArea(area))
        return false;
    // The window invalidates the area in window pixels and the paint divides it back.
    const double s = DisplayScale();
    const IRectangle window{static_cast<int>(area.left * s), static_cast<int>(area.top * s),
                            static_cast<int>(area.right * s), static_cast<int>(area.bottom * s)};
    RedrawArea({static_cast<int>(window.left / s), static_cast<int>(window.top / s),
                static_cast<int>(window.right / s), static_cast<int>(window.bottom / s)});
    return true;
}

void IGraphicsHeadless::PaintToScreen(const IRectangle& area)
{
    ++paintCount;
    lastScreenArea = area;
}

// ---- Menus and text entry ----

IMenuModel* IGraphicsHeadless::RunPopupMenu(IMenuModel& menu, const IRectangle& rectangle)
{
    // The press that opened the menu gets no release.
    captureIndex = mouseX = mouseY = -1;
    ShownMenu shown;
    shown.rectangle = rectangle;
    for (int i = 0; i < menu.EntryCount(); ++i)
    {
        shown.texts.push_back(menu.DisplayText(i));
        shown.flags.push_back(menu.entries[static_cast<size_t>(i)].flags);
    }
    lastMenu = std::move(shown);
    if (menuChoices.empty())
        return nullptr;
    const int id = menuChoices.front();
    menuChoices.pop_front();
    return menu.Choose(id);
}

void IGraphicsHeadless::OpenTextEntry(IEditorElement* control, const ITextStyle&,
                                      const IRectangle& rectangle, const std::string& initialText,
                                      IParameter* parameter)
{
    if (!control || entryControl)
        return;
    entryControl = control;
    entryParameter = parameter;
    lastEntryText = initialText;
    lastEntryRectangle = rectangle;
    if (textEntries.empty())
        return;
    std::optional<std::string> scripted = std::move(textEntries.front());
    textEntries.pop_front();
    if (scripted)
        CommitTextEntry(*scripted);
    else
        CancelTextEntry();
}

bool IGraphicsHeadless::CommitTextEntry(const std::string& text)
{
    if (!entryControl)
        return false;
    IEditorElement* control = entryControl;
    IParameter* parameter = entryParameter;
    entryControl = nullptr;
    entryParameter = nullptr;
    FinishTextEntry(control, parameter, text);
    return true;
}

void IGraphicsHeadless::CancelTextEntry()
{
    entryControl = nullptr;
    entryParameter = nullptr;
}

// ---- Cursor ----

void IGraphicsHeadless::SetMouseCursor(int kind)
{
    lastCursor = kind;
}

void IGraphicsHeadless::ConcealCursor()
{
    if (cursorHidden)
        return;
    savedCursorX = mouseX;
    savedCursorY = mouseY;
    cursorHidden = true;
}

void IGraphicsHeadless::RestoreCursor()
{
    cursorHidden = false;
}

// ---- Resources ----

std::unique_ptr<IBitmap> IGraphicsHeadless::LoadPngResource(int id, const char* name)
{
    return LoadPngFromModule(CurrentModuleHandle(), id, name);
}

// ---- Services a window-less editor cannot offer ----

std::string IGraphicsHeadless::BackendName()
{
    return "Headless";
}
int IGraphicsHeadless::ShowMessage(const char*, const char*, int)
{
    return 0;
}
void IGraphicsHeadless::HostExecutableFolder(std::string& out)
{
    out.clear();
}
void IGraphicsHeadless::ModuleFolder(std::string& out)
{
    out.clear();
}
void IGraphicsHeadless::DesktopFolder(std::string& out)
{
    out.clear();
}
void IGraphicsHeadless::DocumentsFolder(std::string& out)
{
    out.clear();
}
void IGraphicsHeadless::AppDataFolder(std::string& out, bool)
{
    out.clear();
}
void IGraphicsHeadless::UserAppDataFolder(std::string& out)
{
    out.clear();
}
void IGraphicsHeadless::ChooseFile(std::string& out, int, std::string&, const char*)
{
    out.clear();
}
bool IGraphicsHeadless::ChooseColour(const IArgbColour&, const char*)
{
    return false;
}
bool IGraphicsHeadless::OpenWebPage(const char*, const char*, const char*, const char*)
{
    return false;
}
void* IGraphicsHeadless::OpenEditorWindow(void*)
{
    return nullptr;
}
void IGraphicsHeadless::CloseEditorWindow() {}
void* IGraphicsHeadless::WindowHandle()
{
    return nullptr;
}
bool IGraphicsHeadless::ClipboardText(std::string& out)
{
    out.clear();
    return false;
}
void IGraphicsHeadless::SetHostWindowOpacity(int) {}
double IGraphicsHeadless::DisplayScale()
{
    return scale;
}
void IGraphicsHeadless::Reserved31() {}
