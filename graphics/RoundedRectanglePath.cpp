#include "graphics/RoundedRectanglePath.h"

#include <numbers>

void RoundedRectanglePath(cairo_t* context, double x, double y, double w, double h, double r)
{
    if (context == nullptr)
        return;
    constexpr double pi = std::numbers::pi;
    cairo_new_sub_path(context);
    cairo_arc(context, x + w - r, y + r, r, -pi / 2, 0);
    cairo_arc(context, x + w - r, y + h - r, r, 0, pi / 2);
    cairo_arc(context, x + r, y + h - r, r, pi / 2, pi);
    cairo_arc(context, x + r, y + r, r, pi, 3 * pi / 2);
    cairo_close_path(context);
}
