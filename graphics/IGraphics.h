#pragma once

#include "framework/IEditor.h"
#include "graphics/IArgbColour.h"
#include "graphics/IBlendMode.h"
#include "graphics/IDrawingSurface.h"
#include "graphics/IMenuModel.h"
#include "graphics/IMouseState.h"
#include "graphics/IRectangle.h"
#include "graphics/ITextStyle.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CairoCanvas;
struct _cairo;
using cairo_t = struct _cairo;
class IBitmap;
class IEditorElement;
class IEffectBase;
class IParameter;
class ISysBitmap;
struct ImageRecord;

/// The editor object: owns the controls and the drawing bitmap, decides what to repaint
/// and which control receives an event, and carries values between controls and
/// parameters. It knows no window: a platform class derives from it, supplies the
/// platform operations (window, timer, menus, text entry, cursor) and feeds it events.
///
/// Threads: everything runs on the user-interface thread, except that other threads may
/// set control values and flags (see IControl), which the repaint timer reads.
/// Coordinates are logical editor pixels unless a function says window pixels. The
/// drawing bitmap holds window pixels: it is DisplayScale() times the logical size and
/// everything is drawn into it at that scale, so the window copies it without stretching.
class IGraphics : public IEditor, public IDrawingSurface
{
public:
    IGraphics(IEffectBase* plugin, int width, int height, int framesPerSecond);
    IGraphics(const IGraphics&) = delete;
    IGraphics& operator=(const IGraphics&) = delete;

    // ---- Control list ----

    /// Inserts `control` at index 0 (painted first, below everything) and renumbers.
    void AddBackground(std::unique_ptr<IEditorElement> control);
    /// Appends `control`, renumbers every control and returns its index.
    int AddControl(std::unique_ptr<IEditorElement> control);
    int ControlCount() const { return static_cast<int>(controls.size()); }
    /// The control at `i`, or null outside 0 .. ControlCount() - 1.
    IEditorElement* ControlAt(int i) const;

    // ---- IEditor ----

    /// Creates the drawing bitmap at trunc(DisplayScale() x size).
    void CreateDrawingBitmap() override;
    /// Creates the drawing bitmap again (for a new size or scale), binds the canvas to it
    /// and marks every control for painting.
    void RebuildDrawingBitmap();
    /// Hands a normalised value to every control bound to `index` (also as a secondary binding).
    void SetControlsFromNormalised(int index, double normalised) override;
    /// Pushes a parameter's value (plain unless `isNormalised`) to its controls.
    void ShowParameterValue(int index, double value, bool isNormalised) override;
    /// Notes the change; FindDirtyArea (the timer) hands the value to the controls.
    void MarkParameterChanged(int index) override;
    /// trunc(DisplayScale() x logical width, height).
    int WindowWidth() override;
    int WindowHeight() override;

    /// Opens a menu (enumerations, booleans with value texts) or a text box for the user
    /// to give `control` a new value for `parameter`. Does nothing if any is null.
    void AskUserForValue(IEditorElement* control, IParameter* parameter,
                         const IRectangle* rectangle);

    // ---- Bitmap layer ----

    /// Fills `rectangle` of the drawing bitmap with `colour` at the blend's weight; mode 0
    /// (and the combinations not built) use the colour's alpha, mode 1 ignores it. During a
    /// RedrawArea only the part inside the area being repainted changes.
    void FillBox(const IArgbColour& colour, const IRectangle& rectangle, const IBlendMode* blend);
    /// Copies `image` to `destination`, clipped like FillBox to the repaint in progress.
    /// The image is in window pixels (drawn for the display scale); the source origin is in
    /// its pixels too. Null blend: copy through the source alpha at weight 1. Answers true.
    bool BlitImage(const ImageRecord& image, const IRectangle& destination, int sourceX,
                   int sourceY, const IBlendMode* blend);

    // ---- Repaint cycle (timer) ----

