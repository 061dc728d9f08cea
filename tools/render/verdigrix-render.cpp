// verdigrix-render: renders an audio file (or, without one, a short musical test signal it
// synthesises) through the Verdigrix plug-in, loaded from its module as a host loads it, and
// writes the result as WAV or FLAC.
//
//   verdigrix-render [options] [INPUT]
//
// The plug-in is reached only through a RenderHost (one per plug-in format); everything else
// (options, files, the test signal, the report) does not know which format processes the audio.

#include "tools/render/ParameterAssignment.h"
#include "tools/render/RenderHost.h"
#include "tools/render/Vst3RenderHost.h"
#ifdef VERDIGRIX_VST2_MODULE
#include "tools/render/Vst2RenderHost.h"
#endif

#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace
{

// ---------------------------------------------------------------------------------------
// Audio in memory.

struct Audio
{
    int sampleRate = 44100;
    std::vector<double> left, right;
    std::vector<double> sideLeft, sideRight; ///< empty when there is no side chain
    std::string description;

    long frames() const { return static_cast<long>(left.size()); }
};

/// Reads a file with libsndfile: mono is doubled, channels 3 and 4 (when present) become
/// the side chain.
std::optional<Audio> readAudio(const std::string& path, std::string& error)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr)
    {
        error = "cannot read '" + path + "': " + sf_strerror(nullptr);
        return std::nullopt;
    }
    if (info.channels < 1 || info.samplerate < 1 || info.frames < 1)
    {
        sf_close(file);
        error = "'" + path + "' holds no audio";
        return std::nullopt;
    }
    std::vector<double> interleaved(static_cast<std::size_t>(info.frames) *
                                    static_cast<std::size_t>(info.channels));
    const sf_count_t got = sf_readf_double(file, interleaved.data(), info.frames);
    sf_close(file);

    Audio audio;
    audio.sampleRate = info.samplerate;
    const std::size_t n = static_cast<std::size_t>(got),
                      ch = static_cast<std::size_t>(info.channels);
    audio.left.resize(n);
    audio.right.resize(n);
    if (ch >= 4)
    {
        audio.sideLeft.resize(n);
        audio.sideRight.resize(n);
    }
    for (std::size_t i = 0; i < n; ++i)
    {
        audio.left[i] = interleaved[i * ch];
        audio.right[i] = interleaved[i * ch + (ch >= 2 ? 1 : 0)];
        if (ch >= 4)
        {
            audio.sideLeft[i] = interleaved[i * ch + 2];
            audio.sideRight[i] = interleaved[i * ch + 3];
        }
    }
    audio.description = "'" + path + "', " + std::to_string(info.channels) + " channel(s), " +
                        std::to_string(info.samplerate) + " Hz";
    return audio;
}

/// A short musical phrase: a plucked A-minor arpeggio over a bass line, slightly spread in
/// the stereo field, with a soft kick on the side channels (for the side-chain source).
Audio synthesise(int sampleRate, double seconds)
{
    Audio audio;
    audio.sampleRate = sampleRate;
    const std::size_t n = static_cast<std::size_t>(seconds * sampleRate);
    audio.left.assign(n, 0.0);
    audio.right.assign(n, 0.0);
    audio.sideLeft.assign(n, 0.0);
    audio.sideRight.assign(n, 0.0);

    const double beat = 0.25;                             // seconds per note
    const int notes[] = {57, 60, 64, 69, 72, 69, 64, 60}; // A3 C4 E4 A4 C5 A4 E4 C4
    const int bass[] = {45, 45, 41, 43};                  // A2 A2 F2 G2, one per bar
    auto hz = [](int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); };
    for (std::size_t i = 0; i < n; ++i)
    {
        const double t = static_cast<double>(i) / sampleRate;
        const int step = static_cast<int>(t / beat);
        const double since = t - step * beat;
        const double pan = (step % 2 == 0) ? 0.35 : 0.65;
        const double f = hz(notes[step % 8]);
        const double pluck = std::exp(-since * 9.0) *
                             (std::sin(2 * M_PI * f * t) + 0.3 * std::sin(4 * M_PI * f * t));
        const double bar = 8 * beat;
        const double b = 0.35 * std::sin(2 * M_PI * hz(bass[static_cast<int>(t / bar) % 4]) * t) *
                         std::min(1.0, (t - std::floor(t / bar) * bar) * 20.0);
        audio.left[i] = 0.3 * pluck * (1 - pan) * 2 + b;
        audio.right[i] = 0.3 * pluck * pan * 2 + b;
        const double kickTime = std::fmod(t, 2 * beat);
        const double kick =
            std::exp(-kickTime * 18.0) *
            std::sin(2 * M_PI * (50.0 + 80.0 * std::exp(-kickTime * 30.0)) * kickTime);
        audio.sideLeft[i] = audio.sideRight[i] = 0.8 * kick;
    }
    audio.description = "synthesised test phrase, " + std::to_string(sampleRate) + " Hz, " +
                        std::to_string(seconds).substr(0, 4) + " s";
    return audio;
}

