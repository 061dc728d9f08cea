// verdigrix-render: renders an audio file (or, without one, a short musical test signal it
// synthesises) through the Verdigrix signal engine and writes the result as WAV or FLAC.
//
//   verdigrix-render [options] [INPUT]
//
// The engine is driven by EngineDriver alone; everything else (options, files, the test
// signal, the report) does not know what processes the audio.

#include "dsp/AudioPlugin.h"

#include <sndfile.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace
{

// ---------------------------------------------------------------------------------------
// Settings, in the units and ranges of the effect's parameters.

struct Settings
{
    int source = 0;          ///< 0 noise, 1 stereo noise, 2 sine, 3 saw, 4 square, 5 side chain
    int filterType = 1;      ///< 0 low pass, 1 band pass, 2 high pass
    double frequency = 2500; ///< Hz, 300..18000
    double q = 1.0;          ///< 0.1..4
    double amount = 100;     ///< %, 0..100
    double inputDb = 0;      ///< -15..15
    double outputDb = 0;     ///< -15..15
    bool saturation = true;
    bool followPitch = false;
    int blockSize = 512;
};

const char* const kSourceNames[] = {"noise", "stereo-noise", "sine", "saw", "square", "sidechain"};
const char* const kSourceTexts[] = {"Noise", "Stereo Noise", "Sine", "Saw", "Square", "Ext. input"};
const char* const kFilterNames[] = {"lowpass", "bandpass", "highpass"};
const char* const kFilterTexts[] = {"Low Pass", "Band Pass", "High Pass"};

// ---------------------------------------------------------------------------------------
// EngineDriver: the only part that touches the engine. It applies the settings as the
// effect's parameter handler does and processes blocks as the effect's block processing
// does.

class EngineDriver
{
public:
    EngineDriver(const Settings& settings, int sampleRate)
    {
        engine.setSampleRate(sampleRate);
        engine.setOversampling(1);
        engine.sourceType = settings.source;
        engine.filter.reset();
        engine.filter = AudioPlugin::makeFilter(settings.filterType);
        engine.filterType = settings.filterType;
        engine.frequency = settings.frequency;
        engine.q = settings.q;
        engine.updateFilter();
        for (Oscillator* o :
             {static_cast<Oscillator*>(&engine.sine), static_cast<Oscillator*>(&engine.square),
              static_cast<Oscillator*>(&engine.saw)})
            o->setFrequency(settings.frequency);
        engine.amount = settings.amount / 200.0;
        engine.followPitch = settings.followPitch;
        engine.inputGain = std::exp(settings.inputDb * 0.1151292546497);
        engine.outputGain = std::exp(settings.outputDb * 0.1151292546497);
        engine.saturation = settings.saturation;
    }

    /// Processes `frames` samples of `left`/`right` in place; `sideLeft`/`sideRight` feed
    /// the side-chain source (may be null).
    void process(double* left, double* right, const double* sideLeft, const double* sideRight,
                 int frames)
    {
        engine.sidechain = {sideLeft, sideRight};
        double* channels[2] = {left, right};
        engine.runBlock(channels, frames);
    }

    const char* filterName() const { return engine.filter->name(); }

private:
    AudioPlugin engine;
};

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
        "Renders INPUT (or a synthesised test phrase) through the Verdigrix engine.\n"
        "  --out FILE          output .wav or .flac (default out/demo.wav)\n"
        "  --source NAME       noise, stereo-noise, sine, saw, square, sidechain (default noise)\n"
        "  --filter NAME       lowpass, bandpass, highpass (default bandpass)\n"
        "  --freq HZ           filter/oscillator frequency, 300..18000 (default 2500)\n"
        "  --q Q               filter Q (band pass: octaves), 0.1..4 (default 1)\n"
        "  --amount PERCENT    effect amount, 0..100 (default 100)\n"
        "  --input-db DB       input level, -15..15 (default 0)\n"
        "  --output-db DB      output level, -15..15 (default 0)\n"
        "  --saturation on|off analog saturation (default on)\n"
        "  --follow on|off     follow the input's pitch (default off)\n"
        "  --sidechain FILE    side-chain input (else channels 3-4 of INPUT, or the\n"
        "                      test phrase's kick)\n"
        "  --block N           host block size, 1..65536 (default 512)\n"
        "  --seconds S         length of the test phrase, 0.1..60 (default 4)\n"
        "  --rate HZ           sample rate of the test phrase, 8000..384000 (default 44100)\n"
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

int indexOf(const char* const* names, int count, const std::string& name)
{
    for (int i = 0; i < count; ++i)
        if (name == names[i])
            return i;
    return -1;
}

struct Options
{
    Settings settings;
    std::string input, sidechain, output = "out/demo.wav";
    double seconds = 4.0;
    double rate = 44100;
};

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
        auto numberIn = [&](double low, double high, double& out)
        {
            if (parseNumber(value, low, high, number))
            {
                out = number;
                return true;
            }
            return false;
        };
        auto onOff = [&](bool& out)
        {
            if (std::strcmp(value, "on") != 0 && std::strcmp(value, "off") != 0)
                return false;
            out = std::strcmp(value, "on") == 0;
            return true;
        };
        Settings& s = o.settings;
        double block = 0;
        bool ok = true;
        if (arg == "--out")
            o.output = value;
        else if (arg == "--sidechain")
            o.sidechain = value;
        else if (arg == "--source")
            ok = (s.source = indexOf(kSourceNames, 6, value)) >= 0;
        else if (arg == "--filter")
            ok = (s.filterType = indexOf(kFilterNames, 3, value)) >= 0;
        else if (arg == "--freq")
            ok = numberIn(300, 18000, s.frequency);
        else if (arg == "--q")
            ok = numberIn(0.1, 4, s.q);
        else if (arg == "--amount")
            ok = numberIn(0, 100, s.amount);
        else if (arg == "--input-db")
            ok = numberIn(-15, 15, s.inputDb);
        else if (arg == "--output-db")
            ok = numberIn(-15, 15, s.outputDb);
        else if (arg == "--saturation")
            ok = onOff(s.saturation);
        else if (arg == "--follow")
            ok = onOff(s.followPitch);
        else if (arg == "--block")
        {
            ok = numberIn(1, 65536, block) && block == std::floor(block);
            s.blockSize = static_cast<int>(block);
        }
        else if (arg == "--seconds")
            ok = numberIn(0.1, 60, o.seconds);
        else if (arg == "--rate")
            ok = numberIn(8000, 384000, o.rate) && o.rate == std::floor(o.rate);
        else
            return fail("unknown option " + arg);
        if (!ok)
            return fail("invalid value '" + std::string(value) + "' for " + arg);
    }
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (const int code = parse(argc, argv, options); code >= 0)
        return code;
    const Settings& s = options.settings;

    std::string error;
    Audio audio;
    if (options.input.empty())
        audio = synthesise(static_cast<int>(options.rate), options.seconds);
    else if (auto read = readAudio(options.input, error))
        audio = std::move(*read);
    else
    {
        std::fprintf(stderr, "verdigrix-render: %s\n", error.c_str());
        return 1;
    }

    if (!options.sidechain.empty())
    {
        auto side = readAudio(options.sidechain, error);
        if (!side)
        {
            std::fprintf(stderr, "verdigrix-render: %s\n", error.c_str());
            return 1;
        }
        if (side->sampleRate != audio.sampleRate)
        {
            std::fprintf(stderr, "verdigrix-render: side chain runs at %d Hz, input at %d Hz\n",
                         side->sampleRate, audio.sampleRate);
            return 1;
        }
        // Shorter side chains end in silence.
        side->left.resize(audio.left.size(), 0.0);
        side->right.resize(audio.left.size(), 0.0);
        audio.sideLeft = std::move(side->left);
        audio.sideRight = std::move(side->right);
    }
    if (s.source == 5 && audio.sideLeft.empty())
    {
        std::fprintf(stderr, "verdigrix-render: the sidechain source needs --sidechain FILE or a "
                             "4-channel input\n");
        return 1;
    }

    const double inPeak = peakDb(audio);
    EngineDriver driver(s, audio.sampleRate);
    const auto start = std::chrono::steady_clock::now();
    const bool hasSide = !audio.sideLeft.empty();
    for (long done = 0; done < audio.frames(); done += s.blockSize)
    {
        const int n = static_cast<int>(std::min<long>(s.blockSize, audio.frames() - done));
        const std::size_t at = static_cast<std::size_t>(done);
        driver.process(audio.left.data() + at, audio.right.data() + at,
                       hasSide ? audio.sideLeft.data() + at : nullptr,
                       hasSide ? audio.sideRight.data() + at : nullptr, n);
    }
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    if (!writeAudio(options.output, audio, error))
    {
        std::fprintf(stderr, "verdigrix-render: %s\n", error.c_str());
        return 1;
    }

    const double duration = static_cast<double>(audio.frames()) / audio.sampleRate;
    std::printf("verdigrix-render: %s\n", audio.description.c_str());
    std::printf("  source %s, filter %s (%s) at %.0f Hz, Q %.2f, amount %.0f %%\n",
                kSourceTexts[s.source], kFilterTexts[s.filterType], driver.filterName(),
                s.frequency, s.q, s.amount);
    std::printf("  input %+.1f dB, output %+.1f dB, saturation %s, follow pitch %s, blocks of %d\n",
                s.inputDb, s.outputDb, s.saturation ? "on" : "off", s.followPitch ? "on" : "off",
                s.blockSize);
    std::printf("  %ld frames (%.2f s) processed in %.1f ms (%.0fx real time)\n", audio.frames(),
                duration, elapsed * 1000, elapsed > 0 ? duration / elapsed : 0.0);
    std::printf("  peak in %.1f dBFS, out %.1f dBFS\n", inPeak, peakDb(audio));
    std::printf("  wrote %s\n", options.output.c_str());
    return 0;
}
