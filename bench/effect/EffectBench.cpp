// Cost of the effect's glue around the engine: one host block through ProcessChannels (with
// the extra copy of the awkward-layout path for comparison), and saving and loading the state.
#include "effect/Verdigrix.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <vector>

namespace
{

struct HostBuffers
{
    explicit HostBuffers(int frames) : channels(6, std::vector<double>(static_cast<size_t>(frames)))
    {
        for (size_t c = 0; c < channels.size(); ++c)
            for (size_t i = 0; i < channels[c].size(); ++i)
                channels[c][i] = 0.5 * std::sin(0.013 * static_cast<double>((c + 1) * i));
        for (size_t c = 0; c < 4; ++c)
            inputs[c] = channels[c].data();
        outputs = {channels[4].data(), channels[5].data()};
    }
    std::vector<std::vector<double>> channels;
    std::array<double*, 4> inputs{};
    std::array<double*, 2> outputs{};
};

Verdigrix& Configured(Verdigrix& effect, int source)
{
    effect.SetMaxBlockSize(8192);
    effect.SetChannelConnections(4, 2);
    effect.ResetProcessing();
    for (int i = 0; i < effect.ParamCount(); ++i)
        effect.ParameterChanged(i, IEffectBase::kSourceOpening);
    effect.Param(Verdigrix::kSourceType)->SetClamped(source);
    effect.ParameterChanged(Verdigrix::kSourceType, IEffectBase::kSourceOpening);
    return effect;
}

void SetCounters(benchmark::State& state, int frames)
{
    const double samples = static_cast<double>(state.iterations()) * frames;
    state.SetItemsProcessed(static_cast<int64_t>(samples));
    state.counters["ns_per_sample"] = benchmark::Counter(
        samples / 1e9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

/// ProcessChannels: source (arg 0), block length (arg 1), layout (arg 2: 0 separate buffers,
/// 1 outputs on the side-chain inputs, which takes the effect's own buffers).
void BM_ProcessChannels(benchmark::State& state)
{
    Verdigrix effect;
    Configured(effect, static_cast<int>(state.range(0)));
    const int frames = static_cast<int>(state.range(1));
    HostBuffers host(frames);
    if (state.range(2) == 1)
        host.outputs = {host.inputs[2], host.inputs[3]};
    for (auto _ : state)
    {
        effect.ProcessChannels(host.inputs.data(), host.outputs.data(), frames);
        benchmark::DoNotOptimize(host.outputs[0][0]);
    }
    SetCounters(state, frames);
}
BENCHMARK(BM_ProcessChannels)
    ->ArgNames({"source", "frames", "layout"})
    ->Args({0, 512, 0})
    ->Args({2, 512, 0})
    ->Args({5, 512, 0})
    ->Args({0, 512, 1})
    ->Args({0, 64, 0})
    ->Args({0, 8192, 0});

void BM_SerializeState(benchmark::State& state)
{
    Verdigrix effect;
    IByteChunk chunk;
    for (auto _ : state)
    {
        chunk.Clear();
        benchmark::DoNotOptimize(effect.SerializeState(chunk));
    }
}
BENCHMARK(BM_SerializeState);

void BM_RestoreState(benchmark::State& state)
{
    Verdigrix effect;
    IByteChunk chunk;
    effect.SerializeState(chunk);
    for (auto _ : state)
        benchmark::DoNotOptimize(effect.RestoreState(chunk, 0));
}
BENCHMARK(BM_RestoreState);

} // namespace
