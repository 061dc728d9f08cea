#pragma once

#include "controls/IControl.h"
#include "dsp/filters/BiquadCascade.h"
#include "graphics/ControlPainter.h"
#include "graphics/IArgbColour.h"

#include <atomic>
#include <cstdint>
#include <vector>

class CairoCanvas;

namespace Dsp
{
class Filter;
}

/// The filter pad: a drag sets the cutoff frequency (horizontal, logarithmic, parameter 2)
/// and Q (vertical, parameter 3) at once; it draws a decibel and frequency grid, the
/// filter's magnitude response and a handle at the current values. Unbound itself: it
/// writes both parameters through the plug-in.
///
/// Threads: painting and mouse on the user-interface thread. The effect sets the flags
/// and calls Invalidate(false) from any thread, and sets `filter` and `sampleRate` under
/// the plug-in lock. The pad reads the filter only under that lock, copying its target
/// coefficients, and evaluates the curve from the copy outside it: a filter released
/// by a Filter Type change (also under the lock) is never read.
class ICairoControlXY : public IControl
{
public:
    static constexpr int kXParameter = 2;
    static constexpr int kYParameter = 3;

    /// Frequencies in Hz; `cornerFactor` 0 or less gives square corners.
    ICairoControlXY(IEffectBase* plugin, CairoCanvas& canvas, const IRectangle& bounds,
                    const IArgbColour& lineColour, const IArgbColour& fillColour, int minFrequency,
                    int maxFrequency, double lineWidth, double cornerFactor);
    ~ICairoControlXY() override;

    /// Hides the cursor while dragging; the press and the release frame a host gesture on
    /// both parameters.
    void MousePressed(int x, int y, const IMouseState& buttons) override;
    void MouseReleased(int x, int y, const IMouseState& buttons) override;
    void MouseDragged(int x, int y, int dx, int dy, const IMouseState& buttons) override;
    bool Paint(IGraphics& graphics) override;

    /// Horizontal position of `frequency` (Hz) between `left` and `right`.
    double FrequencyToX(double frequency, double left, double right) const;
    /// Vertical position of `decibels` on the pad (top +range, bottom -range).
    double DecibelsToY(double decibels) const;
    /// Magnitude of the cascade's response at f / sample rate, in decibels: the closed form
    /// of |H|^2 per section (one cosine, no complex division), which keeps a curve of
    /// 17701 points cheap. Not-a-number where a denominator is zero or not finite.
    static double ResponseDecibels(const Dsp::BiquadCascade& cascade, double normalizedFrequency);

    /// Set by the effect: the frequency axis does not follow the mouse, no grid is drawn.
    std::atomic<bool> frequencyLocked{false};
    /// Set by the effect: no response curve; drags set Q to the middle.
    std::atomic<bool> responseHidden{false};
    /// The engine's current filter (not owned). Written and read under the plug-in lock.
    Dsp::Filter* filter = nullptr;
    /// Rate the response is evaluated at (Hz); 0 skips the curve.
    std::atomic<int> sampleRate{0};

    IRectangle innerBounds;
    IArgbColour lineColour;
    IArgbColour fillColour;
    int xParameter = kXParameter;
    int yParameter = kYParameter;
    int maxFrequency;
    int minFrequency;
    double lastX = 0.0;
    double lastY = 0.0;
    double handleX = 0.0;
    double handleY = 0.0;
    double cornerFactor;
    double handleRadius;
    double lineWidth;
    double decibelRange = 12.0;
    /// Keep the response curve and the backdrop (fill and grid) between paints, the curve
    /// at the display's resolution. Off draws everything afresh on every paint with one
    /// curve point per hertz, the way to measure what the caches save. The colours, the
    /// corners and the ranges are taken as fixed once the pad has painted.
    bool paintCache = true;

private:
    /// What one paint needs from the plug-in, taken under its lock.
    struct Snapshot
    {
        bool hasCurve = false;
        Dsp::BiquadCascade coefficients;
        int rate = 0;
        double frequency = 0.0;   ///< parameter 2, Hz
        double qNormalised = 0.0; ///< parameter 3, 0..1
    };
    Snapshot TakeSnapshot() const;
    /// The logarithmic frequency axis from `left` to `right`, for drawing many points.
    struct FrequencyAxis
    {
        double low;     ///< log10 of the lowest frequency
        double decades; ///< log10 of the highest frequency minus `low`
        double left;
        double width;
        double X(double frequency) const;
    };
    FrequencyAxis Axis(double left, double right) const;
    void ShapePath(cairo_t* context, double inset, double radius) const;
    void DrawGrid(cairo_t* context) const;
    void DrawCurve(cairo_t* context, const Snapshot& snapshot, double displayScale);
    /// The curve's points (logical coordinates) for `snapshot`: one per hertz, or with the
    /// cache two per window pixel column, worked out again only when the coefficients,
    /// the rate or the scale have changed.
    const std::vector<double>& CurvePoints(const Snapshot& snapshot, double displayScale);
    double CurveY(const Dsp::BiquadCascade& coefficients, double normalizedFrequency) const;

    struct CurveKey
    {
        Dsp::BiquadCascade coefficients;
        int rate = 0;
        double displayScale = 0.0;
        double decibelRange = 0.0;
        int minFrequency = 0, maxFrequency = 0;
        int left = 0, right = 0, top = 0, bottom = 0;
        bool operator==(const CurveKey& other) const;
    };
    CurveKey curveKey;
    bool curveValid = false;

    /// The pad's fill and grid as painted (the grid is many strokes through the rounded
    /// clip, the dearest part of a paint), in window pixels, with the pixels they were
    /// painted over. While those are unchanged, a paint copies the kept pixels instead.
    struct Backdrop
    {
        std::vector<uint32_t> under;
        std::vector<uint32_t> painted;
        double scale = 0.0;
        IRectangle bounds;
        bool grid = false;
    };
    Backdrop backdrop;
    /// Draws the fill and, unless the frequency is locked, the grid, clipped to the shape.
    void DrawBackdrop(cairo_t* context, double clipRadius) const;
    /// DrawBackdrop through the kept pixels where it can; otherwise draws and keeps them.
    void PaintBackdrop(cairo_t* context, double displayScale, double clipRadius);
    std::vector<double> curvePoints; ///< x0, y0, x1, y1, ...
    std::vector<double> everyHertzPoints; ///< the same without the cache
    void DrawHandle(cairo_t* context, const Snapshot& snapshot);

    ControlPainter painter;
};
