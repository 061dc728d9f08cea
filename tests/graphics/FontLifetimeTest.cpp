#include <cairo.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

namespace
{
int InkPixels(cairo_surface_t* surface)
{
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    int ink = 0;
    for (int y = 0; y < cairo_image_surface_get_height(surface); ++y)
        for (int x = 0; x < cairo_image_surface_get_width(surface); ++x)
            ink += data[y * stride + x * 4] != 0;
    return ink;
}
} // namespace

// Cairo keeps font faces in process-wide caches, so a face made by a plug-in module can
// outlive the module when the host unloads it. Such a face must need nothing of the module:
// neither its memory (the font bytes) nor its code (the face's destructors).
TEST(FontLifetime, AFaceOutlivingItsModuleNeedsNothingOfIt)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 400, 60);
    cairo_t* context = cairo_create(surface);

    void* module = dlopen(VERDIGRIX_FONT_MODULE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    auto draw = reinterpret_cast<int (*)(cairo_t*)>(dlsym(module, "DrawCaption"));
    ASSERT_NE(draw, nullptr);
    ASSERT_EQ(draw(context), 1);
    cairo_font_face_t* face = cairo_font_face_reference(cairo_get_font_face(context));
    ASSERT_EQ(dlclose(module), 0);
    ASSERT_EQ(dlopen(VERDIGRIX_FONT_MODULE, RTLD_NOW | RTLD_NOLOAD), nullptr)
        << "the module is really gone";

    // New glyphs at a new size: FreeType reads the font file again.
    cairo_set_source_rgb(context, 0, 0, 0);
    cairo_paint(context);
    cairo_set_source_rgb(context, 1, 1, 1);
    cairo_set_font_face(context, face);
    cairo_set_font_size(context, 31.0);
    cairo_move_to(context, 5, 45);
    cairo_show_text(context, "QZ@#%&");
    EXPECT_EQ(cairo_status(context), CAIRO_STATUS_SUCCESS);
    EXPECT_GT(InkPixels(surface), 100);

    // Letting go of the face may release it now or later: either way without the module.
    cairo_font_face_destroy(face);
    cairo_destroy(context);
    cairo_surface_destroy(surface);
}
