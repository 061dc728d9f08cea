// Writes the fuzz targets' seed inputs, one folder per target, from states saved by the
// effect and by the real modules as a host loads them: the default document and one per
// source and filter type, the binary parameter format, preset banks, VST2 program and bank
// chunks, VST3 component state streams, small PNG images of every pixel format, and the
// display texts of every parameter.
//
// Usage: verdigrix-fuzz-seeds <corpus folder> (scripts/make-fuzz-seeds writes fuzz/corpus)

#include "effect/Verdigrix.h"
#include "hosting/vst2/Vst2Instance.h"
#include "hosting/vst2/Vst2Module.h"
#include "hosting/vst3/Vst3Module.h"
#include "hosting/vst3/Vst3Plugin.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace
{

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

fs::path root;

void Write(const std::string& target, const std::string& name, const Bytes& bytes)
{
    fs::create_directories(root / target);
    std::ofstream out(root / target / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

Bytes Prefixed(uint8_t first, const Bytes& rest)
{
    Bytes b(rest.size() + 1);
    b[0] = first;
    std::copy(rest.begin(), rest.end(), b.begin() + 1);
    return b;
}

Bytes BytesOf(const IByteChunk& chunk)
{
    return Bytes(chunk.Data(), chunk.Data() + chunk.Size());
}

/// The states a user makes: defaults, then each source type and each filter type.
struct Setting
{
    std::string name;
    int param;
    double value;
};
std::vector<Setting> Settings()
{
    std::vector<Setting> s = {{"default", 0, 0.0}};
    for (int source = 1; source <= 5; ++source)
        s.push_back({"source" + std::to_string(source), 0, static_cast<double>(source)});
    for (int filter : {0, 2})
        s.push_back({"filter" + std::to_string(filter), 1, static_cast<double>(filter)});
    s.push_back({"extremes", 2, 18000.0});
    return s;
}

void EffectSeeds()
{
    for (const Setting& setting : Settings())
    {
        Verdigrix effect;
        effect.Param(setting.param)->SetClamped(setting.value);
        if (setting.name == "extremes")
        {
            effect.Param(3)->SetClamped(4.0);
            effect.Param(6)->SetClamped(-15.0);
        }
        IByteChunk document, binary, bank;
        effect.SerializeState(document);
        effect.SerializeParams(binary);
        effect.SelectPreset(0);
        effect.SerializePresets(bank);
        Write("fuzz_effect_state", setting.name, BytesOf(document));
        Write("fuzz_chunk_params", setting.name, BytesOf(binary));
        Write("fuzz_preset_bank", setting.name, BytesOf(bank));
        if (setting.name == "default")
        {
            Write("fuzz_effect_state", "binary", BytesOf(binary));
            Write("fuzz_chunk_params", "document", BytesOf(document));
        }
    }

    // Display texts, and the value texts of the choices, for every parameter.
    Verdigrix effect;
    for (int i = 0; i < effect.ParamCount(); ++i)
    {
        IParameter& p = *effect.Param(i);
        std::vector<std::string> texts;
        char shown[64] = {};
        p.DisplayText(shown, sizeof shown);
        texts.push_back(shown);
        for (int k = 0; k < p.ValueTextCount(); ++k)
            texts.push_back(p.ValueTextAt(k)->text);
        for (std::size_t k = 0; k < texts.size(); ++k)
        {
            const Bytes text(texts[k].begin(), texts[k].end());
            const std::string name = "param" + std::to_string(i) + "-" + std::to_string(k);
            Write("fuzz_parse_text", name, Prefixed(static_cast<uint8_t>(i), text));
            Write("fuzz_vst2_value_text", name, Prefixed(static_cast<uint8_t>(i), text));
            // The VST3 list holds Preset and Bypass besides these, in its own order; the texts
            // still seed every kind of value.
            Write("fuzz_vst3_value_text", name, Prefixed(static_cast<uint8_t>(i), text));
        }
    }
    Write("fuzz_vst3_value_text", "preset", Prefixed(10, {'0', '.', '5'}));
    Write("fuzz_vst3_value_text", "bypass", Prefixed(11, {'1'}));
}

bool Vst2Seeds()
{
    std::string error;
    auto module = Vst2Module::Load(VERDIGRIX_VST2_MODULE, &error);
    if (module == nullptr)
    {
        std::fprintf(stderr, "VST2 module: %s\n", error.c_str());
        return false;
    }
    for (const Setting& setting : Settings())
    {
        auto host = Vst2Instance::Create(module->Entry());
        if (host == nullptr)
            return false;
        host->Start(48000.0, 512);
        // As a host's generic editor sets a value: by its display text.
        Verdigrix values;
        values.Param(setting.param)->SetClamped(setting.value);
        char text[64] = {};
        values.Param(setting.param)->DisplayText(text, sizeof text);
        host->Dispatch(VST2_EFF_STRING_TO_PARAMETER, setting.param, 0, text);
        Write("fuzz_vst2_chunk", setting.name + "-program", Prefixed(0, host->GetChunk(false)));
        if (setting.name == "default" || setting.name == "source2")
            Write("fuzz_vst2_chunk", setting.name + "-bank", Prefixed(1, host->GetChunk(true)));
    }
    return true;
}

bool Vst3Seeds()
{
    Vst3Module module;
    if (!module.Load(VERDIGRIX_VST3_BUNDLE))
    {
        std::fprintf(stderr, "VST3 bundle: %s\n", module.LastError().c_str());
        return false;
    }
    for (const Setting& setting : Settings())
    {
        Vst3Plugin plugin("Ardour");
        if (!plugin.Create(module.Factory()) || !plugin.Start(48000.0, 512))
            return false;
        Verdigrix values;
        values.Param(setting.param)->SetClamped(setting.value);
        // As a host applies a setting: through a block's parameter changes.
        plugin.QueueParameter(static_cast<vst3::ParamID>(setting.param),
                              values.Param(setting.param)->Normalised());
        float silence[64] = {};
        const float* in[2] = {silence, silence};
        float outLeft[64], outRight[64];
        float* out[2] = {outLeft, outRight};
        plugin.Process(in, nullptr, out, 64);
        std::vector<char> state;
        if (!plugin.GetState(state))
            return false;
        const Bytes bytes(state.begin(), state.end());
        Write("fuzz_vst3_state", setting.name, Prefixed(0, bytes));
        if (setting.name == "default")
        {
            Write("fuzz_vst3_state", "default-controller", Prefixed(0x80, bytes));
            Write("fuzz_vst3_state", "default-short-reads", Prefixed(0x03, bytes));
            Write("fuzz_vst3_state", "default-failing-read", Prefixed(0x48 | 0x04, bytes));
        }
    }
    return true;
}

/// A small PNG of `width` x `height` with the given colour type and bit depth.
Bytes Png(int width, int height, int colourType, int depth, bool interlaced = false,
          bool transparency = false)
{
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, png_size_t n)
        {
            auto* b = static_cast<Bytes*>(png_get_io_ptr(p));
            b->insert(b->end(), data, data + n);
        },
        nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height),
                 depth, colourType, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color palette[4] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    if (colourType == PNG_COLOR_TYPE_PALETTE)
        png_set_PLTE(png, info, palette, 4);
    png_byte alpha[4] = {0, 128, 255, 64};
    png_color_16 key{};
    if (transparency)
        png_set_tRNS(png, info, alpha, colourType == PNG_COLOR_TYPE_PALETTE ? 4 : 0,
                     colourType == PNG_COLOR_TYPE_PALETTE ? nullptr : &key);
    png_write_info(png, info);
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    std::vector<png_byte> row(rowBytes);
    const int passes = png_set_interlace_handling(png);
    for (int pass = 0; pass < passes; ++pass)
        for (int y = 0; y < height; ++y)
        {
            for (std::size_t k = 0; k < rowBytes; ++k)
                row[k] = static_cast<png_byte>(k * 37 + static_cast<std::size_t>(y) * 11);
            if (colourType == PNG_COLOR_TYPE_PALETTE)
                for (png_byte& b : row)
                    b &= depth == 8 ? 3 : (depth == 4 ? 0x33 : (depth == 2 ? 0x55 : 0xFF));
            png_write_row(png, row.data());
        }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

/// The chunk at `offset` (its length field) with `data` written over its start and its
/// checksum made right again, so only what the chunk claims is wrong.
Bytes Rewritten(Bytes file, std::size_t offset, const Bytes& data)
{
    const uint32_t length = (uint32_t{file[offset]} << 24) | (uint32_t{file[offset + 1]} << 16) |
                            (uint32_t{file[offset + 2]} << 8) | file[offset + 3];
    std::copy(data.begin(), data.end(), file.begin() + static_cast<std::ptrdiff_t>(offset) + 8);
    const uLong crc = crc32(crc32(0, nullptr, 0), file.data() + offset + 4, length + 4);
    for (int i = 0; i < 4; ++i)
        file[offset + 8 + length + static_cast<std::size_t>(i)] =
            static_cast<uint8_t>(crc >> (24 - 8 * i));
    return file;
}

std::size_t ChunkOffset(const Bytes& file, const char* type)
{
    for (std::size_t i = 8; i + 8 <= file.size(); ++i)
        if (std::equal(type, type + 4, file.begin() + static_cast<std::ptrdiff_t>(i) + 4))
            return i;
    return 0;
}

void PngSeeds()
{
    // Files that promise more than they hold: the largest sides over a few bytes of image
    // data, and an image data chunk claiming 2 GB.
    const Bytes small = Png(2, 2, PNG_COLOR_TYPE_RGB, 8);
    Write("fuzz_png", "claims-largest-sides",
          Rewritten(small, ChunkOffset(small, "IHDR"), {0, 0, 0x20, 0, 0, 0, 0x20, 0}));
    Bytes longChunk = small;
    const std::size_t idat = ChunkOffset(small, "IDAT");
    std::copy_n("\x7F\xFF\xFF\xFF", 4, longChunk.begin() + static_cast<std::ptrdiff_t>(idat));
    Write("fuzz_png", "claims-2gb-chunk", longChunk);
    Write("fuzz_png", "grey1", Png(5, 3, PNG_COLOR_TYPE_GRAY, 1));
    Write("fuzz_png", "grey16-trns", Png(3, 3, PNG_COLOR_TYPE_GRAY, 16, false, true));
    Write("fuzz_png", "grey-alpha", Png(4, 2, PNG_COLOR_TYPE_GRAY_ALPHA, 8));
    Write("fuzz_png", "palette2-trns", Png(7, 3, PNG_COLOR_TYPE_PALETTE, 2, false, true));
    Write("fuzz_png", "palette8", Png(3, 3, PNG_COLOR_TYPE_PALETTE, 8));
    Write("fuzz_png", "rgb8-interlaced", Png(9, 9, PNG_COLOR_TYPE_RGB, 8, true));
    Write("fuzz_png", "rgba16", Png(2, 2, PNG_COLOR_TYPE_RGB_ALPHA, 16));
    Write("fuzz_png", "rgba8", Png(3, 2, PNG_COLOR_TYPE_RGB_ALPHA, 8));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    root = argv[1];
    EffectSeeds();
    PngSeeds();
    if (!Vst2Seeds() || !Vst3Seeds())
        return 1;
    return 0;
}
