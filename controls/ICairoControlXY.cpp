#include "controls/ICairoControlXY.h"

#include "dsp/filters/Filter.h"
#include "framework/IEffectBase.h"
#include "graphics/IGraphics.h"
#include "graphics/RoundedRectanglePath.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace
{
// 20 / ln 10: decibels from the natural logarithm of a magnitude.
constexpr double kDecibelsPerNeper = 8.685889638065037;

double Clamp01(double v)
{
    return std::clamp(v, 0.0, 1.0);
}
} // namespace

ICairoControlXY::ICairoControlXY(IEffectBase* plugin, CairoCanvas& canvas, const IRectangle& bounds,
                                 const IArgbColour& lineColour, const IArgbColour& fillColour,
                                 int minFrequency, int maxFrequency, double lineWidth,
                                 double cornerFactor)
    : IControl(plugin, bounds, -1), lineColour(lineColour), fillColour(fillColour),
      maxFrequency(maxFrequency), minFrequency(minFrequency), cornerFactor(cornerFactor),
      handleRadius(std::max(bounds.Width(), bounds.Height()) / 30.0), lineWidth(lineWidth),
      painter(this->bounds, canvas, this)
{
    innerBounds = {static_cast<int>(bounds.left + handleRadius),
                   static_cast<int>(bounds.top + handleRadius),
                   static_cast<int>(bounds.right - handleRadius),
                   static_cast<int>(bounds.bottom - handleRadius)};
    if (plugin)
    {
        if (const IParameter* x = plugin->Param(xParameter))
            lastX = x->Normalised();
        if (const IParameter* y = plugin->Param(yParameter))
            lastY = y->Normalised();
    }
}

ICairoControlXY::~ICairoControlXY() = default;

ICairoControlXY::FrequencyAxis ICairoControlXY::Axis(double left, double right) const
{
    const double low = std::log10(static_cast<double>(minFrequency));
    const double high = std::log10(static_cast<double>(maxFrequency));
    return {low, high - low, left, right - left};
}

double ICairoControlXY::FrequencyAxis::X(double frequency) const
{
    return (std::log10(frequency) - low) * width / decades + left;
}

double ICairoControlXY::FrequencyToX(double frequency, double left, double right) const
{
    return Axis(left, right).X(frequency);
}

double ICairoControlXY::DecibelsToY(double decibels) const
{
    return bounds.bottom - (decibels / decibelRange + 1.0) * 0.5 * bounds.Height();
}

double ICairoControlXY::ResponseDecibels(const Dsp::BiquadCascade& cascade,
                                         double normalizedFrequency)
{
    // |b0 + b1 z + b2 z^2|^2 on the unit circle is b0^2 + b1^2 + b2^2
    // + 2 (b0 b1 + b1 b2) cos w + 2 b0 b2 cos 2w; the denominator likewise with 1, a1, a2.
    const double w = 2.0 * std::numbers::pi * normalizedFrequency;
    const double c1 = std::cos(w);
    const double c2 = 2.0 * c1 * c1 - 1.0;
    double power = 1.0;
    for (int i = 0; i < cascade.stageCount(); ++i)
    {
        const Dsp::BiquadCoefficients& s = cascade.stage(i);
        const double numerator = s.b0 * s.b0 + s.b1 * s.b1 + s.b2 * s.b2 +
                                 2.0 * (s.b0 * s.b1 + s.b1 * s.b2) * c1 + 2.0 * s.b0 * s.b2 * c2;
        const double denominator =
            1.0 + s.a1 * s.a1 + s.a2 * s.a2 + 2.0 * (s.a1 + s.a1 * s.a2) * c1 + 2.0 * s.a2 * c2;
        if (!(denominator > 0.0) || !std::isfinite(denominator))
            return std::numeric_limits<double>::quiet_NaN();
        power *= std::max(numerator, 0.0) / denominator;
    }
    // ln |H| = ln |H|^2 / 2.
    return 0.5 * std::log(power) * kDecibelsPerNeper;
}

void ICairoControlXY::MousePressed(int, int, const IMouseState&)
{
    if (IGraphics* graphics = Graphics())
        graphics->ConcealCursor();
    // The pad is bound to no single parameter, so the routing frames no gesture for it; it
    // frames its own two, so that hosts record a drag as one gesture like any other edit.
    if (plugin)
    {
        plugin->BeginHostEdit(xParameter);
        plugin->BeginHostEdit(yParameter);
    }
}

void ICairoControlXY::MouseReleased(int, int, const IMouseState&)
{
    if (IGraphics* graphics = Graphics())
        graphics->RestoreCursor();
    if (plugin)
    {
        plugin->EndHostEdit(xParameter);
        plugin->EndHostEdit(yParameter);
    }
}

