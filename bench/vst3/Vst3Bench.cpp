// The VST3 module's costs: loading it up to the first processed block, and process() per block
// at 64, 256 and 1024 samples in 32 and 64 bits, next to the effect called directly. The
// adapter's share is the difference between a Module and the matching Direct benchmark.

#include "effect/Verdigrix.h"
#include "hosting/vst3/Vst3Module.h"
#include "hosting/vst3/Vst3Plugin.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

namespace
{

constexpr double kRate = 48000.0;

template <class Sample> struct Signal
{
    explicit Signal(int frames)
    {
        for (auto* v : {&in[0], &in[1], &out[0], &out[1]})
            v->resize(static_cast<size_t>(frames));
        for (int k = 0; k < frames; ++k)
        {
            in[0][static_cast<size_t>(k)] = static_cast<Sample>(0.5 * std::sin(0.031 * k));
            in[1][static_cast<size_t>(k)] = static_cast<Sample>(0.5 * std::sin(0.017 * k));
        }
    }
    std::vector<Sample> in[2];
    std::vector<Sample> out[2];
};

/// Load, ModuleEntry, factory, create, initialize, set up, activate and one block of 256.
/// The module stays mapped once loaded, so only the first run in a process pays for mapping
/// and relocating the library: ModuleColdLoad runs once, first; ModuleReload repeats.
void ModuleLoadToFirstBlock(benchmark::State& state)
{
    Signal<float> signal(256);
    for (auto _ : state)
    {
        Vst3Module module;
        if (!module.Load(VERDIGRIX_VST3_BUNDLE))
        {
            state.SkipWithError(module.LastError().c_str());
            return;
        }
        {
            Vst3Plugin plugin;
            plugin.Create(module.Factory());
            plugin.Start(kRate, 256, vst3::kSample32);
            const float* in[2] = {signal.in[0].data(), signal.in[1].data()};
            float* out[2] = {signal.out[0].data(), signal.out[1].data()};
            plugin.Process(in, nullptr, out, 256);
            benchmark::DoNotOptimize(signal.out[0][255]);
        }
    }
}
BENCHMARK(ModuleLoadToFirstBlock)
    ->Name("ModuleColdLoadToFirstBlock")
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ModuleLoadToFirstBlock)->Name("ModuleReloadToFirstBlock")->Unit(benchmark::kMillisecond);

template <class Sample> void ModuleProcess(benchmark::State& state)
{
    static Vst3Module module;
    if (!module.IsLoaded() && !module.Load(VERDIGRIX_VST3_BUNDLE))
    {
        state.SkipWithError(module.LastError().c_str());
        return;
    }
    const int frames = static_cast<int>(state.range(0));
    constexpr int size = std::is_same_v<Sample, float> ? vst3::kSample32 : vst3::kSample64;
    Vst3Plugin plugin;
    plugin.Create(module.Factory());
    plugin.Start(kRate, frames, size);
    Signal<Sample> signal(frames);
    const Sample* in[2] = {signal.in[0].data(), signal.in[1].data()};
    Sample* out[2] = {signal.out[0].data(), signal.out[1].data()};
    for (auto _ : state)
    {
        plugin.Process(in, nullptr, out, frames);
        benchmark::DoNotOptimize(out[0][0]);
    }
    state.SetItemsProcessed(state.iterations() * frames);
}
BENCHMARK_TEMPLATE(ModuleProcess, float)->Arg(64)->Arg(256)->Arg(1024);
BENCHMARK_TEMPLATE(ModuleProcess, double)->Arg(64)->Arg(256)->Arg(1024);

/// The effect on the plain base, called as the adapter calls it (64-bit host buffers; for
/// the 32-bit comparison the conversions a host would otherwise do are not counted).
void DirectProcess(benchmark::State& state)
{
    const int frames = static_cast<int>(state.range(0));
    auto effect = std::make_unique<Verdigrix>();
    effect->sampleRate = kRate;
    effect->SetMaxBlockSize(frames);
    effect->SetChannelConnections(4, 2);
    effect->ResetProcessing();
    // The module's starting point: its default preset announces every parameter.
    for (int i = 0; i < effect->ParamCount(); ++i)
        effect->ParameterChanged(i, IEffectBase::kSourceState);
    Signal<double> signal(frames);
    std::vector<double> silence(static_cast<size_t>(frames), 0.0);
    double* in[4] = {signal.in[0].data(), signal.in[1].data(), silence.data(), silence.data()};
    double* out[2] = {signal.out[0].data(), signal.out[1].data()};
    for (auto _ : state)
    {
        effect->ProcessChannels(in, out, frames);
        benchmark::DoNotOptimize(out[0][0]);
    }
    state.SetItemsProcessed(state.iterations() * frames);
}
BENCHMARK(DirectProcess)->Arg(64)->Arg(256)->Arg(1024);

} // namespace
