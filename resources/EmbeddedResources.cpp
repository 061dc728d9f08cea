#include "resources/EmbeddedResources.h"

#include "graphics/platform/ResourceTable.h"

#define VERDIGRIX_RESOURCE(name)                                                                   \
    extern "C" __attribute__((visibility("hidden"))) const unsigned char name[];                   \
    extern "C" __attribute__((visibility("hidden"))) const unsigned char name##_end[];

VERDIGRIX_RESOURCE(verdigrix_resource_display_font)
VERDIGRIX_RESOURCE(verdigrix_resource_title_font)
VERDIGRIX_RESOURCE(verdigrix_resource_logo)

#undef VERDIGRIX_RESOURCE

namespace
{
size_t SizeOf(const unsigned char* begin, const unsigned char* end)
{
    return static_cast<size_t>(end - begin);
}

// Built at first use: the symbol addresses are only known once the module is loaded.
const ResourceTable& Table()
{
    // 104 is the same font file as 103, byte for byte, so both point at one copy.
    static const ResourceEntry entries[] = {
        {kResourceRawData, kCaptionFontId, verdigrix_resource_display_font,
         SizeOf(verdigrix_resource_display_font, verdigrix_resource_display_font_end)},
        {kResourceRawData, kValueFontId, verdigrix_resource_display_font,
         SizeOf(verdigrix_resource_display_font, verdigrix_resource_display_font_end)},
        {kResourceRawData, kTitleFontId, verdigrix_resource_title_font,
         SizeOf(verdigrix_resource_title_font, verdigrix_resource_title_font_end)},
        {kResourcePng, kLogoId, verdigrix_resource_logo,
         SizeOf(verdigrix_resource_logo, verdigrix_resource_logo_end)},
    };
    static const ResourceTable table{entries, sizeof entries / sizeof entries[0]};
    return table;
}
} // namespace

ModuleHandle EmbeddedModuleHandle()
{
    return const_cast<ResourceTable*>(&Table());
}

ModuleHandle UseEmbeddedResources()
{
    if (CurrentModuleHandle() == nullptr)
        SetModuleHandle(EmbeddedModuleHandle());
    return CurrentModuleHandle();
}