bool writeAudio(const std::string& path, const Audio& audio, std::string& error)
{
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    SF_INFO info{};
    info.samplerate = audio.sampleRate;
    info.channels = 2;
    if (extension == ".flac")
        info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_24;
    else if (extension == ".wav")
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_24;
    else
    {
        error = "unsupported output type '" + extension + "' (use .wav or .flac)";
        return false;
    }
    const auto parent = std::filesystem::path(path).parent_path();
    std::error_code ec;
    if (!parent.empty())
        std::filesystem::create_directories(parent, ec);
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr)
    {
        error = "cannot write '" + path + "': " + sf_strerror(nullptr);
        return false;
    }
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    std::vector<double> interleaved(audio.left.size() * 2);
    for (std::size_t i = 0; i < audio.left.size(); ++i)
    {
        interleaved[2 * i] = audio.left[i];
        interleaved[2 * i + 1] = audio.right[i];
    }
    const sf_count_t written = sf_writef_double(file, interleaved.data(), audio.frames());
    const bool ok = written == audio.frames() && sf_close(file) == 0;
    if (!ok)
        error = "writing '" + path + "' failed";
    return ok;
}

double peakDb(const Audio& audio)
{
    double peak = 0;
    for (std::size_t i = 0; i < audio.left.size(); ++i)
        peak = std::max({peak, std::fabs(audio.left[i]), std::fabs(audio.right[i])});
    return peak > 0 ? 20 * std::log10(peak) : -INFINITY;
}

// ---------------------------------------------------------------------------------------
// Command line.

void usage(FILE* to)
{
    std::fprintf(
        to,
        "usage: verdigrix-render [options] [INPUT.wav|INPUT.flac]\n"
        "Renders INPUT (or a synthesised test phrase) through the Verdigrix plug-in.\n"
        "  --plugin PATH       the VST3 bundle to load (default: the one built with this tool)\n"
        "  --vst2              render through the VST2 module instead (--plugin then names\n"
        "                      a VST2 .so; default: the one built with this tool)\n"
        "  --list              print the parameters as a host sees them, then stop\n"
        "  --set \"Title=VALUE\" set a parameter by its title (or #index) to one of its value\n"
        "                      texts or a number in its units, e.g. --set \"Filter Type=High "
        "Pass\"\n"
        "                      --set \"Filter Frequency=1200\" (repeatable)\n"
        "  --state-in FILE     load the plug-in's state before the settings\n"
        "  --state-out FILE    save the plug-in's state after the render\n"
        "  --out FILE          output .wav or .flac (default out/demo.wav)\n"
        "  --sidechain FILE    side-chain input (else channels 3-4 of INPUT, or the\n"
        "                      test phrase's kick)\n"
        "  --block N           host block size, 1..65536 (default 512)\n"
        "  --bits 32|64        sample width the plug-in processes in (default 64)\n"
        "  --seconds S         length of the test phrase, 0.1..600 (default 4)\n"
        "  --rate HZ           sample rate of the test phrase, 8000..384000 (default 44100)\n"
        "Shorthands: --source noise|stereo-noise|sine|saw|square|sidechain,\n"
        "  --filter lowpass|bandpass|highpass, --freq HZ, --q Q, --amount PERCENT,\n"
        "  --input-db DB, --output-db DB, --saturation on|off, --follow on|off\n"
        "  --help\n");
}

