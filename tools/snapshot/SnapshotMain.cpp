// verdigrix-snapshot out.png [--scale S] [--set "Name=value" ...]
//
// Builds the effect with its editor as a host would (construct, set parameters, reset at
// 44.1 kHz), runs the editor's repaint cycle and writes the drawing bitmap as a PNG.

#include "effect/Verdigrix.h"
#include "graphics/IBitmap.h"
#include "graphics/IGraphics.h"
#include "graphics/IGraphicsHeadless.h"

#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace
{
constexpr double kSampleRate = 44100.0;
constexpr int kBlockSize = 512;

void Usage()
{
    std::fprintf(stderr,
                 "usage: verdigrix-snapshot out.png [--scale S] [--set \"Name=value\" ...]\n"
                 "  value: a number in the parameter's unit, or one of its value texts\n");
}

struct Options
{
    std::string out;
    double scale = 1.0;
    std::vector<std::string> settings;
};

bool ParseArguments(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i)
    {
        const std::string argument = argv[i];
        if (argument == "--scale" && i + 1 < argc)
        {
            char* end = nullptr;
            options.scale = std::strtod(argv[++i], &end);
            if (*end != '\0' || !(options.scale >= 0.25 && options.scale <= 8.0))
            {
                std::fprintf(stderr, "verdigrix-snapshot: scale must be 0.25 to 8\n");
                return false;
            }
        }
        else if (argument == "--set" && i + 1 < argc)
            options.settings.emplace_back(argv[++i]);
        else if (!argument.empty() && argument[0] != '-' && options.out.empty())
            options.out = argument;
        else
            return false;
    }
    return !options.out.empty();
}

/// `text` as a finite number, all of it.
bool ParseNumber(const std::string& text, double& value)
{
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && std::isfinite(value);
}

/// Applies "Name=value" as a host does: the value is clamped into the parameter's range and
/// announced to the effect. Names are the parameter names ("Filter Frequency").
bool ApplySetting(Verdigrix& effect, const std::string& setting)
{
    const size_t equals = setting.find('=');
    if (equals == std::string::npos)
    {
        std::fprintf(stderr, "verdigrix-snapshot: expected Name=value, got \"%s\"\n",
                     setting.c_str());
        return false;
    }
    const std::string name = setting.substr(0, equals);
    const std::string text = setting.substr(equals + 1);
    for (int i = 0; i < effect.ParamCount(); ++i)
    {
        IParameter& parameter = *effect.Param(i);
        if (name != parameter.Name())
            continue;
        IPluginLock::Guard guard(effect.lock);
        const bool isChoice =
            parameter.Type() == IParameter::kTypeEnum || parameter.Type() == IParameter::kTypeBool;
        bool matched = false;
        for (int k = 0; k < parameter.ValueTextCount(); ++k)
            matched = matched || text == parameter.ValueTextAt(k)->text;
        // Choices also accept their number ("Source Type=2"). Anything else must read as a
        // number to its end, so that a typo fails instead of setting the parameter to 0.
        double value = 0.0;
        if (isChoice && matched)
            value = parameter.ParseText(text.c_str());
        else if (!ParseNumber(text, value))
        {
            std::fprintf(stderr, "verdigrix-snapshot: \"%s\" is no value of \"%s\"\n", text.c_str(),
                         name.c_str());
            return false;
        }
        parameter.SetClamped(value);
        effect.ParameterChanged(i, IEffectBase::kSourceHost);
        return true;
    }
    std::fprintf(stderr, "verdigrix-snapshot: no parameter named \"%s\"\n", name.c_str());
    return false;
}

/// Runs blocks of silence so the pad sees processing, then the repaint timer until clean.
void RunEditor(Verdigrix& effect, IGraphics& editor)
{
    std::vector<double> silence(kBlockSize * 4, 0.0);
    std::vector<double> out(kBlockSize * 2, 0.0);
    double* inputs[4] = {&silence[0], &silence[kBlockSize], &silence[2 * kBlockSize],
                         &silence[3 * kBlockSize]};
    double* outputs[2] = {&out[0], &out[kBlockSize]};
    {
        IPluginLock::Guard guard(effect.lock);
        effect.ProcessChannels(inputs, outputs, kBlockSize);
    }
    for (int tick = 0; tick < 8; ++tick)
    {
        IRectangle area;
        if (editor.FindDirtyArea(area))
            editor.RedrawArea(area);
    }
}

bool WritePng(IBitmap& bitmap, const std::string& path)
{
    const int stride = bitmap.RowPixels() * 4;
    cairo_surface_t* surface = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(bitmap.Pixels()), CAIRO_FORMAT_RGB24, bitmap.Width(),
        bitmap.Height(), stride);
    const cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS)
        std::fprintf(stderr, "verdigrix-snapshot: cannot write %s: %s\n", path.c_str(),
                     cairo_status_to_string(status));
    return status == CAIRO_STATUS_SUCCESS;
}
} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseArguments(argc, argv, options))
    {
        Usage();
        return 2;
    }
    IGraphicsHeadless::SetScreenScale(options.scale);
    Verdigrix effect;
    // A host announces every parameter when it opens the effect, so the engine and the
    // editor start from the parameters' values.
    for (int i = 0; i < effect.ParamCount(); ++i)
        effect.ParameterChanged(i, IEffectBase::kSourceOpening);
    for (const std::string& setting : options.settings)
        if (!ApplySetting(effect, setting))
            return 2;
    effect.sampleRate = kSampleRate;
    effect.SetMaxBlockSize(kBlockSize);
    effect.ResetProcessing();

    auto* editor = dynamic_cast<IGraphics*>(effect.graphics.get());
    IBitmap* bitmap = editor ? editor->DrawingBitmap() : nullptr;
    if (!bitmap || !bitmap->Pixels())
    {
        std::fprintf(stderr, "verdigrix-snapshot: the editor has no drawing bitmap\n");
        return 1;
    }
    RunEditor(effect, *editor);
    return WritePng(*bitmap, options.out) ? 0 : 1;
}