void ICairoControlXY::MouseDragged(int x, int y, int, int, const IMouseState&)
{
    if (!frequencyLocked && bounds.Width() != 0)
    {
        // Logarithmic in hertz; the parameter itself is linear (shape 1).
        const double e = (x - bounds.left) / static_cast<double>(bounds.Width());
        const double low = minFrequency;
        const double high = maxFrequency;
        const double frequency = std::pow(high, e) * low / std::pow(low, e);
        lastX = Clamp01((frequency - low) / (high - low));
    }
    if (responseHidden)
        lastY = 0.5;
    else if (targetBounds.Height() != 0)
        lastY = (y - bounds.top) / static_cast<double>(targetBounds.Height());
    if (plugin)
    {
        plugin->SetParameterFromEditor(xParameter, Clamp01(lastX));
        plugin->SetParameterFromEditor(yParameter, 1.0 - Clamp01(lastY));
    }
    Invalidate(false);
}

ICairoControlXY::Snapshot ICairoControlXY::TakeSnapshot() const
{
    Snapshot snapshot;
    snapshot.rate = sampleRate;
    if (!plugin)
        return snapshot;
    IPluginLock::Guard guard(plugin->lock);
    if (filter && snapshot.rate > 0)
    {
        snapshot.coefficients = filter->targetCoefficients();
        snapshot.hasCurve = true;
    }
    if (const IParameter* x = plugin->Param(xParameter))
        snapshot.frequency = x->Value();
    if (const IParameter* y = plugin->Param(yParameter))
        snapshot.qNormalised = y->Normalised();
    return snapshot;
}

void ICairoControlXY::ShapePath(cairo_t* context, double inset, double radius) const
{
    const double w = bounds.Width() - 2 * inset;
    const double h = bounds.Height() - 2 * inset;
    if (cornerFactor > 0)
        RoundedRectanglePath(context, bounds.left + inset, bounds.top + inset, w, h, radius);
    else
        cairo_rectangle(context, bounds.left + inset, bounds.top + inset, w, h);
}

void ICairoControlXY::DrawGrid(cairo_t* context) const
{
    const double left = bounds.left;
    const double width = bounds.Width();
    cairo_set_line_width(context, 1.0);
    cairo_set_source_rgba(context, 1 - fillColour.red / 255.0, 1 - fillColour.green / 255.0,
                          1 - fillColour.blue / 255.0, 0.3);
    for (int i = static_cast<int>(-decibelRange); i <= decibelRange; ++i)
    {
        const double y = std::trunc(DecibelsToY(i));
        cairo_move_to(context, left, y);
        cairo_line_to(context, left + width, y);
    }
    const FrequencyAxis axis = Axis(innerBounds.left, innerBounds.right);
    double f = minFrequency;
    while (f < maxFrequency)
    {
        const double x = axis.X(f);
        cairo_move_to(context, x, bounds.top);
        cairo_line_to(context, x, bounds.bottom);
        f += f < 100 ? 10 : f < 1000 ? 100 : f < 10000 ? 1000 : 10000;
    }
    cairo_stroke(context);

    cairo_set_line_width(context, 2.0);
    const double zero = std::trunc(bounds.bottom - bounds.Height() * 0.5);
    cairo_move_to(context, left, zero);
    cairo_line_to(context, left + width, zero);
    cairo_stroke(context);
}

bool ICairoControlXY::CurveKey::operator==(const CurveKey& other) const
{
    if (rate != other.rate || displayScale != other.displayScale ||
        decibelRange != other.decibelRange || minFrequency != other.minFrequency ||
        maxFrequency != other.maxFrequency || left != other.left ||
        right != other.right || top != other.top || bottom != other.bottom ||
        coefficients.stageCount() != other.coefficients.stageCount())
        return false;
    for (int i = 0; i < coefficients.stageCount(); ++i)
    {
        const Dsp::BiquadCoefficients& a = coefficients.stage(i);
        const Dsp::BiquadCoefficients& b = other.coefficients.stage(i);
        if (a.a0 != b.a0 || a.a1 != b.a1 || a.a2 != b.a2 || a.b0 != b.b0 || a.b1 != b.b1 ||
            a.b2 != b.b2)
            return false;
    }
    return true;
}

double ICairoControlXY::CurveY(const Dsp::BiquadCascade& coefficients,
                               double normalizedFrequency) const
{
    double d = ResponseDecibels(coefficients, normalizedFrequency);
    // A degenerate design answers not-a-number; a NaN point would put the shared cairo
    // context into a permanent error state, so it draws at the bottom.
    if (std::isnan(d))
        d = -decibelRange;
    return DecibelsToY(std::clamp(d, -decibelRange, decibelRange));
}

