// The editor's repaint cost: the whole editor at screen scales 1 and 2, and the XY pad
// alone, each with its caches on and off in the same run. The frame budget is 33 ms; a full
// repaint should stay under a thirtieth of it at scale 1.

#include "controls/ICairoControlXY.h"
#include "effect/Verdigrix.h"
#include "graphics/IGraphics.h"
#include "graphics/IGraphicsHeadless.h"

#include <benchmark/benchmark.h>

#include <ctime>
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

/// The calling thread's processor time in seconds: on a shared machine, wall time would
/// count the waits for a core too.
double ThreadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void SetCaches(IGraphics& editor, ICairoControlXY& pad, bool on)
{
    editor.staticLayerCache = on;
    pad.paintCache = on;
}

/// Times `paint` with the caches (the static layer, the pad's curve) on and off in turn, in
/// the same run; "speedup" is the time without them over the time with them.
template <class Paint>
void CompareCaches(benchmark::State& state, IGraphics& editor, ICairoControlXY& pad, Paint paint)
{
    double cached = 0, uncached = 0;
    for (auto _ : state)
    {
        SetCaches(editor, pad, true);
        const double start = ThreadSeconds();
        paint();
        const double middle = ThreadSeconds();
        SetCaches(editor, pad, false);
        paint();
        const double end = ThreadSeconds();
        cached += middle - start;
        uncached += end - middle;
        state.SetIterationTime(middle - start);
    }
    SetCaches(editor, pad, true);
    const double n = static_cast<double>(state.iterations());
    state.counters["ms"] = cached * 1e3 / n;
    state.counters["ms_caches_off"] = uncached * 1e3 / n;
    state.counters["speedup"] = uncached / cached;
}

/// The whole editor at screen scale 1 or 2 (arg 0).
void BM_FullRepaint(benchmark::State& state)
{
    auto effect = MakeEffect(static_cast<double>(state.range(0)));
    IGraphics& editor = EditorOf(*effect);
    auto& pad = *dynamic_cast<ICairoControlXY*>(editor.ControlAt(effect->padIndex));
    CompareCaches(state, editor, pad,
                  [&] { editor.RedrawArea({0, 0, editor.Width(), editor.Height()}); });
}
BENCHMARK(BM_FullRepaint)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseManualTime();

/// The pad's own paint.
void BM_PadRepaint(benchmark::State& state)
{
    auto effect = MakeEffect(1.0);
    IGraphics& editor = EditorOf(*effect);
    auto& pad = *dynamic_cast<ICairoControlXY*>(editor.ControlAt(effect->padIndex));
    CompareCaches(state, editor, pad, [&] { pad.Paint(editor); });
}
BENCHMARK(BM_PadRepaint)->Unit(benchmark::kMillisecond)->UseManualTime();

/// The repaint cycle when only the pad is dirty, as after every processed block: the pad's
/// area, with whatever lies under it.
void BM_PadDirtyRepaint(benchmark::State& state)
{
    auto effect = MakeEffect(static_cast<double>(state.range(0)));
    IGraphics& editor = EditorOf(*effect);
    auto& pad = *dynamic_cast<ICairoControlXY*>(editor.ControlAt(effect->padIndex));
    editor.RedrawArea({0, 0, editor.Width(), editor.Height()});
    CompareCaches(state, editor, pad, [&] { editor.RedrawArea(pad.bounds); });
}
BENCHMARK(BM_PadDirtyRepaint)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseManualTime();
} // namespace
