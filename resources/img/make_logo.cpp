// Draws the Verdigrix logo: an 814 x 152 PNG with alpha, the "Verdigrix" wordmark in
// verdigris green over a transparent background. Run by hand when the logo changes; the
// build embeds the committed PNG.
//
//   cmake --build <build dir> --target verdigrix_make_logo
//   <build dir>/resources/verdigrix_make_logo resources/img/quarrelwick-logo.png
//       resources/fonts/Comfortaa-Regular.ttf   (one command line)

#include <cairo-ft.h>
#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>

namespace
{
constexpr int kWidth = 814;
constexpr int kHeight = 152;

void WordmarkPath(cairo_t* cr, const char* text)
{
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text, &extents);
    // Centred by ink, baseline low enough to leave room for the patina line below.
    const double x = (kWidth - extents.width) / 2.0 - extents.x_bearing;
    const double y = 100.0;
    cairo_move_to(cr, x, y);
    cairo_text_path(cr, text);
}

void Draw(cairo_t* cr, cairo_font_face_t* face)
{
    const char* text = "Verdigrix";
    cairo_set_font_face(cr, face);
    cairo_set_font_size(cr, 104.0);

    // A soft dark shadow so the light green reads on light and dark panels alike.
    cairo_save(cr);
    cairo_translate(cr, 3.0, 4.0);
    WordmarkPath(cr, text);
    cairo_set_line_width(cr, 11.0);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_source_rgba(cr, 0.05, 0.18, 0.16, 0.45);
    cairo_fill_preserve(cr);
    cairo_stroke(cr);
    cairo_restore(cr);

    // The letters: verdigris, brighter at the top like weathered copper catching light.
    // Comfortaa's strokes are thin for a logo shown at a quarter size, so each letter is
    // thickened by stroking its outline: first a dark rim, then the patina over it.
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    WordmarkPath(cr, text);
    cairo_set_line_width(cr, 11.0);
    cairo_set_source_rgb(cr, 0.10, 0.36, 0.32);
    cairo_stroke(cr);

    cairo_pattern_t* patina = cairo_pattern_create_linear(0, 18, 0, 122);
    cairo_pattern_add_color_stop_rgb(patina, 0.0, 0.60, 0.88, 0.80);
    cairo_pattern_add_color_stop_rgb(patina, 0.5, 0.26, 0.70, 0.68);
    cairo_pattern_add_color_stop_rgb(patina, 1.0, 0.18, 0.55, 0.50);
    WordmarkPath(cr, text);
    cairo_set_source(cr, patina);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 7.0);
    cairo_stroke(cr);
    cairo_pattern_destroy(patina);

    // A rough patina line under the word: a wavy stroke, thick in the middle.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_source_rgba(cr, 0.26, 0.70, 0.68, 0.9);
    cairo_set_line_width(cr, 7.0);
    cairo_move_to(cr, 60, 140);
    cairo_curve_to(cr, 250, 131, 420, 150, 560, 138);
    cairo_curve_to(cr, 640, 132, 710, 137, 754, 141);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 3.0);
    cairo_set_source_rgba(cr, 0.56, 0.85, 0.78, 0.8);
    cairo_move_to(cr, 90, 137);
    cairo_curve_to(cr, 260, 129, 430, 146, 560, 135);
    cairo_stroke(cr);
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::fprintf(stderr, "usage: %s out.png font.ttf\n", argv[0]);
        return 2;
    }
    FT_Library library = nullptr;
    FT_Face ftFace = nullptr;
    if (FT_Init_FreeType(&library) != 0 || FT_New_Face(library, argv[2], 0, &ftFace) != 0)
    {
        std::fprintf(stderr, "cannot load font %s\n", argv[2]);
        return 1;
    }
    cairo_font_face_t* face = cairo_ft_font_face_create_for_ft_face(ftFace, 0);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
    cairo_t* cr = cairo_create(surface);
    Draw(cr, face);
    cairo_destroy(cr);
    const cairo_status_t status = cairo_surface_write_to_png(surface, argv[1]);
    cairo_surface_destroy(surface);
    cairo_font_face_destroy(face);
    cairo_debug_reset_static_data();
    FT_Done_Face(ftFace);
    FT_Done_FreeType(library);
    if (status != CAIRO_STATUS_SUCCESS)
    {
        std::fprintf(stderr, "cannot write %s: %s\n", argv[1], cairo_status_to_string(status));
        return 1;
    }
    return 0;
}
