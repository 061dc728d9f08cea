// The editor as an X11 window in a host's window, on a private Xvfb: how long a host waits
// from opening the editor to its first complete picture, what a repaint tick costs when
// nothing changed, and a full repaint with its copy to the window at scales 1 and 2.
// Each measured step ends with a round trip to the server, so the server's work is in it.

#include "controls/IControl.h"
#include "effect/Verdigrix.h"
#include "graphics/platform/IGraphicsX11.h"
#include "graphics/platform/X11Connection.h"
#include "hosting/x11/X11HostWindow.h"
#include "hosting/x11/XvfbProcess.h"
#include "resources/EmbeddedResources.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace
{
// Up before any benchmark runs, down after the last.
struct PrivateServer
{
    PrivateServer() { up = server.Start(); }
    XvfbProcess server;
    bool up = false;
} server;

/// The effect with its X11 editor, as a module builds it, and a host window to open it in.
/// The pad draws its response curve, as it does once the host started processing.
struct Session
{
    Session()
    {
        UseEmbeddedResources();
        IGraphicsX11::InstallAsEditor();
        effect = std::make_unique<Verdigrix>();
        for (int i = 0; i < effect->ParamCount(); ++i)
            effect->ParameterChanged(i, IEffectBase::kSourceOpening);
        effect->sampleRate = 44100.0;
        effect->SetMaxBlockSize(512);
        effect->ResetProcessing();
        editor = dynamic_cast<IGraphicsX11*>(effect->graphics.get());
    }
    ~Session()
    {
        if (editor)
            editor->CloseEditorWindow();
    }

    bool Usable(benchmark::State& state)
    {
        if (!server.up || !host.IsOpen() || !editor)
        {
            state.SkipWithError("no X server or no X11 editor");
            return false;
        }
        return true;
    }

    /// Opens the window and waits for its first complete picture: the expose of the
    /// mapped window paints everything, a tick paints what is left, the round trip waits
    /// until the server has the pixels.
    bool OpenAndPaint()
    {
        if (!editor->OpenEditorWindow(host.Parent()))
            return false;
        Sync();
        editor->ProcessEvents();
        editor->TimerTick();
        Sync();
        return true;
    }

    static void Sync() { XSync(X11Connection::Current()->display, False); }

    X11HostWindow host{1100, 1000};
    std::unique_ptr<Verdigrix> effect;
    IGraphicsX11* editor = nullptr;
};

void AttachToFirstCompletePaint(benchmark::State& state)
{
    Session session;
    if (!session.Usable(state))
        return;
    for (auto _ : state)
    {
        if (!session.OpenAndPaint())
        {
            state.SkipWithError("the window did not open");
            return;
        }
        state.PauseTiming();
        session.editor->CloseEditorWindow();
        session.host.Sync();
        state.ResumeTiming();
    }
}
BENCHMARK(AttachToFirstCompletePaint)->Unit(benchmark::kMillisecond);

/// The host's timer with nothing dirty: events drained, tick run, nothing painted.
void IdleTickNothingDirty(benchmark::State& state)
{
    Session session;
    if (!session.Usable(state) || !session.OpenAndPaint())
        return;
    for (auto _ : state)
    {
        session.editor->ProcessEvents();
        session.editor->TimerTick();
    }
}
BENCHMARK(IdleTickNothingDirty)->Unit(benchmark::kMicrosecond);

/// Every control dirty, one tick: the whole editor drawn and copied to the window.
void FullRepaintWithBlit(benchmark::State& state)
{
    Session session;
    if (!session.Usable(state))
        return;
    session.editor->SetContentScale(static_cast<double>(state.range(0)));
    if (!session.OpenAndPaint())
        return;
    for (auto _ : state)
    {
        for (int i = 0; i < session.editor->ControlCount(); ++i)
            session.editor->ControlAt(i)->Invalidate(false);
        session.editor->TimerTick();
        Session::Sync();
    }
    state.counters["pixels"] = session.editor->WindowWidth() * session.editor->WindowHeight();
}
BENCHMARK(FullRepaintWithBlit)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
} // namespace