const std::vector<double>& ICairoControlXY::CurvePoints(const Snapshot& snapshot,
                                                        double displayScale)
{
    const CurveKey key{snapshot.coefficients, snapshot.rate, displayScale, decibelRange,
                       minFrequency, maxFrequency, bounds.left, bounds.right, bounds.top,
                       bounds.bottom};
    const double rate = snapshot.rate;
    const FrequencyAxis axis = Axis(bounds.left, bounds.right);
    if (!paintCache)
    {
        everyHertzPoints.clear();
        for (int f = minFrequency; f <= maxFrequency; ++f)
        {
            everyHertzPoints.push_back(axis.X(f));
            everyHertzPoints.push_back(CurveY(snapshot.coefficients, f / rate));
        }
        return everyHertzPoints;
    }
    if (curveValid && key == curveKey)
        return curvePoints;
    curvePoints.clear();
    // Two points per window pixel column, evenly spaced on the logarithmic axis from the
    // lowest to the highest frequency: finer than the picture can show, so it looks as the
    // per-hertz curve does, at a fraction of the points.
    const int count = std::max(2, static_cast<int>(std::ceil(axis.width * displayScale * 2.0)) + 1);
    curvePoints.reserve(2 * static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
    {
        const double t = static_cast<double>(i) / (count - 1);
        const double f = std::pow(10.0, axis.low + t * axis.decades);
        curvePoints.push_back(axis.left + t * axis.width);
        curvePoints.push_back(CurveY(snapshot.coefficients, f / rate));
    }
    curveKey = key;
    curveValid = true;
    return curvePoints;
}

void ICairoControlXY::DrawCurve(cairo_t* context, const Snapshot& snapshot, double displayScale)
{
    const double bottom = bounds.bottom;
    cairo_new_sub_path(context);
    cairo_move_to(context, bounds.left, bottom);
    cairo_set_line_width(context, 2.0);
    cairo_set_source_rgba(context, 1 - fillColour.red / 255.0, 1 - fillColour.green / 255.0,
                          1 - fillColour.blue / 255.0, 0.7);
    const std::vector<double>& points = CurvePoints(snapshot, displayScale);
    for (size_t i = 0; i + 1 < points.size(); i += 2)
        cairo_line_to(context, points[i], points[i + 1]);
    cairo_line_to(context, bounds.right, bottom);
    cairo_line_to(context, bounds.left, bottom);
    cairo_fill(context);
}

void ICairoControlXY::DrawHandle(cairo_t* context, const Snapshot& snapshot)
{
    double x = innerBounds.left + (innerBounds.right - innerBounds.left) * 0.5;
    if (!frequencyLocked && snapshot.frequency > 0)
        x = FrequencyToX(snapshot.frequency, innerBounds.left, innerBounds.right);
    const double y =
        (1.0 - snapshot.qNormalised) * (innerBounds.bottom - innerBounds.top) + innerBounds.top;
    handleX = x;
    handleY = y;
    cairo_set_source_rgb(context, lineColour.red / 255.0, lineColour.green / 255.0,
                         lineColour.blue / 255.0);
    cairo_new_sub_path(context);
    cairo_arc(context, x, y, handleRadius, 0, 2 * std::numbers::pi);
    cairo_fill(context);
}

void ICairoControlXY::DrawBackdrop(cairo_t* context, double clipRadius) const
{
    cairo_save(context);
    ShapePath(context, 0.0, clipRadius);
    cairo_clip(context);
    cairo_new_path(context);
    cairo_set_source_rgba(context, fillColour.red / 255.0, fillColour.green / 255.0,
                          fillColour.blue / 255.0, fillColour.alpha / 255.0);
    ShapePath(context, 0.0, clipRadius);
    cairo_fill(context);
    if (!frequencyLocked)
        DrawGrid(context);
    cairo_restore(context);
}

namespace
{
/// The window-pixel rectangle of the target that `bounds` covers, when it lies whole on
/// pixel edges inside the target and inside the current clip; otherwise false.
bool WholePixels(cairo_t* context, const IRectangle& bounds, double scale, IRectangle& pixels)
{
    cairo_surface_t* target = cairo_get_target(context);
    if (cairo_surface_get_type(target) != CAIRO_SURFACE_TYPE_IMAGE ||
        cairo_image_surface_get_format(target) == CAIRO_FORMAT_INVALID ||
        (cairo_image_surface_get_format(target) != CAIRO_FORMAT_RGB24 &&
         cairo_image_surface_get_format(target) != CAIRO_FORMAT_ARGB32))
        return false;
    const double left = bounds.left * scale, top = bounds.top * scale;
    const double right = bounds.right * scale, bottom = bounds.bottom * scale;
    if (left != std::floor(left) || top != std::floor(top) || right != std::floor(right) ||
        bottom != std::floor(bottom))
        return false;
    pixels = {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right),
              static_cast<int>(bottom)};
    if (pixels.left < 0 || pixels.top < 0 ||
        pixels.right > cairo_image_surface_get_width(target) ||
        pixels.bottom > cairo_image_surface_get_height(target) || pixels.Width() <= 0 ||
        pixels.Height() <= 0)
        return false;
    // A repaint of part of the pad must not write outside its area.
    double x1, y1, x2, y2;
    cairo_clip_extents(context, &x1, &y1, &x2, &y2);
    return x1 <= bounds.left && y1 <= bounds.top && x2 >= bounds.right && y2 >= bounds.bottom;
}

uint32_t* Row(cairo_surface_t* target, int y)
{
    return reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(target) +
                                       static_cast<ptrdiff_t>(y) *
                                           cairo_image_surface_get_stride(target));
}

