#pragma once

#include "vst3/abi/Vst3View.h"
#include "vst3/base/FObject.h"

#include <chrono>
#include <vector>

/// The frame a host gives a plug-in view on Linux, with the host's run loop in it: event
/// handlers on file descriptors and timers, run over poll() by RunFor. resizeView answers
/// the view's requests at once with onSize. [the host's ui thread]
class HostRunLoop : public vst3::FObject, public vst3::IPlugFrame, public vst3::Linux::IRunLoop
{
public:
    VST3_FUNKNOWN_METHODS

    /// `offerRunLoop` false: the frame answers no run loop (a host without one).
    explicit HostRunLoop(bool offerRunLoop = true) : offerRunLoop(offerRunLoop) {}

    vst3::tresult PLUGIN_API resizeView(vst3::IPlugView* view, vst3::ViewRect* newSize) override;
    vst3::tresult PLUGIN_API registerEventHandler(vst3::Linux::IEventHandler* handler,
                                                  vst3::Linux::FileDescriptor fd) override;
    vst3::tresult PLUGIN_API unregisterEventHandler(vst3::Linux::IEventHandler* handler) override;
    vst3::tresult PLUGIN_API registerTimer(vst3::Linux::ITimerHandler* handler,
                                           vst3::Linux::TimerInterval milliseconds) override;
    vst3::tresult PLUGIN_API unregisterTimer(vst3::Linux::ITimerHandler* handler) override;

    /// Runs handlers and timers for `milliseconds`.
    void RunFor(int milliseconds);

    int HandlerCount() const { return static_cast<int>(handlers.size()); }
    int TimerCount() const { return static_cast<int>(timers.size()); }
    /// The last size a view asked for.
    vst3::ViewRect requestedSize{0, 0, 0, 0};
    /// Timer periods as registered.
    std::vector<vst3::Linux::TimerInterval> periods;

private:
    using Clock = std::chrono::steady_clock;
    struct Handler
    {
        vst3::Linux::IEventHandler* handler;
        int fd;
    };
    struct Timer
    {
        vst3::Linux::ITimerHandler* handler;
        std::chrono::milliseconds period;
        Clock::time_point due;
    };
    bool offerRunLoop;
    std::vector<Handler> handlers;
    std::vector<Timer> timers;
};
