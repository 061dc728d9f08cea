#pragma once

#include "graphics/IGraphics.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

/// The editor without a window: tests, tools and the model the window classes follow.
/// It owns the drawing bitmap like any editor, answers DisplayScale as configured, runs
/// the repaint timer on demand (Tick) and lets the caller script what a popup menu or a
/// text box returns. The cursor calls and screen paints are recorded, not performed.
///
/// Threads: the caller's thread stands for the user-interface thread.
class IGraphicsHeadless : public IGraphics
{
public:
    /// `scale` <= 0 takes the screen scale (see SetScreenScale).
    IGraphicsHeadless(IEffectBase* plugin, int width, int height, int framesPerSecond,
                      double scale = 0.0);
    ~IGraphicsHeadless() override;

    /// One repaint timer tick: FindDirtyArea, then RedrawArea of the area as the window
    /// would invalidate it (scaled out to window pixels and back). Answers whether it painted.
    bool Tick();

    /// Scripts the next popup menu: choose item `id` of the menu tree (-1 dismisses it).
    void QueueMenuChoice(int id) { menuChoices.push_back(id); }
    /// Scripts the next text box: commit `text`, or cancel with nullopt. An unscripted box
    /// stays open until CommitTextEntry or CancelTextEntry.
    void QueueTextEntry(std::optional<std::string> text) { textEntries.push_back(std::move(text)); }
    /// Commits the open text box with `text` (as Return would). Answers whether one was open.
    bool CommitTextEntry(const std::string& text);
    bool TextEntryOpen() const { return entryControl != nullptr; }

    /// What the last popup menu showed.
    struct ShownMenu
    {
        std::vector<std::string> texts;
        std::vector<int> flags;
        IRectangle rectangle;
    };
    const std::optional<ShownMenu>& LastMenu() const { return lastMenu; }
    /// The last text box opened: its initial text and rectangle.
    const std::string& LastEntryText() const { return lastEntryText; }
    const IRectangle& LastEntryRectangle() const { return lastEntryRectangle; }
    int LastCursor() const { return lastCursor; }
    int PaintCount() const { return paintCount; }
    const IRectangle& LastScreenArea() const { return lastScreenArea; }
    void SetDisplayScale(double s) { scale = s; }
    /// The scale of the imaginary screen that editors made afterwards answer, as a window
    /// class answers the real screen's (1.0 unless set; values <= 0 are ignored). Any thread.
    static void SetScreenScale(double s);
    static double ScreenScale();

    void PaintToScreen(const IRectangle& area) override;
    void CancelTextEntry() override;
    std::string BackendName() override;
    int ShowMessage(const char* text, const char* caption, int buttons) override;
    IMenuModel* RunPopupMenu(IMenuModel& menu, const IRectangle& rectangle) override;
    void OpenTextEntry(IEditorElement* control, const ITextStyle& style,
                       const IRectangle& rectangle, const std::string& initialText,
                       IParameter* parameter) override;
    void HostExecutableFolder(std::string& out) override;
    void ModuleFolder(std::string& out) override;
    void DesktopFolder(std::string& out) override;
    void DocumentsFolder(std::string& out) override;
    void AppDataFolder(std::string& out, bool systemWide) override;
    void UserAppDataFolder(std::string& out) override;
    void ChooseFile(std::string& out, int action, std::string& directory,
                    const char* extensions) override;
    bool ChooseColour(const IArgbColour& colour, const char* title) override;
    bool OpenWebPage(const char* url, const char* title, const char* confirmText,
                     const char* failureText) override;
    void* OpenEditorWindow(void* parent) override;
    void CloseEditorWindow() override;
    void* WindowHandle() override;
    bool ClipboardText(std::string& out) override;
    void SetHostWindowOpacity(int alpha) override;
    double DisplayScale() override;
    void SetMouseCursor(int kind) override;
    void ConcealCursor() override;
    void RestoreCursor() override;
    void Reserved31() override;
    std::unique_ptr<IBitmap> LoadPngResource(int id, const char* name) override;

private:
    double scale;
    std::deque<int> menuChoices;
    std::deque<std::optional<std::string>> textEntries;
    std::optional<ShownMenu> lastMenu;
    IEditorElement* entryControl = nullptr;
    IParameter* entryParameter = nullptr;
    std::string lastEntryText;
    IRectangle lastEntryRectangle;
    int lastCursor = 0;
    int paintCount = 0;
    IRectangle lastScreenArea;
};