bool parseNumber(const char* text, double low, double high, double& out)
{
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    if (end == text || *end != '\0' || !(v >= low && v <= high))
        return false;
    out = v;
    return true;
}

const char* const kSourceNames[] = {"noise", "stereo-noise", "sine", "saw", "square", "sidechain"};
const char* const kSourceTexts[] = {"Noise", "Stereo Noise", "Sine", "Saw", "Square", "Ext. input"};
const char* const kFilterNames[] = {"lowpass", "bandpass", "highpass"};
const char* const kFilterTexts[] = {"Low Pass", "Band Pass", "High Pass"};

int indexOf(const char* const* names, int count, const std::string& name)
{
    for (int i = 0; i < count; ++i)
        if (name == names[i])
            return i;
    return -1;
}

struct Options
{
    std::string plugin; ///< empty: the module built with this tool
    bool vst2 = false;
    bool list = false;
    std::vector<std::string> sets; ///< "Title=value", in command-line order
    std::string stateIn, stateOut;
    std::string input, sidechain, output = "out/demo.wav";
    int blockSize = 512;
    int bits = 64;
    double seconds = 4.0;
    double rate = 44100;
};

/// The shorthand options, as the settings they stand for.
bool shorthand(const std::string& arg, const std::string& value, Options& o, bool& ok)
{
    struct Plain
    {
        const char* option;
        const char* title;
    };
    static const Plain plain[] = {
        {"--freq", "Filter Frequency"},  {"--q", "Filter Q"},
        {"--amount", "Effect Amount"},   {"--input-db", "Input level"},
        {"--output-db", "Output level"}, {"--saturation", "Analog Saturation"},
        {"--follow", "Follow Pitch"}};
    ok = true;
    if (arg == "--source")
    {
        const int i = indexOf(kSourceNames, 6, value);
        ok = i >= 0;
        if (ok)
            o.sets.push_back(std::string("Source Type=") + kSourceTexts[i]);
        return true;
    }
    if (arg == "--filter")
    {
        const int i = indexOf(kFilterNames, 3, value);
        ok = i >= 0;
        if (ok)
            o.sets.push_back(std::string("Filter Type=") + kFilterTexts[i]);
        return true;
    }
    for (const Plain& p : plain)
        if (arg == p.option)
        {
            o.sets.push_back(std::string(p.title) + "=" + value);
            return true;
        }
    return false;
}

/// Parses the command line; returns an exit code to stop with, or -1 to go on.
int parse(int argc, char** argv, Options& o)
{
    auto fail = [](const std::string& message)
    {
        std::fprintf(stderr, "verdigrix-render: %s (see --help)\n", message.c_str());
        return 2;
    };
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h")
        {
            usage(stdout);
            return 0;
        }
        if (arg == "--list")
        {
            o.list = true;
            continue;
        }
        if (arg == "--vst2")
        {
            o.vst2 = true;
            continue;
        }
        if (arg.rfind("--", 0) != 0)
        {
            if (!o.input.empty())
                return fail("more than one input file");
            o.input = arg;
            continue;
        }
        if (i + 1 >= argc)
            return fail("missing value for " + arg);
        const char* value = argv[++i];
        double number = 0;
        bool ok = true;
        if (shorthand(arg, value, o, ok))
        {
        }
        else if (arg == "--plugin")
            o.plugin = value;
        else if (arg == "--set")
            o.sets.emplace_back(value);
        else if (arg == "--state-in")
            o.stateIn = value;
        else if (arg == "--state-out")
            o.stateOut = value;
        else if (arg == "--out")
            o.output = value;
        else if (arg == "--sidechain")
            o.sidechain = value;
        else if (arg == "--block")
        {
            ok = parseNumber(value, 1, 65536, number) && number == std::floor(number);
            o.blockSize = static_cast<int>(number);
        }
        else if (arg == "--bits")
        {
            ok = parseNumber(value, 32, 64, number) && (number == 32 || number == 64);
            o.bits = static_cast<int>(number);
        }
        else if (arg == "--seconds")
            ok = parseNumber(value, 0.1, 600, o.seconds);
        else if (arg == "--rate")
            ok = parseNumber(value, 8000, 384000, o.rate) && o.rate == std::floor(o.rate);
        else
            return fail("unknown option " + arg);
        if (!ok)
            return fail("invalid value '" + std::string(value) + "' for " + arg);
    }
    return -1;
}

