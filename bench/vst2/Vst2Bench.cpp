// Costs a VST2 host sees through the real Verdigrix.so: one block through each processing
// entry, host automation, and a state save/restore through the chunk opcodes.
#include "hosting/vst2/Vst2Instance.h"
#include "hosting/vst2/Vst2Module.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace
{
std::string ModulePath()
{
    if (const char* dir = std::getenv("VERDIGRIX_BUILD_DIR"); dir != nullptr && *dir != '\0')
        return std::string(dir) + "/vst2/Verdigrix.so";
    return VERDIGRIX_VST2_MODULE;
}

struct Session
{
    explicit Session(int blockSize)
    {
        module = Vst2Module::Load(ModulePath());
        if (module == nullptr)
            return;
        host = Vst2Instance::Create(module->Entry());
        if (host == nullptr)
            return;
        host->Start(48000.0, blockSize);
        host->SetParameter(0, 0.4f); // sine source: steady, deterministic cost
    }

    std::unique_ptr<Vst2Module> module;
    std::unique_ptr<Vst2Instance> host;
};

template <typename Sample> struct Buffers
{
    explicit Buffers(int frames)
        : in(4, std::vector<Sample>(frames)), out(2, std::vector<Sample>(frames))
    {
        for (int i = 0; i < frames; ++i)
            in[0][i] = in[1][i] = static_cast<Sample>(0.5 * std::sin(0.05 * i));
        for (int c = 0; c < 4; ++c)
            inputs[c] = in[c].data();
        for (int c = 0; c < 2; ++c)
            outputs[c] = out[c].data();
    }

    std::vector<std::vector<Sample>> in, out;
    Sample* inputs[4] = {};
    Sample* outputs[2] = {};
};

void ProcessReplacing32(benchmark::State& state)
{
    const int frames = static_cast<int>(state.range(0));
    Session session(frames);
    if (session.host == nullptr)
        return state.SkipWithError("Verdigrix.so not found");
    Buffers<float> buffers(frames);
    for (auto _ : state)
        session.host->ProcessReplacing(buffers.inputs, buffers.outputs, frames);
    state.SetItemsProcessed(state.iterations() * frames);
}
BENCHMARK(ProcessReplacing32)->Arg(64)->Arg(512)->Arg(4096);

void ProcessDoubleReplacing64(benchmark::State& state)
{
    const int frames = static_cast<int>(state.range(0));
    Session session(frames);
    if (session.host == nullptr)
        return state.SkipWithError("Verdigrix.so not found");
    Buffers<double> buffers(frames);
    for (auto _ : state)
        session.host->ProcessDoubleReplacing(buffers.inputs, buffers.outputs, frames);
    state.SetItemsProcessed(state.iterations() * frames);
}
BENCHMARK(ProcessDoubleReplacing64)->Arg(512);

// A host block four times the announced size: the 32-bit entry splits it.
void ProcessReplacingOversizedBlock(benchmark::State& state)
{
    Session session(512);
    if (session.host == nullptr)
        return state.SkipWithError("Verdigrix.so not found");
    Buffers<float> buffers(2048);
    for (auto _ : state)
        session.host->ProcessReplacing(buffers.inputs, buffers.outputs, 2048);
    state.SetItemsProcessed(state.iterations() * 2048);
}
BENCHMARK(ProcessReplacingOversizedBlock);

void HostAutomation(benchmark::State& state)
{
    Session session(512);
    if (session.host == nullptr)
        return state.SkipWithError("Verdigrix.so not found");
    float value = 0.0f;
    for (auto _ : state)
    {
        session.host->SetParameter(2, value);
        benchmark::DoNotOptimize(session.host->GetParameter(2));
        value = value > 0.99f ? 0.0f : value + 0.01f;
    }
}
BENCHMARK(HostAutomation);

void ProgramChunkRoundTrip(benchmark::State& state)
{
    Session session(512);
    if (session.host == nullptr)
        return state.SkipWithError("Verdigrix.so not found");
    for (auto _ : state)
    {
        const std::vector<uint8_t> chunk = session.host->GetChunk(false);
        benchmark::DoNotOptimize(session.host->SetChunk(false, chunk.data(), chunk.size()));
    }
}
BENCHMARK(ProgramChunkRoundTrip);
} // namespace
