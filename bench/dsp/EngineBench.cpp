// Cost of the signal engine per stereo sample. "pct_core_44k1" is the share of one core the
// configuration takes at 44.1 kHz (time per sample x 44100 x 100).
#include "dsp/AudioPlugin.h"
#include "reference/ReferenceEngine.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <vector>

namespace
{

struct Signal
{
    std::vector<double> left, right;
    double* ptr[2];
    explicit Signal(int n) : left(static_cast<std::size_t>(n)), right(left.size())
    {
        for (int i = 0; i < n; ++i)
        {
            left[static_cast<std::size_t>(i)] = 0.5 * std::sin(0.031 * i);
            right[static_cast<std::size_t>(i)] = 0.4 * std::sin(0.047 * i);
        }
        ptr[0] = left.data();
        ptr[1] = right.data();
    }
};

/// The calling thread's processor time in seconds: on a shared machine, wall time would
/// count the waits for a core too.
double ThreadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void setCounters(benchmark::State& state, int samplesPerIteration)
{
    const double samples = static_cast<double>(state.iterations()) * samplesPerIteration;
    state.SetItemsProcessed(static_cast<int64_t>(samples));
    state.counters["ns_per_sample"] = benchmark::Counter(
        samples / 1e9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["pct_core_44k1"] = benchmark::Counter(
        samples / 4410000.0, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

/// runBlock for one source (arg 0), block length (arg 1), glide (arg 2: 1 restarts the
/// filter's glide before every block), band pass, saturation on.
void RunBlock(benchmark::State& state)
{
    const int source = static_cast<int>(state.range(0));
    const int frames = static_cast<int>(state.range(1));
    const bool gliding = state.range(2) != 0;
    AudioPlugin engine;
    engine.setSampleRate(44100);
    engine.setOversampling(1);
    engine.filter = AudioPlugin::makeFilter(AudioPlugin::kBandPass);
    engine.frequency = 2500;
    engine.updateFilter();
    engine.sourceType = source;
    engine.setOscillatorFrequencies(2500);
    Signal side(frames);
    engine.sidechain = {side.left.data(), side.right.data()};
    Signal block(frames);
    double f = 2000;
    for (auto _ : state)
    {
        if (gliding)
        {
            f = f == 2000 ? 3000 : 2000;
            engine.filter->setParameterById(1, f);
        }
        engine.runBlock(block.ptr, frames);
        // Processed in place again and again: saturation and the +-50 % modulation keep
        // the level bounded and away from denormals.
        benchmark::DoNotOptimize(block.left.data());
    }
    setCounters(state, frames);
    static const char* names[] = {"noise", "stereo_noise", "sine", "saw", "square", "sidechain"};
    state.SetLabel(std::string(names[source]) + (gliding ? " gliding" : " steady"));
}
BENCHMARK(RunBlock)->ArgsProduct({{0, 1, 2, 3, 4, 5}, {32, 256, 4096}, {0, 1}});

/// The chain against its plainly written reference (reference/), in the same run: source
/// (arg 0), block length (arg 1), glide (arg 2: restarted before every block), band pass,
/// saturation on. Each iteration times a run of blocks of each, so a busy machine slows
/// both alike; "speedup" is the reference's time over the chain's (processor time of the
/// thread, for both).
void ChainVsReference(benchmark::State& state)
{
    const int source = static_cast<int>(state.range(0));
    const int frames = static_cast<int>(state.range(1));
    const bool gliding = state.range(2) != 0;
    AudioPlugin engine;
    ReferenceEngine reference;
    Signal side(frames);
    for (AudioPlugin* e : {&engine, static_cast<AudioPlugin*>(&reference)})
    {
        e->setSampleRate(44100);
        e->setOversampling(1);
        e->frequency = 2500;
        e->sourceType = source;
        e->setOscillatorFrequencies(2500);
        e->sidechain = {side.left.data(), side.right.data()};
    }
    engine.filter = AudioPlugin::makeFilter(AudioPlugin::kBandPass);
    engine.updateFilter();
    reference.setFilterType(AudioPlugin::kBandPass);
    Signal block(frames), referenceBlock(frames);
    double f = 2000, engineSeconds = 0, referenceSeconds = 0;
    // Enough blocks per reading that the clock's own cost does not count.
    const int blocks = std::max(1, 4096 / frames);
    const auto run = [&](AudioPlugin& e, Signal& s)
    {
        for (int b = 0; b < blocks; ++b)
        {
            if (gliding)
                e.filter->setParameterById(1, f);
            e.runBlock(s.ptr, frames);
        }
        benchmark::DoNotOptimize(s.left.data());
    };
    for (auto _ : state)
    {
        f = f == 2000 ? 3000 : 2000;
        const double start = ThreadSeconds();
        run(engine, block);
        const double middle = ThreadSeconds();
        run(reference, referenceBlock);
        const double end = ThreadSeconds();
        engineSeconds += middle - start;
        referenceSeconds += end - middle;
        state.SetIterationTime(middle - start);
    }
    const double samples = static_cast<double>(state.iterations()) * frames * blocks;
    state.counters["ns_per_sample"] = engineSeconds * 1e9 / samples;
    state.counters["pct_core_44k1"] = engineSeconds * 4410000.0 / samples;
    state.counters["reference_ns_per_sample"] = referenceSeconds * 1e9 / samples;
    state.counters["speedup"] = referenceSeconds / engineSeconds;
    static const char* names[] = {"noise", "stereo_noise", "sine", "saw", "square", "sidechain"};
    state.SetLabel(std::string(names[source]) + (gliding ? " gliding" : " steady"));
}
BENCHMARK(ChainVsReference)
    ->ArgsProduct({{0, 1, 2, 5}, {32, 256, 4096}, {0, 1}})
    ->UseManualTime();

/// The stereo noise fill alone, per stereo sample: the two channels' streams one after the
/// other (arg 0 = 0) or side by side (1), for a block length (arg 1).
void NoiseFill(benchmark::State& state)
{
    const bool sideBySide = state.range(0) != 0;
    const int frames = static_cast<int>(state.range(1));
    NoiseGenerator generator(1);
    std::vector<double> left(static_cast<std::size_t>(frames)), right(left.size());
    for (auto _ : state)
    {
        if (sideBySide)
            fillNoiseTwice(left.data(), right.data(), frames, generator);
        else
        {
            fillNoise(left.data(), frames, generator);
            fillNoise(right.data(), frames, generator);
        }
        benchmark::DoNotOptimize(left.data());
        benchmark::DoNotOptimize(right.data());
    }
    setCounters(state, frames);
    state.SetLabel(sideBySide ? "side by side" : "one after the other");
}
BENCHMARK(NoiseFill)->ArgsProduct({{0, 1}, {32, 256, 4096}});

/// The follow step alone, 32-sample blocks, at the engine rate given (arg 0).
void FollowStep(benchmark::State& state)
{
    AudioPlugin engine;
    engine.setSampleRate(static_cast<int>(state.range(0)));
    engine.setOversampling(1);
    Signal block(32);
    int offset = 0;
    std::vector<double> tone(static_cast<std::size_t>(state.range(0)));
    for (std::size_t i = 0; i < tone.size(); ++i)
        tone[i] =
            std::sin(2 * M_PI * 440 * static_cast<double>(i) / static_cast<double>(state.range(0)));
    for (auto _ : state)
    {
        engine.followPitchStep(tone.data() + offset, 32);
        offset = offset + 32 + 32 < static_cast<int>(tone.size()) ? offset + 32 : 0;
    }
    benchmark::DoNotOptimize(engine.lastCrossings);
    setCounters(state, 32);
}
BENCHMARK(FollowStep)->Arg(44100)->Arg(192000);

/// One repaint of the editor's response curve: 17701 evaluations.
void ResponseCurve(benchmark::State& state)
{
    auto filter = AudioPlugin::makeFilter(AudioPlugin::kBandPass);
    Dsp::Filter::Parameters p{};
    p[0] = 44100;
    p[1] = 2500;
    p[2] = 1;
    filter->setParameters(p);
    for (auto _ : state)
    {
        double sum = 0;
        for (int f = 300; f <= 18000; ++f)
            sum += std::abs(filter->responseAt(f / 44100.0));
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(ResponseCurve);

} // namespace