// ---------------------------------------------------------------------------------------
// Files of bytes (plug-in states).

bool readBytes(const std::string& path, std::vector<char>& bytes, std::string& error)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
    {
        error = "cannot read '" + path + "'";
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return true;
}

bool writeBytes(const std::string& path, const std::vector<char>& bytes, std::string& error)
{
    const auto parent = std::filesystem::path(path).parent_path();
    std::error_code ec;
    if (!parent.empty())
        std::filesystem::create_directories(parent, ec);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file.flush())
    {
        error = "cannot write '" + path + "'";
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------
// Report.

std::string valueWithUnits(RenderHost& host, const RenderHost::Parameter& p, int index)
{
    std::string text = host.ValueText(index, host.Normalized(index));
    if (text.empty())
    {
        char number[32];
        std::snprintf(number, sizeof(number), "%.3f", host.Normalized(index));
        text = number;
    }
    if (!p.units.empty() && !p.isList)
        text += " " + p.units;
    return text;
}

void printParameters(RenderHost& host, const std::vector<RenderHost::Parameter>& params)
{
    for (std::size_t i = 0; i < params.size(); ++i)
    {
        const RenderHost::Parameter& p = params[i];
        const int index = static_cast<int>(i);
        std::string range;
        if (p.isList)
            for (const std::string& v : p.values)
                range += (range.empty() ? "" : " | ") + v;
        else
        {
            char text[96];
            std::snprintf(text, sizeof(text), "%g .. %g%s%s", p.min, p.max,
                          p.units.empty() ? "" : " ", p.units.c_str());
            range = text;
        }
        std::printf("  #%-2d %-18s = %-12s  [%s]%s\n", index, p.title.c_str(),
                    valueWithUnits(host, p, index).c_str(), range.c_str(),
                    p.automatable ? "" : " (not automatable)");
    }
}

/// A progress bar on stderr, for renders long enough to wait for, when stderr is a terminal.
class Progress
{
public:
    Progress(long total, double seconds) : total(total), shown(isatty(2) != 0 && seconds > 5.0) {}
    void update(long done)
    {
        if (!shown)
            return;
        const auto now = std::chrono::steady_clock::now();
        if (done < total && now - last < std::chrono::milliseconds(100))
            return;
        last = now;
        const int width = 40;
        const int filled = static_cast<int>(width * done / std::max(1L, total));
        std::fprintf(stderr, "\r  [%s%s] %3d%%",
                     std::string(static_cast<size_t>(filled), '#').c_str(),
                     std::string(static_cast<size_t>(width - filled), '-').c_str(),
                     static_cast<int>(100 * done / std::max(1L, total)));
        if (done >= total)
            std::fputc('\n', stderr);
        std::fflush(stderr);
    }

private:
    long total;
    bool shown;
    std::chrono::steady_clock::time_point last{};
};

int failWith(const std::string& message)
{
    std::fprintf(stderr, "verdigrix-render: %s\n", message.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (const int code = parse(argc, argv, options); code >= 0)
        return code;

    std::string error;
    std::unique_ptr<RenderHost> host;
    if (options.vst2)
    {
#ifdef VERDIGRIX_VST2_MODULE
        host = std::make_unique<Vst2RenderHost>(options.bits);
        if (options.plugin.empty())
            options.plugin = VERDIGRIX_VST2_MODULE;
#else
        return failWith("this build has no VST2 module");
#endif
    }
    else
    {
        host = std::make_unique<Vst3RenderHost>(options.bits == 32 ? 0 : 1);
        if (options.plugin.empty())
            options.plugin = VERDIGRIX_VST3_BUNDLE;
    }
    if (!host->Load(options.plugin, error))
        return failWith("cannot load '" + options.plugin + "': " + error);
    const std::vector<RenderHost::Parameter> params = host->Parameters();

    // Resolve every setting before any work, so a typo stops with nothing written.
    std::vector<ParameterAssignment> assignments;
    for (const std::string& text : options.sets)
    {
        ParameterAssignment a;
        if (!ParameterAssignment::Parse(text, *host, params, a, error))
        {
            std::fprintf(stderr, "verdigrix-render: %s\n", error.c_str());
            return 2;
        }
        assignments.push_back(a);
    }

    Audio audio;
    if (options.list)
        audio.sampleRate = static_cast<int>(options.rate);
    else if (options.input.empty())
        audio = synthesise(static_cast<int>(options.rate), options.seconds);
    else if (auto read = readAudio(options.input, error))
        audio = std::move(*read);
    else
        return failWith(error);

    if (!options.sidechain.empty())
    {
        auto side = readAudio(options.sidechain, error);
        if (!side)
            return failWith(error);
        if (side->sampleRate != audio.sampleRate)
            return failWith("side chain runs at " + std::to_string(side->sampleRate) +
                            " Hz, input at " + std::to_string(audio.sampleRate) + " Hz");
        // Shorter side chains end in silence.
        side->left.resize(audio.left.size(), 0.0);
        side->right.resize(audio.left.size(), 0.0);
        audio.sideLeft = std::move(side->left);
        audio.sideRight = std::move(side->right);
    }
    const bool hasSide = !audio.sideLeft.empty();

    if (!options.stateIn.empty())
    {
        std::vector<char> state;
        if (!readBytes(options.stateIn, state, error) || !host->LoadState(state, error))
            return failWith("state '" + options.stateIn + "': " + error);
    }
    if (!host->Start(audio.sampleRate, options.blockSize, hasSide, error))
        return failWith(error);
    for (const ParameterAssignment& a : assignments)
        host->SetParameter(a.index, a.normalized);
    // An empty block hands the settings to the plug-in before any audio.
    double none[1] = {0.0};
    const double* noIn[2] = {none, none};
    double* noOut[2] = {none, none};
    host->Process(noIn, nullptr, noOut, 0);

    if (options.list)
    {
        std::printf("%s, parameters as a host sees them:\n", host->Description().c_str());
        printParameters(*host, params);
        return 0;
    }

    const double inPeak = peakDb(audio);
    std::vector<double> outLeft(audio.left.size()), outRight(audio.right.size());
    const double duration = static_cast<double>(audio.frames()) / audio.sampleRate;
    Progress progress(audio.frames(), duration);
    const auto start = std::chrono::steady_clock::now();
    for (long done = 0; done < audio.frames(); done += options.blockSize)
    {
        const int n = static_cast<int>(std::min<long>(options.blockSize, audio.frames() - done));
        const std::size_t at = static_cast<std::size_t>(done);
        const double* in[2] = {audio.left.data() + at, audio.right.data() + at};
        const double* side[2] = {hasSide ? audio.sideLeft.data() + at : nullptr,
                                 hasSide ? audio.sideRight.data() + at : nullptr};
        double* out[2] = {outLeft.data() + at, outRight.data() + at};
        if (!host->Process(in, hasSide ? side : nullptr, out, n))
            return failWith("the plug-in failed to process a block");
        progress.update(done + n);
    }
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    audio.left = std::move(outLeft);
    audio.right = std::move(outRight);

    if (!writeAudio(options.output, audio, error))
        return failWith(error);
    if (!options.stateOut.empty())
    {
        std::vector<char> state;
        if (!host->SaveState(state, error) || !writeBytes(options.stateOut, state, error))
            return failWith("state '" + options.stateOut + "': " + error);
    }

    std::printf("verdigrix-render: %s through %s\n", audio.description.c_str(),
                host->Description().c_str());
    printParameters(*host, params);
    std::printf("  %ld frames (%.2f s) in blocks of %d, %d-bit, processed in %.1f ms (%.0fx real "
                "time)\n",
                audio.frames(), duration, options.blockSize, options.bits, elapsed * 1000,
                elapsed > 0 ? duration / elapsed : 0.0);
    std::printf("  peak in %.1f dBFS, out %.1f dBFS\n", inPeak, peakDb(audio));
    std::printf("  wrote %s%s%s\n", options.output.c_str(), options.stateOut.empty() ? "" : " and ",
                options.stateOut.c_str());
    return 0;
}