    /// First shows the values of the parameters marked as changed, then unions the bounds of
    /// every control that needs painting into `area`. Answers false when nothing is dirty;
    /// every second clean call runs the idle hooks.
    bool FindDirtyArea(IRectangle& area);
    /// Paints every visible control overlapping `area`, then shows the area on screen.
    /// Drawing is clipped to `area`, so the rest of the bitmap keeps its picture.
    void RedrawArea(const IRectangle& area);

    // ---- Event routing (positions in window pixels) ----

    void RoutePress(int x, int y, const IMouseState& buttons);
    void RouteRelease(int x, int y, const IMouseState& buttons);
    void RouteDrag(int x, int y, const IMouseState& buttons);
    void RouteDoubleClick(int x, int y, const IMouseState& buttons);
    /// `notches` = wheel delta / 120 in integer arithmetic.
    void RouteWheel(int x, int y, const IMouseState& buttons, int notches);
    /// Answers whether mouse-over events are being tracked.
    bool RouteHover(int x, int y, const IMouseState& buttons);
    void RouteLeave();
    /// Answers whether a control handled the key; unhandled keys go back to the host.
    bool RouteKey(int virtualKey, int x, int y);

    /// Ends a text entry: with a parameter the text is parsed into a value for the
    /// control (framed as one host gesture when the control is bound), without one the
    /// control receives the text. For platform classes.
    void FinishTextEntry(IEditorElement* control, IParameter* parameter, const std::string& text);

    IEffectBase* Plugin() const { return plugin; }
    IBitmap* DrawingBitmap() const override;
    /// The cairo canvas the controls draw with; each repaint sets its scale to DisplayScale().
    void SetCanvas(CairoCanvas* canvas) { this->canvas = canvas; }
    CairoCanvas* Canvas() const { return canvas; }
    int Width() const { return width; }
    int Height() const { return height; }
    int FramesPerSecond() const { return framesPerSecond; }
    const IRectangle& PaintArea() const { return paintArea; }

    // ---- Virtual operations (platform), in slot order ----

    /// Shows `area` (logical pixels) on screen. The drawing bitmap already holds window
    /// pixels, so the platform copies `area` times DisplayScale() one to one.
    virtual void PaintToScreen(const IRectangle& area) = 0;
    virtual void RenderText(const ITextStyle& style, const char* text, const IRectangle& rect);
    virtual void CancelTextEntry() = 0;
    /// Stores the logical size, rebuilds the drawing bitmap (rebinding the canvas to it and
    /// marking every control for repaint), then tells the plug-in (ResizeEditor).
    virtual void SetEditorSize(int newWidth, int newHeight);
    bool IsWindowOpen() override;
    virtual std::string BackendName();
    virtual int ShowMessage(const char* text, const char* caption, int buttons) = 0;
    /// Shows `menu` modally below `rectangle`; answers the (sub)menu holding the choice
    /// with its `chosenIndex` set, or null when dismissed.
    virtual IMenuModel* RunPopupMenu(IMenuModel& menu, const IRectangle& rectangle) = 0;
    /// Opens a text box over `rectangle`; the typed text reaches FinishTextEntry later.
    virtual void OpenTextEntry(IEditorElement* control, const ITextStyle& style,
                               const IRectangle& rectangle, const std::string& initialText,
                               IParameter* parameter) = 0;
    virtual void HostExecutableFolder(std::string& out) = 0;
    virtual void ModuleFolder(std::string& out) = 0;
    virtual void DesktopFolder(std::string& out) = 0;
    virtual void DocumentsFolder(std::string& out) = 0;
    virtual void AppDataFolder(std::string& out, bool systemWide) = 0;
    virtual void UserAppDataFolder(std::string& out) = 0;
    /// `action` 0 open, 1 save.
    virtual void ChooseFile(std::string& out, int action, std::string& directory,
                            const char* extensions) = 0;
    virtual bool ChooseColour(const IArgbColour& colour, const char* title) = 0;
    virtual bool OpenWebPage(const char* url, const char* title, const char* confirmText,
                             const char* failureText) = 0;
    virtual bool UnusedQuery();
    void* OpenEditorWindow(void* parent) override = 0;
    virtual void Reserved20();
    virtual void Reserved21();
    void CloseEditorWindow() override = 0;
    virtual void* WindowHandle() = 0;
    virtual bool ClipboardText(std::string& out) = 0;
    virtual void SetHostWindowOpacity(int alpha) = 0;
    /// Deletes the controls last to first, then the drawing bitmap.
    ~IGraphics() override;
    /// Screen pixels per logical pixel.
    double DisplayScale() override = 0;
    /// 0 arrow, 1 text beam, 8 north/south size; see the platform class for the rest.
    virtual void SetMouseCursor(int kind);
    /// Hides the mouse cursor, remembering where it is.
    virtual void ConcealCursor();
    /// Shows the cursor again where it was hidden.
    virtual void RestoreCursor();
    virtual void Reserved31() = 0;
    /// Decodes PNG resource `id`; `name` must end in ".png". Null on any failure.
    virtual std::unique_ptr<IBitmap> LoadPngResource(int id, const char* name) = 0;

