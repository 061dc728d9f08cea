#pragma once

#include <cairo.h>

/// Adds a closed rounded-rectangle sub-path (x, y, w, h in pixels, corner radius r) to
/// `context`: four quarter arcs, clockwise from the top-right corner. Does not stroke or
/// fill. [ui thread]
void RoundedRectanglePath(cairo_t* context, double x, double y, double w, double h, double r);
