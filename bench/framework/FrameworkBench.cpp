#include "framework/IEffectBase.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace
{

IEffectConfig TenParameters()
{
    IEffectConfig config;
    config.paramCount = 10;
    config.channelConfigText = "1-1 2-1 3-1 2-2 3-2 4-2";
    return config;
}

// The host's per-change path on the audio thread: normalised value in, display text out.
void BM_ParameterSetAndFormat(benchmark::State& state)
{
    IParameter p;
    p.ConfigureRange("Filter Frequency", 2500, 300, 18000, 1, "Hz");
    char text[IParameter::kTextSize];
    double x = 0.0;
    for (auto _ : state)
    {
        p.SetFromNormalised(x);
        p.FormatValue(p.Value(), false, true, text, sizeof text);
        benchmark::DoNotOptimize(text);
        x = x < 1.0 ? x + 0.001 : 0.0;
    }
}
BENCHMARK(BM_ParameterSetAndFormat);

// Saving and loading the binary parameter format of ten parameters.
void BM_BinaryStateRoundTrip(benchmark::State& state)
{
    IEffectBase effect(TenParameters());
    IByteChunk chunk;
    for (auto _ : state)
    {
        chunk.Clear();
        effect.SerializeParams(chunk);
        benchmark::DoNotOptimize(effect.UnserializeParams(chunk, 0));
    }
}
BENCHMARK(BM_BinaryStateRoundTrip);

// One block through the 32-bit conversion paths: four inputs in, two outputs out.
void BM_ConvertedBlock(benchmark::State& state)
{
    const int frames = static_cast<int>(state.range(0));
    IEffectBase effect(TenParameters());
    effect.SetMaxBlockSize(frames);
    effect.SetChannelConnections(4, 2);
    std::vector<std::vector<float>> in(4, std::vector<float>(static_cast<size_t>(frames), 0.25f));
    std::vector<std::vector<float>> out(2, std::vector<float>(static_cast<size_t>(frames)));
    float* inputs[] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
    float* outputs[] = {out[0].data(), out[1].data()};
    for (auto _ : state)
    {
        effect.AttachInputsConverted(inputs, 4, frames);
        effect.AttachOutputsConverted(outputs, 2);
        effect.ProcessAttached(frames);
        effect.WriteConvertedOutputs(frames);
        benchmark::DoNotOptimize(out[1][0]);
    }
    state.SetItemsProcessed(state.iterations() * frames);
}
BENCHMARK(BM_ConvertedBlock)->Arg(64)->Arg(512)->Arg(4096);

} // namespace
