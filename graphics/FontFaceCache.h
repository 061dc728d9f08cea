#pragma once

#include <cairo.h>

#include <cstddef>
#include <mutex>
#include <vector>

/// The module-wide cache of cairo font faces made from TrueType resources: one FreeType face
/// per font file, shared by every text painter of every plug-in instance of the module.
///
/// Cairo keeps font faces in process-wide caches that can outlive the module (a host may
/// unload it while cairo still holds a face), so each face owns a private copy of its font
/// bytes and its FreeType library, and cairo releases both through FreeType's and the C
/// library's own functions: no code or data of this module is needed once it is unloaded.
/// Thread-safe (own lock); cairo serialises its own use of each face.
class FontFaceCache
{
public:
    static FontFaceCache& Instance();

    FontFaceCache() = default;
    /// Drops the cache's references (module unload); cairo frees each face once unused.
    ~FontFaceCache();
    FontFaceCache(const FontFaceCache&) = delete;
    FontFaceCache& operator=(const FontFaceCache&) = delete;

    /// A new reference (release it with cairo_font_face_destroy) to the face for the font
    /// file at `data`, which must stay constant while the module is loaded; null when
    /// FreeType refuses the bytes.
    cairo_font_face_t* Acquire(const unsigned char* data, size_t size);
    int Count();

private:
    struct Entry
    {
        const unsigned char* data;
        size_t size;
        cairo_font_face_t* face;
    };

    std::mutex lock;
    std::vector<Entry> entries;
};
