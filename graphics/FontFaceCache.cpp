#include "graphics/FontFaceCache.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <cairo-ft.h>

#include <cstdlib>
#include <cstring>

namespace
{
const cairo_user_data_key_t kLibraryKey{};
const cairo_user_data_key_t kBytesKey{};

/// FT_Done_FreeType frees the library with its face. The call through cairo's destroy type
/// (as cairo's own documentation shows for FT_Done_Face) is sound on every ABI we build for.
cairo_destroy_func_t ReleaseLibrary()
{
    return reinterpret_cast<cairo_destroy_func_t>(reinterpret_cast<void (*)()>(&FT_Done_FreeType));
}

cairo_font_face_t* CreateFace(const unsigned char* data, size_t size)
{
    void* bytes = std::malloc(size);
    if (bytes == nullptr)
        return nullptr;
    std::memcpy(bytes, data, size);

    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (FT_Init_FreeType(&library) != 0)
    {
        std::free(bytes);
        return nullptr;
    }
    if (FT_New_Memory_Face(library, static_cast<const FT_Byte*>(bytes), static_cast<FT_Long>(size),
                           0, &face) != 0)
    {
        FT_Done_FreeType(library);
        std::free(bytes);
        return nullptr;
    }

    // Cairo runs the destructors in this order: the library (and face) first, then the bytes.
    cairo_font_face_t* created = cairo_ft_font_face_create_for_ft_face(face, 0);
    if (cairo_font_face_status(created) == CAIRO_STATUS_SUCCESS &&
        cairo_font_face_set_user_data(created, &kLibraryKey, library, ReleaseLibrary()) ==
            CAIRO_STATUS_SUCCESS)
    {
        // Should cairo run out of memory here, the bytes stay allocated for good: the face
        // reads them as long as it lives.
        cairo_font_face_set_user_data(created, &kBytesKey, bytes, std::free);
        return created;
    }
    cairo_font_face_destroy(created);
    FT_Done_FreeType(library);
    std::free(bytes);
    return nullptr;
}
} // namespace

FontFaceCache& FontFaceCache::Instance()
{
    static FontFaceCache cache;
    return cache;
}

FontFaceCache::~FontFaceCache()
{
    for (const Entry& entry : entries)
        cairo_font_face_destroy(entry.face);
}

cairo_font_face_t* FontFaceCache::Acquire(const unsigned char* data, size_t size)
{
    if (data == nullptr || size == 0)
        return nullptr;
    std::lock_guard guard(lock);
    for (const Entry& entry : entries)
        if (entry.data == data && entry.size == size)
            return cairo_font_face_reference(entry.face);
    cairo_font_face_t* face = CreateFace(data, size);
    if (face == nullptr)
        return nullptr;
    entries.push_back({data, size, face});
    return cairo_font_face_reference(face);
}

int FontFaceCache::Count()
{
    std::lock_guard guard(lock);
    return static_cast<int>(entries.size());
}
