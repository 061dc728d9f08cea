// The editor's repaint cost: the whole editor at screen scales 1 and 2, and the XY pad
// alone (its curve evaluates the filter once per hertz). The frame budget is 33 ms; a full
// repaint should stay under a tenth of it at scale 1.

#include "controls/ICairoControlXY.h"
#include "effect/Verdigrix.h"
#include "graphics/IGraphics.h"
#include "graphics/IGraphicsHeadless.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace
{
std::unique_ptr<Verdigrix> MakeEffect(double scale)
{
    IGraphicsHeadless::SetScreenScale(scale);
    auto effect = std::make_unique<Verdigrix>();
    IGraphicsHeadless::SetScreenScale(1.0);
    for (int i = 0; i < effect->ParamCount(); ++i)
        effect->ParameterChanged(i, IEffectBase::kSourceOpening);
    effect->sampleRate = 44100.0;
    effect->SetMaxBlockSize(512);
    effect->ResetProcessing();
    return effect;
}

IGraphics& EditorOf(Verdigrix& effect)
{
    return *dynamic_cast<IGraphics*>(effect.graphics.get());
}

void BM_FullRepaint(benchmark::State& state)
{
    auto effect = MakeEffect(static_cast<double>(state.range(0)));
    IGraphics& editor = EditorOf(*effect);
    for (auto _ : state)
        editor.RedrawArea({0, 0, editor.Width(), editor.Height()});
}
BENCHMARK(BM_FullRepaint)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_PadRepaint(benchmark::State& state)
{
    auto effect = MakeEffect(1.0);
    IGraphics& editor = EditorOf(*effect);
    IControl* pad = editor.ControlAt(effect->padIndex);
    for (auto _ : state)
        pad->Paint(editor);
}
BENCHMARK(BM_PadRepaint)->Unit(benchmark::kMillisecond);
} // namespace
