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

void ICairoControlXY::DrawCurve(cairo_t* context, const Snapshot& snapshot) const
{
    const double bottom = bounds.bottom;
    cairo_new_sub_path(context);
    cairo_move_to(context, bounds.left, bottom);
    cairo_set_line_width(context, 2.0);
    cairo_set_source_rgba(context, 1 - fillColour.red / 255.0, 1 - fillColour.green / 255.0,
                          1 - fillColour.blue / 255.0, 0.7);
    const double rate = snapshot.rate;
    // One point per hertz: the axis ends are worked out once, not for every point.
    const FrequencyAxis axis = Axis(bounds.left, bounds.right);
    for (int f = minFrequency; f <= maxFrequency; ++f)
    {
        double d = ResponseDecibels(snapshot.coefficients, f / rate);
        // A degenerate design answers not-a-number; a NaN point would put the shared
        // cairo context into a permanent error state, so it draws at the bottom.
        if (std::isnan(d))
            d = -decibelRange;
        d = std::clamp(d, -decibelRange, decibelRange);
        cairo_line_to(context, axis.X(f), DecibelsToY(d));
    }
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

bool ICairoControlXY::Paint(IGraphics&)
{
    const Snapshot snapshot = TakeSnapshot();
    cairo_t* context = painter.Begin();
    if (!context)
        return true;
    const double w = bounds.Width();
    const double h = bounds.Height();
    const double lw = lineWidth;
    const double clipRadius = cornerFactor > 0 ? std::max(w, h) / 10 / cornerFactor : 0.0;

    ShapePath(context, 0.0, clipRadius);
    cairo_clip(context);
    cairo_new_path(context);

    cairo_set_source_rgba(context, fillColour.red / 255.0, fillColour.green / 255.0,
                          fillColour.blue / 255.0, fillColour.alpha / 255.0);
    ShapePath(context, 0.0, clipRadius);
    cairo_fill(context);

    if (!frequencyLocked)
        DrawGrid(context);
    if (!responseHidden && snapshot.hasCurve)
        DrawCurve(context, snapshot);

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