    // ---- Fields ----

    IArgbColour pickedColour{255, 0, 0, 0};
    bool cursorHidden = false;
    int savedCursorX = -1;
    int savedCursorY = -1;
    int idleTicks = 0;
    int captureIndex = -1;
    int hoverIndex = -1;
    int mouseX = 0;
    int mouseY = 0;
    /// Mouse-over events are delivered; the value box switches it on when it first paints.
    bool hoverTracking = false;
    int resourceScale = 1;
    /// Repaints copy the static layer (see IEditorElement::staticPicture) instead of painting
    /// the controls in it. Off paints every control on every repaint.
    bool staticLayerCache = true;

protected:
    std::vector<std::unique_ptr<IEditorElement>> controls;
    IEffectBase* plugin;
    IRectangle paintArea;
    std::unique_ptr<ISysBitmap> drawingBitmap;
    int width;
    int height;
    int framesPerSecond;

private:
    /// Hands every marked parameter's current value to its controls. [ui thread]
    void ShowChangedParameters();

    /// One flag per parameter, set by MarkParameterChanged from any thread.
    std::unique_ptr<std::atomic<bool>[]> changedParameters;
    int parameterCount = 0;
    CairoCanvas* canvas = nullptr;
    /// A RedrawArea is running: bitmap-layer fills stay inside `paintArea`.
    bool inRedraw = false;
    /// The static layer: the pictures of the controls it holds, drawn once in list order
    /// over the whole bitmap, and which controls those are.
    std::vector<uint32_t> staticLayer;
    std::vector<bool> inStaticLayer;
    int staticLayerWidth = 0;
    int staticLayerHeight = 0;
    /// Paints the controls whose picture may be kept (static, visible, and not overlapping
    /// an earlier control that changes, so drawing them first keeps the stacking) and keeps
    /// the result. Answers false when there is nothing to keep.
    bool BuildStaticLayer(cairo_t* context);
    bool StaticLayerCurrent() const;
    void CopyStaticLayer(const IRectangle& area);
    void PaintControl(IEditorElement& control, const IRectangle& area, cairo_t* context);
    /// A logical rectangle in drawing-bitmap pixels.
    IRectangle ToBitmap(const IRectangle& r);
    /// `r` limited to the repaint in progress (unchanged outside one); false when nothing
    /// of it lies in the area being repainted.
    bool ClipToRepaint(const IRectangle& r, IRectangle& clipped) const;
    void Renumber();
    int LogicalX(int x);
    int LogicalY(int y);
    /// Topmost control at a logical position that is visible and (unless `hover` allows
    /// it) not grayed; -1 when none.
    int FindControl(int x, int y, bool hover) const;
    IEditorElement* CapturedOrUnder(int x, int y);
    void BuildValueMenu(IMenuModel& menu, IParameter& parameter) const;
};