void Keep(cairo_surface_t* target, const IRectangle& pixels, std::vector<uint32_t>& kept)
{
    kept.resize(static_cast<size_t>(pixels.Width()) * pixels.Height());
    for (int y = pixels.top; y < pixels.bottom; ++y)
        std::copy_n(Row(target, y) + pixels.left, pixels.Width(),
                    kept.data() + static_cast<size_t>(y - pixels.top) * pixels.Width());
}

bool Same(cairo_surface_t* target, const IRectangle& pixels, const std::vector<uint32_t>& kept)
{
    if (kept.size() != static_cast<size_t>(pixels.Width()) * pixels.Height())
        return false;
    for (int y = pixels.top; y < pixels.bottom; ++y)
        if (!std::equal(Row(target, y) + pixels.left, Row(target, y) + pixels.right,
                        kept.data() + static_cast<size_t>(y - pixels.top) * pixels.Width()))
            return false;
    return true;
}
} // namespace

void ICairoControlXY::PaintBackdrop(cairo_t* context, double displayScale, double clipRadius)
{
    IRectangle pixels;
    if (!paintCache || !WholePixels(context, bounds, displayScale, pixels))
    {
        DrawBackdrop(context, clipRadius);
        return;
    }
    cairo_surface_t* target = cairo_get_target(context);
    cairo_surface_flush(target);
    const bool grid = !frequencyLocked;
    if (backdrop.scale == displayScale && backdrop.bounds == bounds && backdrop.grid == grid &&
        Same(target, pixels, backdrop.under))
    {
        for (int y = pixels.top; y < pixels.bottom; ++y)
            std::copy_n(backdrop.painted.data() +
                            static_cast<size_t>(y - pixels.top) * pixels.Width(),
                        pixels.Width(), Row(target, y) + pixels.left);
        cairo_surface_mark_dirty_rectangle(target, pixels.left, pixels.top, pixels.Width(),
                                           pixels.Height());
        return;
    }
    Keep(target, pixels, backdrop.under);
    DrawBackdrop(context, clipRadius);
    cairo_surface_flush(target);
    Keep(target, pixels, backdrop.painted);
    backdrop.scale = displayScale;
    backdrop.bounds = bounds;
    backdrop.grid = grid;
}

bool ICairoControlXY::Paint(IGraphics& graphics)
{
    const Snapshot snapshot = TakeSnapshot();
    cairo_t* context = painter.Begin();
    if (!context)
        return true;
    const double w = bounds.Width();
    const double h = bounds.Height();
    const double lw = lineWidth;
    const double clipRadius = cornerFactor > 0 ? std::max(w, h) / 10 / cornerFactor : 0.0;
    const double scale = graphics.DisplayScale();

    PaintBackdrop(context, scale, clipRadius);
    ShapePath(context, 0.0, clipRadius);
    cairo_clip(context);
    cairo_new_path(context);

    if (!responseHidden && snapshot.hasCurve)
        DrawCurve(context, snapshot, scale);

    cairo_set_line_width(context, lw);
    cairo_set_source_rgb(context, lineColour.red / 255.0, lineColour.green / 255.0,
                         lineColour.blue / 255.0);
    const double borderRadius =
        cornerFactor > 0 ? std::max(w - lw, h - lw) / 10 / cornerFactor : 0.0;
    ShapePath(context, lw / 2, borderRadius);
    cairo_stroke(context);

    DrawHandle(context, snapshot);
    painter.End();
    return true;
}
