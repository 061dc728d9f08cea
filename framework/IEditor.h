#pragma once

/// The little the plug-in base needs from its editor. The graphics object (IGraphics)
/// implements it; the framework core never sees the graphics layer itself.
/// [ui thread, or any thread under the plug-in lock]
class IEditor
{
public:
    virtual ~IEditor() = default;

    /// AttachEditor step 1: create the drawing bitmap at the display scale.
    virtual void CreateDrawingBitmap() = 0;

    /// AttachEditor step 2: hand a normalised value to every control bound to `index`
    /// and to every control that has `index` among its additional parameters.
    virtual void SetControlsFromNormalised(int index, double normalised) = 0;

    /// RefreshEditorControls: push one parameter's value to the controls bound to it.
    virtual void ShowParameterValue(int index, double value, bool isNormalised) = 0;
};

/// The editor's drawing context (the cairo canvas), owned by the plug-in base and
/// released after the editor.
class IDrawingContext
{
public:
    virtual ~IDrawingContext() = default;

    /// AttachEditor step 3: bind to the editor's drawing bitmap (called once).
    virtual void BindCanvas(IEditor& editor) = 0;
};
